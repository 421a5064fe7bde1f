// Byte-level text conversions used by the encoding commands: the system code
// page (Windows-1252) to UTF-8, the two-byte UTF-8 fold back to Latin-1,
// percent-encoding, Base64 and the quoted-printable style. Pure functions over
// byte strings; they never fail.
#pragma once

#include <string>
#include <string_view>

namespace kal {

// Each byte as Windows-1252 to UTF-8: 0x80-0x9F are the typographic marks of
// that code page (0x80 the euro sign); the five holes of the page map to the
// control characters of the same number, as the system converter does.
std::string AnsiToUtf8(std::string_view ansi);

// A byte 0xC0-0xDF and the byte after it become one byte
// ((first * 64) + (second & 0x3F)) & 0xFF; every other byte is copied, so
// longer sequences pass through raw. A lead byte at the very end is copied.
std::string Utf8ToAnsiFold(std::string_view utf8);

// Letters, digits and - . _ ~ stay; every other byte becomes %XX (upper case).
std::string PercentEncode(std::string_view bytes);

// Standard alphabet, '=' padding, no line breaks.
std::string Base64Encode(std::string_view bytes);

// Skips characters outside the alphabet, stops at the first '='; a final
// group of two or three characters gives one or two bytes (a lone one gives
// nothing).
std::string Base64Decode(std::string_view text);

// 0x00-0x1F, '=' and 0x7F-0xFF become =XX (upper case); no line breaks.
std::string QuotedEncode(std::string_view bytes);

// Drops one '=' at the very end, then turns =XX (hex digits of either case)
// into the byte; everything else is copied.
std::string QuotedDecode(std::string_view text);

// Streaming Base64 encoder for files: feed blocks of any size (the groups of
// three bytes run on across blocks); the output comes in lines of 64
// characters, each followed by CR LF. Finish pads and ends the last line.
class Base64LineEncoder {
 public:
  // Appends every line completed by these bytes to *out.
  void Feed(std::string_view bytes, std::string* out);
  // Appends the last line, padded, when anything is left.
  void Finish(std::string* out);

 private:
  std::string carry_;  // 0-2 bytes not yet encoded
  std::string line_;   // the current line being filled
};

// Streaming Base64 decoder: characters outside the alphabet are skipped, the
// first '=' ends the input.
class Base64StreamDecoder {
 public:
  // Decodes what it can; returns false once '=' has been seen (stop feeding).
  bool Feed(std::string_view text, std::string* out);
  void Finish(std::string* out);

 private:
  unsigned quad_[4] = {0, 0, 0, 0};
  int have_ = 0;
  bool ended_ = false;
};

}  // namespace kal
