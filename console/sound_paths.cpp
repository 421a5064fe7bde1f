#include "console/sound_paths.h"

#include <cstdlib>
#include <filesystem>

namespace kal {

namespace {

std::string DrivesFolder() {
  if (const char* d = std::getenv("TALVEN_DRIVES"); d && *d) return d;
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + "/.local/share/talven/drives";
}

// Finds an entry of dir whose name matches name ignoring letter case, as
// the files of the installation may be named in any case.
std::string MatchEntry(const std::filesystem::path& dir, const std::string& name) {
  std::error_code ec;
  if (std::filesystem::exists(dir / name, ec)) return name;
  for (auto& e : std::filesystem::directory_iterator(dir, ec)) {
    std::string n = e.path().filename().string();
    if (n.size() != name.size()) continue;
    bool same = true;
    for (size_t i = 0; i < n.size() && same; ++i)
      same = std::tolower(static_cast<unsigned char>(n[i])) == std::tolower(static_cast<unsigned char>(name[i]));
    if (same) return n;
  }
  return name;
}

}  // namespace

std::string SoundHostPath(std::string_view program_path) {
  std::string p(program_path);
  for (auto& c : p)
    if (c == '\\') c = '/';
  std::filesystem::path base;
  size_t start = 0;
  if (p.size() >= 2 && p[1] == ':' && std::isalpha(static_cast<unsigned char>(p[0]))) {
    base = std::filesystem::path(DrivesFolder()) / std::string(1, static_cast<char>(std::tolower(p[0])));
    start = 2;
  } else if (!p.empty() && p[0] == '/') {
    base = "/";
  } else {
    base = ".";
  }
  std::filesystem::path out = base;
  while (start < p.size()) {
    size_t slash = p.find('/', start);
    std::string part = p.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    if (!part.empty()) out /= MatchEntry(out, part);
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  std::string s = out.string();
  if (s.rfind("./", 0) == 0) s.erase(0, 2);
  return s;
}

bool SoundFileExists(std::string_view program_path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(SoundHostPath(program_path), ec);
}

std::string SoundFolderOf(std::string_view program_path) {
  size_t cut = program_path.find_last_of("\\/");
  return cut == std::string_view::npos ? std::string() : std::string(program_path.substr(0, cut + 1));
}

}  // namespace kal
