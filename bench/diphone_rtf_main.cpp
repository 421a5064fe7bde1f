// bench_diphone_rtf: real-time factor of the recorded voice. Speaks a
// paragraph of 200 Portuguese words (translated, then synthesised)
// into a sink that keeps the sound, and prints the time taken divided by
// the length of the sound produced.
//
//   bench_diphone_rtf [--db FOLDER] [--runs N] [--wav FILE]
//
// FOLDER is an installed diphone folder (the database and its rules); by
// default the configured one. --wav writes the sound of one run to FILE.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "0_base/speech_log.h"
#include "1_platform/platform.h"
#include "1_platform/event_loop.h"
#include "2_config/config_state.h"
#include "3_audio/wave_player_state.h"
#include "4_voices/voices.h"
#include "0_base/latin1.h"
#include "3_audio/wave_player.h"
#include "4_voices/diphone/diphone.h"
#include "4_voices/diphone/diphone_settings.h"
#include "4_voices/diphone/translator.h"

namespace {

// Runs of words as the speech facade hands them over: punctuation and
// digits stay with the facade, so the paragraph is split at them.
const char* const kParagraph[] = {
    "Numa manhã fria de junho",
    "a rádio da cidade começou a transmitir mais cedo do que de costume",
    "O locutor abriu o programa com uma canção antiga",
    "leu as notícias do bairro e pediu aos ouvintes que telefonassem contando como estava o tempo em cada rua",
    "Uma senhora disse que a chuva parou perto da praça",
    "mas que o vento ainda derrubava as folhas das árvores junto ao rio",
    "Um rapaz contou que o ônibus chegou atrasado",
    "porque a ponte velha estava fechada para conserto",
    "a equipe preparava uma lista de músicas escolhidas pelos moradores",
    "com sambas",
    "choros e algumas modas de viola que lembravam a infância de muita gente",
    "No meio da manhã",
    "chegou uma carta de uma escola rural pedindo livros e computadores usados",
    "e o apresentador prometeu ajudar a organizar uma campanha de doações",
    "Depois do almoço",
    "a programação mudou para entrevistas com agricultores",
    "que explicaram como a seca do ano passado afetou a colheita de feijão",
    "milho e café",
    "e da esperança de uma safra melhor",
    "Ao fim da tarde",
    "quando o sol já se escondia atrás dos morros",
    "a rádio encerrou a transmissão agradecendo a companhia de todos",
    "e lembrando que amanhã haverá mais histórias",
};

int CountWords() {
  int n = 0;
  for (const char* run : kParagraph) {
    bool in_word = false;
    for (const char* p = run; *p; ++p) {
      bool letter = *p != ' ';
      if (letter && !in_word) ++n;
      in_word = letter;
    }
  }
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<kal::EventLoop> loop = kal::MakePollEventLoop();  // outlives what waits on it
  kal::Platform platform(*loop);  // the platform layer's state for the run
  kal::ConfigState config(platform);  // and the configuration's
  kal::SpeechLog speech_log;  // the speech log: no file, nothing kept
  kal::WavePlayer player(platform, config, speech_log);  // the wave player the voices play on
  kal::Voices voices(player);  // the synthesizer's and translator's state
  std::string db, wav;
  int runs = 20;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string a = argv[i];
    if (a == "--db") db = argv[i + 1];
    if (a == "--runs") runs = std::max(1, std::stoi(argv[i + 1]));
    if (a == "--wav") wav = argv[i + 1];
  }
  const kal::DiphoneFolders folders = kal::ConfiguredDiphoneFolders(config);
  if (db.empty()) db = folders.diphones;
  if (kal::DiphoneStartIn(voices, db, db) != kal::kDiphoneReady) {
    std::cerr << "bench_diphone_rtf: no voice database in " << db << " (run scripts/setup.sh)\n";
    return 1;
  }
  kal::DiphoneSetTuning(voices, 400, 0, 100);
  std::string sound;
  kal::SetDiphoneSink(voices, [&sound](std::string_view image) { sound.append(image.substr(44)); });

  std::vector<std::string> runs_latin1;
  for (const char* run : kParagraph) runs_latin1.push_back(kal::Utf8ToLatin1(run));
  size_t samples_per_run = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int r = 0; r < runs; ++r) {
    sound.clear();
    for (const std::string& run : runs_latin1) kal::DiphoneSpeak(voices, kal::TranslateWords(*voices.translator, run), 0);
    samples_per_run = sound.size();
    if (r == 0 && !wav.empty()) std::ofstream(wav, std::ios::binary) << kal::MakeWaveImage(sound, 11025, 1, 8);
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / runs;
  const double audio = static_cast<double>(samples_per_run) / 11025.0;
  std::printf("words: %d\naudio: %.2f s\nsynthesis: %.3f ms per paragraph (%d runs)\nreal-time factor: %.5f\n",
              CountWords(), audio, seconds * 1000, runs, audio > 0 ? seconds / audio : 0.0);
  kal::DiphoneClose(voices);
  return 0;
}
