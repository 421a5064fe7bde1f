// From an EXECUTA command line to a host program and its arguments.
#include "8_interpreter/program_start.h"

#include "2_config/config.h"
#include "0_base/latin1.h"
#include "8_interpreter/command_line.h"
#include "1_platform/paths.h"

namespace kal {
namespace {

std::string AsciiUpper(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return r;
}

std::string AsciiLower(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return r;
}

bool IsAddress(std::string_view s) {
  std::string u = AsciiUpper(s.substr(0, 8));
  return u.starts_with("HTTP://") || u.starts_with("HTTPS://") || u.starts_with("WWW.");
}

bool LooksLikePath(std::string_view s) {
  return s.find_first_of("\\/") != std::string_view::npos || (s.size() >= 2 && s[1] == ':');
}

std::string FileNamePart(std::string_view s) {
  size_t cut = s.find_last_of("\\/:");
  return std::string(cut == std::string_view::npos ? s : s.substr(cut + 1));
}

// An argument is a path only when it is one: a drive path, or a relative
// path with backslashes that names an existing file or folder, or a new file
// in an existing folder (a download's output). Other text that merely holds
// a backslash (an option, a pattern, a piece of a web page) is not turned
// into a host path: that would let such text name any file of the host.
bool IsPathArgument(const std::string& arg) {
  if (IsDrivePathArgument(arg)) return arg.find("://") == std::string::npos;
  if (!IsWindowsPathArgument(arg) || arg[0] == '-') return false;
  std::string host = HostPath(arg);
  if (HostExists(host)) return true;
  size_t slash = host.rfind('/');
  return slash != std::string::npos && slash > 0 && HostExists(host.substr(0, slash));
}

// Windows paths become host paths; other arguments go to the host's
// programs as UTF-8 text.
std::string MapArgument(const std::string& arg) {
  return IsPathArgument(arg) ? HostPath(arg) : Latin1ToUtf8(arg);
}

// A program named in the configuration: a Windows path is mapped; a bare
// name is looked up along PATH and then beside this program (so that
// "kaldorin --view" finds the running build).
std::string ConfiguredProgram(Programs& programs, const std::string& word) {
  if (IsWindowsPathArgument(word) || word.find('/') != std::string::npos) return MapArgument(word);
  std::string name = Latin1ToUtf8(word);
  std::string found = programs.FindInPath(name);
  if (found.empty() && programs.IsExecutableFile(ProgramFolder() + "/" + name)) found = ProgramFolder() + "/" + name;
  return found.empty() ? name : found;
}

// A configured command line (program map or PROG. key) becomes the program
// and the arguments that go first.
bool UseCommandLine(Programs& programs, std::string_view line, StartRequest* req) {
  std::vector<std::string> words = SplitArguments(line);
  if (words.empty()) return false;
  req->program = ConfiguredProgram(programs, words[0]);
  req->args.insert(req->args.begin(), words.begin() + 1, words.end());
  for (size_t i = 0; i < words.size() - 1; ++i) req->args[i] = MapArgument(req->args[i]);
  return true;
}

// A program known by name only: the program map, then PATH.
bool UseNamedProgram(Programs& programs, ConfigState& config, std::string name, StartRequest* req) {
  if (name.size() > 4 && AsciiUpper(name.substr(name.size() - 4)) == ".EXE") name.resize(name.size() - 4);
  if (name.empty()) return false;
  std::string mapped = ReadConfig(config, cfg::kProgramas, AsciiUpper(name));
  if (!mapped.empty()) return UseCommandLine(programs, mapped, req);
  // Names of Windows programs come in any case; host programs are in lower case.
  std::string found = programs.FindInPath(name);
  if (found.empty()) found = programs.FindInPath(AsciiLower(name));
  if (found.empty()) return false;
  req->program = found;
  return true;
}

// A document: the program of its extension, or the desktop's opener.
bool UseDocument(Programs& programs, ConfigState& config, std::string_view shown_name, const std::string& host_target,
                 StartRequest* req) {
  req->args.assign(1, host_target);
  std::string name = FileNamePart(shown_name);
  size_t dot = name.find('.');
  std::string ext = dot == std::string::npos ? "" : AsciiUpper(name.substr(dot + 1, 3));
  std::string opener;
  if (IsAddress(shown_name)) {
    opener = ReadConfig(config, cfg::kProgHtm);
  } else if (!ext.empty() && ext != "EXE" && ext != "COM") {
    opener = ReadConfig(config, cfg::kProgPrefix.section, std::string(cfg::kProgPrefix.name) + ext);
  }
  if (!opener.empty() && UseCommandLine(programs, opener, req)) return true;
  req->program = programs.DocumentOpener();
  if (req->program.empty()) {
    // The system opens the document itself.
    req->program = host_target;
    req->args.clear();
  }
  return true;
}

}  // namespace

bool ResolveProgram(Programs& programs, ConfigState& config, std::string_view program, std::string_view params,
                    bool documents, StartRequest* req) {
  req->program.clear();
  req->args.clear();
  for (auto& a : SplitArguments(params)) req->args.push_back(MapArgument(a));
  if (program.empty()) return false;
  if (IsAddress(program)) return documents && UseDocument(programs, config, program, Latin1ToUtf8(program), req);
  std::string host = HostPath(program);
  if (HostExists(host)) {
    if (programs.IsExecutableFile(host)) {
      req->program = host;
      return true;
    }
    if (!LooksLikePath(program) && UseNamedProgram(programs, config, std::string(program), req)) return true;
    return documents && UseDocument(programs, config, program, host, req);
  }
  std::string name = FileNamePart(program);
  bool exe = name.size() > 4 && AsciiUpper(name.substr(name.size() - 4)) == ".EXE";
  if (LooksLikePath(program) && !exe) return false;
  return UseNamedProgram(programs, config, name, req);
}

}  // namespace kal
