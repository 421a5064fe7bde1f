// A copy of the program installed under a prefix (<prefix>/bin/kaldorin, as
// the Debian package puts it) keeps its shared, read-only data in
// <prefix>/share/kaldorin: the default Talven.ini, whose folder keys point
// into that data (the recordings, the recorded voice, Orvan's files), and the
// radio search's recorded prompts. Nothing there is ever written.
//
// What a user changes lives in the user's own folders, made on the first run
// from that data: the configuration file (~/.config/Talven/Talven.ini) and,
// in the drives folder, C:\zelquora\temp (the search's working files) and
// C:\zelquora\som (copies of the shared prompts, renewed when the package
// brings others; nothing in the user's home points into the package, so
// removing the package leaves no dangling link). Whatever the user made is
// kept. A program run from its build folder has no such data, and
// nothing is made.
#pragma once

#include <string>

namespace kal {

struct ConfigState;

// <program_folder>/../share/kaldorin when it holds a Talven.ini, else "".
std::string InstalledDataFolder(const std::string& program_folder);

// Makes what the user lacks of the above from the installed data folder.
// False, with the reason in *err, when something could not be made; what
// could be made is kept. The configuration file goes where that
// configuration finds it.
bool PrepareUserFiles(ConfigState& config, const std::string& data_folder, std::string* err);

}  // namespace kal
