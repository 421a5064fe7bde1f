// The interpreter's module state: everything one interpreter keeps for the
// whole process, in one place.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "interpreter/interpreter.h"

namespace kal {

struct InterpreterState {
  std::vector<std::string> lines = std::vector<std::string>(kMaxScriptLines + 1);  // 1-based
  int line_count = 0;
  int current_line = 1;
  bool error = false;
  bool stop = true;
  bool quiet_end = false;
  std::array<int, 20> call_stack{};
  int call_depth = 0;
  int last_status = 0;
  bool debug = false;
  std::vector<std::string> params;
  int start_weekday = 0;
  int start_time = 0;  // hundredths of a second since midnight
  bool midi_open = false;
};

InterpreterState& Interp();

}  // namespace kal
