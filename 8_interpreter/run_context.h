// What a run speaks, plays, waits and connects through: the objects main
// builds for the run, handed down as one context. The interpreter's state
// holds it, so a command handler reaches any of them from its first
// argument; below the interpreter each layer is given only the pieces it
// needs, as parameters or as members set when its objects are built.
// Tests build a fresh set per case (tests/support/fresh_subsystems.cpp).
#pragma once

namespace kal {

class EventLoop;
struct Platform;
struct ConfigState;
struct WavePlayer;
struct Voices;
struct SpeechState;
struct Network;
struct Console;
struct SpeechLog;

struct RunContext {
  Platform& platform;
  ConfigState& config;
  WavePlayer& player;
  Voices& voices;
  SpeechState& speech;
  Network& network;
  Console& console;
  // The loop every wait of the run sleeps in (the platform state and the
  // others hold the same one).
  EventLoop& loop;
  // The speech log of the run (the one the wave player holds).
  SpeechLog& speech_log;
};

}  // namespace kal
