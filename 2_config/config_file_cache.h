// The keys of Talven.ini as last read, per file, read again only when the
// file's stamp (identity, size, change time) differs: a run asks for dozens
// of settings before it says its first word, and another program of the
// family may change the file at any moment.
#pragma once

#include <map>
#include <string>

#include "0_base/ini_file.h"
#include "1_platform/paths.h"

namespace kal {

class ConfigFileCache {
 public:
  // The file's keys; nullptr when it cannot be read or is larger than
  // max_size bytes.
  const IniIndex* Keys(const std::string& host_path, size_t max_size);

 private:
  struct Entry {
    HostFileStamp stamp;
    IniIndex keys;
  };
  std::map<std::string, Entry> files_;
};

}  // namespace kal
