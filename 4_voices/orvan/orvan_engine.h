// The Orvan engine: Portuguese text-to-speech over MBROLA. Start loads the
// five data files and opens the MBROLA database; Speak runs the whole chain
// (normaliser, tokenizer, intonation, letter-to-sound, timing) and hands the
// samples to the wave player as in-memory wave images, or appends them to
// an output wave file. The engine switch calls these five operations when
// the configured engine kind is 3.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kal {

// What the engine keeps between calls (orvan_state.h): each operation is
// given the state it works on, one per run or per test.
struct ConfigState;
struct OrvanState;
namespace orvan {
struct OrvanTables;
}

// Where the engine finds its database and data files (host paths).
struct OrvanSettings {
  std::string database;  // the MBROLA database file
  std::string folder;    // folder of the data files, ending in "/"
  std::string base;      // base name of the five data files
};

// Reads the settings from the configuration file (section ORVANTTS).
OrvanSettings ReadOrvanSettings(ConfigState& config);
// Overrides the settings used by the next OrvanStart (tools, tests).
void SetOrvanSettings(OrvanState& state, const OrvanSettings& settings);
// Folder + base name + extension (".nrl", ".exc", ".abr", ".pro", ".dfn").
std::string OrvanDataFile(const OrvanSettings& settings, std::string_view extension);

// Loads the word path only (rules, exceptions); false with *err set.
bool LoadOrvanWordData(orvan::OrvanTables& tables, const OrvanSettings& settings, std::string* err);

// voice is not used; rate and pitch as the configuration gives them. With
// an output file name (host path) the sound goes to that wave file.
bool OrvanStart(OrvanState& state, int voice, int rate, int pitch, const std::string& output_file);
// Synthesises the text (Latin-1) and queues its sound; false when a write to
// MBROLA or to the output file failed.
bool OrvanSpeak(OrvanState& state, std::string_view text);
bool OrvanBusy(OrvanState& state);
void OrvanStop(OrvanState& state);
void OrvanRelease(OrvanState& state);

// The last start error ("Erro no arquivo de prosódia", ...), Latin-1.
const std::string& OrvanLastError(const OrvanState& state);
// What the engine says when MBROLA is not installed (UTF-8): that the voice
// cannot speak, where to get it when the host says, and that the recorded
// voice speaks.
std::string MissingMbrolaMessage();
// Sample rate of the open database (0 when not started).
int OrvanSampleRate(const OrvanState& state);

}  // namespace kal

namespace kal {

// Measurements of the last OrvanSpeak (wall clock, microseconds from the
// call): when the first samples came out of MBROLA, when the first wave
// image went to the wave player, and when all samples were in.
struct OrvanStats {
  std::chrono::steady_clock::time_point start;
  int64_t first_samples_us = 0;
  int64_t first_chunk_us = 0;
  int64_t total_us = 0;
  int64_t samples = 0;
};
const OrvanStats& OrvanLastStats(const OrvanState& state);

// The chain without MBROLA: text -> phoneme-stream lines, with the current
// rate and pitch factors.
std::vector<std::string> OrvanPhonemeStream(const OrvanState& state, std::string_view text);

}  // namespace kal
