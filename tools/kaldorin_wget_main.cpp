// kaldorin_wget: the downloader that the Windows package ships as wget.exe
// (9_app/wget_tool.h says why and what it takes).
#include <string>
#include <vector>

#include "1_platform/host_file.h"
#include "9_app/wget_tool.h"

int main(int argc, char** argv) {
  std::vector<std::string> args = kal::HostArguments(argc, argv);
  if (!args.empty()) args.erase(args.begin());
  return kal::WgetMain(args);
}
