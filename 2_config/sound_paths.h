// Where the sound files named by the program are on this host. Sound paths
// are written as the program writes them (c:\ferlan\som\letras\_65.wav or
// relative with backslashes); this is the one place they are mapped.
#pragma once

#include <string>
#include <string_view>

namespace kal {

// The host path of a program path.
std::string SoundHostPath(std::string_view program_path);

// Whether the file exists (program path).
bool SoundFileExists(std::string_view program_path);

// The folder part of a program path, with its trailing separator ("" when
// the path has none).
std::string SoundFolderOf(std::string_view program_path);

}  // namespace kal
