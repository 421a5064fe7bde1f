// Starting programs with CreateProcess (documents with ShellExecuteEx) and
// looking at the running ones through the process snapshot.
//
// Every child started here is remembered by its process handle until it has
// ended. Children that must end with us go into a job object that kills its
// processes when its last handle closes, which the system does when this
// process ends in any way, killed included. The programs they start in turn
// belong to the job as well, so they end too.
#include "1_platform/programs.h"

#include "1_platform/program_starter.h"

#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <map>

#include "1_platform/paths.h"
#include "1_platform/win32/wide.h"

namespace kal {
namespace {

struct PipedProgram {
  HANDLE in = nullptr, out = nullptr, err = nullptr;
};

void CloseH(HANDLE* h) {
  if (*h) CloseHandle(*h);
  *h = nullptr;
}

std::string BaseName(std::string_view path) {
  size_t slash = path.find_last_of("\\/");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string Extension(std::string_view path) {
  std::string base = BaseName(path);
  size_t dot = base.rfind('.');
  return dot == std::string::npos ? "" : LowerAscii(base.substr(dot));
}

bool IsBatch(const std::string& path) {
  std::string ext = Extension(path);
  return ext == ".bat" || ext == ".cmd";
}

std::vector<std::string> NamesOf(HANDLE process) {
  std::vector<std::string> names;
  wchar_t buf[32768];
  DWORD n = 32768;
  if (QueryFullProcessImageNameW(process, 0, buf, &n)) {
    std::string exe = Narrow(std::wstring_view(buf, n));
    names.push_back(LowerAscii(exe));
    names.push_back(LowerAscii(BaseName(exe)));
  }
  return names;
}

// cmd.exe reads these characters of its command line itself; an argument
// holding one cannot be handed to a batch file safely.
bool SafeForBatch(const std::vector<std::string>& args) {
  for (auto& a : args)
    if (a.find_first_of("\"&|<>^%!\r\n") != std::string::npos) return false;
  return true;
}

HANDLE NullDevice(bool write) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return CreateFileW(L"NUL", write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                     OPEN_EXISTING, 0, nullptr);
}

// A pipe whose one end (the child's) is inherited.
// Our standard handle `which` as an inheritable copy for a started program;
// nullptr when there is none to give.
HANDLE InheritableStd(DWORD which) {
  HANDLE h = GetStdHandle(which), copy = nullptr;
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return nullptr;
  HANDLE self = GetCurrentProcess();
  return DuplicateHandle(self, h, self, &copy, 0, TRUE, DUPLICATE_SAME_ACCESS) ? copy : nullptr;
}

// Whether standard input is a pipe or a file rather than a console (a
// headless run, keys written ahead).
bool StandardInputRedirected() {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  return in != nullptr && in != INVALID_HANDLE_VALUE && !GetConsoleMode(in, &mode) &&
         GetFileType(in) != FILE_TYPE_UNKNOWN;
}

bool MakePipe(HANDLE* read, HANDLE* write, bool child_reads) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  if (!CreatePipe(read, write, &sa, 0)) return false;
  SetHandleInformation(child_reads ? *write : *read, HANDLE_FLAG_INHERIT, 0);
  return true;
}

// One write to the piped program's input (a pipe in no-wait mode), as
// PendingInput wants it.
PendingInput::Write WriteSome(HANDLE h, const char* data, size_t size) {
  DWORD written = 0;
  DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 4096));
  if (!WriteFile(h, data, chunk, &written, nullptr)) return {PendingInput::Outcome::kClosed};
  if (written == 0) return {PendingInput::Outcome::kFull};  // the rest goes later
  return {PendingInput::Outcome::kTook, written};
}

// The kind of a failed start from the system's error code.
StartFailure FailureOf(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
      return StartFailure::kNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      return StartFailure::kNoPermission;
    case ERROR_BAD_EXE_FORMAT:
    case ERROR_EXE_MACHINE_TYPE_MISMATCH:
    case ERROR_NO_ASSOCIATION:
      return StartFailure::kNotProgram;
    case ERROR_NO_PROC_SLOTS:
    case ERROR_MAX_THRDS_REACHED:
      return StartFailure::kNoProcess;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
    case ERROR_COMMITMENT_LIMIT:
      return StartFailure::kNoMemory;
    case ERROR_TOO_MANY_OPEN_FILES:
    case ERROR_NO_SYSTEM_RESOURCES:
      return StartFailure::kTooManyFiles;
    default:
      return StartFailure::kOther;
  }
}

