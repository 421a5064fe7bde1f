// Starting other programs and looking at the running ones.
//
// The interpreter starts programs in three ways: sharing the console (the
// program takes the terminal, or standard input and output, until it ends),
// detached (its standard streams on the null device), or as a console
// program whose standard streams are pipes held here. The process list is
// searched by executable name. Nothing here blocks except WaitProgramStep,
// which sleeps at most the time asked through the event loop.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kal {

enum class ChildStreams {
  kConsole,   // inherits the terminal / standard streams and takes them over
  kDetached,  // standard streams on the null device
  kPipes,     // standard streams are pipes; the previous piped program's are closed
};

struct StartRequest {
  std::string program;            // host path, or a bare name looked up in PATH
  std::vector<std::string> args;  // host bytes, after the program name
  ChildStreams streams = ChildStreams::kDetached;
  // Ended by the system when this program ends, even when it is killed:
  // for helpers the script waits for or drives (a download, a console
  // program, a program the user works in before coming back). Programs
  // merely opened for the user (a browser, a document) stay.
  bool end_with_us = false;
};

// Why a program could not be started, from the error the system gave: the
// interpreter says it to the person in its own words.
enum class StartFailure {
  kNone,
  kNotFound,        // no such program (or folder on its path)
  kNoPermission,    // the program may not be run by this user
  kNotProgram,      // the file is not a program this system can run
  kNoProcess,       // no process can be made now: the limit of processes
  kNoMemory,        // not enough memory for a new process
  kTooManyFiles,    // no file descriptor or handle left for its streams
  kTooManyWatched,  // more programs that end with this one than can be watched
  kOther,
};

// The program starter of the host: every question above is answered by it.
// Two hosts implement it (linux/programs.cpp, win32/programs.cpp, over the
// bookkeeping they share in program_starter.h), and tests that only need to
// see what would have been started use RecordingPrograms (fake/).
class Programs {
 public:
  virtual ~Programs() = default;

  // Starts the program in the current folder. Returns its id (> 0), or 0
  // with the system's text in *err and the kind of failure in *why (each
  // when given) when it could not be started (no such program, not
  // executable, no process left, ...).
  virtual int Start(const StartRequest& req, std::string* err, StartFailure* why = nullptr) = 0;

  // True while the program of that id has not ended. Ended programs are
  // collected, so they never linger in the process list.
  virtual bool Running(int id) = 0;

  // How a program started here ended: its exit status (0 to 255), or 128 + N
  // when signal N ended it (130: the break key or SIGINT). -1 while it runs,
  // and for programs not started here or ended too long ago to be recalled.
  virtual int ExitCode(int id) = 0;

  // The exit code (as ExitCode gives it) of the program started here under
  // this name (matched as ProcessRunningNamed does, on the names it was
  // started with) that ended last; -1 when none has ended.
  virtual int LastExitCodeNamed(std::string_view name) = 0;

  // Ends every program started with end_with_us that still runs, together
  // with the programs those started in turn: each runs in a process group
  // of its own (on Windows: a job), and the whole group is asked to end,
  // then ended by force after a short while. Called by main as it ends.
  virtual void EndProgramsWithUs() = 0;

  // True while any program started with kConsole has not ended.
  virtual bool ConsoleProgramRunning() = 0;

  // Gives the terminal back to this program after a kConsole child ended
  // (its foreground process group), when it had been handed over.
  virtual void ReclaimTerminal() = 0;

  // Asks the programs started here that are still running and have this
  // name (matched as ProcessRunningNamed does) to end (SIGTERM). Returns how
  // many were asked. Programs not started by this one are never touched.
  virtual int EndNamed(std::string_view name) = 0;

  // Asks the program of that id, started here and still running, to end
  // (SIGTERM), or with force ends it at once (SIGKILL). False when it is not
  // one of ours or has ended already. The caller waits with Running.
  virtual bool End(int id, bool force) = 0;

  // Writes to the standard input of the last kPipes program without
  // blocking: what the pipe does not take now is kept (up to a bound) and
  // sent on later calls. False when there is no such program or its input
  // is closed.
  virtual bool SendToPiped(std::string_view bytes) = 0;

  // What the last kPipes program wrote to its standard output (stream 1) or
  // error (stream 2) and nobody took yet, at most max bytes; never waits.
  virtual std::string TakePipedOutput(int stream, size_t max) = 0;

  // True when a running process has this executable name: the file name of
  // its executable, its command name or the file name of its first
  // argument, or the whole executable path; compared without regard to
  // ASCII case. A name ending in ".exe" also matches the same name without.
  virtual bool ProcessRunningNamed(std::string_view name) = 0;

  // The program that opens a document or a web address with the desktop's
  // choice of viewer, given the target as its one argument; "" when Start
  // opens documents itself (Windows: the file's association).
  virtual std::string DocumentOpener() = 0;

  // The full path of an executable file found along PATH, or "" when none.
  virtual std::string FindInPath(std::string_view name) = 0;

  // True when path names an executable regular file.
  virtual bool IsExecutableFile(const std::string& path) = 0;
};

// The program starter of this host (linux/ or win32/).
std::unique_ptr<Programs> MakeHostPrograms();

struct Platform;

// Sets a program starter in the platform state for the life of this object
// (a test sets a recording one; without one the host's is made on first
// use), and puts the previous one back at its end.
class ScopedPrograms {
 public:
  ScopedPrograms(Platform& platform, Programs& programs);
  ~ScopedPrograms();
  ScopedPrograms(const ScopedPrograms&) = delete;
  ScopedPrograms& operator=(const ScopedPrograms&) = delete;

 private:
  Platform& platform_;
  Programs* previous_ = nullptr;
};

// The platform state's program starter: the one set, else the host's, made
// on first use. The calls below are its calls.
Programs& ProgramsOf(Platform& platform);

int StartProgram(Platform& platform, const StartRequest& req, std::string* err, StartFailure* why = nullptr);
bool ProgramRunning(Platform& platform, int id);
int ProgramExitCode(Platform& platform, int id);
int LastExitCodeNamed(Platform& platform, std::string_view name);
void EndProgramsWithUs(Platform& platform);
bool ConsoleProgramRunning(Platform& platform);
void ReclaimTerminal(Platform& platform);
int EndProgramsNamed(Platform& platform, std::string_view name);
bool EndProgram(Platform& platform, int id, bool force);
bool SendToPipedProgram(Platform& platform, std::string_view bytes);
std::string TakePipedOutput(Platform& platform, int stream, size_t max);
bool ProcessRunningNamed(Platform& platform, std::string_view name);
std::string DocumentOpener(Platform& platform);
std::string FindInPath(Platform& platform, std::string_view name);
bool IsExecutableFile(Platform& platform, const std::string& path);

// Where the user puts a helper program that this one starts by name (the
// radio player) when it is missing: on Windows the folder of the running
// program, which FindInPath looks in first (PATH after it); "" on hosts
// whose helpers come from the system's packages.
std::string HelperProgramFolder();

}  // namespace kal
