// render_recordings: makes the recordings of the installation (letter and
// character names, number words, system messages, telephone tones, the
// application's prompts) with the free synthesizer espeak-ng, as 8-bit mono
// 11025 Hz wave files with a 44-byte header.
//
//   render_recordings [--jobs N] [--voice V] OUTDIR LIST.tsv...
//       renders every "file<TAB>text" line of the lists (UTF-8) into OUTDIR
//   render_recordings [--jobs N] [--voice V] --install DATADIR
//       renders the lists of DATADIR/recordings into the folders the
//       installed Talven.ini names: characters, numbers and tones into the
//       letters folder (TRADUTOR dirLetras), system sounds and numbers into
//       DIRLETRAS, *_prompts.tsv into DIRKALDORIN (KALDORIN)
//
// Files that already exist are kept, so a second run costs nothing.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "1_platform/platform.h"
#include "1_platform/event_loop.h"
#include "2_config/config_state.h"
#include "2_config/config.h"
#include "3_audio/wave_convert.h"
#include "1_platform/host_file.h"
#include "1_platform/paths.h"

namespace fs = std::filesystem;
using kal::ReadConfig;

namespace {

struct Job {
  fs::path out;
  std::string text;  // UTF-8
};

struct Options {
  int jobs = 0;
  std::string voice;
  bool install = false;
  std::vector<std::string> positional;
};

bool ReadFile(const fs::path& p, std::string* data) {
  std::ifstream in(p, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  *data = s.str();
  return true;
}

// Writes beside the target and renames, so that an interrupted run never
// leaves a half-written recording that a later run would keep.
bool WriteAtomically(const fs::path& p, const std::string& data) {
  fs::path tmp = p;
  tmp += ".part";
  {
    std::ofstream out(tmp, std::ios::binary);
    if (!out || !(out << data)) return false;
  }
  std::error_code ec;
  fs::rename(tmp, p, ec);
  return !ec;
}

// "file<TAB>text" lines; blank lines and lines starting with '#' are skipped.
bool ReadList(const fs::path& list, const fs::path& outdir, std::vector<Job>* jobs) {
  std::string data;
  if (!ReadFile(list, &data)) {
    std::fprintf(stderr, "render_recordings: cannot read %s\n", list.string().c_str());
    return false;
  }
  std::istringstream in(data);
  std::string line;
  int n = 0;
  while (std::getline(in, line)) {
    ++n;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    size_t tab = line.find('\t');
    std::string name = line.substr(0, tab);
    if (tab == std::string::npos || name.empty() || name.find('/') != std::string::npos || name == "." ||
        name == "..") {
      std::fprintf(stderr, "render_recordings: %s:%d: expected file<TAB>text\n", list.string().c_str(), n);
      return false;
    }
    jobs->push_back({outdir / name, line.substr(tab + 1)});
  }
  return true;
}

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// One recording: the synthesizer writes a wave of the text, which becomes
// a recording of the installation's format.
bool Render(const Job& job, const std::string& voice, const fs::path& scratch) {
  fs::path txt = scratch / "text.txt", wav = scratch / "speech.wav";
  std::ofstream(txt, std::ios::binary) << job.text;
  std::string cmd = "espeak-ng -v " + Quote(voice) + " -w " + Quote(wav.string()) + " -f " + Quote(txt.string()) +
                    " >/dev/null 2>&1";
  std::string image, recording, err;
  if (std::system(cmd.c_str()) != 0 || !ReadFile(wav, &image) ||
      !kal::ConvertToRecording(image, &recording, &err)) {
    std::fprintf(stderr, "render_recordings: %s: synthesis failed %s\n", job.out.string().c_str(), err.c_str());
    return false;
  }
  return WriteAtomically(job.out, recording);
}

std::string ChooseVoice(const std::string& asked) {
  if (!asked.empty()) return asked;
  for (const char* v : {"roa/pt-BR", "pt-br"}) {
    std::string cmd = std::string("espeak-ng -v ") + v + " -q x >/dev/null 2>&1";
    if (std::system(cmd.c_str()) == 0) return v;
  }
  return "pt-br";
}

int RunJobs(std::vector<Job> jobs, const Options& opt) {
  jobs.erase(std::remove_if(jobs.begin(), jobs.end(), [](const Job& j) { return fs::exists(j.out); }), jobs.end());
  if (jobs.empty()) return 0;
  std::string voice = ChooseVoice(opt.voice);
  int workers = opt.jobs > 0 ? opt.jobs : std::max(2u, std::thread::hardware_concurrency());
  std::atomic<size_t> next{0};
  std::atomic<int> failed{0};
  std::vector<std::thread> pool;
  fs::path base = fs::temp_directory_path() / ("render_recordings." + std::to_string(std::rand()));
  for (int w = 0; w < workers; ++w) {
    pool.emplace_back([&, w] {
      fs::path scratch = base / std::to_string(w);
      fs::create_directories(scratch);
      for (size_t i; (i = next++) < jobs.size();) {
        fs::create_directories(jobs[i].out.parent_path());
        if (!Render(jobs[i], voice, scratch)) ++failed;
      }
    });
  }
  for (auto& t : pool) t.join();
  fs::remove_all(base);
  std::printf("render_recordings: %zu recordings made, %d failed\n", jobs.size() - failed, failed.load());
  return failed ? 1 : 0;
}

// The telephone tones: "dtmf_" + key, with "X" for "*".
void WriteTones(const fs::path& dir) {
  fs::create_directories(dir);
  for (char key : std::string("0123456789*#")) {
    fs::path p = dir / (std::string("dtmf_") + (key == '*' ? 'X' : key) + ".wav");
    if (!fs::exists(p)) WriteAtomically(p, kal::MakeDtmfRecording(key, 150));
  }
}

// A folder named in Talven.ini, as a host path.
fs::path ConfiguredFolder(kal::ConfigState& config, const kal::cfg::ConfigKey& key) {
  std::string v = ReadConfig(config, key);
  return kal::HostFsPath(kal::HostPath(v.empty() ? std::string(key.def) : v));
}

int Install(kal::ConfigState& config, const fs::path& data, const Options& opt) {
  fs::path system = ConfiguredFolder(config, kal::cfg::kDirLetras);
  std::string direct = kal::ReadConfigDirect(config, kal::cfg::kDirLetrasDirect);
  fs::path letters = direct.empty() ? system : kal::HostFsPath(kal::HostPath(direct));
  fs::path rec = data / "recordings";
  std::vector<Job> jobs;
  bool ok = ReadList(rec / "characters.tsv", letters, &jobs) && ReadList(rec / "numbers.tsv", letters, &jobs) &&
            ReadList(rec / "system.tsv", system, &jobs) && ReadList(rec / "phonetic.tsv", system, &jobs);
  if (ok && letters != system) ok = ReadList(rec / "numbers.tsv", system, &jobs);
  std::string app = ReadConfig(config, kal::cfg::kDirKaldorin);
  if (ok && !app.empty()) {
    for (auto& e : fs::directory_iterator(rec)) {
      std::string name = e.path().filename().string();
      if (name.size() > 12 && name.substr(name.size() - 12) == "_prompts.tsv")
        ok = ok && ReadList(e.path(), kal::HostFsPath(kal::HostPath(app)), &jobs);
    }
  }
  if (!ok) return 1;
  WriteTones(letters);
  std::printf("render_recordings: letters in %s, system sounds in %s\n", kal::FsPathToHost(letters).c_str(),
              kal::FsPathToHost(system).c_str());
  return RunJobs(std::move(jobs), opt);
}

bool ParseArgs(const std::vector<std::string>& args, Options* opt) {
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--jobs" && i + 1 < args.size()) opt->jobs = std::atoi(args[++i].c_str());
    else if (a == "--voice" && i + 1 < args.size()) opt->voice = args[++i];
    else if (a == "--install") opt->install = true;
    else if (a.rfind("--", 0) == 0) return false;
    else opt->positional.push_back(a);
  }
  return opt->install ? opt->positional.size() == 1 : opt->positional.size() >= 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<kal::EventLoop> loop = kal::MakePollEventLoop();  // outlives what waits on it
  kal::Platform platform(*loop);  // the platform layer's state for the run
  kal::ConfigState config(platform);  // and the configuration's
  Options opt;
  if (!ParseArgs(kal::HostArguments(argc, argv), &opt)) {
    std::fputs("usage: render_recordings [--jobs N] [--voice V] OUTDIR LIST.tsv...\n"
               "       render_recordings [--jobs N] [--voice V] --install DATADIR\n",
               stderr);
    return 2;
  }
  if (opt.install) return Install(config, kal::HostFsPath(opt.positional[0]), opt);
  std::vector<Job> jobs;
  for (size_t i = 1; i < opt.positional.size(); ++i)
    if (!ReadList(kal::HostFsPath(opt.positional[i]), kal::HostFsPath(opt.positional[0]), &jobs)) return 1;
  return RunJobs(std::move(jobs), opt);
}
