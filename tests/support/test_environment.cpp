// Every test program runs in a private family installation: before any test
// starts, the configuration folder, the drives folder and the Windows folder
// point into a fresh temporary folder, so that no test reads or writes the
// Talven.ini or the files of the person running the tests. Tests that need
// their own installation use TalvenSandbox on top of this. Each case reads
// the configuration through the fresh set of run objects it runs on
// (fresh_subsystems.h).
#include <stdlib.h>

#include <string>

#include "tests/support/posix_shims.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_ca.h"

namespace kal::test {
namespace {

struct PrivateInstallation {
  PrivateInstallation() {
    setenv("XDG_CONFIG_HOME", (folder.path() + "/config").c_str(), 1);
    setenv("TALVEN_DRIVES", (folder.path() + "/drives").c_str(), 1);
    unsetenv("TALVEN_WINDIR");
    unsetenv("KALDORIN_SPEECH_LOG");
    // No sound card is needed: the audio device falls back to silence.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
#ifndef _WIN32
    // TLS clients trust the test CA that signs the local servers' certificates
    // (in place of the system's store), so certificate checks stay on.
    setenv("SSL_CERT_FILE", TestCaFile().c_str(), 1);
#endif
  }
  TempFolder folder;
};

PrivateInstallation g_installation;

}  // namespace
}  // namespace kal::test
