// bench_peers: kaldorin beside perl and lua5.4 on the same work, each
// program a whole process from its start to its end, in the same run.
//
// Each case is written as a programmer of each language writes it: perl
// with `for my $i (1 .. $n)`, `%` and its string operators; lua with
// `local` variables, the numeric `for` and its string functions. Before any
// timing, every program of a case runs once and must print the same
// result, so that no program is timed doing less than the others.
//
// The programs of a case run in turns, one round after another, and the
// order of each round is turned by one place, so that a machine that grows
// busier or quieter weighs on all of them alike. Printed for each program:
// the median wall time, the fastest and slowest round, and its time over
// kaldorin's median (above 1: kaldorin is faster). The exact commands are
// printed, and with --markdown FILE the table is written there as well.
//
// Usage: bench_peers [--rounds N] [--scale F] [--markdown FILE] [--also NAME=PROGRAM]...
//   --scale multiplies the passes of the loops (default 1).
//   --also adds another kaldorin (an older build, say) to every case, named
//   NAME, on the same scripts: before and after timed in the same run.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/peer_stats.h"

namespace {

namespace fs = std::filesystem;

struct Program {
  std::string name;     // "kaldorin", "perl", "lua5.4"
  std::string command;  // a shell command; its standard output is the result
  bool ours = false;    // a kaldorin: no installed command to look for
};

struct Case {
  std::string title;
  std::string what;  // the work, in a few words
  std::vector<Program> programs;
};

std::string N(long n) { return std::to_string(n); }

// A word for the shell, in single quotes.
std::string Quoted(const std::string& word) {
  std::string q = "'";
  for (char c : word) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Another kaldorin on the case's script: kaldorin's command with the
// program's path put in its place.
Program Another(const Case& c, const std::string& ours, const std::string& name, const std::string& path) {
  std::string command = c.programs[0].command;
  command.replace(command.find(ours), ours.size(), Quoted(path));
  return {name, command, true};
}

// A script file in the benchmark's folder; its path.
std::string WriteScript(const fs::path& dir, const std::string& tag, const std::vector<std::string>& lines) {
  fs::path path = dir / (tag + ".kal");
  std::ofstream out(path);
  for (const std::string& line : lines) out << line << "\n";
  return path.string();
}

std::string Kaldorin(const std::string& program, const std::string& script) {
  return "SDL_AUDIODRIVER=dummy " + program + " --headless " + script;
}

Case StartCase(const std::string& program, const fs::path& dir) {
  std::string script = WriteScript(dir, "empty", {"termina mudo"});
  return {"start and end", "an empty program",
          {{"kaldorin", Kaldorin(program, script), true}, {"perl", "perl -e 1"}, {"lua5.4", "lua5.4 -e ''"}}};
}

Case CountingCase(const std::string& program, const fs::path& dir, long n) {
  std::string script = WriteScript(
      dir, "counting",
      {"seja $c 0", "enquanto $c < " + N(n), "  soma $c 1", "fim enquanto", "escreve mudo $c", "termina mudo"});
  return {"counting", N(n) + " passes adding 1",
          {{"kaldorin", Kaldorin(program, script), true},
           {"perl", "perl -e 'my $c = 0; for my $i (1 .. " + N(n) + ") { $c++ } print \"$c\\n\"'"},
           {"lua5.4", "lua5.4 -e 'local c = 0 for i = 1, " + N(n) + " do c = c + 1 end print(c)'"}}};
}

// The counter and a test of divisibility in every pass: arithmetic and
// conditions, with a rare append.
Case ArithmeticCase(const std::string& program, const fs::path& dir, long n) {
  std::string script = WriteScript(dir, "arithmetic",
                                   {"seja $c 0", "seja $t \"\"", "repete $i " + N(n), "  soma $c 1",
                                    "  se ($i/1000*1000) = $i concatena $t \"x\"", "fim repete",
                                    "escreve mudo $c \" \" $t", "termina mudo"});
  std::string xs(static_cast<size_t>(n / 1000), 'x');
  return {"arithmetic and conditions", N(n) + " passes: add, test for a multiple of 1000",
          {{"kaldorin", Kaldorin(program, script), true},
           {"perl", "perl -e 'my $c = 0; my $t = \"\"; for my $i (1 .. " + N(n) +
                        ") { $c++; $t .= \"x\" if $i % 1000 == 0 } print \"$c $t\\n\"'"},
           {"lua5.4", "lua5.4 -e 'local c, t = 0, \"\" for i = 1, " + N(n) +
                          " do c = c + 1 if i % 1000 == 0 then t = t .. \"x\" end end print(c .. \" \" .. t)'"}}};
}

// Work on texts of 41 to 984 characters: each pass appends a phrase, copies
// a word out of the text, compares it with and without regard to case,
// replaces a word everywhere in the text, and every 23 passes deletes all
// but the last phrase.
Case StringCase(const std::string& program, const fs::path& dir, long n) {
  const std::string phrase = "radio Zelquora, estacao de musica ao vivo";  // 41 characters
  std::string script = WriteScript(
      dir, "strings",
      {"seja $base \"" + phrase + "\"", "seja $t \"\"", "seja $hits 0", "seja $k 0", "repete $i " + N(n),
       "  concatena $t $base", "  copia $w $t 7 14", "  se $w = \"ZELQUORA\" soma $hits 1",
       "  se $w == \"Zelquora\" soma $hits 1", "  substitui $t \"vivo\" \"VIVO\"", "  soma $k 1", "  se $k = 24",
       "    deleta $t 1 943", "    seja $k 1", "  fim se", "fim repete", "escreve mudo $hits \" \" $t",
       "termina mudo"});
  std::string perl =
      "perl -e 'my $base = \"" + phrase + "\"; my $t = \"\"; my ($hits, $k) = (0, 0); for my $i (1 .. " + N(n) +
      ") { $t .= $base; my $w = substr($t, 6, 8); $hits++ if lc($w) eq lc(\"ZELQUORA\"); "
      "$hits++ if $w eq \"Zelquora\"; $t =~ s/vivo/VIVO/g; $k++; if ($k == 24) { substr($t, 0, 943, \"\"); "
      "$k = 1 } } print \"$hits $t\\n\"'";
  std::string lua = "lua5.4 -e 'local base = \"" + phrase + "\" local t, hits, k = \"\", 0, 0 for i = 1, " + N(n) +
                    " do t = t .. base local w = t:sub(7, 14) if w:lower() == (\"ZELQUORA\"):lower() then hits = "
                    "hits + 1 end if w == \"Zelquora\" then hits = hits + 1 end t = t:gsub(\"vivo\", \"VIVO\") k = "
                    "k + 1 if k == 24 then t = t:sub(944) k = 1 end end print(hits .. \" \" .. t)'";
  return {"strings", N(n) + " passes on texts of 41-984 characters: CONCATENA, COPIA, compare (= and ==), "
                            "SUBSTITUI, DELETA",
          {{"kaldorin", Kaldorin(program, script), true}, {"perl", perl}, {"lua5.4", lua}}};
}

// Runs the command with its output to a file; the wall time in seconds and
// the output, or a negative time when it failed.
double Run(const std::string& command, const fs::path& out_file, std::string* out) {
  auto start = std::chrono::steady_clock::now();
  int rc = std::system((command + " >'" + out_file.string() + "' 2>/dev/null </dev/null").c_str());
  double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (out) {
    std::ifstream in(out_file);
    out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return rc == 0 ? secs : -1;
}

bool Installed(const std::string& name) { return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0; }

// Drops the programs that are not installed, and checks that the others
// agree on the result. False when one failed or disagreed.
bool Prepare(Case* c, const fs::path& dir) {
  std::vector<Program> kept;
  std::string first;
  for (const Program& p : c->programs) {
    if (!p.ours && !Installed(p.name)) {
      std::printf("  %s: not installed, left out\n", p.name.c_str());
      continue;
    }
    std::string out;
    if (Run(p.command, dir / "out.txt", &out) < 0) {
      std::fprintf(stderr, "bench_peers: %s failed: %s\n", p.name.c_str(), p.command.c_str());
      return false;
    }
    if (kept.empty()) first = out;
    if (out != first) {
      std::fprintf(stderr, "bench_peers: %s printed another result than %s in \"%s\"\n", p.name.c_str(),
                   kept[0].name.c_str(), c->title.c_str());
      return false;
    }
    kept.push_back(p);
  }
  c->programs = kept;
  return true;
}

// Rounds of the case's programs in turns; the times of each program.
std::vector<std::vector<double>> TimeCase(const Case& c, int rounds, const fs::path& dir) {
  size_t n = c.programs.size();
  std::vector<std::vector<double>> times(n);
  for (int r = 0; r < rounds; ++r)
    for (size_t k = 0; k < n; ++k) {
      size_t p = (k + static_cast<size_t>(r)) % n;
      double s = Run(c.programs[p].command, dir / "out.txt", nullptr);
      if (s >= 0) times[p].push_back(s);
    }
  return times;
}

std::string Seconds(double s) {
  char buf[32];
  std::snprintf(buf, sizeof buf, s < 0.1 ? "%.4f" : "%.3f", s);
  return buf;
}

std::string Ratio(double r) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", r);
  return buf;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 11;
  double scale = 1;
  std::string markdown;
  std::vector<std::pair<std::string, std::string>> also;  // name, program
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string a = argv[i], v = argv[i + 1];
    if (a == "--rounds") rounds = std::max(1, std::atoi(v.c_str()));
    else if (a == "--scale") scale = std::max(0.001, std::atof(v.c_str()));
    else if (a == "--markdown") markdown = v;
    else if (a == "--also" && v.find('=') != std::string::npos && fs::exists(v.substr(v.find('=') + 1)))
      also.emplace_back(v.substr(0, v.find('=')), v.substr(v.find('=') + 1));
    else {
      std::fprintf(stderr, "bench_peers: %s %s: not an option, or no such program\n", a.c_str(), v.c_str());
      return 2;
    }
  }
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  std::string program = (self.parent_path() / "kaldorin").string();
  if (ec || !fs::exists(program)) {
    std::fprintf(stderr, "bench_peers: kaldorin not found beside the benchmark\n");
    return 1;
  }
  fs::path dir = fs::temp_directory_path() / ("bench_peers." + std::to_string(getpid()));
  fs::create_directories(dir);
  // A configuration of its own, so that the user's settings change nothing.
  setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
  auto passes = [scale](long n) { return std::max(1000L, static_cast<long>(n * scale)); };
  std::vector<Case> cases = {StartCase(program, dir), CountingCase(program, dir, passes(3000000)),
                             ArithmeticCase(program, dir, passes(2000000)), StringCase(program, dir, passes(50000))};
  for (Case& c : cases)
    for (const auto& [name, path] : also) c.programs.push_back(Another(c, program, name, path));
  std::string table = "| Case | Program | Median s | Fastest-slowest s | Time / kaldorin's |\n|---|---|---|---|---|\n";
  std::printf("%d rounds of each case, programs in turns; wall time of whole processes\n", rounds);
  int failed = 0;
  for (Case& c : cases) {
    std::printf("\n%s: %s\n", c.title.c_str(), c.what.c_str());
    if (!Prepare(&c, dir)) {
      ++failed;
      continue;
    }
    std::vector<std::vector<double>> times = TimeCase(c, rounds, dir);
    double ours = Median(times[0]);
    for (size_t p = 0; p < c.programs.size(); ++p) {
      Spread s = SpreadOf(times[p]);
      std::string ratio = ours > 0 ? Ratio(s.median / ours) : "-";
      std::printf("  %-9s median %s s  (%s-%s s, %zu runs)  %s x kaldorin's\n    $ %s\n", c.programs[p].name.c_str(),
                  Seconds(s.median).c_str(), Seconds(s.low).c_str(), Seconds(s.high).c_str(), times[p].size(),
                  ratio.c_str(), c.programs[p].command.c_str());
      table += "| " + c.title + " | " + c.programs[p].name + " | " + Seconds(s.median) + " | " + Seconds(s.low) +
               "-" + Seconds(s.high) + " | " + ratio + " |\n";
    }
  }
  if (!markdown.empty()) std::ofstream(markdown) << table;
  fs::remove_all(dir, ec);
  return failed ? 1 : 0;
}
