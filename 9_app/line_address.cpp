#include "9_app/line_address.h"

#include <cctype>

#include "0_base/latin1.h"
#include "0_base/word_letters.h"

namespace kal {

namespace {

constexpr size_t kMaxSpokenAddress = 200;

bool StartsWithNoCase(const std::string& s, size_t at, const char* prefix) {
  for (size_t i = 0; prefix[i] != 0; ++i) {
    if (at + i >= s.size()) return false;
    if (std::tolower(static_cast<unsigned char>(s[at + i])) != prefix[i]) return false;
  }
  return true;
}

// Where an address starts at or after `from`; npos when none does.
size_t AddressStart(const std::string& line, size_t from) {
  for (size_t i = from; i < line.size(); ++i)
    if (StartsWithNoCase(line, i, "http://") || StartsWithNoCase(line, i, "https://")) return i;
  return std::string::npos;
}

size_t AddressEnd(const std::string& line, size_t start) {
  size_t end = start;
  while (end < line.size() && static_cast<unsigned char>(line[end]) > 32) ++end;
  return end;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::string PercentDecoded(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    int hi = i + 2 < s.size() && s[i] == '%' ? HexValue(s[i + 1]) : -1;
    int lo = hi >= 0 ? HexValue(s[i + 2]) : -1;
    if (lo >= 0) {
      out.push_back(static_cast<char>(hi * 16 + lo));
      i += 2;
    } else {
      out.push_back(s[i]);
    }
  }
  return LooksLikeUtf8(out) ? Utf8ToLatin1(out) : out;
}

// Letters (accented ones too) and digits stay; every other byte separates
// words. Runs of separators become one blank.
void AppendWords(const std::string& text, std::string* out) {
  for (char ch : text) {
    if (IsWordChar(static_cast<uint8_t>(ch))) {
      out->push_back(ch);
    } else if (!out->empty() && out->back() != ' ') {
      out->push_back(' ');
    }
  }
}

}  // namespace

std::string FindAddress(const std::string& line) {
  size_t start = AddressStart(line, 0);
  if (start == std::string::npos) return "";
  return line.substr(start, AddressEnd(line, start) - start);
}

bool IsPlayableAddress(const std::string& address) {
  if (address.empty() || address.size() > kMaxPlayableAddress) return false;
  size_t host;
  if (StartsWithNoCase(address, 0, "http://")) {
    host = 7;
  } else if (StartsWithNoCase(address, 0, "https://")) {
    host = 8;
  } else {
    return false;
  }
  if (host >= address.size() || address[host] == '/' || address[host] == ':') return false;
  for (char ch : address) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c <= 32 || c >= 127) return false;
  }
  return true;
}

std::string CompactAddress(const std::string& address) {
  size_t rest = address.find("://");
  rest = rest == std::string::npos ? 0 : rest + 3;
  size_t path = address.find_first_of("/?#", rest);
  std::string host = address.substr(rest, path == std::string::npos ? std::string::npos : path - rest);
  size_t at = host.rfind('@');
  if (at != std::string::npos) host.erase(0, at + 1);  // no user name or password
  size_t colon = host.find(':');
  if (colon != std::string::npos) host.resize(colon);
  if (StartsWithNoCase(host, 0, "www.")) host.erase(0, 4);
  std::string path_part;
  if (path != std::string::npos && address[path] == '/') {
    size_t end = address.find_first_of("?#", path);
    path_part = address.substr(path, end == std::string::npos ? std::string::npos : end - path);
  }
  std::string out;
  AppendWords(host, &out);
  if (!out.empty() && out.back() != ' ') out.push_back(' ');
  AppendWords(PercentDecoded(path_part), &out);
  while (!out.empty() && out.back() == ' ') out.pop_back();
  if (out.size() > kMaxSpokenAddress) out.resize(kMaxSpokenAddress);
  return out;
}

std::string SpokenLine(const std::string& line) {
  std::string out;
  size_t from = 0;
  for (size_t start; (start = AddressStart(line, from)) != std::string::npos;) {
    size_t end = AddressEnd(line, start);
    out += line.substr(from, start - from);
    out += CompactAddress(line.substr(start, end - start));
    from = end;
  }
  return out + line.substr(from);
}

}  // namespace kal
