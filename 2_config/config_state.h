// The configuration's state for one run, in one object: the legacy flag
// (a second copy of Talven.ini), where the file is, the updates kept in
// memory for want of the file's lock, the files' keys as last read, and
// settings a test pins in place of the file's.
//
// main builds one and installs it for the run; a test program installs one
// for all its tests (tests/support/test_environment.cpp), and a test that
// needs a fresh configuration installs its own for its length. With none
// installed (after main has returned) Talven.ini is read and written as it
// stands, without a legacy copy, and an update the lock keeps out is lost.
#pragma once

#include "2_config/config_file_cache.h"
#include "2_config/config_location.h"
#include "2_config/config_update.h"

namespace kal {

struct ConsoleSettings;
struct MagnifierSettings;
struct Platform;

struct ConfigState {
  // The configuration tells the user of a refused file or a wait for its
  // lock through this platform state (which must outlive it).
  explicit ConfigState(Platform& platform) : updates(&platform), files(platform) {}

  bool legacy = false;
  ConfigLocation location;
  ConfigUpdates updates;
  ConfigFileCache files;
  // console_settings.h: answers in place of the file's (tests).
  const ConsoleSettings* console_override = nullptr;
  const MagnifierSettings* magnifier_override = nullptr;
};

// The installed configuration state; nullptr when none is.
ConfigState* InstalledConfig();

// Installs a configuration state for the life of this object and puts the
// previous one back at its end.
class ScopedConfig {
 public:
  explicit ScopedConfig(ConfigState& config);
  ~ScopedConfig();
  ScopedConfig(const ScopedConfig&) = delete;
  ScopedConfig& operator=(const ScopedConfig&) = delete;

 private:
  ConfigState* previous_;
};

}  // namespace kal
