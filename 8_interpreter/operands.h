// The operand readers with which every command takes its operands from the
// argument text. Each reader removes what it read from the front of *args
// and trims the rest; on failure *args is unspecified and the caller fails.
#pragma once

#include <string>
#include <string_view>

namespace kal {

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

// A value: number literal, quoted string, $name, letter variable or a
// parenthesised expression.
bool ReadOperand(std::string_view* args, std::string* value);
// The same without copying: *view is the operand's text, which lives in
// the line, in the variable, or in *scratch. It stays valid until the
// variable or *scratch changes.
bool ReadOperandView(std::string_view* args, std::string_view* view, std::string* scratch);
// A variable to store into: $name, or a letter not followed by a letter or
// digit. *slot is the variable slot (see variables.h).
bool ReadVariableRef(std::string_view* args, int* slot);
// '#' and one digit, then nothing or a space (all following spaces go).
bool ReadChannel(std::string_view* args, int* channel);
// '[' name ']'; the text after ']' is left untrimmed.
bool ReadListName(std::string_view* args, std::string* name);

// Reads operands one after another while they read, joining their values
// without separators; *args keeps the first text that is not an operand.
std::string JoinOperands(std::string_view* args);

// When the last byte of *args is '&', removes it, trims, returns true.
bool TakeTrailingAmpersand(std::string_view* args);
// True when text begins with the keyword (upper-case ASCII) under the
// interpreter's upper-casing.
bool StartsWithKeyword(std::string_view text, std::string_view keyword);

}  // namespace kal
