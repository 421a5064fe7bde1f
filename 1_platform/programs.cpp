// The platform state's program starter and the calls that reach it.
#include "1_platform/programs.h"

#include "1_platform/platform.h"

namespace kal {

Programs& ProgramsOf(Platform& p) {
  if (!p.programs) {
    if (!p.host_programs) p.host_programs = MakeHostPrograms();
    p.programs = p.host_programs.get();
  }
  return *p.programs;
}

ScopedPrograms::ScopedPrograms(Platform& platform, Programs& programs)
    : platform_(platform), previous_(platform.programs) {
  platform_.programs = &programs;
}

ScopedPrograms::~ScopedPrograms() { platform_.programs = previous_; }

int StartProgram(Platform& p, const StartRequest& req, std::string* err, StartFailure* why) {
  if (why) *why = StartFailure::kNone;
  return ProgramsOf(p).Start(req, err, why);
}

bool ProgramRunning(Platform& p, int id) { return ProgramsOf(p).Running(id); }

int ProgramExitCode(Platform& p, int id) { return ProgramsOf(p).ExitCode(id); }

int LastExitCodeNamed(Platform& p, std::string_view name) { return ProgramsOf(p).LastExitCodeNamed(name); }

void EndProgramsWithUs(Platform& p) { ProgramsOf(p).EndProgramsWithUs(); }

bool ConsoleProgramRunning(Platform& p) { return ProgramsOf(p).ConsoleProgramRunning(); }

void ReclaimTerminal(Platform& p) { ProgramsOf(p).ReclaimTerminal(); }

int EndProgramsNamed(Platform& p, std::string_view name) { return ProgramsOf(p).EndNamed(name); }

bool EndProgram(Platform& p, int id, bool force) { return ProgramsOf(p).End(id, force); }

bool SendToPipedProgram(Platform& p, std::string_view bytes) { return ProgramsOf(p).SendToPiped(bytes); }

std::string TakePipedOutput(Platform& p, int stream, size_t max) { return ProgramsOf(p).TakePipedOutput(stream, max); }

bool ProcessRunningNamed(Platform& p, std::string_view name) { return ProgramsOf(p).ProcessRunningNamed(name); }

std::string DocumentOpener(Platform& p) { return ProgramsOf(p).DocumentOpener(); }

std::string FindInPath(Platform& p, std::string_view name) { return ProgramsOf(p).FindInPath(name); }

bool IsExecutableFile(Platform& p, const std::string& path) { return ProgramsOf(p).IsExecutableFile(path); }

}  // namespace kal
