// The command table and the lookup of a command word in it.
#pragma once

#include <string_view>

#include "8_interpreter/commands.h"

namespace kal {

struct CommandEntry {
  std::string_view word;   // upper case, Latin-1
  CommandHandler handler;  // nullptr: not built in, refused as unknown
  // The shape of what the handler reads, left to right: 'v' a variable,
  // 'o' an operand, 'n' a number, 'c' a channel, 'l' a list, words of the
  // command's own in choices, '.' nothing more... (check_operands.h has
  // the whole notation). Empty for the commands the script check reads by
  // rules of their own (SEJA, SE, ENQUANTO, FIM, SENÃO, DESVIA, CHAMA).
  // The script check reads a line by it; tests hold the handlers to it.
  std::string_view operands = {};
};

extern const CommandEntry kCommandTable[];
extern const int kCommandCount;

// The table entry of an upper-cased command word, or -1.
int FindCommand(std::string_view upper_word);

}  // namespace kal