// A start that failed with the system's error code: its text and its kind.
int Refuse(DWORD code, std::string* err, StartFailure* why) {
  if (err) *err = SystemErrorText(code);
  if (why) *why = FailureOf(code);
  return 0;
}

class WindowsPrograms : public ProgramStarter {
 public:
  WindowsPrograms() : ProgramStarter(true) {}
  ~WindowsPrograms() override;

  int Start(const StartRequest& req, std::string* err, StartFailure* why) override;
  // The job holds every program that ends with us and all they started.
  void EndProgramsWithUs() override {
    if (job_) TerminateJobObject(job_, 1);
    Collect();
  }
  // A console shared with a child needs nothing given back on Windows.
  void ReclaimTerminal() override {}
  int EndNamed(std::string_view name) override;
  bool End(int id, bool force) override;
  bool SendToPiped(std::string_view bytes) override;
  std::string TakePipedOutput(int stream, size_t max) override;
  bool ProcessRunningNamed(std::string_view name) override;
  std::string DocumentOpener() override { return ""; }
  std::string FindInPath(std::string_view name) override;
  bool IsExecutableFile(const std::string& path) override;

 protected:
  void Collect() override;

 private:
  void ClosePiped();
  HANDLE EndWithUsJob();
  int OpenWithSystem(const StartRequest& req, std::string* err, StartFailure* why);

  std::map<int, HANDLE> handles_;  // of the children not yet seen ending
  PipedProgram piped_;
  HANDLE job_ = nullptr;
};

// The job's handle stays open: it is what ends the job's programs when this
// process ends.
WindowsPrograms::~WindowsPrograms() {
  ClosePiped();
  for (auto& [id, h] : handles_) CloseHandle(h);
}

void WindowsPrograms::ClosePiped() {
  CloseH(&piped_.in);
  CloseH(&piped_.out);
  CloseH(&piped_.err);
  pending_.Clear();
}

// Forgets the children that have ended.
void WindowsPrograms::Collect() {
  for (auto it = handles_.begin(); it != handles_.end();) {
    if (WaitForSingleObject(it->second, 0) == WAIT_OBJECT_0) {
      DWORD code = 0;
      bool known = GetExitCodeProcess(it->second, &code) != 0;
      ChildEnded(it->first, known ? static_cast<int>(code & 0xFF) : -1);
      CloseHandle(it->second);
      it = handles_.erase(it);
    } else {
      ++it;
    }
  }
}

HANDLE WindowsPrograms::EndWithUsJob() {
  if (job_) return job_;
  job_ = CreateJobObjectW(nullptr, nullptr);
  if (!job_) return nullptr;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION info{};
  info.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_BREAKAWAY_OK;
  SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &info, sizeof info);
  return job_;
}

// Opens a document (or anything that is not a program) with the program
// the system associates with it. The id is the process id when the system
// tells one; documents handled by a program already running have none, and
// count as started and ended at once.
int WindowsPrograms::OpenWithSystem(const StartRequest& req, std::string* err, StartFailure* why) {
  std::wstring file = Widen(req.program);
  std::wstring params;
  for (auto& a : req.args) params += (params.empty() ? L"" : L" ") + QuoteArgument(Widen(a));
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.lpVerb = L"open";
  info.lpFile = file.c_str();
  info.lpParameters = params.empty() ? nullptr : params.c_str();
  info.nShow = req.streams == ChildStreams::kDetached ? SW_SHOWNOACTIVATE : SW_SHOWNORMAL;
  if (!ShellExecuteExW(&info)) return Refuse(GetLastError(), err, why);
  if (!info.hProcess) return 1;
  int id = static_cast<int>(GetProcessId(info.hProcess));
  handles_[id] = info.hProcess;
  ChildStarted(id, {}, false);
  return id;
}

