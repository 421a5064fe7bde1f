#include "9_app/lsp_document.h"

#include "9_app/script_file.h"

namespace kal {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The length of the UTF-8 sequence at text[at] and the UTF-16 units of its
// character; a byte that begins no whole sequence is one character of its
// own, as the Latin-1 conversion takes it.
size_t SequenceAt(std::string_view text, size_t at, size_t* units) {
  unsigned char lead = static_cast<unsigned char>(text[at]);
  size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 1;
  if (lead >= 0xF5) length = 1;
  if (at + length > text.size()) length = 1;
  for (size_t i = 1; i < length; ++i)
    if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) length = 1;
  *units = length == 4 ? 2 : 1;
  return length;
}

// The leading units a line has before its first stored character.
size_t LeadOf(const LspDocument& doc, size_t line) { return doc.bom && line == 0 ? 1 : 0; }

}  // namespace

LspDocument DocumentOf(std::string_view utf8_text) {
  LspDocument doc;
  if (utf8_text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    doc.bom = true;
    utf8_text.remove_prefix(kByteOrderMark.size());
  }
  size_t pos = 0;
  while (pos < utf8_text.size()) {
    size_t nl = utf8_text.find('\n', pos);
    size_t end = nl == std::string_view::npos ? utf8_text.size() : nl;
    size_t line_end = end > pos && utf8_text[end - 1] == '\r' ? end - 1 : end;
    std::string_view line = utf8_text.substr(pos, line_end - pos);
    doc.text.emplace_back(line);
    doc.stored.push_back(HostTextToScript(line));
    if (nl == std::string_view::npos) break;
    pos = nl + 1;
  }
  doc.ends_in_newline = !utf8_text.empty() && utf8_text.back() == '\n';
  return doc;
}

size_t StoredColumn(const LspDocument& doc, size_t line, size_t utf16_column) {
  if (line >= doc.text.size()) return 0;
  std::string_view text = doc.text[line];
  size_t units = LeadOf(doc, line), column = 0;
  for (size_t at = 0; at < text.size() && units < utf16_column; ++column) {
    size_t width = 0;
    at += SequenceAt(text, at, &width);
    units += width;
  }
  return column;
}

size_t Utf16Column(const LspDocument& doc, size_t line, size_t stored_column) {
  if (line >= doc.text.size()) return 0;
  std::string_view text = doc.text[line];
  size_t units = LeadOf(doc, line);
  for (size_t at = 0, column = 0; at < text.size() && column < stored_column; ++column) {
    size_t width = 0;
    at += SequenceAt(text, at, &width);
    units += width;
  }
  return units;
}

}  // namespace kal
