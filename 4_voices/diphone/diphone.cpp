// Start, tuning and close of the diphone word synthesizer: checks the
// folders, reads the index, opens the data file and loads the translator's
// rules and exceptions from the diphone folder.
#include "4_voices/diphone/diphone.h"
#include "4_voices/voices.h"

#include <filesystem>

#include "1_platform/host_file.h"
#include "3_audio/wave_player_state.h"
#include "4_voices/diphone/diphone_settings.h"
#include "4_voices/diphone/diphone_state.h"
#include "4_voices/diphone/translator.h"

namespace kal {
namespace diphone {

namespace {

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(HostFsPath(path), ec);
}

bool IsFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(HostFsPath(path), ec);
}

}  // namespace
}  // namespace diphone

namespace {

// A start that failed because of a missing folder or file: remembers which.
int Missing(Voices& voices, const std::string& what, int code) {
  DiphoneClose(voices);
  voices.synth->missing = what;
  return code;
}

}  // namespace

int DiphoneCheckIn(Voices& voices, const std::string& letters_folder, const std::string& diphone_folder) {
  using namespace diphone;
  DiphoneClose(voices);
  voices.synth->missing.clear();
  const std::string dir = WithSlash(diphone_folder);
  const std::string base = dir + kDiphoneDatabaseName;
  // The voice's own folder is named first: without set-up both are missing,
  // and the letters folder may be no more than the root of a drive.
  if (!IsFolder(diphone_folder)) return Missing(voices, diphone_folder, kDiphoneFilesMissing);
  if (!IsFolder(letters_folder)) return Missing(voices, letters_folder, kDiphoneFilesMissing);
  for (const char* ext : {".IND", ".DIF"})
    if (!IsFile(base + ext)) return Missing(voices, base + ext, kDiphoneFilesMissing);
  for (const char* name : {"regras.rgr", "portug.exc"})
    if (!IsFile(dir + name)) return Missing(voices, dir + name, kDiphoneTranslatorMissing);
  return kDiphoneReady;
}

int DiphoneStartIn(Voices& voices, const std::string& letters_folder, const std::string& diphone_folder) {
  using namespace diphone;
  int checked = DiphoneCheckIn(voices, letters_folder, diphone_folder);
  if (checked != kDiphoneReady) return checked;
  SynthState& s = *voices.synth;
  translator::TranslatorState& t = *voices.translator;
  const std::string dir = WithSlash(diphone_folder);
  const std::string base = dir + kDiphoneDatabaseName;
  if (!LoadIndex(base + ".IND", &s.index)) return Missing(voices, base + ".IND", kDiphoneFilesMissing);
  s.data = OpenHostFile((base + ".DIF"), "rb");
  if (s.data == nullptr) return Missing(voices, base + ".DIF", kDiphoneFilesMissing);
  if (!LoadTranslatorRules(t, dir + "regras.rgr")) return Missing(voices, dir + "regras.rgr", kDiphoneTranslatorMissing);
  if (!LoadTranslatorExceptions(t, dir + "portug.exc")) return Missing(voices, dir + "portug.exc", kDiphoneTranslatorMissing);
  s.letters_folder = WithSlash(letters_folder);
  s.buffer.assign(kBufferSize, 128);
  s.fill = kHeaderSize;
  s.started = true;
  return kDiphoneReady;
}

int DiphoneStart(Voices& voices) {
  DiphoneFolders folders = ConfiguredDiphoneFolders(*voices.player.config);
  return DiphoneStartIn(voices, folders.letters, folders.diphones);
}

void DiphoneSetTuning(Voices& voices, int cut, int minimum, int word_gap) {
  diphone::SynthState& s = *voices.synth;
  s.cut = cut;
  s.minimum = minimum;
  s.word_gap = word_gap;
}

void DiphoneClose(Voices& voices) {
  diphone::SynthState& s = *voices.synth;
  s.started = false;
  s.buffer.clear();
  s.buffer.shrink_to_fit();
  s.fill = diphone::kHeaderSize;
  s.index.clear();
  if (s.data != nullptr) std::fclose(s.data);
  s.data = nullptr;
  ReleaseTranslatorRules(*voices.translator);
}

const std::string& DiphoneMissingPath(Voices& voices) { return voices.synth->missing; }

void SetDiphonePlayer(Voices& voices, DiphoneSink player) { voices.synth->player = std::move(player); }
void SetDiphoneSink(Voices& voices, DiphoneSink sink) { voices.synth->sink = std::move(sink); }

DiphonePieceCounts DiphoneCounts(Voices& voices) { return voices.synth->counts; }
void ResetDiphoneCounts(Voices& voices) { voices.synth->counts = {}; }
void SetDiphonePieceObserver(Voices& voices, DiphonePieceObserver observer) {
  voices.synth->observer = std::move(observer);
}

}  // namespace kal
