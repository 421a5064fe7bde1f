// The Orvan engine driver: start and release, the text-to-speech chain for
// one text, and the collection of MBROLA's samples into wave images of at
// most 64000 bytes (or into the output wave file).
#include "4_voices/orvan/orvan_engine.h"
#include "4_voices/orvan/orvan_messages.h"
#include "4_voices/orvan/orvan_state.h"

#include <chrono>
#include <cstdio>
#include <memory>

#include "1_platform/host_file.h"
#include "1_platform/pump.h"
#include "3_audio/wave_player_state.h"
#include "0_base/latin1.h"
#include "0_base/wave_format.h"
#include "3_audio/wave_player.h"
#include "1_platform/event_loop.h"
#include "1_platform/mbrola.h"
#include "4_voices/orvan/letter_rules.h"
#include "4_voices/orvan/orvan_text.h"
#include "4_voices/orvan/phoneme_list.h"
#include "4_voices/orvan/prosody.h"
#include "4_voices/orvan/text_normaliser.h"
#include "4_voices/orvan/wave_file.h"

namespace kal {

namespace {

constexpr int kReadSamples = kOrvanReadSamples;
constexpr size_t kChunkBytes = 64000;
constexpr size_t kMinChunkBytes = 256;
// Before every utterance: no error recovery messages from the synthesiser.
constexpr int kUtteranceNoError = -63;

int64_t MicrosSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count();
}

void RecordError(OrvanState& s, std::string_view utf8) { s.last_error = L1(utf8).substr(0, 255); }

// Closes and reopens the synthesiser after a failed write.
void RestartMbrola(OrvanState& s) {
  if (s.mbr) s.mbr->close_MBR();
  s.mbr = LoadMbrola(*s.player.platform);
  if (s.mbr) s.mbr->init_MBR(s.settings.database);
}

bool LoadDataFiles(OrvanState& s, const OrvanSettings& settings) {
  orvan::ReleaseRules(s.tables);
  orvan::ReleaseDiphoneList(s.tables);
  std::string err;
  if (!LoadOrvanWordData(s.tables, settings, &err)) {
    s.last_error = err;
    return false;
  }
  if (!orvan::LoadAbbreviations(s.tables, OrvanDataFile(settings, ".abr"))) {
    RecordError(s, orvan_msg::kAbbreviationsError);
    return false;
  }
  if (!orvan::LoadProsody(s.tables, OrvanDataFile(settings, ".pro"), *s.player.speech_log) ||
      !orvan::LoadDiphoneList(s.tables, OrvanDataFile(settings, ".dfn"))) {
    RecordError(s, orvan_msg::kProsodyError);
    return false;
  }
  return true;
}

bool OpenOutputFile(OrvanState& s, const std::string& name) {
  s.output = OpenHostFile(name, "wb");
  if (s.output == nullptr) return false;
  std::string header = WaveHeader(0, s.mbr->getFreq_MBR());
  if (std::fwrite(header.data(), 1, header.size(), s.output) != header.size()) {
    RecordError(s, orvan_msg::kOutputFileError);
    std::fclose(s.output);
    s.output = nullptr;
    return false;
  }
  s.file_mode = true;
  return true;
}

bool StartEngine(OrvanState& s, const std::string& output_file) {
  s.last_error.clear();
  s.output_name = output_file;
  if (!s.have_settings) {
    s.settings = ReadOrvanSettings(*s.player.config);
    s.have_settings = true;
  }
  if (s.mbr) s.mbr->close_MBR();
  s.mbr = LoadMbrola(*s.player.platform);
  if (!s.mbr) {
    RecordError(s, MissingMbrolaMessage());
    return false;
  }
  if (s.mbr->init_MBR(s.settings.database) < 0) {
    s.mbr.reset();
    s.last_error = L1(orvan_msg::kNoMbrolaVoice) + s.settings.database + L1(orvan_msg::kRecordedVoiceSpeaks);
    return false;
  }
  if (!LoadDataFiles(s, s.settings)) return false;
  if (output_file.empty()) {
    s.file_mode = false;
    s.mbr->setNoError_MBR(0);
    return true;
  }
  return OpenOutputFile(s, output_file);
}

// Hands the accumulated bytes to the wave player as one wave image.
void PlayChunk(OrvanState& s) {
  if (s.chunk.size() < kMinChunkBytes) s.chunk.resize(kMinChunkBytes, '\0');
  if (s.stats.first_chunk_us == 0) s.stats.first_chunk_us = MicrosSince(s.stats.start);
  PlayWaveMemory(s.player, MakeWaveImage(s.chunk, s.mbr->getFreq_MBR(), 1, 16));
  s.chunk.clear();
}

// Reads every sample MBROLA has ready; false when the output file failed.
bool CollectSamples(OrvanState& s) {
  bool ok = true;
  for (;;) {
    int n = s.mbr->read_MBR(s.read_buffer.data(), kReadSamples);
    if (n <= 0) break;
    if (s.stats.samples == 0) s.stats.first_samples_us = MicrosSince(s.stats.start);
    s.stats.samples += n;
    const char* bytes = reinterpret_cast<const char*>(s.read_buffer.data());
    size_t count = static_cast<size_t>(n) * 2;
    if (s.file_mode) {
      if (std::fwrite(bytes, 1, count, s.output) != count) ok = false;
      continue;
    }
    if (s.chunk.size() + count >= kChunkBytes) PlayChunk(s);
    s.chunk.append(bytes, count);
  }
  return ok;
}

bool Synthesise(OrvanState& s, const std::vector<std::string>& lines) {
  bool ok = true;
  s.mbr->reset_MBR();
  s.mbr->setNoError_MBR(kUtteranceNoError);
  s.chunk.clear();
  for (size_t i = 0; i < lines.size(); ++i) {
    bool last = i + 1 == lines.size();
    if (lines[i].empty() && !last) continue;
    if (s.mbr->write_MBR(lines[i] + "\r\n") < 0) {
      RestartMbrola(s);
      ok = false;
      if (!s.mbr) return false;
    }
    if (last) s.mbr->flush_MBR();
    ok &= CollectSamples(s);
  }
  if (!s.file_mode && !s.chunk.empty()) PlayChunk(s);
  return ok;
}

}  // namespace

