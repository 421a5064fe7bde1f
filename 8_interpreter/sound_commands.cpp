// The sound commands: BIPA, ALARME, TOCA, MCI and MENSAGEM. Tones are
// square waves made here and played through the wave player; TOCA and MCI
// go through the multimedia command strings of 8_interpreter/mci.h.
#include <string>

#include "6_console/console.h"
#include "5_speech/speech.h"
#include "0_base/speech_log.h"
#include "3_audio/wave_player.h"
#include "8_interpreter/commands.h"
#include "8_interpreter/mci.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/run_context.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"
#include "1_platform/stop_request.h"

namespace kal {
namespace {

constexpr int kToneRate = 22050;
constexpr int16_t kToneLevel = 6000;
constexpr int kToneMax = 20000;
constexpr size_t kMciCommandMax = 1024;
constexpr int kTocaPollMs = 100;

// A decimal number from 0 to 20000.
bool ReadToneValue(InterpreterState& in, std::string_view* args, int* value) {
  std::string text;
  if (!ReadOperand(in, args, &text) || text.empty() || text.size() > 5) return false;
  int v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  *value = v;
  return v <= kToneMax;
}

// 16-bit mono samples of a square wave; frequency 0 is silence.
std::string SquareWave(int frequency, int ms) {
  size_t samples = static_cast<size_t>(kToneRate) * ms / 1000;
  std::string pcm(samples * 2, '\0');
  if (frequency <= 0) return pcm;
  for (size_t i = 0; i < samples; ++i) {
    bool high = (i * 2 * frequency / kToneRate) % 2 == 0;
    int16_t v = high ? kToneLevel : -kToneLevel;
    pcm[2 * i] = static_cast<char>(v & 0xFF);
    pcm[2 * i + 1] = static_cast<char>((v >> 8) & 0xFF);
  }
  return pcm;
}

std::string Mci(InterpreterState& in, std::string_view command) {
  return SendMciString(in.context->player, in.mci, command.substr(0, kMciCommandMax));
}

}  // namespace

bool CmdBipa(InterpreterState& in, std::string_view args) {
  std::string value = "0";
  if (!args.empty() && !ReadOperand(in, &args, &value)) return false;
  if (value == "1") {
    Click(in.context->speech);
  } else {
    ErrorBeep(in.context->speech);
  }
  return true;
}

// ALARME frequency duration: the tone plays to its end (a key cuts it).
bool CmdAlarme(InterpreterState& in, std::string_view args) {
  int frequency = 0, ms = 0;
  if (!ReadToneValue(in, &args, &frequency) || !ReadToneValue(in, &args, &ms)) return false;
  SpeechLogScope log(in.context->speech_log, "tone", std::to_string(frequency) + " " + std::to_string(ms));
  std::string pcm = SquareWave(frequency, ms);
  WavePlayer& player = in.context->player;
  if (!pcm.empty() && PlayPcm(player, reinterpret_cast<const uint8_t*>(pcm.data()), pcm.size(), kToneRate, 1, 16) == 0)
    WaitWave(player);
  return true;
}

// TOCA file [&]: without '&' waits for the end of the sound or a key, and
// throws the keys away.
bool CmdToca(InterpreterState& in, std::string_view args) {
  bool no_wait = TakeTrailingAmpersand(&args);
  std::string file;
  if (!ReadOperand(in, &args, &file) || !args.empty()) return false;
  if (no_wait) {
    Mci(in, "play " + file);
    return true;
  }
  Mci(in, "open \"" + file + "\" alias myfile");
  Mci(in, "play myfile");
  do {
    Delay(in.context->platform, kTocaPollMs);
  } while (!KeyPressed(in.context->platform) && Mci(in, "status myfile mode") == "playing");
  while (KeyPressed(in.context->platform) && !StopRequested(in.context->platform)) ReadKey(in.context->platform);
  Mci(in, "stop myfile");
  Mci(in, "close myfile");
  return true;
}

bool CmdMci(InterpreterState& in, std::string_view args) {
  int slot = 0;
  std::string command;
  if (!ReadVariableRef(in, &args, &slot) || !ReadOperand(in, &args, &command) || !args.empty()) return false;
  Var(in, slot) = Mci(in, command);
  return true;
}

// MENSAGEM file: plays the wave file (".WAV" added when the name lacks it)
// and waits for its end or a key.
bool CmdMensagem(InterpreterState& in, std::string_view args) {
  std::string file;
  if (args.empty() || !ReadOperand(in, &args, &file)) return false;
  file = UpperCaseText(file);
  if (file.find(".WAV") == std::string::npos) file += ".WAV";
  PlayWaveFile(in.context->player, file);
  return true;
}

}  // namespace kal
