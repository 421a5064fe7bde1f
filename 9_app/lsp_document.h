// A script as the language server holds it: the lines as the editor sent
// them (UTF-8) beside the same lines as the interpreter stores them
// (Latin-1, one byte a character), and the conversion of columns between
// the editor's count (UTF-16 code units, the protocol's default) and the
// stored count. A character outside Latin-1 is one stored byte ('?') but
// one or two UTF-16 units, so the two counts differ on any line that holds
// one; every position that enters or leaves the server goes through here.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kal {

struct LspDocument {
  std::vector<std::string> text;    // UTF-8, as sent, without line ends
  std::vector<std::string> stored;  // the same lines as the interpreter stores them
  bool bom = false;                 // the text began with a byte-order mark (kept out of both)
  bool ends_in_newline = false;     // the last line has its line end (the editor shows an empty line after it)
};

// The document of an editor's whole text (lines end at LF or CR LF).
LspDocument DocumentOf(std::string_view utf8_text);

// The stored column of a UTF-16 column on a line; a column past the end of
// the line (or within a character's two halves) gives the next character's.
// A line past the end gives 0.
size_t StoredColumn(const LspDocument& doc, size_t line, size_t utf16_column);

// The UTF-16 column of a stored column on a line (past its end: its end).
size_t Utf16Column(const LspDocument& doc, size_t line, size_t stored_column);

}  // namespace kal
