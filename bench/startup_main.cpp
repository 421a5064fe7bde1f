// bench_startup: what starting the program costs, beside perl in the same
// run. Figures, not verdicts:
//  - the wall time of an empty script (`termina mudo`) as a whole process,
//    against `perl -e 1`, in pairs whose order alternates; the medians, the
//    fastest and slowest run of each, and the ratio of the medians;
//  - the calls of the stat family an empty script makes, and the files it
//    opens (strace -c -f, when strace is installed);
//  - the shared libraries mapped while a plain script waits for a key in a
//    terminal-less run (from /proc/PID/maps);
//  - how long after its start the program says its first word (the first
//    line of its speech log);
//  - how soon the first sound comes out through ALSA and through the sound
//    library, and the libraries mapped after it;
//  - the peak resident memory of a 2,000,000-pass counting loop, against
//    perl's loop of the same count.
// The program runs headless with no sound device (SDL's dummy driver), on
// scripts in a temporary folder, with a configuration folder of its own
// that a first run fills with the defaults; the timing begins once that
// folder has settled, as an installed one has (a folder changed in the last
// two seconds is looked at anew at each read). KALDORIN_MODULE_DIR is left
// as it is.
//
// Usage: bench_startup [rounds]   (default 20)
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/peer_stats.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point since) { return std::chrono::duration<double, std::milli>(Clock::now() - since).count(); }

std::string ProgramPath() {
  std::error_code ec;
  auto self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : (self.parent_path() / "kaldorin").string();
}

// Starts argv with standard input from in_fd (or /dev/null) and standard
// output and error to /dev/null; the child's id.
pid_t Start(const std::vector<std::string>& argv, int in_fd = -1) {
  pid_t pid = fork();
  if (pid != 0) return pid;
  int null_fd = open("/dev/null", O_RDWR);
  dup2(in_fd >= 0 ? in_fd : null_fd, 0);
  dup2(null_fd, 1);
  dup2(null_fd, 2);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  execvp(args[0], args.data());
  _exit(127);
}

// Waits for the child; its peak resident memory in MB, or -1 when it failed.
double Finish(pid_t pid) {
  int status = 0;
  rusage use{};
  if (wait4(pid, &status, 0, &use) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return use.ru_maxrss / 1024.0;
}

double TimeRun(const std::vector<std::string>& argv) {
  auto start = Clock::now();
  return Finish(Start(argv)) < 0 ? -1 : Ms(start);
}

// The distinct shared objects in a process's address space.
int LibrariesMapped(pid_t pid) {
  std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
  std::set<std::string> files;
  for (std::string line; std::getline(maps, line);) {
    size_t slash = line.find('/');
    if (slash != std::string::npos && line.find(".so", slash) != std::string::npos) files.insert(line.substr(slash));
  }
  return static_cast<int>(files.size());
}

// A plain script that waits for a key: the libraries mapped while it waits.
int PlainScriptLibraries(const std::string& program, const std::string& script) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  pid_t pid = Start({program, "--headless", script}, fds[0]);
  close(fds[0]);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  int n = LibrariesMapped(pid);
  if (write(fds[1], "\r", 1) != 1) n = -1;
  close(fds[1]);
  Finish(pid);
  return n;
}

// Milliseconds from the start of argv until the file has its first bytes.
double FirstBytes(const std::vector<std::string>& argv, const std::string& file) {
  fs::remove(file);
  auto start = Clock::now();
  pid_t pid = Start(argv);
  double at = -1;
  while (Ms(start) < 5000) {
    struct stat st{};
    if (stat(file.c_str(), &st) == 0 && st.st_size > 0) {
      at = Ms(start);
      break;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(50));
  }
  Finish(pid);
  return at;
}

// Calls of the stat family and opens of an empty script's run, counted by
// strace; false when strace is not there or failed.
struct CallCounts {
  long stats = 0, opens = 0;
};
bool CountCalls(const std::string& program, const std::string& script, const fs::path& dir, CallCounts* c) {
  if (std::system("command -v strace >/dev/null 2>&1") != 0) return false;
  std::string out = dir / "strace.txt";
  pid_t pid = Start({"strace", "-f", "-c", "-o", out, "-e", "trace=%%stat,access,faccessat,faccessat2,open,openat",
                     program, "--headless", script});
  if (Finish(pid) < 0) return false;
  std::ifstream in(out);
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    std::vector<std::string> f;
    for (std::string w; fields >> w;) f.push_back(w);
    // "% time seconds usecs/call calls [errors] syscall"
    if (f.size() < 5 || f.back() == "total" || f.back() == "syscall") continue;
    long calls = std::atol(f[3].c_str());
    (f.back().find("open") != std::string::npos ? c->opens : c->stats) += calls;
  }
  return true;
}

void Keep(double* best, double v) {
  if (v >= 0 && (*best < 0 || v < *best)) *best = v;
}

// Milliseconds from the start until the speech log has its first line.
double FirstSpeech(const std::string& program, const std::string& script, const std::string& log) {
  return FirstBytes({program, "--headless", "--speech-log", log, script}, log);
}

