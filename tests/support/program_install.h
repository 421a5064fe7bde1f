// The real program for tests that start it as a user would, and the least
// installation it needs to start its recorded voice.
#pragma once

#include <string>

namespace kal::test {

// The kaldorin built beside the tests.
std::string ProgramBinary();

// Under root: drives/c/ferlan/som with the recorded voice's files, an empty
// database and our rule files, which is enough for the voice to start.
void InstallEmptyVoice(const std::string& root);

}  // namespace kal::test
