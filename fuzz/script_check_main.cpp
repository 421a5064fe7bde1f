// fuzz_script_check: feeds arbitrary bytes to the script check in both of
// its uses. The bytes are a script file's text: split as a file is read
// (UTF-8 to Latin-1, CR LF, the line limit) and checked whole, as
// `kaldorin --check` and the language server do; then each line is stored
// in an interpreter and asked for alone, as a run asks when a line fails.
// Both must keep within the script's limits and never recurse with its
// length.
//
// scripts/test.sh runs it for 30 s in the sanitizer build, from
// fuzz/corpus/script_check. Build and run by hand:
//   CC=clang CXX=clang++ cmake -S . -B build-fuzz -DKALDORIN_FUZZ=ON -DKALDORIN_TESTS=OFF -DKALDORIN_BENCH=OFF
//   cmake --build build-fuzz --target fuzz_script_check
//   build-fuzz/fuzz_script_check NEW_DIR fuzz/corpus/script_check -dict=fuzz/script_check.dict -max_total_time=600
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "7_net/network.h"
#include "1_platform/event_loop.h"
#include "1_platform/platform.h"
#include "2_config/config_state.h"
#include "8_interpreter/interpreter.h"
#include "8_interpreter/script_check.h"
#include "8_interpreter/state.h"
#include "9_app/script_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An interpreter's state reaches for the network, as in the program.
  static std::unique_ptr<kal::EventLoop> loop = kal::MakePollEventLoop();
  static kal::Platform platform(*loop);
  static kal::ConfigState config(platform);
  static kal::Network network(platform, config);
  std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> lines;
  std::string err;
  kal::SplitScriptText(text, &lines, &err);
  for (const kal::CheckFinding& f : kal::CheckScript(lines)) {
    if (f.line < 1 || f.line > static_cast<int>(lines.size()) || f.column < 1 ||
        static_cast<size_t>(f.column) > lines[static_cast<size_t>(f.line - 1)].size() + 1 || f.message.empty())
      __builtin_trap();  // a finding outside the script
  }
  kal::InterpreterState in;
  int n = 0;
  for (const std::string& line : lines)
    if (!kal::StoreLine(in, line, ++n)) break;
  for (int i = 0; i <= in.line_count + 1; ++i) kal::LineFault(in, i);
  return 0;
}
