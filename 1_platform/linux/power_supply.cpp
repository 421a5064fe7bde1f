// Power state from /sys/class/power_supply: each entry has a "type"
// (Battery, Mains, USB, ...); a battery has "capacity" (percent) and
// mains-like supplies have "online".
#include <dirent.h>

#include "1_platform/linux/small_file.h"
#include "1_platform/power.h"

namespace kal {

namespace {

// The first word of the file (sysfs values end with a line end).
std::string ReadWord(const std::string& path) {
  std::string s = ReadSmallFile(path, 256);
  size_t start = s.find_first_not_of(" \t\n");
  if (start == std::string::npos) return "";
  size_t end = s.find_first_of(" \t\n", start);
  return s.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace

PowerStatus ReadPowerStatusFrom(const std::string& folder) {
  PowerStatus st;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return st;
  while (dirent* e = readdir(dir)) {
    std::string name = e->d_name;
    if (name.empty() || name[0] == '.') continue;
    std::string base = folder + "/" + name + "/";
    std::string type = ReadWord(base + "type");
    if (type == "Battery") {
      if (ReadWord(base + "scope") == "Device") continue;  // a mouse or headset battery
      st.has_battery = true;
      std::string cap = ReadWord(base + "capacity");
      if (!cap.empty() && cap.find_first_not_of("0123456789") == std::string::npos && cap.size() < 4)
        st.percent = std::stoi(cap);
    } else if (type == "Mains" || type == "USB" || type == "USB_C") {
      std::string online = ReadWord(base + "online");
      if (online == "1") st.on_mains = 1;
      else if (online == "0" && st.on_mains != 1) st.on_mains = 0;
    }
  }
  closedir(dir);
  return st;
}

PowerStatus ReadMachinePowerStatus() {
  return ReadPowerStatusFrom("/sys/class/power_supply");
}

}  // namespace kal
