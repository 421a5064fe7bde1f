// Latin-1 helpers of the Orvan engine.
#include "4_voices/orvan/orvan_text.h"


namespace kal::orvan {

unsigned char UpperByte(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 0x20;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  return c;
}

unsigned char LowerByte(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c + 0x20;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
  return c;
}

unsigned char UpperAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 0x20 : c; }

std::string UpperLatin1(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(UpperByte(static_cast<unsigned char>(c)));
  return out;
}

std::string LowerLatin1(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(LowerByte(static_cast<unsigned char>(c)));
  return out;
}

std::string Trim(std::string_view s) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  size_t b = 0, e = s.size();
  while (b < e && blank(s[b])) ++b;
  while (e > b && blank(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

}  // namespace kal::orvan