int WindowsPrograms::Start(const StartRequest& req, std::string* err, StartFailure* why) {
  Collect();
  std::string path = req.program.find_first_of("\\/") == std::string::npos ? FindInPath(req.program) : req.program;
  if (path.empty()) return Refuse(ERROR_FILE_NOT_FOUND, err, why);
  if (!IsExecutableFile(path)) {
    StartRequest doc = req;
    doc.program = path;
    return OpenWithSystem(doc, err, why);
  }
  std::wstring application = Widen(path);
  std::wstring command = QuoteArgument(Widen(path));
  if (IsBatch(path)) {
    if (!SafeForBatch(req.args)) return Refuse(ERROR_INVALID_PARAMETER, err, why);
    wchar_t system[MAX_PATH];
    UINT n = GetSystemDirectoryW(system, MAX_PATH);
    application = std::wstring(system, n) + L"\\cmd.exe";
    command = L"cmd.exe /d /c \"" + QuoteArgument(Widen(path));
  }
  for (auto& a : req.args) command += L" " + QuoteArgument(Widen(a));
  if (IsBatch(path)) command += L"\"";

  STARTUPINFOW si{};
  si.cb = sizeof si;
  HANDLE in[2] = {nullptr, nullptr}, out[2] = {nullptr, nullptr}, errp[2] = {nullptr, nullptr};
  HANDLE null_in = nullptr, null_out = nullptr;
  HANDLE std_in = nullptr, std_out = nullptr, std_err = nullptr;
  DWORD flags = CREATE_UNICODE_ENVIRONMENT;
  if (req.streams == ChildStreams::kDetached) {
    null_in = NullDevice(false);
    null_out = NullDevice(true);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = null_in;
    si.hStdOutput = si.hStdError = null_out;
    flags |= CREATE_NO_WINDOW;
  } else if (req.streams == ChildStreams::kPipes) {
    if (!MakePipe(&in[0], &in[1], true) || !MakePipe(&out[0], &out[1], false) ||
        !MakePipe(&errp[0], &errp[1], false)) {
      DWORD saved = GetLastError();
      for (HANDLE* h : {&in[0], &in[1], &out[0], &out[1], &errp[0], &errp[1]}) CloseH(h);
      return Refuse(saved, err, why);
    }
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in[0];
    si.hStdOutput = out[1];
    si.hStdError = errp[1];
    flags |= CREATE_NO_WINDOW;
  } else if (StandardInputRedirected()) {
    // The console's program in a run whose input is written ahead: it
    // reads and writes our standard handles, as on other hosts. Left to
    // Windows, a console program started by one without a console would
    // get a console of its own, and our input would never reach it.
    std_in = InheritableStd(STD_INPUT_HANDLE);
    std_out = InheritableStd(STD_OUTPUT_HANDLE);
    std_err = InheritableStd(STD_ERROR_HANDLE);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = std_in;
    si.hStdOutput = std_out;
    si.hStdError = std_err;
    flags |= CREATE_NO_WINDOW;
  }
  if (req.end_with_us) flags |= CREATE_SUSPENDED;
  PROCESS_INFORMATION pi{};
  BOOL ok = CreateProcessW(application.c_str(), command.data(), nullptr, nullptr, TRUE, flags, nullptr,
                           nullptr, &si, &pi);
  DWORD saved = GetLastError();
  for (HANDLE* h : {&in[0], &out[1], &errp[1], &null_in, &null_out, &std_in, &std_out, &std_err}) CloseH(h);
  if (!ok) {
    for (HANDLE* h : {&in[1], &out[0], &errp[0]}) CloseH(h);
    return Refuse(saved, err, why);
  }
  if (req.end_with_us) {
    if (HANDLE job = EndWithUsJob()) AssignProcessToJobObject(job, pi.hProcess);
    ResumeThread(pi.hThread);
  }
  CloseHandle(pi.hThread);
  int id = static_cast<int>(pi.dwProcessId);
  handles_[id] = pi.hProcess;
  ChildStarted(id, StartedNames(path, req.program, "\\/"), req.streams == ChildStreams::kConsole);
  if (req.streams == ChildStreams::kPipes) {
    ClosePiped();
    piped_.in = in[1];
    piped_.out = out[0];
    piped_.err = errp[0];
    // Writes that the pipe cannot take now return at once.
    DWORD mode = PIPE_READMODE_BYTE | PIPE_NOWAIT;
    SetNamedPipeHandleState(piped_.in, &mode, nullptr, nullptr);
  }
  return id;
}