// The first sound of a script that speaks, through ALSA (its file plugin)
// or the sound library (its disk driver): how long after the start the
// first samples come out, and the libraries mapped once the script waits
// for a key after speaking.
struct SoundFigures {
  double first_ms = -1;
  int libraries = -1;
};

SoundFigures FirstSound(const std::string& program, const fs::path& dir, bool alsa, int rounds) {
  std::string out = dir / (alsa ? "alsa.raw" : "sdl.raw");
  std::string speak = dir / "speak.kal", speak_wait = dir / "speak_wait.kal";
  std::ofstream(speak) << "escreve \"a\"\ntermina mudo\n";
  std::ofstream(speak_wait) << "escreve \"a\"\nle $a\ntermina mudo\n";
  if (alsa) {
    std::ofstream(dir / "asound.conf") << "pcm.!default { type file slave.pcm \"nothing\" file \"" << out
                                       << "\" format \"raw\" }\npcm.nothing { type null }\n";
    setenv("ALSA_CONFIG_PATH", (dir / "asound.conf").c_str(), 1);
    unsetenv("SDL_AUDIODRIVER");
  } else {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
  }
  SoundFigures f;
  for (int r = 0; r < rounds; ++r) Keep(&f.first_ms, FirstBytes({program, "--headless", speak}, out));
  f.libraries = PlainScriptLibraries(program, speak_wait);
  unsetenv("ALSA_CONFIG_PATH");
  unsetenv("SDL_DISKAUDIOFILE");
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  return f;
}


}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::atoi(argv[1]) : 20;
  std::string program = ProgramPath();
  if (!fs::exists(program)) {
    std::fprintf(stderr, "bench_startup: %s not found\n", program.c_str());
    return 1;
  }
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  fs::path dir = fs::temp_directory_path() / ("bench_startup." + std::to_string(getpid()));
  fs::create_directories(dir);
  fs::create_directories(dir / "config");
  setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
  std::string empty = dir / "empty.kal", wait = dir / "wait.kal", say = dir / "say.kal", loop = dir / "loop.kal";
  std::ofstream(empty) << "termina mudo\n";
  std::ofstream(wait) << "le $a\ntermina mudo\n";
  std::ofstream(say) << "escreve \"a\"\ntermina mudo\n";
  std::ofstream(loop) << "seja $i 0\nenquanto $i < 2000000\n  soma $i 1\nfim enquanto\ntermina mudo\n";

  // The first run writes the configuration's defaults; then its folder settles.
  TimeRun({program, "--headless", empty});
  std::this_thread::sleep_for(std::chrono::milliseconds(2100));
  std::vector<double> ours, perl;
  double speech = -1;
  for (int r = 0; r < rounds; ++r) {
    bool ours_first = r % 2 == 0;
    if (ours_first) ours.push_back(TimeRun({program, "--headless", empty}));
    perl.push_back(TimeRun({"perl", "-e", "1"}));
    if (!ours_first) ours.push_back(TimeRun({program, "--headless", empty}));
  }
  for (int r = 0; r < rounds; ++r) Keep(&speech, FirstSpeech(program, say, dir / "speech.log"));
  Spread o = SpreadOf(ours), p = SpreadOf(perl);
  std::printf("empty script (%s --headless SCRIPT, SCRIPT holding \"termina mudo\"), %d pairs in alternating order:\n",
              program.c_str(), rounds);
  std::printf("  kaldorin median %.2f ms (%.2f-%.2f), perl -e 1 median %.2f ms (%.2f-%.2f)\n", o.median, o.low,
              o.high, p.median, p.low, p.high);
  std::printf("  ratio of the medians %.2f (target <= 1.5)\n", p.median > 0 ? o.median / p.median : 0.0);
  CallCounts calls;
  if (CountCalls(program, empty, dir, &calls))
    std::printf("calls of an empty script: %ld of the stat family (stat, lstat, fstat, statx, access), %ld opens\n",
                calls.stats, calls.opens);
  else
    std::printf("calls of an empty script: not counted (strace is not installed)\n");
  std::printf("first speech: %.2f ms after start (best of %d), %.2fx perl -e 1 (target <= 5 ms)\n", speech, rounds,
              p.median > 0 ? speech / p.median : 0.0);
  std::printf("libraries mapped by a plain script: %d (target <= 15)\n", PlainScriptLibraries(program, wait));
  for (bool alsa : {true, false}) {
    SoundFigures f = FirstSound(program, dir, alsa, rounds);
    std::printf("first sound through %s: %.2f ms after start; %d libraries mapped after it\n",
                alsa ? "ALSA (file plugin)" : "the sound library (disk driver)", f.first_ms, f.libraries);
  }
  double loop_mb = Finish(Start({program, "--headless", loop}));
  double perl_mb = Finish(Start({"perl", "-e", "for my $i (1..2000000) { next if $i < 0 }"}));
  std::printf("peak memory of the 2,000,000-pass loop: %.1f MB, perl %.1f MB (target <= 8)\n", loop_mb, perl_mb);
  fs::remove_all(dir);
  return 0;
}
