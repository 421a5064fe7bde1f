// Everything the Orvan engine keeps between calls, in one object: the
// engine's MBROLA synthesiser and output, the tables its data files load,
// and the wave player it plays on. It is part of the voices' state (4_voices/voices.h), so that a run
// and each test have their own.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "1_platform/mbrola.h"
#include "4_voices/orvan/orvan_engine.h"
#include "4_voices/orvan/prosody.h"
#include "4_voices/rule_file.h"

namespace kal {

struct WavePlayer;

namespace orvan {

// An entry of the exceptions file: the word and the spelling the rules see.
struct ExceptionEntry {
  std::string word, alias;
  bool operator<(const ExceptionEntry& o) const { return word < o.word; }
};

// What the data files load; empty until the engine starts.
struct OrvanTables {
  std::vector<std::pair<std::string, std::string>> abbreviations;  // upper-cased key, expansion
  std::vector<ExceptionEntry> exceptions;                          // sorted by word
  // The letter rules, one chain per first focus character (codes below 32
  // have none).
  std::array<std::vector<rule_file::ContextRule>, 256> letter_rules;
  std::vector<std::string> diphones;  // "a-b", lower-cased, sorted
  ProsodyTables prosody;
  // Where the prosody loader's messages go; empty: standard error and the
  // speech log.
  std::function<void(const std::string&)> prosody_messages;
};

}  // namespace orvan

inline constexpr int kOrvanReadSamples = 64000;

struct OrvanState {
  // The engine plays on this player (which must outlive the state).
  explicit OrvanState(WavePlayer& plays_on) : player(plays_on) {}

  WavePlayer& player;
  std::unique_ptr<MbrolaSynth> mbr;
  bool have_settings = false;
  OrvanSettings settings;
  std::string output_name;
  std::FILE* output = nullptr;
  bool file_mode = false;
  double rate_factor = 1.0;
  double pitch_factor = 1.0;
  std::string last_error;
  std::vector<int16_t> read_buffer = std::vector<int16_t>(kOrvanReadSamples);
  std::string chunk;  // accumulated sample bytes
  OrvanStats stats;
  orvan::OrvanTables tables;
};

}  // namespace kal
