// A program starter for tests: starts nothing, records every start asked of
// it (the request and the folder it would have run in), and answers lookups
// from what the test declared. A started program ends at once with the code
// set for its name, so a script that waits for it goes on; its end is then
// known by id and by name as a real one's would be.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "1_platform/program_starter.h"

namespace kal {

class RecordingPrograms : public ProgramStarter {
 public:
  struct Started {
    StartRequest request;
    std::string folder;  // the current folder at the start
    int id = 0;
  };

  RecordingPrograms() : ProgramStarter(false) {}

  // What the test declares: an executable file (IsExecutableFile), a name
  // found along PATH (FindInPath, which also makes the path executable), the
  // exit code of programs started under a name, a start that fails.
  void AddExecutable(const std::string& path) { executables_.insert(path); }
  void AddOnPath(const std::string& name, const std::string& path);
  void SetExitCode(const std::string& name, int code) { codes_[LowerAscii(name)] = code; }
  void FailStarts(std::string reason, StartFailure kind = StartFailure::kOther) {
    fail_reason_ = std::move(reason);
    fail_kind_ = kind;
  }
  void SetDocumentOpener(std::string opener) { opener_ = std::move(opener); }

  // Every start asked for, in order (failed ones included, with id 0).
  const std::vector<Started>& started() const { return started_; }
  // What was sent to the piped program.
  const std::string& piped_input() const { return piped_input_; }

  int Start(const StartRequest& req, std::string* err, StartFailure* why = nullptr) override;
  void EndProgramsWithUs() override {}
  void ReclaimTerminal() override {}
  int EndNamed(std::string_view) override { return 0; }
  bool End(int, bool) override { return false; }
  bool SendToPiped(std::string_view bytes) override;
  std::string TakePipedOutput(int, size_t) override { return ""; }
  bool ProcessRunningNamed(std::string_view) override { return false; }
  std::string DocumentOpener() override { return opener_; }
  std::string FindInPath(std::string_view name) override;
  bool IsExecutableFile(const std::string& path) override { return executables_.count(path) > 0; }

 protected:
  void Collect() override {}

 private:
  std::vector<Started> started_;
  std::set<std::string> executables_;
  std::map<std::string, std::string> on_path_;
  std::map<std::string, int> codes_;  // by lower-case file name
  std::string fail_reason_;
  StartFailure fail_kind_ = StartFailure::kOther;
  std::string opener_ = "xdg-open";
  std::string piped_input_;
  bool piped_ = false;
  int next_id_ = 1000;
};

}  // namespace kal
