// bench_braille_row: the interpreter's cost of showing one console row on
// the braille display: transcription, cells, and the write to the display.
// By default the display is the recording one (no I/O: the cost of our own
// work); with --brlapi it is the display that BRLAPI_HOST's brltty drives,
// so the figure includes the library's round trip to the server.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "0_base/speech_log.h"
#include "1_platform/platform.h"
#include "5_speech/speech_state.h"
#include "3_audio/wave_player_state.h"
#include "4_voices/voices.h"
#include "2_config/config_state.h"
#include "0_base/latin1.h"
#include "1_platform/braille.h"
#include "1_platform/event_loop.h"
#include "1_platform/fake/recording_braille.h"
#include "6_console/console_state.h"
#include "6_console/braille_display.h"

namespace {

constexpr int kRows = 20000;

// 80-column rows of the kinds a script writes: words with capitals and
// accents, numbers, ordinals, symbols.
std::vector<std::string> SampleRows() {
  const char* texts[] = {
      "Rádio Nacional de Brasília - 1.250 km - 12º lugar (FM 96,1) e o ONUs [2]",
      "Entre com os dados para a pesquisa de rádios: ",
      "Estação 3 de 40: Cidade de São Paulo, SP - 100% \"ao vivo\" ¼ ½ ¾ § ª",
      "",
  };
  std::vector<std::string> rows;
  for (const char* t : texts) {
    std::string row = kal::L1(t);
    row.resize(80, ' ');
    rows.push_back(row);
  }
  return rows;
}

}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<kal::EventLoop> loop = kal::MakePollEventLoop();  // outlives what waits on it
  kal::Platform platform(*loop);  // the platform layer's state for the run
  kal::ConfigState config(platform);  // and the configuration's
  kal::SpeechLog speech_log;  // the speech log: no file, nothing kept
  kal::WavePlayer player(platform, config, speech_log);  // the wave player the voices play on
  kal::Voices voices(player);  // the voices and the speech facade the console speaks with
  kal::SpeechState speech(voices, platform);
  kal::Console the_console(platform, speech);  // and the console's
  kal::ConsoleHookGuard hooking(the_console);
  using namespace kal;
  bool real = argc > 1 && std::strcmp(argv[1], "--brlapi") == 0;
  auto device = real ? MakeBrlapiBraille() : std::make_unique<RecordingBraille>(40);
  SetBrailleDevice(the_console, std::move(device));
  if (!OpenBrailleDisplay(the_console)) {
    std::fprintf(stderr, "no braille display%s\n", real ? " (is BRLAPI_HOST's brltty running?)" : "");
    return 1;
  }
  std::vector<std::string> rows = SampleRows();
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kRows; ++i) WriteBrailleRow(the_console, rows[i % rows.size()]);
  double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / kRows;
  std::printf("braille row (%s display, 80 columns): %.2f us per row (%d rows)\n", real ? "BrlAPI" : "recording",
              us, kRows);
  return 0;
}