void SetOrvanSettings(OrvanState& state, const OrvanSettings& settings) {
  state.settings = settings;
  state.have_settings = true;
}

std::string OrvanDataFile(const OrvanSettings& settings, std::string_view extension) {
  std::string base = settings.base.empty() ? "portug" : settings.base;
  return settings.folder + base + std::string(extension);
}

bool LoadOrvanWordData(orvan::OrvanTables& tables, const OrvanSettings& settings, std::string* err) {
  if (!orvan::LoadRules(tables, OrvanDataFile(settings, ".nrl")) ||
      !orvan::LoadExceptions(tables, OrvanDataFile(settings, ".exc"))) {
    *err = L1(orvan_msg::kWordDataError);
    return false;
  }
  return true;
}

std::vector<std::string> OrvanPhonemeStream(const OrvanState& state, std::string_view text) {
  using namespace orvan;
  const OrvanTables& t = state.tables;
  std::string normal = NormaliseText(t, text);
  PhonemeList phonemes = BuildPhonemeList(t, TagIntonation(t, Tokenize(t, normal)));
  return TimePhonemes(t, phonemes, state.rate_factor, state.pitch_factor);
}

bool OrvanStart(OrvanState& state, int voice, int rate, int pitch, const std::string& output_file) {
  bool ok = StartEngine(state, output_file);
  state.rate_factor = 0.8 - rate / 15.0;
  state.pitch_factor = (pitch + 11) / 11.0;
  return ok;
}

bool OrvanSpeak(OrvanState& s, std::string_view text) {
  if (orvan::Trim(text).empty() || !s.mbr) return true;
  s.stats = OrvanStats();
  s.stats.start = std::chrono::steady_clock::now();
  std::vector<std::string> lines = OrvanPhonemeStream(s, text);
  // Synthesised sound plays as it is: neither faster nor cut.
  WaveFlags saved = GetWaveFlags(s.player);
  WaveFlags plain = saved;
  plain.fast = plain.cut = false;
  SetWaveFlags(s.player, plain);
  bool ok = Synthesise(s, lines);
  SetWaveFlags(s.player, saved);
  s.stats.total_us = MicrosSince(s.stats.start);
  return ok;
}

const OrvanStats& OrvanLastStats(const OrvanState& state) { return state.stats; }

bool OrvanBusy(OrvanState& state) {
  bool busy = !state.file_mode && WaveBusy(state.player);
  if (KeyPressed(*state.player.platform)) {
    OrvanStop(state);
    busy = false;
  }
  return busy;
}

void OrvanStop(OrvanState& state) {
  if (!state.file_mode) WaveStop(state.player);
}

void OrvanRelease(OrvanState& s) {
  while (OrvanBusy(s)) Delay(*s.player.platform, 500);
  OrvanStop(s);
  if (s.file_mode && s.output) {
    std::fclose(s.output);
    s.output = nullptr;
    PatchWaveFileSizes(s.output_name);
  }
  s.file_mode = false;
  orvan::ReleaseRules(s.tables);
  orvan::ReleaseDiphoneList(s.tables);
  if (s.mbr) s.mbr->close_MBR();
  s.mbr.reset();
}

std::string MissingMbrolaMessage() {
  return std::string(orvan_msg::kNoMbrola) + std::string(MbrolaWhereToGet()) +
         std::string(orvan_msg::kRecordedVoiceSpeaksNow);
}

const std::string& OrvanLastError(const OrvanState& state) { return state.last_error; }

int OrvanSampleRate(const OrvanState& state) { return state.mbr ? state.mbr->getFreq_MBR() : 0; }

}  // namespace kal
