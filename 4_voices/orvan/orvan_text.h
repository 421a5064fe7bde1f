// Byte-level helpers shared by the stages of the Orvan engine: Latin-1 case
// conversion and trimming (files are read with 4_voices/rule_file.h). All text here is
// single-byte Latin-1; accented letters are one byte each.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kal::orvan {

// Latin-1 locale case: a-z and the accented letters 0xE0-0xFE (not the
// division sign 0xF7) map to their capitals 0xC0-0xDE, and back.
unsigned char UpperByte(unsigned char c);
unsigned char LowerByte(unsigned char c);
std::string UpperLatin1(std::string_view s);
std::string LowerLatin1(std::string_view s);
// Plain A-Z upper-casing, accents untouched.
unsigned char UpperAscii(unsigned char c);

// Blanks, TABs, CR and LF removed at both ends.
std::string Trim(std::string_view s);

// True when s begins with prefix.
inline bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

}  // namespace kal::orvan
