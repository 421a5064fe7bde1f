// Terminals here take UTF-8 as it is written, and programs write it:
// nothing to switch or convert.
#include "1_platform/console_code_page.h"

#include <unistd.h>

#include <cstdio>

#include "0_base/latin1.h"

namespace kal {

ConsoleCodePage::ConsoleCodePage() = default;
ConsoleCodePage::~ConsoleCodePage() = default;

bool StandardStreamIsTerminal(int stream) { return isatty(stream == 2 ? STDERR_FILENO : STDOUT_FILENO) == 1; }

void WriteStandardText(int stream, std::string_view utf8) {
  std::FILE* to = stream == 2 ? stderr : stdout;
  std::fflush(stream == 2 ? stdout : stderr);
  std::fwrite(utf8.data(), 1, utf8.size(), to);
  std::fflush(to);
}

std::string ConsoleProgramTextToUtf8(std::string* bytes) {
  size_t whole = bytes->size() - IncompleteUtf8Tail(*bytes);
  std::string text = bytes->substr(0, whole);
  bytes->erase(0, whole);
  return text;
}

}  // namespace kal
