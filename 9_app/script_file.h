// Reading a script file into lines of Latin-1 text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "1_platform/paths.h"

namespace kal {

// Reads the file's lines (LF or CR LF ends a line). The text is converted
// to Latin-1 when it starts with a UTF-8 byte-order mark or is valid UTF-8
// with multi-byte sequences. Fails with a message in *err (UTF-8, naming
// the file as given) when the file does not exist, is a folder, a pipe, a
// device or anything but a plain file, cannot be read, or passes the bounds
// of ScriptFileBounds; the bounds are checked as the file is read, so no
// more than they allow is ever read.
bool LoadScriptFile(const std::string& path, std::vector<std::string>* lines, std::string* err);

// A script file's bounds: kMaxScriptBytes bytes and kMaxScriptLines lines.
ReadBounds ScriptFileBounds();

// The same on text already in memory.
bool SplitScriptText(std::string text, std::vector<std::string>* lines, std::string* err);

// What is said of a text with more lines than a script may have (UTF-8).
std::string TooManyLinesMessage();

// Host text (a parameter from the command line) as a script value, by the
// rule of script files: valid UTF-8 with multi-byte sequences is converted to
// Latin-1 (characters outside it become '?'); anything else, plain ASCII and
// bytes that are not valid UTF-8 alike, is kept byte for byte as Latin-1.
std::string HostTextToScript(std::string_view text);
std::vector<std::string> HostTextsToScript(const std::vector<std::string>& texts);

}  // namespace kal
