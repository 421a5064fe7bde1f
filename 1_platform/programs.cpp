// The installed program starter and the calls that reach it.
#include "1_platform/programs.h"

#include "1_platform/platform.h"

namespace kal {
namespace {

constexpr const char* kNoStarter = "no program starter";

// The installed platform's starter; the host's is made on first use.
Programs* Installed() {
  Platform* p = InstalledPlatform();
  if (!p) return nullptr;
  if (!p->programs) {
    if (!p->host_programs) p->host_programs = MakeHostPrograms();
    p->programs = p->host_programs.get();
  }
  return p->programs;
}

}  // namespace

ScopedPrograms::ScopedPrograms(Programs& programs) : platform_(InstalledPlatform()) {
  if (!platform_) return;
  previous_ = platform_->programs;
  platform_->programs = &programs;
}

ScopedPrograms::~ScopedPrograms() {
  if (platform_) platform_->programs = previous_;
}

int StartProgram(const StartRequest& req, std::string* err, StartFailure* why) {
  if (why) *why = StartFailure::kNone;
  if (Programs* p = Installed()) return p->Start(req, err, why);
  if (err) *err = kNoStarter;
  if (why) *why = StartFailure::kOther;
  return 0;
}

bool ProgramRunning(int id) { return Installed() && Installed()->Running(id); }

int ProgramExitCode(int id) { return Installed() ? Installed()->ExitCode(id) : -1; }

int LastExitCodeNamed(std::string_view name) { return Installed() ? Installed()->LastExitCodeNamed(name) : -1; }

void EndProgramsWithUs() {
  if (Programs* p = Installed()) p->EndProgramsWithUs();
}

bool ConsoleProgramRunning() { return Installed() && Installed()->ConsoleProgramRunning(); }

void ReclaimTerminal() {
  if (Programs* p = Installed()) p->ReclaimTerminal();
}

int EndProgramsNamed(std::string_view name) { return Installed() ? Installed()->EndNamed(name) : 0; }

bool EndProgram(int id, bool force) { return Installed() && Installed()->End(id, force); }

bool SendToPipedProgram(std::string_view bytes) { return Installed() && Installed()->SendToPiped(bytes); }

std::string TakePipedOutput(int stream, size_t max) {
  return Installed() ? Installed()->TakePipedOutput(stream, max) : std::string();
}

bool ProcessRunningNamed(std::string_view name) { return Installed() && Installed()->ProcessRunningNamed(name); }

std::string DocumentOpener() { return Installed() ? Installed()->DocumentOpener() : std::string(); }

std::string FindInPath(std::string_view name) { return Installed() ? Installed()->FindInPath(name) : std::string(); }

bool IsExecutableFile(const std::string& path) { return Installed() && Installed()->IsExecutableFile(path); }

}  // namespace kal
