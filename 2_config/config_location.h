// Where Talven.ini is, found once and remembered for the run.
//
// Finding the file walks the folders one component at a time (names match
// without regard to letter case), a dozen look-ups at the file system, and
// a run asks for dozens of settings before it says its first word. So the
// place found is kept together with the stamps of the two folders whose
// entries decide it: the user's configuration folder and the Windows
// directory (or, for one that does not exist, the nearest folder above it
// that does). Adding, removing or renaming an entry changes its folder's
// stamp, so when another program creates, removes or renames Talven.ini the
// place is found again at the next read, as if it were found every time.
// The place is also found again when the environment names other folders,
// and after the program writes the file (which may create its folder).
//
// A stamp taken within kSettledStampNs of the folder's last change could
// hide a second change in the same clock tick, so a place decided by such a
// stamp is used once and found again at the next read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "1_platform/paths.h"
#include "2_config/config_file_cache.h"

namespace kal {

// Host paths, except where said.
struct ConfigPlace {
  std::string folder;          // the configuration folder
  std::string file;            // Talven.ini in it (it need not exist)
  std::string legacy;          // Talven.ini in the Windows directory
  std::string script_folder;   // the folder as a script sees it (Latin-1)
  std::string program_folder;  // the program's folder as a script sees it
};

// Finds the place by walking the folders, without remembering anything.
ConfigPlace FindConfigPlace();

class ConfigLocation {
 public:
  explicit ConfigLocation(int64_t settle_ns = kSettledStampNs) : settle_ns_(settle_ns) {}

  // The place as it stands now (see above).
  const ConfigPlace& Place();

  // The next Place() finds the file again.
  void Forget() { known_ = false; }

  // How many times Place() has walked the folders (tests, benchmarks).
  int walks() const { return walks_; }

 private:
  struct Watch {
    std::string folder;
    HostFileStamp stamp;
  };
  bool StillHolds(const std::string& names) const;
  bool WatchNearest(const std::string& host_path);

  int64_t settle_ns_;
  bool known_ = false;
  int walks_ = 0;
  std::string names_;  // the folders the environment named when it was found
  ConfigPlace place_;
  std::vector<Watch> watches_;
};

}  // namespace kal
