// kaldorin: runs a KALDORIN script, or the embedded application when none is
// given. Parses the options, builds the back ends, runs, maps the outcome to
// the exit code.
#include <cstdio>
#include <string>
#include <vector>

#include "1_platform/host_file.h"
#include "9_app/program.h"

int main(int argc, char** argv) {
  std::vector<std::string> args = kal::HostArguments(argc, argv);
  std::vector<char*> pointers;
  for (std::string& a : args) pointers.push_back(a.data());
  pointers.push_back(nullptr);
  return kal::ProgramMain(static_cast<int>(args.size()), pointers.data());
}
