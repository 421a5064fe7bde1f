// fuzz_language_server: feeds arbitrary bytes to the language server. The
// first byte picks how: even, the rest is the server's whole input stream
// (headers, bodies, junk between them); odd, the rest is split at NUL bytes
// into message bodies, each framed with its right length, so that the JSON
// and the requests are reached without a header to guess. Whatever comes,
// the server must answer and end at the end of input.
//
// scripts/test.sh runs it for 30 s in the sanitizer build, from
// fuzz/corpus/language_server. Build and run by hand:
//   CC=clang CXX=clang++ cmake -S . -B build-fuzz -DKALDORIN_FUZZ=ON -DKALDORIN_TESTS=OFF -DKALDORIN_BENCH=OFF
//   cmake --build build-fuzz --target fuzz_language_server
//   build-fuzz/fuzz_language_server NEW_DIR fuzz/corpus/language_server -dict=fuzz/language_server.dict -max_total_time=600
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "7_net/network.h"
#include "1_platform/event_loop.h"
#include "1_platform/platform.h"
#include "2_config/config_state.h"
#include "9_app/language_server.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An interpreter's state reaches for the network, as in the program.
  static std::unique_ptr<kal::EventLoop> loop = kal::MakePollEventLoop();
  static kal::Platform platform(*loop);
  static kal::ConfigState config(platform);
  static kal::Network network(platform, config);
  if (size == 0) return 0;
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string stream;
  if (data[0] % 2 == 0) {
    stream.assign(rest);
  } else {
    while (!rest.empty()) {
      size_t end = rest.find('\0');
      std::string_view body = rest.substr(0, end);
      stream += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
      stream.append(body);
      rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
  }
  std::istringstream in(stream);
  std::ostringstream out;
  kal::RunLanguageServer(in, out);
  return 0;
}
