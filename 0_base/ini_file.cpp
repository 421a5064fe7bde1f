// Initialisation-file text: line classification, look-up and in-place edit.
#include "0_base/ini_file.h"

#include <vector>

namespace kal {
namespace {

enum class LineKind { kBlank, kComment, kSection, kKey };

struct IniLine {
  size_t begin = 0;        // first byte of the line
  size_t content_end = 0;  // end of the text before the line break
  size_t end = 0;          // after the line break
  LineKind kind = LineKind::kBlank;
  std::string_view name;   // section or key name, trimmed
  size_t eq = std::string_view::npos;  // position of '=' in a key line
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

unsigned char Fold(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 0x20;
  return c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Fold(static_cast<unsigned char>(a[i])) != Fold(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

IniLine Classify(std::string_view text, size_t begin, size_t content_end, size_t end) {
  IniLine line;
  line.begin = begin;
  line.content_end = content_end;
  line.end = end;
  std::string_view body = IniTrim(text.substr(begin, content_end - begin));
  if (body.empty()) return line;
  if (body[0] == ';') {
    line.kind = LineKind::kComment;
  } else if (body[0] == '[') {
    line.kind = LineKind::kSection;
    size_t close = body.find(']');
    line.name = IniTrim(body.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
  } else {
    line.kind = LineKind::kKey;
    std::string_view raw = text.substr(begin, content_end - begin);
    size_t eq = raw.find('=');
    line.name = IniTrim(raw.substr(0, eq));
    if (eq != std::string_view::npos) line.eq = begin + eq;
  }
  return line;
}

std::vector<IniLine> SplitLines(std::string_view text) {
  std::vector<IniLine> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    size_t end = nl == std::string_view::npos ? text.size() : nl + 1;
    size_t content_end = nl == std::string_view::npos ? text.size() : nl;
    if (content_end > pos && text[content_end - 1] == '\r') --content_end;
    lines.push_back(Classify(text, pos, content_end, end));
    pos = end;
  }
  return lines;
}

std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) return v.substr(1, v.size() - 2);
  return v;
}

// Index of the header line of the first matching section, or -1.
int FindSection(const std::vector<IniLine>& lines, std::string_view section) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind == LineKind::kSection && SameName(lines[i].name, section)) return static_cast<int>(i);
  }
  return -1;
}

// One past the last line of the section whose header is at `header`.
size_t SectionEnd(const std::vector<IniLine>& lines, size_t header) {
  size_t i = header + 1;
  while (i < lines.size() && lines[i].kind != LineKind::kSection) ++i;
  return i;
}

int FindKey(const std::vector<IniLine>& lines, int header, std::string_view key) {
  size_t end = SectionEnd(lines, header);
  for (size_t i = header + 1; i < end; ++i) {
    if (lines[i].kind == LineKind::kKey && SameName(lines[i].name, key)) return static_cast<int>(i);
  }
  return -1;
}

// The line break the file already uses; LF for a file without one.
std::string_view LineBreak(std::string_view text) {
  size_t nl = text.find('\n');
  if (nl != std::string_view::npos && nl > 0 && text[nl - 1] == '\r') return "\r\n";
  return "\n";
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

std::string FoldedName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = static_cast<char>(Fold(static_cast<unsigned char>(c)));
  return folded;
}

// The value of a key line: empty for a bare key, else trimmed and unquoted.
std::string KeyValue(std::string_view text, const IniLine& line) {
  if (line.eq == std::string_view::npos) return {};
  return std::string(Unquote(IniTrim(text.substr(line.eq + 1, line.content_end - line.eq - 1))));
}

}  // namespace

std::string_view IniTrim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool IniLookup(std::string_view text, std::string_view section, std::string_view key, std::string* value) {
  return IniIndex(text).Lookup(section, key, value);
}

IniIndex::IniIndex(std::string_view text) {
  Keys* keys = nullptr;  // of the section being read, when it is the first of its name
  for (const IniLine& line : SplitLines(text)) {
    if (line.kind == LineKind::kSection) {
      auto [at, added] = sections_.try_emplace(FoldedName(line.name));
      keys = added ? &at->second : nullptr;
    } else if (line.kind == LineKind::kKey && keys) {
      keys->try_emplace(FoldedName(line.name), KeyValue(text, line));
    }
  }
}

bool IniIndex::Lookup(std::string_view section, std::string_view key, std::string* value) const {
  auto s = sections_.find(FoldedName(IniTrim(section)));
  if (s == sections_.end()) return false;
  auto k = s->second.find(FoldedName(IniTrim(key)));
  if (k == s->second.end()) return false;
  *value = k->second;
  return true;
}

bool IniSet(std::string* text, std::string_view section, std::string_view key, std::string_view value) {
  section = IniTrim(section);
  key = IniTrim(key);
  if (section.empty() || key.empty() || HasLineBreak(section) || HasLineBreak(key)) return false;
  if (key.find('=') != std::string_view::npos || section.find(']') != std::string_view::npos) return false;
  if (key[0] == ';' || key[0] == '[') return false;
  value = value.substr(0, value.find_first_of(std::string_view("\r\n\0", 3)));

  std::vector<IniLine> lines = SplitLines(*text);
  std::string_view br = LineBreak(*text);
  std::string entry = std::string(key) + "=" + std::string(value);
  int header = FindSection(lines, section);
  if (header < 0) {
    if (!text->empty() && text->back() != '\n') text->append(br);
    if (!lines.empty() && lines.back().kind != LineKind::kBlank) text->append(br);
    text->append("[").append(section).append("]").append(br).append(entry).append(br);
    return true;
  }
  int at = FindKey(lines, header, key);
  if (at >= 0) {
    const IniLine& line = lines[at];
    if (line.eq == std::string_view::npos) {
      // A bare key: keep its indentation and name, give it the value.
      size_t name_end = line.begin + text->substr(line.begin, line.content_end - line.begin).find_last_not_of(" \t\v\f") + 1;
      text->replace(name_end, line.content_end - name_end, "=" + std::string(value));
    } else {
      size_t from = line.eq + 1;
      while (from < line.content_end && ((*text)[from] == ' ' || (*text)[from] == '\t')) ++from;
      text->replace(from, line.content_end - from, value);
    }
    return true;
  }
  // After the section's last key, or right after its header when it has none.
  size_t end = SectionEnd(lines, header);
  size_t after = header;
  for (size_t i = header + 1; i < end; ++i) {
    if (lines[i].kind == LineKind::kKey) after = i;
  }
  const IniLine& prev = lines[after];
  std::string insert = entry + std::string(br);
  if (prev.end == text->size() && text->back() != '\n') insert = std::string(br) + insert;  // no final break
  text->insert(prev.end, insert);
  return true;
}

}  // namespace kal
