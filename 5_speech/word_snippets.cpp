#include "5_speech/word_snippets.h"

#include <cstdio>

#include "0_base/latin1.h"
#include "1_platform/host_file.h"
#include "2_config/sound_paths.h"
#include "5_speech/speech.h"
#include "5_speech/speech_state.h"
#include "0_base/speech_log.h"
#include "0_base/wave_format.h"

namespace kal {

namespace {

constexpr size_t kSnippetHeader = 44;
constexpr size_t kSnippetSpace = 30000;

}  // namespace

std::vector<std::string> SnippetNames(std::string_view words, bool feminine) {
  std::vector<std::string> names;
  const std::string a_tilde = L1("ã"), o_tilde = L1("õ");
  size_t pos = 0;
  std::string text = std::string(words) + " *";
  for (;;) {
    size_t sp = text.find(' ', pos);
    std::string w = text.substr(pos, sp == std::string::npos ? std::string::npos : sp - pos);
    if (w == "*" || sp == std::string::npos) break;
    pos = sp + 1;
    if (w.empty()) continue;
    for (auto& c : w) {
      if (c == a_tilde[0]) c = 'a';
      if (c == o_tilde[0]) c = 'o';
    }
    if (w == "dezessete") w = "dezeset";
    names.push_back(("_" + w).substr(0, 8));
  }
  if (feminine && !names.empty()) {
    if (names.back() == "_um") names.back() = "_uma";
    else if (names.back() == "_dois") names.back() = "_duas";
  }
  return names;
}

namespace {

// Appends the samples of one snippet file; false when it cannot be read.
bool ReadSnippet(const std::string& path, std::string* samples) {
  std::FILE* f = OpenHostFile(SoundHostPath(path), "rb");
  if (!f) return false;
  std::string data;
  char buf[4096];
  size_t got;
  while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) {
    data.append(buf, got);
    if (data.size() > kSnippetSpace + kSnippetHeader) break;  // a snippet is short
  }
  std::fclose(f);
  if (data.size() < kSnippetHeader) return false;
  *samples = data.substr(kSnippetHeader, kSnippetSpace);
  return true;
}

void PlaySnippets(SpeechState& s, std::string* buffer) {
  if (buffer->empty()) return;
  PlayWaveBuffer(s, MakeWaveImage(*buffer, 11025, 1, 8));
  WaitWhileSpeaking(s);
  buffer->clear();
}

}  // namespace

void SpeakWords(SpeechState& s, std::string_view words, bool feminine) {
  SpeechLogScope log(SpeechLogOf(s), "words", words);
  std::string buffer;
  for (const std::string& name : SnippetNames(words, feminine)) {
    LogSpeechDetail(SpeechLogOf(s), "snippet", name);
    std::string samples;
    if (!ReadSnippet(LettersFolder(s) + name + ".wav", &samples)) continue;
    if (buffer.size() + samples.size() > kSnippetSpace) PlaySnippets(s, &buffer);
    buffer += samples;
  }
  PlaySnippets(s, &buffer);
}

}  // namespace kal
