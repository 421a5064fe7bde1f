// kaldorin: runs a KALDORIN script, or the embedded application when none is
// given. Parses the options, builds the back ends, runs, maps the outcome to
// the exit code.
#include <cstdio>

#include "9_app/program.h"

int main(int argc, char** argv) { return kal::ProgramMain(argc, argv); }
