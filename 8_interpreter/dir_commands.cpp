// Folders: DIR (CRIA, REMOVE, TROCA) and the directory search BUSCA.
//
// BUSCA takes a snapshot of the folder at the first search and walks it with
// PRÓXIMO. Names beginning with '.' count as hidden and are never returned;
// every file counts as carrying the archive mark, so the next-entry step of a
// file search returns files and that of a folder search returns folders,
// while the first search of a folder search may also return a file.
#include <cerrno>
#include <filesystem>
#include <string>

#include "0_base/latin1.h"
#include "1_platform/host_file.h"
#include "5_speech/speech.h"
#include "8_interpreter/commands.h"
#include "8_interpreter/fail_reason.h"
#include "8_interpreter/file_state.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"
#include "8_interpreter/wildcard.h"
#include "1_platform/paths.h"

namespace kal {
namespace {

bool Ok(std::error_code ec) { return !ec; }

bool MakeFolder(const std::string& path) {
  std::error_code ec;
  return std::filesystem::create_directory(HostFsPath(path), ec) && Ok(ec);
}

bool RemoveFolder(const std::string& path) {
  std::error_code ec;
  return HostIsFolder(path) && std::filesystem::remove(HostFsPath(path), ec) && Ok(ec);
}

// A drive root ("X:\") has no "." and ".." entries.
bool IsDriveRoot(const std::string& host_folder) {
  std::string shown = ScriptPath(host_folder);
  while (!shown.empty() && (shown.back() == '\\' || shown.back() == '/')) shown.pop_back();
  return shown.size() == 2 && shown[1] == ':';
}

// Splits a search pattern into its folder (host path) and its mask.
void SplitPattern(std::string_view pattern, std::string* folder, std::string* mask) {
  size_t cut = pattern.find_last_of("\\/");
  if (cut == std::string_view::npos && pattern.size() >= 2 && pattern[1] == ':') cut = 1;
  if (cut == std::string_view::npos) {
    *folder = HostPath("");
    *mask = std::string(pattern);
    return;
  }
  std::string_view dir = pattern.substr(0, cut + 1);
  *folder = HostPath(dir);
  *mask = std::string(pattern.substr(cut + 1));
}

void StartSearch(DirectorySearch& s, std::string_view pattern, bool folders) {
  s = DirectorySearch();
  s.open = true;
  s.folders = folders;
  std::string folder, mask;
  SplitPattern(pattern, &folder, &mask);
  if (mask.empty() || folder.find_first_of("*?") != std::string::npos) return;
  std::vector<FolderEntry> entries;
  if (!ListHostFolder(folder, &entries)) return;
  if (!IsDriveRoot(folder)) {
    for (const char* dot : {".", ".."})
      if (WildcardMatch(mask, dot)) s.matches.push_back({dot, true});
  }
  for (auto& e : entries) {
    if (!e.is_hidden && WildcardMatch(mask, e.name)) s.matches.push_back({e.name, e.is_folder});
  }
}

// The first entry of a new search: files only under the file filter, files
// and folders under the folder filter.
std::string FirstEntry(DirectorySearch& s) {
  for (; s.next < s.matches.size(); ++s.next) {
    const SearchEntry& e = s.matches[s.next];
    if (s.folders || !e.is_folder) return s.matches[s.next++].name;
  }
  s.open = false;
  return "";
}

std::string NextEntry(DirectorySearch& s) {
  if (!s.open) return "";
  for (; s.next < s.matches.size(); ++s.next) {
    const SearchEntry& e = s.matches[s.next];
    if (e.is_folder == s.folders) return s.matches[s.next++].name;
  }
  s = DirectorySearch();
  return "";
}

}  // namespace

// DIR CRIA|REMOVE|TROCA path [&]
bool CmdDir(InterpreterState& in, std::string_view args) {
  bool silent = TakeTrailingAmpersand(&args);
  std::string upper = UpperCaseText(args.substr(0, 7));
  int op = upper.starts_with("CRIA ") ? 0 : upper.starts_with("REMOVE ") ? 1 : upper.starts_with("TROCA ") ? 2 : -1;
  if (op < 0) return false;
  args = TrimBlanks(args.substr(args.find(' ')));
  std::string path;
  if (!ReadOperand(in, &args, &path) || !args.empty()) return false;
  std::string host = HostPath(path);
  bool ok = op == 0 ? MakeFolder(host) : op == 1 ? RemoveFolder(host) : SetCurrentFolder(path);
  if (ok || silent) return true;
  // Why, where it can be told without the system's words: a folder to make
  // that is there, or one to remove or enter that is not.
  bool there = HostExists(host);
  return FailOnFile(in, kMsgFolderError, path, op == 0 ? (there ? EEXIST : 0) : (there ? 0 : ENOENT));
}

// BUSCA var [DIR] pattern | PRÓXIMO | FIM, or BUSCA var DIR alone for the
// current folder.
bool CmdBusca(InterpreterState& in, std::string_view args) {
  int slot = 0;
  if (!ReadVariableRef(in, &args, &slot) || args.empty()) return false;
  bool folders = false;
  if (UpperCaseText(args.substr(0, 3)) == "DIR") {
    folders = true;
    args = TrimBlanks(args.substr(std::min<size_t>(4, args.size())));
  }
  std::string upper = UpperCaseText(args.substr(0, 7));
  std::string result;
  if (upper.starts_with("FIM")) {
    in.files.search = DirectorySearch();
    return true;
  } else if (upper == "PROXIMO" || upper == L1("PRÓXIMO")) {
    if (args.size() > 7) return false;
    result = NextEntry(in.files.search);
  } else if (args.empty()) {
    result = CurrentFolder();
  } else {
    std::string pattern;
    if (!ReadOperand(in, &args, &pattern) || !args.empty()) return false;
    StartSearch(in.files.search, pattern, folders);
    result = FirstEntry(in.files.search);
  }
  Var(in, slot) = std::string(TrimBlanks(result));
  return true;
}

}  // namespace kal
