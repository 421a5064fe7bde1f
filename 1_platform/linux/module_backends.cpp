// The back ends that live in modules (1_platform/backend_module.h), as the
// rest of the program asks for them: each factory opens its module on first
// use and, when the module or a library it needs is missing, gives the
// stand-in that says the service is not available.
#include <dirent.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "1_platform/audio.h"
#include "1_platform/backend_module.h"
#include "1_platform/braille.h"
#include "1_platform/console_frontend.h"
#include "1_platform/unavailable_backends.h"

namespace kal {
namespace {

template <typename T>
T* FromModule(const char* module, const char* entry, std::string* why) {
  using Make = T* (*)();
  auto make = reinterpret_cast<Make>(ModuleEntry(module, entry, why));
  return make ? make() : nullptr;
}

// Whether a braille server may be there to talk to: one named by
// BRLAPI_HOST, or a local socket of the server's in its folder. Without
// either the braille library is not even loaded.
bool BrailleServerAnnounced() {
  const char* host = std::getenv("BRLAPI_HOST");
  if (host && *host) return true;
  DIR* dir = opendir("/var/lib/BrlAPI");
  if (!dir) return false;
  bool any = false;
  while (dirent* e = readdir(dir)) {
    if (e->d_name[0] != '.') {
      any = true;
      break;
    }
  }
  closedir(dir);
  return any;
}

}  // namespace

std::unique_ptr<AudioDevice> MakeSdlAudio() {
  std::string why;
  if (AudioDevice* device = FromModule<AudioDevice>("audio", "kaldorin_make_sdl_audio", &why))
    return std::unique_ptr<AudioDevice>(device);
  return MakeNoAudio(why);
}

std::unique_ptr<AudioDevice> MakeHostAudio() { return MakeSdlAudio(); }

std::unique_ptr<BrailleDevice> MakeBrlapiBraille() {
  if (!BrailleServerAnnounced()) return MakeNoBraille();
  if (BrailleDevice* device = FromModule<BrailleDevice>("braille", "kaldorin_make_brlapi_braille", nullptr))
    return std::unique_ptr<BrailleDevice>(device);
  return MakeNoBraille();
}

std::unique_ptr<ConsoleFrontEnd> MakeWindowFrontEnd(const WindowOptions& opts) {
  using Make = ConsoleFrontEnd* (*)(const WindowOptions&);
  auto make = reinterpret_cast<Make>(ModuleEntry("window", "kaldorin_make_window_front_end", nullptr));
  return std::unique_ptr<ConsoleFrontEnd>(make ? make(opts) : nullptr);
}

}  // namespace kal
