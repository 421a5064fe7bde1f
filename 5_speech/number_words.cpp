#include "5_speech/number_words.h"

#include <cstdio>

#include "0_base/latin1.h"
#include "1_platform/host_file.h"
#include "2_config/sound_paths.h"
#include "5_speech/speech.h"
#include "0_base/speech_log.h"
#include "0_base/wave_format.h"
#include "1_platform/event_loop.h"

namespace kal {

namespace {

const char* const kUnits[] = {"zero", "um", "dois", "três", "quatro", "cinco", "seis", "sete", "oito", "nove"};
const char* const kTeens[] = {"dez",    "onze",      "doze",      "treze",   "quatorze",
                              "quinze", "dezesseis", "dezessete", "dezoito", "dezenove"};
const char* const kTens[] = {"", "", "vinte", "trinta", "quarenta", "cinqüenta", "sessenta", "setenta", "oitenta", "noventa"};
const char* const kHundreds[] = {"",           "cento",      "duzentos",   "trezentos", "quatrocentos",
                                 "quinhentos", "seiscentos", "setecentos", "oitocentos", "novecentos"};
// Singular and plural of the group names, trillions first; the last group
// (units) has none.
const char* const kGroupOne[] = {"trilhão ", "bilhão ", "milhão ", "mil ", ""};
const char* const kGroupMany[] = {"trilhões ", "bilhões ", "milhões ", "mil ", ""};

// Words of one group of three digits ("" for 000).
std::string GroupWords(int h, int t, int u) {
  if (h == 0 && t == 0 && u == 0) return "";
  if (h == 1 && t == 0 && u == 0) return "cem";
  std::string w;
  if (h != 0) {
    w = kHundreds[h];
    if (t == 0 && u == 0) return w;
    w += " e ";
  }
  if (t == 1) return w + kTeens[u];
  if (t != 0) {
    w += kTens[t];
    if (u == 0) return w;
    w += " e ";
  }
  if (u != 0) w += kUnits[u];
  return w;
}

constexpr size_t kSnippetHeader = 44;
constexpr size_t kSnippetSpace = 30000;

}  // namespace

std::string NumberToWords(uint64_t n) {
  if (n == 0) return L1("zero");
  char digits[32];
  std::snprintf(digits, sizeof digits, "%015llu", static_cast<unsigned long long>(n % 1000000000000000ULL));
  std::string out;
  bool earlier = false;
  int last_nonempty = -1;
  for (int g = 0; g < 5; ++g)
    if (std::string_view(digits + 3 * g, 3) != "000") last_nonempty = g;
  for (int g = 0; g < 5; ++g) {
    const char* d = digits + 3 * g;
    std::string words = GroupWords(d[0] - '0', d[1] - '0', d[2] - '0');
    if (words.empty()) continue;
    if (g < 4) words += std::string(" ") + (std::string_view(d, 3) == "001" ? kGroupOne[g] : kGroupMany[g]);
    if (g == last_nonempty && earlier) out += "e ";
    out += words;
    earlier = true;
  }
  out = L1(out);
  // One thousand is "mil", not "um mil".
  if (out.rfind("um mil", 0) == 0 && out.rfind("um milh", 0) != 0) out.erase(0, 3);
  return out;
}

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

void PlaySnippets(std::string* buffer) {
  if (buffer->empty()) return;
  PlayWaveBuffer(MakeWaveImage(*buffer, 11025, 1, 8));
  while (SpeechBusy()) Loop().Wait(10);
  buffer->clear();
}

}  // namespace

void SpeakWords(std::string_view words, bool feminine) {
  SpeechLogScope log("words", words);
  std::string buffer;
  for (const std::string& name : SnippetNames(words, feminine)) {
    LogSpeechDetail("snippet", name);
    std::string samples;
    if (!ReadSnippet(LettersFolder() + name + ".wav", &samples)) continue;
    if (buffer.size() + samples.size() > kSnippetSpace) PlaySnippets(&buffer);
    buffer += samples;
  }
  PlaySnippets(&buffer);
}

}  // namespace kal
