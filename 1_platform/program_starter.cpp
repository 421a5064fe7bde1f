#include "1_platform/program_starter.h"

namespace kal {

std::string LowerAscii(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return r;
}

namespace {

// The name without a final ".exe" (compared after lower-casing); a name
// without one as it is.
std::string StripExe(const std::string& name) {
  return name.size() > 4 && name.ends_with(".exe") ? name.substr(0, name.size() - 4) : name;
}

std::string FileNameOf(std::string_view path, std::string_view separators) {
  size_t cut = path.find_last_of(separators);
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

}  // namespace

bool NamesMatch(const std::vector<std::string>& names, std::string_view wanted, bool exe_optional) {
  std::string want = LowerAscii(wanted);
  std::string bare = StripExe(want);
  for (auto& n : names) {
    if (n == want) return true;
    if (exe_optional ? StripExe(n) == bare : (bare != want && n == bare)) return true;
  }
  return false;
}

std::vector<std::string> StartedNames(const std::string& path, std::string_view asked, std::string_view separators) {
  return {LowerAscii(path), LowerAscii(FileNameOf(path, separators)), LowerAscii(FileNameOf(asked, separators))};
}

void PendingInput::Queue(std::string_view bytes) {
  size_t room = kMaxPending > pending_.size() ? kMaxPending - pending_.size() : 0;
  pending_.append(bytes.substr(0, room));
}

bool ProgramStarter::Running(int id) {
  Collect();
  return IsChild(id);
}

int ProgramStarter::ExitCode(int id) {
  Collect();
  return ended_.CodeOf(id);
}

int ProgramStarter::LastExitCodeNamed(std::string_view name) {
  Collect();
  return ended_.LastCodeMatching([&](const std::vector<std::string>& names) { return Matches(names, name); });
}

bool ProgramStarter::ConsoleProgramRunning() {
  Collect();
  return !console_children_.empty();
}

void ProgramStarter::ChildStarted(int id, std::vector<std::string> names, bool console) {
  children_.insert(id);
  names_[id] = std::move(names);
  if (console) console_children_.insert(id);
}

void ProgramStarter::ChildEnded(int id, int code) {
  ended_.Add(id, std::move(names_[id]), code);
  ChildGone(id);
}

void ProgramStarter::ChildGone(int id) {
  children_.erase(id);
  console_children_.erase(id);
  names_.erase(id);
}

}  // namespace kal
