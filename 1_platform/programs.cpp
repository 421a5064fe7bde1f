// The installed program starter and the calls that reach it.
#include "1_platform/programs.h"

namespace kal {
namespace {

// Process-wide because the children a run started are the process's: the
// interpreter, the speech services and main all reach the same table.
Programs* g_programs = nullptr;

constexpr const char* kNoStarter = "no program starter";

}  // namespace

ScopedPrograms::ScopedPrograms(Programs& programs) : previous_(g_programs) { g_programs = &programs; }

ScopedPrograms::~ScopedPrograms() { g_programs = previous_; }

int StartProgram(const StartRequest& req, std::string* err) {
  if (g_programs) return g_programs->Start(req, err);
  if (err) *err = kNoStarter;
  return 0;
}

bool ProgramRunning(int id) { return g_programs && g_programs->Running(id); }

int ProgramExitCode(int id) { return g_programs ? g_programs->ExitCode(id) : -1; }

int LastExitCodeNamed(std::string_view name) { return g_programs ? g_programs->LastExitCodeNamed(name) : -1; }

void EndProgramsWithUs() {
  if (g_programs) g_programs->EndProgramsWithUs();
}

bool ConsoleProgramRunning() { return g_programs && g_programs->ConsoleProgramRunning(); }

void ReclaimTerminal() {
  if (g_programs) g_programs->ReclaimTerminal();
}

int EndProgramsNamed(std::string_view name) { return g_programs ? g_programs->EndNamed(name) : 0; }

bool EndProgram(int id, bool force) { return g_programs && g_programs->End(id, force); }

bool SendToPipedProgram(std::string_view bytes) { return g_programs && g_programs->SendToPiped(bytes); }

std::string TakePipedOutput(int stream, size_t max) {
  return g_programs ? g_programs->TakePipedOutput(stream, max) : std::string();
}

bool ProcessRunningNamed(std::string_view name) { return g_programs && g_programs->ProcessRunningNamed(name); }

std::string DocumentOpener() { return g_programs ? g_programs->DocumentOpener() : std::string(); }

std::string FindInPath(std::string_view name) { return g_programs ? g_programs->FindInPath(name) : std::string(); }

bool IsExecutableFile(const std::string& path) { return g_programs && g_programs->IsExecutableFile(path); }

}  // namespace kal
