#include "9_app/lsp_frames.h"

#include <algorithm>
#include <cstring>

namespace kal {

namespace {

constexpr std::string_view kLengthName = "content-length:";

// One header line without its line end, keeping at most its last
// 2 * kMostLspHeaderBytes bytes; false at the end of input.
bool ReadHeaderLine(std::streambuf& in, std::string* line) {
  line->clear();
  for (;;) {
    int c = in.sbumpc();
    if (c == std::char_traits<char>::eof()) return false;
    if (c == '\n') break;
    line->push_back(static_cast<char>(c));
    if (line->size() >= 2 * kMostLspHeaderBytes) line->erase(0, kMostLspHeaderBytes);
  }
  if (!line->empty() && line->back() == '\r') line->pop_back();
  return true;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The length a Content-Length header in the line gives (its name in any
// case, anywhere in the line, so that junk before it is passed over);
// false when the line has none or its value is not a plain number.
bool LengthIn(std::string_view line, unsigned long long* length) {
  auto at = std::search(line.begin(), line.end(), kLengthName.begin(), kLengthName.end(),
                        [](char a, char b) { return Lower(a) == b; });
  if (at == line.end()) return false;
  std::string_view value = line.substr(static_cast<size_t>(at - line.begin()) + kLengthName.size());
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
  if (value.empty() || value.size() > 18) return false;
  unsigned long long n = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + static_cast<unsigned>(c - '0');
  }
  *length = n;
  return true;
}

// Reads and drops n bytes; false when the input ends first.
bool Skip(std::streambuf& in, unsigned long long n) {
  char chunk[65536];
  while (n > 0) {
    std::streamsize want = static_cast<std::streamsize>(std::min<unsigned long long>(n, sizeof chunk));
    std::streamsize got = in.sgetn(chunk, want);
    if (got <= 0) return false;
    n -= static_cast<unsigned long long>(got);
  }
  return true;
}

}  // namespace

Frame ReadFrame(std::istream& stream, std::string* body) {
  std::streambuf* in = stream.rdbuf();
  if (in == nullptr) return Frame::kEnd;
  std::string line;
  bool have_length = false;
  unsigned long long length = 0;
  for (;;) {
    if (!ReadHeaderLine(*in, &line)) return Frame::kEnd;
    if (line.empty()) {
      if (have_length) break;
      continue;  // a blank line with no length before it: a stray line end, or the end of a broken header
    }
    unsigned long long n = 0;
    if (LengthIn(line, &n)) {
      length = n;
      have_length = true;
    } else if (line.size() >= kLengthName.size() && std::equal(kLengthName.begin(), kLengthName.end(), line.begin(),
                                                             [](char a, char b) { return a == Lower(b); })) {
      have_length = false;  // a length that is not a number: this header block is passed over
    }
  }
  if (length > kMostLspBodyBytes) return Skip(*in, length) ? Frame::kTooLong : Frame::kEnd;
  body->resize(static_cast<size_t>(length));
  std::streamsize got = in->sgetn(body->data(), static_cast<std::streamsize>(length));
  return got == static_cast<std::streamsize>(length) ? Frame::kBody : Frame::kEnd;
}

bool NestsWithin(std::string_view json, int most) {
  int depth = 0;
  bool quoted = false;
  for (size_t i = 0; i < json.size(); ++i) {
    char c = json[i];
    if (quoted) {
      if (c == '\\') ++i;
      else if (c == '"') quoted = false;
    } else if (c == '"') {
      quoted = true;
    } else if (c == '[' || c == '{') {
      if (++depth > most) return false;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return true;
}

}  // namespace kal
