// Internals of the word translator shared by its source files: the
// character classes of the ASCII text the rules work on, the rule table and
// the exceptions table, held in one state, part of the installed voices
// (4_voices/voices.h).
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "4_voices/rule_file.h"

namespace kal::translator {

// Character classes (after the pre-mapping the text is ASCII; accented
// letters are spelled as the letter followed by an accent mark).
bool IsVowel(char c);        // A E I O U a e i o u
bool IsConsonant(char c);    // the other letters of A-Z a-z
bool IsLetter(char c);
bool IsAccentMark(char c);   // " ' ^ ` ~
bool IsPunctuation(char c);  // blank ! , . : ; ?
bool IsWordChar(char c);     // letter or accent mark
bool IsFrontVowel(char c);   // E I e i
bool IsBackVowel(char c);    // A O a o
char Upper(char c);          // A-Z upper-casing only
char Lower(char c);          // A-Z lower-casing only

// A letter rule: contexts and focus at most 5 bytes, the output at most 11.
using Rule = rule_file::ContextRule;

// Chains for the first focus characters 32 to 95, in file order.
inline constexpr int kFirstChain = 32;
inline constexpr int kLastChain = 95;
inline constexpr size_t kMaxExceptions = 15000;

struct TranslatorState {
  std::array<std::vector<Rule>, kLastChain - kFirstChain + 1> chains;
  std::vector<std::pair<std::string, std::string>> exceptions;  // sorted by word
};

// The rule of the chain of word[pos] that applies there, or null.
const Rule* FindRule(const TranslatorState& t, std::string_view word, size_t pos);

// The exceptions table applied to a word, with a final "s" or "m" peeled
// off into a suffix, one letter at a time, until a stem is found.
std::string ApplyWordException(const TranslatorState& t, const std::string& word);

// Text pre-mapping: Latin-1 letters spelled out, w/y made vowels next to
// letters, control characters blanked.
std::string PreMap(std::string_view text);

// Upper-cases the stressed vowel of a word without accent marks.
void MarkStress(std::string& word);

}  // namespace kal::translator
