// Internals of the diphone word synthesizer shared by its source files: its
// state (index, open data file, tuning, sound buffer), part of the installed
// voices (4_voices/voices.h),
// the index look-up and the sound buffer operations.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "4_voices/diphone/diphone.h"

namespace kal::diphone {

inline constexpr size_t kBufferSize = 64000;
inline constexpr size_t kHeaderSize = 44;
inline constexpr int kSampleRate = 11025;
inline constexpr size_t kRecordSize = 15;
inline constexpr size_t kMaxRecordName = 8;

struct IndexRecord {
  std::string name;  // as stored (upper case)
  uint16_t length = 0;
  uint32_t offset = 0;
};

struct SynthState {
  bool started = false;
  std::string missing;         // host path whose absence failed the last start
  std::string letters_folder;  // host path, ends with '/'
  std::vector<IndexRecord> index;
  std::FILE* data = nullptr;
  int cut = 400;
  int minimum = 0;
  int word_gap = 100;
  std::vector<uint8_t> buffer;  // kBufferSize bytes while started
  size_t fill = kHeaderSize;
  int stress = 1;
  uint32_t noise_seed = 12345;
  DiphoneSink sink;    // set by tests and tools: takes the buffers
  DiphoneSink player;  // set by the speech facade
  DiphonePieceCounts counts;
  DiphonePieceObserver observer;
};

// Index: loads "NAME.IND" (false when it cannot be opened) and finds a
// name, compared upper-cased.
bool LoadIndex(const std::string& path, std::vector<IndexRecord>* index);
const IndexRecord* FindPiece(const std::vector<IndexRecord>& index, std::string_view name);

// The sound buffer: bytes are appended; a buffer that would fill up is
// played first. FlushBuffer plays what is there (nothing when empty).
void AddSound(SynthState& s, const uint8_t* data, size_t n);
void AddSilence(SynthState& s, size_t n);
void AddNoise(SynthState& s);
void FlushBuffer(SynthState& s);

// The samples of a wave file as 8-bit unsigned mono at 11025 Hz; false when
// it cannot be read as PCM wave.
bool ReadWaveSamples(const std::string& path, std::vector<uint8_t>* out);

// Speaking the notation's pieces (diphone_speak.cpp).
void SpeakUnitWord(SynthState& s, std::string_view word, double factor);

}  // namespace kal::diphone
