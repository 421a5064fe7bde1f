// diphone_coverage: how well the recorded voice's pieces cover Portuguese.
//
//   diphone_coverage --db FOLDER [--rules FOLDER] [--words FILE] [--top N]
//   diphone_coverage --db FOLDER [--rules FOLDER] --show WORD...
//
// Translates every word of a word list (UTF-8, one a line; by default
// /usr/share/dict/brazilian), speaks it into a sink that throws the sound
// away, and reports of all piece names looked up how many were found whole,
// how many were served by a decomposition into smaller pieces, how many
// became noise and how many were skipped, with the most frequent misses.
// --show prints the notation and the pieces of the given words.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "0_base/speech_log.h"
#include "1_platform/platform.h"
#include "1_platform/event_loop.h"
#include "2_config/config_state.h"
#include "3_audio/wave_player_state.h"
#include "4_voices/voices.h"
#include "0_base/latin1.h"
#include "1_platform/host_file.h"
#include "4_voices/diphone/diphone.h"
#include "4_voices/diphone/translator.h"

namespace {

using kal::DiphoneServed;

struct Miss {
  long long count = 0;
  std::string example;
};

const char* HowName(DiphoneServed how) {
  switch (how) {
    case DiphoneServed::kWhole: return "whole";
    case DiphoneServed::kDecomposed: return "decomposed";
    case DiphoneServed::kNoise: return "noise";
    case DiphoneServed::kSkipped: return "skipped";
  }
  return "?";
}

double Percent(long long part, long long all) { return all > 0 ? 100.0 * static_cast<double>(part) / all : 0; }

void Show(kal::Voices& voices, const std::vector<std::string>& words) {
  for (const std::string& w : words) {
    const std::string notation = kal::TranslateWords(*voices.translator, kal::Utf8ToLatin1(w));
    std::cout << w << "\t" << notation << "\t";
    kal::SetDiphonePieceObserver(voices, [](std::string_view name, DiphoneServed how) {
      std::cout << name << (how == DiphoneServed::kWhole ? "" : std::string("(") + HowName(how) + ")") << " ";
    });
    kal::DiphoneSpeak(voices, notation, 0);
    std::cout << "\n";
  }
}

int Survey(kal::Voices& voices, const std::string& path, size_t top) {
  std::ifstream in(kal::HostFsPath(path), std::ios::binary);
  if (!in) {
    std::cerr << "diphone_coverage: cannot read " << path << "\n";
    return 1;
  }
  std::map<std::string, Miss> misses;
  std::string current;
  kal::SetDiphonePieceObserver(voices, [&](std::string_view name, DiphoneServed how) {
    if (how == DiphoneServed::kWhole) return;
    Miss& m = misses[std::string(name) + " " + HowName(how)];
    if (m.count++ == 0) m.example = current;
  });
  long long words = 0;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    current = line;
    kal::DiphoneSpeak(voices, kal::TranslateWords(*voices.translator, kal::Utf8ToLatin1(line)), 0);
    ++words;
  }
  const kal::DiphonePieceCounts c = kal::DiphoneCounts(voices);
  const long long all = c.whole + c.decomposed + c.noise + c.skipped;
  std::printf("words: %lld\npieces looked up: %lld\n", words, all);
  std::printf("whole: %lld (%.3f%%)\ndecomposed: %lld (%.3f%%)\nnoise: %lld (%.3f%%)\nskipped: %lld (%.3f%%)\n",
              c.whole, Percent(c.whole, all), c.decomposed, Percent(c.decomposed, all), c.noise,
              Percent(c.noise, all), c.skipped, Percent(c.skipped, all));
  std::vector<std::pair<std::string, Miss>> sorted(misses.begin(), misses.end());
  std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.second.count > b.second.count; });
  if (!sorted.empty() && top > 0) std::printf("most frequent misses:\n");
  for (size_t i = 0; i < sorted.size() && i < top; ++i)
    std::printf("  %-18s %8lld  e.g. %s\n", sorted[i].first.c_str(), sorted[i].second.count, sorted[i].second.example.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<kal::EventLoop> loop = kal::MakePollEventLoop();  // outlives what waits on it
  kal::Platform platform(*loop);  // the platform layer's state for the run
  kal::ConfigState config(platform);  // and the configuration's
  kal::SpeechLog speech_log;  // the speech log: no file, nothing kept
  kal::WavePlayer player(platform, config, speech_log);  // the wave player the voices play on
  kal::Voices voices(player);  // the synthesizer's and translator's state
  std::string db, rules, words = "/usr/share/dict/brazilian";
  size_t top = 20;
  std::vector<std::string> show;
  bool showing = false;
  const std::vector<std::string> args = kal::HostArguments(argc, argv);
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (showing) {
      show.push_back(a);
    } else if (a == "--db" && i + 1 < args.size()) {
      db = args[++i];
    } else if (a == "--rules" && i + 1 < args.size()) {
      rules = args[++i];
    } else if (a == "--words" && i + 1 < args.size()) {
      words = args[++i];
    } else if (a == "--top" && i + 1 < args.size()) {
      // A count that is not a number is a usage error, not an exception.
      const std::string n = args[++i];
      if (n.empty() || n.find_first_not_of("0123456789") != std::string::npos || n.size() > 9) {
        db.clear();
        break;
      }
      top = static_cast<size_t>(std::stoul(n));
    } else if (a == "--show") {
      showing = true;
    } else {
      db.clear();
      break;
    }
  }
  if (db.empty()) {
    std::cerr << "usage: diphone_coverage --db FOLDER [--rules FOLDER] [--words FILE] [--top N] [--show WORD...]\n";
    return 2;
  }
  // The letters folder only has to exist: spelled units are not pieces.
  const std::string rules_dir = rules.empty() ? db : rules;
  if (kal::DiphoneStartIn(voices, db, db) != kal::kDiphoneReady) {
    std::cerr << "diphone_coverage: no voice database with its rules in " << db << "\n";
    return 1;
  }
  if (!kal::LoadTranslatorRules(*voices.translator, rules_dir + "/regras.rgr") || !kal::LoadTranslatorExceptions(*voices.translator, rules_dir + "/portug.exc")) {
    std::cerr << "diphone_coverage: no rules in " << rules_dir << "\n";
    return 1;
  }
  kal::SetDiphoneSink(voices, [](std::string_view) {});
  int rc = 0;
  if (showing) {
    Show(voices, show);
  } else {
    rc = Survey(voices, words, top);
  }
  kal::DiphoneClose(voices);
  return rc;
}
