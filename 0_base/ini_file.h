// Reading and editing the text of an initialisation file ("[SECTION]" lines
// followed by "KEY=value" lines), the format of Talven.ini.
//
// Reading follows the rules the family's files were written for:
//   - section and key names are compared without regard to letter case;
//   - the first matching section is the only one searched, and the first
//     matching key in it wins;
//   - names and values are trimmed of blanks, and a value enclosed in one pair
//     of double or single quotes loses them;
//   - a line whose first non-blank character is ';' is a comment;
//   - a line without '=' inside a section is a key with an empty value;
//   - lines end with LF or CR LF; bytes are kept as they are (Latin-1).
// Editing changes only the line of the key (or adds the key or the section);
// every other byte of the text stays as it was.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

namespace kal {

// True when the section holds the key; its value is stored in *value.
bool IniLookup(std::string_view text, std::string_view section, std::string_view key, std::string* value);

// Every key of a file's text, read once by the rules above, for files whose
// keys are asked for many times (Talven.ini is read for each setting).
class IniIndex {
 public:
  IniIndex() = default;
  explicit IniIndex(std::string_view text);

  // As IniLookup on the text the index was made from.
  bool Lookup(std::string_view section, std::string_view key, std::string* value) const;

 private:
  using Keys = std::unordered_map<std::string, std::string>;
  // Folded section name -> folded key name -> value; only the first section
  // of a name and the first key of a name in it are kept.
  std::unordered_map<std::string, Keys> sections_;
};

// The text with section/key set to value: the value of the key's first line
// is replaced; a missing key is added after the last key of the section; a
// missing section is added at the end. A value is cut at its first line
// break or NUL byte, so that it cannot add lines. False (and the text
// untouched) when the section or key name cannot be written: empty, or
// holding a line break, or a key holding '=' or a section holding ']'.
bool IniSet(std::string* text, std::string_view section, std::string_view key, std::string_view value);

// Blanks and tabs (and a CR left over from a line end) removed at both ends.
std::string_view IniTrim(std::string_view s);

}  // namespace kal
