// Taking apart EXECUTA command lines.
#include "8_interpreter/command_line.h"

namespace kal {
namespace {

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32) s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) s.remove_suffix(1);
  return s;
}

}  // namespace

ProgramAndParams SplitCommandLine(std::string_view line) {
  ProgramAndParams r;
  std::string_view params;
  if (!line.empty() && line.front() == '"') {
    line.remove_prefix(1);
    size_t q = line.find('"');
    r.program = std::string(line.substr(0, q));
    if (q != std::string_view::npos) params = TrimBlanks(line.substr(q + 1));
  } else {
    size_t sp = line.find(' ');
    r.program = std::string(line.substr(0, sp));
    if (sp != std::string_view::npos) params = line.substr(sp + 1);
  }
  r.params = std::string(params.substr(0, kMaxParams));
  return r;
}

std::vector<std::string> SplitArguments(std::string_view p) {
  std::vector<std::string> args;
  size_t i = 0;
  while (true) {
    while (i < p.size() && (p[i] == ' ' || p[i] == '\t')) ++i;
    if (i >= p.size()) break;
    std::string arg;
    bool quoted = false;
    while (i < p.size() && (quoted || (p[i] != ' ' && p[i] != '\t'))) {
      if (p[i] == '\\') {
        size_t n = 0;
        while (i < p.size() && p[i] == '\\') ++n, ++i;
        if (i < p.size() && p[i] == '"') {
          arg.append(n / 2, '\\');
          if (n % 2) arg.push_back('"'), ++i;
        } else {
          arg.append(n, '\\');
        }
      } else if (p[i] == '"') {
        if (quoted && i + 1 < p.size() && p[i + 1] == '"') {
          arg.push_back('"');
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        arg.push_back(p[i++]);
      }
    }
    args.push_back(std::move(arg));
  }
  return args;
}

bool IsDrivePathArgument(std::string_view a) {
  return a.size() >= 2 && a[1] == ':' && ((a[0] >= 'A' && a[0] <= 'Z') || (a[0] >= 'a' && a[0] <= 'z'));
}

bool IsWindowsPathArgument(std::string_view a) {
  if (a.find("://") != std::string_view::npos) return false;
  return IsDrivePathArgument(a) || a.find('\\') != std::string_view::npos;
}

}  // namespace kal
