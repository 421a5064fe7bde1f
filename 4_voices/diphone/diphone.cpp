// Start, tuning and close of the diphone word synthesizer: checks the
// folders, reads the index, opens the data file and loads the translator's
// rules and exceptions from the diphone folder.
#include "4_voices/diphone/diphone.h"
#include "4_voices/voices.h"

#include <filesystem>

#include "1_platform/host_file.h"
#include "4_voices/diphone/diphone_settings.h"
#include "4_voices/diphone/diphone_state.h"
#include "4_voices/diphone/translator.h"

namespace kal {
namespace diphone {

SynthState& Synth() { return *InstalledVoices().synth; }

namespace {

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(HostFsPath(path), ec);
}

}  // namespace
}  // namespace diphone

namespace {

// A start that failed because of a missing folder or file: remembers which.
int Missing(const std::string& what, int code) {
  DiphoneClose();
  diphone::Synth().missing = what;
  return code;
}

}  // namespace

int DiphoneStartIn(const std::string& letters_folder, const std::string& diphone_folder) {
  using namespace diphone;
  DiphoneClose();
  SynthState& s = Synth();
  s.missing.clear();
  const std::string dir = WithSlash(diphone_folder);
  const std::string base = dir + kDiphoneDatabaseName;
  // The voice's own folder is named first: without set-up both are missing,
  // and the letters folder may be no more than the root of a drive.
  if (!IsFolder(diphone_folder)) return Missing(diphone_folder, kDiphoneFilesMissing);
  if (!IsFolder(letters_folder)) return Missing(letters_folder, kDiphoneFilesMissing);
  if (!LoadIndex(base + ".IND", &s.index)) return Missing(base + ".IND", kDiphoneFilesMissing);
  s.data = OpenHostFile((base + ".DIF"), "rb");
  if (s.data == nullptr) return Missing(base + ".DIF", kDiphoneFilesMissing);
  if (!LoadTranslatorRules(dir + "regras.rgr")) return Missing(dir + "regras.rgr", kDiphoneTranslatorMissing);
  if (!LoadTranslatorExceptions(dir + "portug.exc")) return Missing(dir + "portug.exc", kDiphoneTranslatorMissing);
  s.letters_folder = WithSlash(letters_folder);
  s.buffer.assign(kBufferSize, 128);
  s.fill = kHeaderSize;
  s.started = true;
  return kDiphoneReady;
}

int DiphoneStart() {
  DiphoneFolders folders = ConfiguredDiphoneFolders();
  return DiphoneStartIn(folders.letters, folders.diphones);
}

void DiphoneSetTuning(int cut, int minimum, int word_gap) {
  diphone::SynthState& s = diphone::Synth();
  s.cut = cut;
  s.minimum = minimum;
  s.word_gap = word_gap;
}

void DiphoneClose() {
  diphone::SynthState& s = diphone::Synth();
  s.started = false;
  s.buffer.clear();
  s.buffer.shrink_to_fit();
  s.fill = diphone::kHeaderSize;
  s.index.clear();
  if (s.data != nullptr) std::fclose(s.data);
  s.data = nullptr;
  ReleaseTranslatorRules();
}

const std::string& DiphoneMissingPath() { return diphone::Synth().missing; }

void SetDiphonePlayer(DiphoneSink player) { diphone::Synth().player = std::move(player); }
void SetDiphoneSink(DiphoneSink sink) { diphone::Synth().sink = std::move(sink); }

DiphonePieceCounts DiphoneCounts() { return diphone::Synth().counts; }
void ResetDiphoneCounts() { diphone::Synth().counts = {}; }
void SetDiphonePieceObserver(DiphonePieceObserver observer) { diphone::Synth().observer = std::move(observer); }

}  // namespace kal