int WindowsPrograms::EndNamed(std::string_view name) {
  Collect();
  int ended = 0;
  for (auto& [id, process] : handles_) {
    if (!Matches(NamesOf(process), name)) continue;
    if (TerminateProcess(process, 1)) ++ended;
  }
  return ended;
}

bool WindowsPrograms::SendToPiped(std::string_view bytes) {
  if (!piped_.in) return false;
  HANDLE h = piped_.in;
  if (pending_.Send(bytes, [h](const char* data, size_t size) { return WriteSome(h, data, size); })) return true;
  CloseH(&piped_.in);  // the program closed its input or ended
  return false;
}

std::string WindowsPrograms::TakePipedOutput(int stream, size_t max) {
  SendToPiped("");  // move on what the input pipe refused before
  HANDLE* h = stream == 2 ? &piped_.err : &piped_.out;
  std::string got;
  char buf[4096];
  while (*h && got.size() < max) {
    DWORD avail = 0;
    if (!PeekNamedPipe(*h, nullptr, 0, nullptr, &avail, nullptr)) {
      CloseH(h);  // the program closed it: nothing more will come
      break;
    }
    if (avail == 0) break;
    DWORD n = 0;
    DWORD want = static_cast<DWORD>(std::min<size_t>({sizeof buf, max - got.size(), avail}));
    if (!ReadFile(*h, buf, want, &n, nullptr) || n == 0) {
      CloseH(h);
      break;
    }
    got.append(buf, n);
  }
  return got;
}

bool WindowsPrograms::ProcessRunningNamed(std::string_view name) {
  Collect();
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W e{};
  e.dwSize = sizeof e;
  bool found = false;
  for (BOOL more = Process32FirstW(snap, &e); more && !found; more = Process32NextW(snap, &e)) {
    std::vector<std::string> names = {LowerAscii(Narrow(e.szExeFile))};
    found = Matches(names, name);
    if (!found && name.find_first_of("\\/") != std::string_view::npos) {
      HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, e.th32ProcessID);
      if (process) {
        found = Matches(NamesOf(process), name);
        CloseHandle(process);
      }
    }
  }
  CloseHandle(snap);
  return found;
}

std::string WindowsPrograms::FindInPath(std::string_view name) {
  if (name.empty() || name.find_first_of("\\/:") != std::string_view::npos) return "";
  std::wstring wname = Widen(name);
  std::vector<std::wstring> tries = {L""};
  if (Extension(name).empty()) tries = {L".exe", L".com", L".bat", L".cmd"};
  for (auto& ext : tries) {
    wchar_t buf[32768];
    DWORD n = SearchPathW(nullptr, (wname + ext).c_str(), nullptr, 32768, buf, nullptr);
    if (n == 0 || n >= 32768) continue;
    std::string found = Narrow(std::wstring_view(buf, n));
    if (IsExecutableFile(found)) return found;
  }
  return "";
}

bool WindowsPrograms::IsExecutableFile(const std::string& path) {
  DWORD attr = GetFileAttributesW(Widen(path).c_str());
  if (attr == INVALID_FILE_ATTRIBUTES || (attr & FILE_ATTRIBUTE_DIRECTORY)) return false;
  std::string ext = Extension(path);
  return ext == ".exe" || ext == ".com" || ext == ".bat" || ext == ".cmd";
}

// Windows has no polite request that every program hears; a program is
// ended at once either way.
bool WindowsPrograms::End(int id, bool force) {
  (void)force;
  Collect();
  auto it = handles_.find(id);
  if (id <= 0 || it == handles_.end()) return false;
  return TerminateProcess(it->second, 1) != 0;
}

}  // namespace

std::unique_ptr<Programs> MakeHostPrograms() { return std::make_unique<WindowsPrograms>(); }

std::string HelperProgramFolder() { return ProgramFolder(); }

}  // namespace kal
