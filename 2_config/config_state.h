// The configuration's state for one run, in one object: the legacy flag
// (a second copy of Talven.ini), where the file is, the updates kept in
// memory for want of the file's lock, the files' keys as last read, and
// settings a test pins in place of the file's.
//
// main builds one for the run and hands it down: the functions of config.h
// and console_settings.h are given it, and the objects that read settings
// for themselves (the wave player, the speech facade, the console, the
// network) hold the one of their run. A test gets a fresh one for each case
// (tests/support/fresh_run.h); a test that needs a configuration of its
// own builds one beside it.
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
  ConfigState(const ConfigState&) = delete;
  ConfigState& operator=(const ConfigState&) = delete;

  bool legacy = false;
  ConfigLocation location;
  ConfigUpdates updates;
  ConfigFileCache files;
  // console_settings.h: answers in place of the file's (tests).
  const ConsoleSettings* console_override = nullptr;
  const MagnifierSettings* magnifier_override = nullptr;
};

}  // namespace kal
