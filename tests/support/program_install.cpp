#include "tests/support/program_install.h"

#include <filesystem>
#include <fstream>

namespace kal::test {

std::string ProgramBinary() { return std::string(KALDORIN_BINARY_DIR) + "/kaldorin"; }

void InstallEmptyVoice(const std::string& root) {
  namespace fs = std::filesystem;
  std::string voice = root + "/drives/c/ferlan/som/difones";
  fs::create_directories(voice);
  fs::create_directories(root + "/drives/c/ferlan/som/letras");
  std::ofstream(voice + "/DIFONES2.IND");
  std::ofstream(voice + "/DIFONES2.DIF");
  fs::copy_file(std::string(KALDORIN_SOURCE_DIR) + "/data/diphone/regras.rgr", voice + "/regras.rgr");
  fs::copy_file(std::string(KALDORIN_SOURCE_DIR) + "/data/diphone/portug.exc", voice + "/portug.exc");
}

}  // namespace kal::test
