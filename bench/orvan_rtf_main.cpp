// Speed of the Orvan engine: the whole chain (normaliser, rules, prosody,
// MBROLA) on a paragraph of about 200 words, as a real-time factor
// (synthesis time / audio time), the time until the first samples of an
// utterance are ready, and the same paragraph through espeak-ng's MBROLA
// voice for comparison when it is installed.
//
// Usage: bench_orvan_rtf [DATA_FOLDER]   (default: the configured folder; the
// database is the configured one, or br3 when that is not installed)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "0_base/speech_log.h"
#include "1_platform/platform.h"
#include "2_config/config_state.h"
#include "4_voices/voices.h"
#include "3_audio/wave_player_state.h"
#include "0_base/latin1.h"
#include "1_platform/event_loop.h"
#include "1_platform/fake/capture_audio.h"
#include "4_voices/orvan/orvan_engine.h"
#include "4_voices/orvan/orvan_state.h"

namespace {

const char* const kParagraph =
    "A rádio comunitária da cidade começou a transmitir em 1998, numa sala pequena cedida pela "
    "paróquia. No início eram apenas três voluntários, um transmissor emprestado e muita vontade "
    "de falar com os vizinhos. Hoje a emissora funciona vinte e quatro horas por dia, com notícias "
    "locais, música brasileira, entrevistas e um programa de serviços que ajuda as pessoas a "
    "encontrar trabalho, remédios e atendimento médico. Às segundas-feiras, o Sr. Oliveira "
    "apresenta a previsão do tempo e lembra a todos que a feira da Av. Brasil abre às sete horas. "
    "Você já ouviu a programação da tarde? Os ouvintes telefonam, mandam mensagens e pedem as "
    "canções de que mais gostam. Muitos deles não enxergam bem e dizem que o rádio é a sua "
    "janela para o mundo. Quando chove forte, a equipe avisa sobre as ruas alagadas e os ônibus "
    "atrasados; quando há festa no bairro, a rádio leva o microfone até a praça. O próximo passo "
    "é colocar a emissora na internet, para que os parentes que moram longe também possam "
    "escutar. Para isso, a associação precisa de 2.500 reais e de um computador novo. Quem "
    "quiser ajudar pode procurar a secretaria, de segunda a sexta, das nove às dezoito horas. "
    "Que bela história de persistência!";

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

long FileSize(const std::string& path) {
  std::ifstream f(path, std::ios::binary | std::ios::ate);
  return f ? static_cast<long>(f.tellg()) : -1;
}

// espeak-ng with the br3 MBROLA voice on the same text: seconds of wall
// time and of audio, or false when it is not available.
bool EspeakMbrola(const std::string& text_utf8, double* wall, double* audio) {
  std::string text_file = "/tmp/bench_orvan_text.txt", wav = "/tmp/bench_orvan_espeak.wav";
  std::ofstream(text_file) << text_utf8;
  std::string cmd = "espeak-ng -v mb-br3 -w " + wav + " -f " + text_file + " 2>/dev/null";
  auto t0 = std::chrono::steady_clock::now();
  int rc = std::system(cmd.c_str());
  *wall = Seconds(std::chrono::steady_clock::now() - t0);
  long bytes = FileSize(wav);
  if (rc != 0 || bytes <= 44) return false;
  *audio = (bytes - 44) / 2.0 / 22050.0;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<kal::EventLoop> loop = kal::MakeFakeEventLoop();  // outlives what waits on it
  kal::Platform platform(*loop);  // the platform layer's state for the run
  kal::ConfigState config(platform);  // and the configuration's
  kal::SpeechLog speech_log;  // the speech log: no file, nothing kept
  kal::WavePlayer player(platform, config, speech_log);  // the wave player the voices play on
  kal::Voices voices(player);  // the engine's state and tables
  kal::OrvanState& orvan = *voices.orvan;
  kal::OrvanSettings settings = kal::ReadOrvanSettings(config);
  if (argc > 1) settings.folder = std::string(argv[1]) + "/";
  // The rules are written for br3; use it when the configured one is absent.
  if (FileSize(settings.database) <= 0) settings.database = "/usr/share/mbrola/br3/br3";
  kal::SetOrvanSettings(orvan, settings);
  std::string out = "/tmp/bench_orvan_out.wav";
  if (!kal::OrvanStart(orvan, 0, 0, 0, out)) {
    std::fprintf(stderr, "bench_orvan_rtf: the engine did not start (%s); database %s, data %s%s\n",
                 kal::Latin1ToUtf8(kal::OrvanLastError(orvan)).c_str(), settings.database.c_str(),
                 settings.folder.c_str(), settings.base.c_str());
    return 1;
  }
  std::string text = kal::L1(kParagraph);
  int words = 1;
  for (char c : text) words += c == ' ';
  const int kRuns = 7;
  std::vector<double> wall, first;
  double audio = 0;
  for (int i = 0; i < kRuns; ++i) {
    auto t0 = std::chrono::steady_clock::now();
    kal::OrvanSpeak(orvan, text);
    wall.push_back(Seconds(std::chrono::steady_clock::now() - t0));
    first.push_back(kal::OrvanLastStats(orvan).first_samples_us / 1000.0);
    audio = kal::OrvanLastStats(orvan).samples / static_cast<double>(kal::OrvanSampleRate(orvan));
  }
  std::vector<double> short_first;
  for (int i = 0; i < kRuns; ++i) {
    kal::OrvanSpeak(orvan, kal::L1("Bom dia, tudo bem?"));
    short_first.push_back(kal::OrvanLastStats(orvan).first_samples_us / 1000.0);
  }
  kal::OrvanRelease(orvan);
  // The same in sound-device mode: when the first wave image is handed to
  // the wave player. The player waits while its buffers are full, so it
  // plays into a capture device on a virtual clock: nothing waits in real
  // time and no sound card is needed.
  kal::InstallCaptureAudio(platform);
  std::vector<double> first_chunk;
  if (kal::OrvanStart(orvan, 0, 0, 0, "")) {
    for (int i = 0; i < kRuns; ++i) {
      kal::OrvanSpeak(orvan, text);
      first_chunk.push_back(kal::OrvanLastStats(orvan).first_chunk_us / 1000.0);
      kal::OrvanStop(orvan);
    }
    kal::OrvanRelease(orvan);
  }
  std::sort(first_chunk.begin(), first_chunk.end());
  std::sort(wall.begin(), wall.end());
  std::sort(first.begin(), first.end());
  std::sort(short_first.begin(), short_first.end());
  double median = wall[kRuns / 2];
  std::printf("orvan: %d words, %.2f s of audio at %d Hz, synthesis %.1f ms (median of %d), RTF %.4f\n", words,
              audio, 22050, median * 1000, kRuns, median / audio);
  std::printf("orvan: first samples after %.2f ms (paragraph), %.2f ms (short sentence), medians\n",
              first[kRuns / 2], short_first[kRuns / 2]);
  if (!first_chunk.empty())
    std::printf("orvan: first wave image handed to the player after %.2f ms (paragraph, median)\n",
                first_chunk[kRuns / 2]);
  double e_wall, e_audio;
  if (EspeakMbrola(kParagraph, &e_wall, &e_audio)) {
    std::printf("espeak-ng -v mb-br3: %.2f s of audio, synthesis %.1f ms (one process run), RTF %.4f\n", e_audio,
                e_wall * 1000, e_wall / e_audio);
  } else {
    std::printf("espeak-ng -v mb-br3: not available\n");
  }
  return 0;
}
