// The command table and the lookup of a command word in it.
#pragma once

#include <string_view>

#include "8_interpreter/commands.h"

namespace kal {

struct CommandEntry {
  std::string_view word;   // upper case, Latin-1
  CommandHandler handler;  // nullptr: not built in, refused as unknown
};

extern const CommandEntry kCommandTable[];
extern const int kCommandCount;

// The table entry of an upper-cased command word, or -1.
int FindCommand(std::string_view upper_word);

}  // namespace kal
