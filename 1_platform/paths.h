// Windows-style paths of scripts on the host's file system.
//
// Scripts name files the way the family's programs always have: "C:\a\b",
// "a\b", "\a\b", in Latin-1. Here such a name becomes a host path:
//   - "X:\a\b" (and "X:a\b") lives under the drives folder, "<drives>/x/a/b";
//   - "\a\b" is on the drive of the current folder (drive C: when the current
//     folder is not on a drive);
//   - "a\b" is relative to the current folder;
//   - a name that is already an absolute host path ("/tmp/x") stays where it
//     is.
// "\" and "/" both separate components. Each component that exists is found
// without regard to letter case (Latin-1 upper-casing), as on Windows, so
// "C:\SOM\OK.WAV" finds "c/som/ok.wav"; the components from the first one that
// does not exist keep the case they were given, so a file or folder about to
// be created gets the name the script wrote. Names go to the file system as
// UTF-8 and come back to scripts (listings, the current folder) as Latin-1.
//
// Host paths (the results of HostPath, the arguments of the Host* calls) are
// UTF-8 byte strings that can be handed to the C library as they are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kal {

// --- Where things are ---------------------------------------------------------

// The drives folder: $TALVEN_DRIVES, else ~/.local/share/talven/drives.
std::string DrivesFolder();

// The Windows directory as a host path: $TALVEN_WINDIR when set, else
// "C:\windows" mapped like any script path.
std::string WindowsFolder();

// The folder of the running executable (host path, no trailing slash).
std::string ProgramFolder();

// $XDG_CONFIG_HOME, else ~/.config (host path, no trailing slash).
std::string UserConfigHome();

// --- Mapping -----------------------------------------------------------------

// The host path that a script's file name means (see above). An empty name
// gives the current folder.
std::string HostPath(std::string_view script_path);

// Resolves a relative script path (components separated by "\" or "/") under
// a host folder with the same case-insensitive matching.
std::string HostPathUnder(std::string_view host_folder, std::string_view script_relative);

// How a host path is shown to a script: below the drives folder as "X:\a\b",
// anything else as the host path; in both cases as Latin-1 text.
std::string ScriptPath(std::string_view host_path);

// Latin-1 upper-casing used to compare file names: a-z and the accented
// small letters 0xE0-0xFE (except 0xF7) become capitals.
std::string FoldFileName(std::string_view latin1);

// --- The current folder --------------------------------------------------------

// The process's current folder, as a script sees it (ScriptPath form).
std::string CurrentFolder();

// Makes the folder the script names the current folder of the process (later
// relative names and started programs use it). False when it is not a folder.
bool SetCurrentFolder(std::string_view script_path);

// --- Questions about host paths ------------------------------------------------

bool HostExists(const std::string& host_path);
bool HostIsFolder(const std::string& host_path);

// True when both paths name the same existing file (links followed).
bool HostSameFile(const std::string& a, const std::string& b);

// Size in bytes of a file; false when it does not exist or is not a file.
bool HostFileSize(const std::string& host_path, int64_t* size);

// What tells one version of a file from another without reading it: the
// file's identity (where the host has one), its size and its last change.
// Equal stamps are taken to mean the same contents.
struct HostFileStamp {
  uint64_t id = 0;
  int64_t size = -1;
  int64_t changed = 0;  // nanoseconds since 1970
  bool operator==(const HostFileStamp&) const = default;
};

// The stamp of a file; false when it does not exist or is not a file.
bool StampHostFile(const std::string& host_path, HostFileStamp* stamp);

// The stamp of a folder, which changes when an entry is added to it, removed
// from it or renamed in it; false when it does not exist or is not a folder.
bool StampHostFolder(const std::string& host_path, HostFileStamp* stamp);

// The present time as HostFileStamp::changed counts it.
int64_t HostFileClockNow();

struct FolderEntry {
  std::string name;    // Latin-1, no path
  bool is_folder = false;
  bool is_hidden = false;  // the name begins with '.'
  int64_t size = 0;        // bytes, files only
};

// The entries of a host folder, without "." and "..", sorted by name.
// False when the folder cannot be read.
bool ListHostFolder(const std::string& host_path, std::vector<FolderEntry>* entries);

// --- Whole files ---------------------------------------------------------------

// How far a whole-file read may go. Lines end at LF; bytes after the last
// LF are one more line.
struct ReadBounds {
  size_t max_bytes = SIZE_MAX;
  size_t max_lines = SIZE_MAX;
};

// Why a whole-file read gave nothing.
enum class FileRead {
  kRead,
  kMissing,       // there is nothing at the name
  kFolder,
  kPipe,          // a named pipe (FIFO), which would wait for a writer
  kDevice,        // a character or block device
  kNotAFile,      // a socket, or anything else that is not a plain file
  kTooLarge,      // more than max_bytes
  kTooManyLines,  // more than max_lines
  kUnreadable,    // could not be opened or read
};

// Reads a whole plain file within the bounds, which are checked as the bytes
// come: a read stops at the first byte past either, so an endless or sparse
// file costs no more than the bounds. Only a plain file is opened at all, and
// never in a way that waits (a pipe, a device or a folder is refused from its
// type). On anything but kRead, contents is empty.
FileRead ReadHostFileWithin(const std::string& host_path, const ReadBounds& bounds, std::string* contents);

// Reads a whole plain file; false when it cannot be read, is not a plain
// file, or is larger than `limit` bytes (then nothing is kept).
bool ReadHostFile(const std::string& host_path, std::string* contents, size_t limit = SIZE_MAX);

// Replaces (or creates) a file with the contents without ever leaving it
// truncated: the bytes go to a temporary file beside it, are flushed to the
// disk, and the temporary file is renamed over the old one. A symbolic link
// is followed, so the file it points to is replaced. The permissions of an
// existing file are kept. On failure the old file is untouched.
bool ReplaceHostFile(const std::string& host_path, std::string_view contents, std::string* err);

// Puts a new file with the contents at the name itself, for files the
// program makes for its own short use: whatever the name held (a file, a
// symbolic link) is replaced at once by the new file and nothing is written
// through it, so a link planted there cannot send the bytes elsewhere. The
// new file has the default permissions and is not flushed to the disk.
bool ReplaceHostEntry(const std::string& host_path, std::string_view contents, std::string* err);

// A new empty file beside the named one, for a writer that streams its bytes
// and puts them in place only when whole (PutFileInPlace): created anew
// under a name nobody else holds, so no link can be written through. Its
// host path, or "" with the reason in *err when the folder takes no file.
std::string MakeFileBeside(const std::string& host_path, std::string* err);

// Renames the file made by MakeFileBeside over the name, replacing whatever
// entry is there (a symbolic link is replaced, never followed). On failure
// the made file is removed and the name keeps what it had.
bool PutFileInPlace(const std::string& made, const std::string& host_path, std::string* err);

// Creates the folder and its missing parents; true when it exists afterwards.
bool MakeHostFolders(const std::string& host_path);

// A new folder that only this user may enter, in the system's temporary
// folder ($TMPDIR, else /tmp), named prefix and random letters: a place for
// a helper program's control socket and scratch files. "" when it cannot be
// made.
std::string MakePrivateFolder(std::string_view prefix);
// Removes such a folder with the files in it (it holds no folders).
void RemovePrivateFolder(const std::string& host_path);

}  // namespace kal
