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

OrvanState& State() { return InstalledOrvan(); }

int64_t MicrosSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count();
}

void Wake() {
  Loop().Post([] {});
}

void RecordError(std::string_view utf8) { State().last_error = L1(utf8).substr(0, 255); }

// Closes and reopens the synthesiser after a failed write.
void RestartMbrola() {
  OrvanState& s = State();
  if (s.mbr) s.mbr->close_MBR();
  s.mbr = LoadMbrola();
  if (s.mbr) s.mbr->init_MBR(s.settings.database);
}

bool LoadDataFiles(const OrvanSettings& settings) {
  orvan::ReleaseRules();
  orvan::ReleaseDiphoneList();
  std::string err;
  if (!LoadOrvanWordData(settings, &err)) {
    State().last_error = err;
    return false;
  }
  if (!orvan::LoadAbbreviations(OrvanDataFile(settings, ".abr"))) {
    RecordError(orvan_msg::kAbbreviationsError);
    return false;
  }
  if (!orvan::LoadProsody(OrvanDataFile(settings, ".pro")) ||
      !orvan::LoadDiphoneList(OrvanDataFile(settings, ".dfn"))) {
    RecordError(orvan_msg::kProsodyError);
    return false;
  }
  return true;
}

bool OpenOutputFile(const std::string& name) {
  OrvanState& s = State();
  s.output = OpenHostFile(name, "wb");
  if (s.output == nullptr) return false;
  std::string header = WaveHeader(0, s.mbr->getFreq_MBR());
  if (std::fwrite(header.data(), 1, header.size(), s.output) != header.size()) {
    RecordError(orvan_msg::kOutputFileError);
    std::fclose(s.output);
    s.output = nullptr;
    return false;
  }
  s.file_mode = true;
  return true;
}

bool StartEngine(const std::string& output_file) {
  OrvanState& s = State();
  s.last_error.clear();
  s.output_name = output_file;
  if (!s.have_settings) {
    s.settings = ReadOrvanSettings();
    s.have_settings = true;
  }
  if (s.mbr) s.mbr->close_MBR();
  s.mbr = LoadMbrola();
  if (!s.mbr) {
    RecordError(MissingMbrolaMessage());
    return false;
  }
  if (s.mbr->init_MBR(s.settings.database) < 0) {
    s.mbr.reset();
    s.last_error = L1(orvan_msg::kNoMbrolaVoice) + s.settings.database + L1(orvan_msg::kRecordedVoiceSpeaks);
    return false;
  }
  if (!LoadDataFiles(s.settings)) return false;
  if (output_file.empty()) {
    s.file_mode = false;
    s.mbr->setNoError_MBR(0);
    return true;
  }
  return OpenOutputFile(output_file);
}

// Hands the accumulated bytes to the wave player as one wave image.
void PlayChunk() {
  OrvanState& s = State();
  if (s.chunk.size() < kMinChunkBytes) s.chunk.resize(kMinChunkBytes, '\0');
  if (s.stats.first_chunk_us == 0) s.stats.first_chunk_us = MicrosSince(s.stats.start);
  PlayWaveMemory(MakeWaveImage(s.chunk, s.mbr->getFreq_MBR(), 1, 16));
  s.chunk.clear();
}

// Reads every sample MBROLA has ready; false when the output file failed.
bool CollectSamples() {
  OrvanState& s = State();
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
    if (s.chunk.size() + count >= kChunkBytes) PlayChunk();
    s.chunk.append(bytes, count);
  }
  return ok;
}

bool Synthesise(const std::vector<std::string>& lines) {
  OrvanState& s = State();
  bool ok = true;
  s.mbr->reset_MBR();
  s.mbr->setNoError_MBR(kUtteranceNoError);
  s.chunk.clear();
  for (size_t i = 0; i < lines.size(); ++i) {
    bool last = i + 1 == lines.size();
    if (lines[i].empty() && !last) continue;
    if (s.mbr->write_MBR(lines[i] + "\r\n") < 0) {
      RestartMbrola();
      ok = false;
      if (!s.mbr) return false;
    }
    if (last) s.mbr->flush_MBR();
    ok &= CollectSamples();
  }
  if (!s.file_mode && !s.chunk.empty()) PlayChunk();
  return ok;
}

}  // namespace

void SetOrvanSettings(const OrvanSettings& settings) {
  State().settings = settings;
  State().have_settings = true;
}

std::string OrvanDataFile(const OrvanSettings& settings, std::string_view extension) {
  std::string base = settings.base.empty() ? "portug" : settings.base;
  return settings.folder + base + std::string(extension);
}

bool LoadOrvanWordData(const OrvanSettings& settings, std::string* err) {
  if (!orvan::LoadRules(OrvanDataFile(settings, ".nrl")) ||
      !orvan::LoadExceptions(OrvanDataFile(settings, ".exc"))) {
    *err = L1(orvan_msg::kWordDataError);
    return false;
  }
  return true;
}

std::vector<std::string> OrvanPhonemeStream(std::string_view text) {
  using namespace orvan;
  std::string normal = NormaliseText(text);
  PhonemeList phonemes = BuildPhonemeList(TagIntonation(Tokenize(normal)));
  return TimePhonemes(phonemes, State().rate_factor, State().pitch_factor);
}

bool OrvanStart(int voice, int rate, int pitch, const std::string& output_file) {
  bool ok = StartEngine(output_file);
  State().rate_factor = 0.8 - rate / 15.0;
  State().pitch_factor = (pitch + 11) / 11.0;
  return ok;
}

bool OrvanSpeak(std::string_view text) {
  OrvanState& s = State();
  if (orvan::Trim(text).empty() || !s.mbr) return true;
  s.stats = OrvanStats();
  s.stats.start = std::chrono::steady_clock::now();
  std::vector<std::string> lines = OrvanPhonemeStream(text);
  // Synthesised sound plays as it is: neither faster nor cut.
  WaveFlags saved = GetWaveFlags();
  WaveFlags plain = saved;
  plain.fast = plain.cut = false;
  SetWaveFlags(plain);
  bool ok = Synthesise(lines);
  SetWaveFlags(saved);
  s.stats.total_us = MicrosSince(s.stats.start);
  Wake();
  return ok;
}

const OrvanStats& OrvanLastStats() { return State().stats; }

bool OrvanBusy() {
  bool busy = !State().file_mode && WaveBusy();
  if (KeyPressed()) {
    OrvanStop();
    busy = false;
  }
  Wake();
  return busy;
}

void OrvanStop() {
  if (!State().file_mode) WaveStop();
  Wake();
}

void OrvanRelease() {
  OrvanState& s = State();
  while (OrvanBusy()) Delay(500);
  OrvanStop();
  if (s.file_mode && s.output) {
    std::fclose(s.output);
    s.output = nullptr;
    PatchWaveFileSizes(s.output_name);
  }
  s.file_mode = false;
  orvan::ReleaseRules();
  orvan::ReleaseDiphoneList();
  if (s.mbr) s.mbr->close_MBR();
  s.mbr.reset();
}

std::string MissingMbrolaMessage() {
  return std::string(orvan_msg::kNoMbrola) + std::string(MbrolaWhereToGet()) +
         std::string(orvan_msg::kRecordedVoiceSpeaksNow);
}

const std::string& OrvanLastError() { return State().last_error; }

int OrvanSampleRate() { return State().mbr ? State().mbr->getFreq_MBR() : 0; }

}  // namespace kal
