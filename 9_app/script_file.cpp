#include "9_app/script_file.h"
#include "9_app/app_messages.h"

#include "0_base/latin1.h"
#include "8_interpreter/interpreter.h"
#include "1_platform/file_read_reason.h"
#include "1_platform/paths.h"

namespace kal {

bool SplitScriptText(std::string text, std::vector<std::string>* lines, std::string* err) {
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
    text = Utf8ToLatin1(text.substr(3));
  } else {
    text = HostTextToScript(text);
  }
  lines->clear();
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    size_t end = nl == std::string::npos ? text.size() : nl;
    size_t line_end = (end > pos && text[end - 1] == '\r') ? end - 1 : end;
    if (lines->size() == static_cast<size_t>(kMaxScriptLines)) {
      *err = TooManyLinesMessage();
      return false;
    }
    lines->push_back(text.substr(pos, line_end - pos));
    if (nl == std::string::npos) break;
    pos = nl + 1;
  }
  return true;
}

std::string TooManyLinesMessage() {
  return std::string(app_msg::kTooManyLinesBefore) + std::to_string(kMaxScriptLines) + std::string(app_msg::kTooManyLinesAfter);
}

std::string HostTextToScript(std::string_view text) {
  return LooksLikeUtf8(text) ? Utf8ToLatin1(text) : std::string(text);
}

std::vector<std::string> HostTextsToScript(const std::vector<std::string>& texts) {
  std::vector<std::string> out;
  for (const std::string& t : texts) out.push_back(HostTextToScript(t));
  return out;
}

ReadBounds ScriptFileBounds() {
  ReadBounds bounds;
  bounds.max_bytes = kMaxScriptBytes;
  bounds.max_lines = kMaxScriptLines;
  return bounds;
}

bool LoadScriptFile(const std::string& path, std::vector<std::string>* lines, std::string* err) {
  lines->clear();
  std::string text;
  ReadBounds bounds = ScriptFileBounds();
  switch (FileRead result = ReadHostFileWithin(path, bounds, &text)) {
    case FileRead::kRead: break;
    case FileRead::kMissing: *err = std::string(app_msg::kScriptNotFound) + path; return false;
    case FileRead::kFolder: *err = std::string(app_msg::kScriptIsFolder) + path; return false;
    case FileRead::kUnreadable: *err = std::string(app_msg::kScriptUnreadable) + path; return false;
    default: *err = std::string(app_msg::kScriptPrefix) + path + " " + FileReadReason(result, bounds); return false;
  }
  if (!SplitScriptText(std::move(text), lines, err)) {
    *err = std::string(app_msg::kScriptPrefix) + path + " " + *err;
    return false;
  }
  return true;
}

}  // namespace kal
