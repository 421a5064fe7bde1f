// What both hosts' program starters share: the table of the children started
// here (which still run, which share the console, the names each was started
// under), the record of how the ended ones ended, the input waiting for the
// piped program, and the answers that only read these. A host starter
// derives from ProgramStarter and adds starting, looking at its children
// (Collect) and ending them.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "1_platform/ended_programs.h"
#include "1_platform/programs.h"

namespace kal {

// ASCII letters in lower case; other bytes as they are.
std::string LowerAscii(std::string_view s);

// True when one of a process's names (lower case) is the wanted one, compared
// without regard to ASCII case; a wanted name ending in ".exe" also matches
// the same name without it. With exe_optional, a name of the process that
// ends in ".exe" matches the wanted one without it too (Windows, where every
// program's name has it).
bool NamesMatch(const std::vector<std::string>& names, std::string_view wanted, bool exe_optional);

// The names a child is known by: its path, the file name of its path and of
// the program as it was asked for, in lower case. separators: those of the
// host's paths.
std::vector<std::string> StartedNames(const std::string& path, std::string_view asked, std::string_view separators);

// Input for the piped program that its pipe has not taken yet, up to a bound
// (what comes beyond it is dropped).
class PendingInput {
 public:
  // What one write to the pipe did: took `taken` bytes (> 0), found the pipe
  // full, or found it closed.
  enum class Outcome { kTook, kFull, kClosed };
  struct Write {
    Outcome outcome;
    size_t taken = 0;
  };

  // Queues bytes and writes what the pipe takes, with write(data, size).
  // False when the pipe is closed: the queued input is dropped.
  template <typename WriteFn>
  bool Send(std::string_view bytes, WriteFn write) {
    Queue(bytes);
    while (!pending_.empty()) {
      Write w = write(pending_.data(), pending_.size());
      if (w.outcome == Outcome::kFull) return true;
      if (w.outcome == Outcome::kClosed) {
        pending_.clear();
        return false;
      }
      pending_.erase(0, w.taken);
    }
    return true;
  }
  void Clear() { pending_.clear(); }

 private:
  static constexpr size_t kMaxPending = 1 << 20;
  void Queue(std::string_view bytes);
  std::string pending_;
};

class ProgramStarter : public Programs {
 public:
  bool Running(int id) override;
  int ExitCode(int id) override;
  int LastExitCodeNamed(std::string_view name) override;
  bool ConsoleProgramRunning() override;

 protected:
  // exe_optional: as NamesMatch takes it.
  explicit ProgramStarter(bool exe_optional) : exe_optional_(exe_optional) {}

  // Looks at the children and reports those that ended (ChildEnded) or went
  // (ChildGone).
  virtual void Collect() = 0;

  // A child started under these names; console: it shares the console.
  void ChildStarted(int id, std::vector<std::string> names, bool console);
  // The child ended with code: it goes to the record of ended programs.
  void ChildEnded(int id, int code);
  // The child went without its end being seen: it is forgotten.
  void ChildGone(int id);
  bool IsChild(int id) const { return children_.count(id) > 0; }
  const std::set<int>& Children() const { return children_; }
  bool Matches(const std::vector<std::string>& names, std::string_view wanted) const {
    return NamesMatch(names, wanted, exe_optional_);
  }

  PendingInput pending_;

 private:
  bool exe_optional_;
  std::set<int> children_;                        // started and not yet ended
  std::set<int> console_children_;                // those started with kConsole
  std::map<int, std::vector<std::string>> names_;  // of the children, as started
  EndedPrograms ended_;
};

}  // namespace kal
