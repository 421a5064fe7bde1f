// Runs inputs through a fuzz target's entry point without the fuzzer: each
// file named, and each file of each folder named (in name order), once.
// Builds without libFuzzer link the fuzz targets with this, so that they
// keep building in every build and their corpus runs as a test: an input
// that once showed a fault keeps showing whether it is mended. The target
// aborts on a fault; this prints what it ran.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

// The fuzzers are run with inputs far below this; a larger file is no
// corpus input and is refused rather than read.
constexpr std::uintmax_t kMaxInputBytes = 8u << 20;

bool RunFile(const fs::path& path) {
  std::error_code ec;
  std::uintmax_t size = fs::file_size(path, ec);
  if (ec || size > kMaxInputBytes) {
    std::fprintf(stderr, "replay: %s: %s\n", path.c_str(), ec ? ec.message().c_str() : "too large for an input");
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes(static_cast<size_t>(size));
  if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
    std::fprintf(stderr, "replay: %s: could not be read\n", path.c_str());
    return false;
  }
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE_OR_FOLDER...\n", argv[0]);
    return 2;
  }
  int ran = 0;
  for (int i = 1; i < argc; ++i) {
    std::vector<fs::path> files;
    std::error_code ec;
    if (fs::is_directory(argv[i], ec)) {
      for (const fs::directory_entry& e : fs::directory_iterator(argv[i], ec))
        if (e.is_regular_file()) files.push_back(e.path());
      std::sort(files.begin(), files.end());
    } else {
      files.emplace_back(argv[i]);
    }
    if (ec) {
      std::fprintf(stderr, "replay: %s: %s\n", argv[i], ec.message().c_str());
      return 1;
    }
    for (const fs::path& f : files) {
      if (!RunFile(f)) return 1;
      ++ran;
    }
  }
  std::printf("replay: %d inputs ran without a fault\n", ran);
  return 0;
}
