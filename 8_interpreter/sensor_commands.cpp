// SENSOR var: the number (1 to 32) of the lowest switch sensor that is
// active on the parallel port, or 0.
//
// The switches form 8 rows of 4. Each step sets the control register to all
// ones, pauses 1 ms, drives one row's data line low (the others high),
// pauses 1 ms and reads the status register; status bits 7, 6, 5 and 4 that
// differ from the baseline are that row's sensors 1 to 4. The baseline is
// the status read once, when the port is opened, with the data register at 1.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "1_platform/parallel_port.h"
#include "1_platform/pump.h"
#include "8_interpreter/commands.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/numbers.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/run_context.h"
#include "8_interpreter/state.h"

namespace kal {
namespace {

constexpr uint8_t kControlAll = 255;
constexpr uint8_t kBaselineData = 1;
constexpr int kPauseMs = 1;
constexpr int kRows = 8;
constexpr int kColumns = 4;

void Pause(Platform& platform) { Delay(platform, kPauseMs); }

// Opens the port on first use and reads the baseline into the interpreter.
// A port that cannot be opened is tried again on the next SENSOR.
bool SensorsReady(InterpreterState& in) {
  ParallelPort& port = Port(in.context->platform);
  if (port.IsOpen()) return true;
  std::string err;
  if (!port.Open(&err)) {
    // Said, not a failure: SENSOR goes on and gives zero.
    SayLine(in, kMsgNoSensorPort);
    if (std::getenv("KALDORIN_AUDIO_DEBUG")) std::fprintf(stderr, "kaldorin: sensors: %s\n", err.c_str());
    return false;
  }
  port.WriteControl(kControlAll);
  Pause(in.context->platform);
  port.WriteData(kBaselineData);
  Pause(in.context->platform);
  in.sensor_baseline = port.ReadStatus();
  return true;
}

// Every row is read; the lowest active sensor wins, 0 when none is.
int ScanSensors(const InterpreterState& in) {
  ParallelPort& port = Port(in.context->platform);
  int lowest = 0;
  for (int row = 0; row < kRows; ++row) {
    port.WriteControl(kControlAll);
    Pause(in.context->platform);
    port.WriteData(static_cast<uint8_t>((0x80 >> row) ^ 0xFF));
    Pause(in.context->platform);
    uint8_t changed = port.ReadStatus() ^ in.sensor_baseline;
    for (int column = 0; column < kColumns && lowest == 0; ++column)
      if (changed & (0x80 >> column)) lowest = row * kColumns + column + 1;
  }
  return lowest;
}

}  // namespace

bool CmdSensor(InterpreterState& in, std::string_view args) {
  bool ready = SensorsReady(in);
  int slot = 0;
  if (!ReadVariableRef(in, &args, &slot)) return false;
  Var(in, slot) = NumberToText(ready ? ScanSensors(in) : 0);
  return true;
}

}  // namespace kal
