// The command table and the lookup of a command word in it.
#pragma once

#include <string_view>

#include "8_interpreter/commands.h"

namespace kal {

struct CommandEntry {
  std::string_view word;   // upper case, Latin-1
  CommandHandler handler;  // nullptr: not built in, refused as unknown
  // The operands the handler reads, left to right, for a command that reads
  // only operands and variables: 'v' a variable, 'o' an operand, '.'
  // nothing more (without it, what follows is left alone). Empty for the
  // other commands. The script check reads a line by it; a test holds the
  // handlers to it.
  std::string_view operands = {};
};

extern const CommandEntry kCommandTable[];
extern const int kCommandCount;

// The table entry of an upper-cased command word, or -1.
int FindCommand(std::string_view upper_word);

}  // namespace kal
