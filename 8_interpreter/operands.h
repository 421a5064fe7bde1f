// The operand readers with which every command takes its operands from the
// argument text. Each reader removes what it read from the front of *args
// and trims the rest; on failure *args is unspecified and the caller fails.
// The syntax of operands is read in one place, by the decoders of
// line_code.h: reading an operand from the text is decoding it and reading
// the decoded operand's value at once, as a decoded line reads it later.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "8_interpreter/numbers.h"

namespace kal {

struct InterpreterState;

// What reading an operand gave: a text, or a number whose text (its plain
// decimal) has not been written out. Both the handlers (from the argument
// text) and decoded lines (from their operands) read values of this kind
// and hand them to the same rules.
//
// The fields have no initializers, since a value is made for every operand
// of every decoded line: `Value v{}` is the empty text, and a reader
// writes only the fields that the value's kind gives meaning to (number
// when is_number; text and digits otherwise; digits_value when digits).
struct Value {
  bool is_number;
  int64_t number;
  std::string_view text;  // when !is_number
  // A literal of one to nineteen digits and nothing else, and the number
  // they make: how the comparison form orders it (set by decoded lines).
  bool digits;
  uint64_t digits_value;
};

// Room for the decimal text of any 64-bit number.
struct NumberText {
  char digits[24];
};
// The text of a value (numbers written into *buf).
std::string_view TextOf(const Value& value, NumberText* buf);

// Blanks are every byte of code 32 or less.
inline bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }
inline std::string_view TrimFrontBlanks(std::string_view text) {
  size_t b = 0;
  while (b < text.size() && IsBlank(text[b])) ++b;
  return text.substr(b);
}
inline std::string_view TrimBlanks(std::string_view text) {
  text = TrimFrontBlanks(text);
  size_t e = text.size();
  while (e > 0 && IsBlank(text[e - 1])) --e;
  return text.substr(0, e);
}

// The numeric rule (numbers.h) applied to a value, to its text trimmed of
// blanks first when asked.
inline bool NumberOfValue(const Value& value, bool trimmed, int32_t* n) {
  if (value.is_number) return NumberFits(value.number, n);
  return ParseNumber(trimmed ? TrimBlanks(value.text) : value.text, n);
}

// A value: number literal, quoted string, $name, letter variable or a
// parenthesised expression.
bool ReadOperand(InterpreterState& in, std::string_view* args, std::string* value);
// The same without copying: *value's text lives in the line, in the
// variable, or in *scratch, and stays valid until the variable or *scratch
// changes; a number (an expression, a variable held as a number) stays a
// number.
bool ReadOperandValue(InterpreterState& in, std::string_view* args, Value* value, std::string* scratch);
// An operand under the numeric rule (NumberOfValue).
bool ReadNumberOperand(InterpreterState& in, std::string_view* args, bool trimmed, int32_t* n);
// A variable to store into: $name, or a letter not followed by a letter or
// digit. *slot is the variable slot (see variables.h).
bool ReadVariableRef(InterpreterState& in, std::string_view* args, int* slot);
// '#' and one digit, then nothing or a space (all following spaces go).
bool ReadChannel(std::string_view* args, int* channel);
// '#' and one digit at the very front, the rest trimmed (ESCREVE's
// channel, which needs no space after the digit).
bool ReadChannelDigit(std::string_view* args, int* channel);
// '[' name ']'; the text after ']' is left untrimmed.
bool ReadListName(std::string_view* args, std::string* name);
// A label written out, the target of DESVIA and CHAMA: '@' and the name,
// with no space in it, to the end of args (the name as written).
bool ReadWrittenLabel(std::string_view args, std::string_view* name);

// Why no operand can be read at the front of text, whatever the variables
// hold (a message of messages.h, UTF-8, with the text in question): a
// missing operand, a parenthesis not closed, an expression or a word that
// is not an operand.
std::string OperandFault(std::string_view text);
// Where the parenthesis at the front of text is closed (quoted strings
// skipped), or npos.
size_t ClosingParenthesis(std::string_view text);

// Reads operands one after another while they read, joining their values
// without separators; *args keeps the first text that is not an operand.
std::string JoinOperands(InterpreterState& in, std::string_view* args);

// When the last byte of *args is '&', removes it, trims, returns true.
bool TakeTrailingAmpersand(std::string_view* args);
// True when text begins with the keyword (upper-case ASCII) under the
// interpreter's upper-casing.
bool StartsWithKeyword(std::string_view text, std::string_view keyword);

}  // namespace kal
