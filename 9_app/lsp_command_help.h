// One line of help for every command word, in Portuguese: how its operands
// are written and what it does. The language server shows it on hover, in
// completion and as the signature of the command being typed, so the texts
// live here once. Every word of the command table has its row (the accented
// spellings too); a test holds the two tables together.
#pragma once

#include <string_view>
#include <vector>

namespace kal {

struct CommandHelp {
  std::string_view word;      // upper case, Latin-1, as in the command table
  std::string_view operands;  // UTF-8, one placeholder a blank apart; "" for none
  std::string_view summary;   // UTF-8, one line
  bool assigns = false;       // the first $name among its operands gets a value
};

extern const CommandHelp kCommandHelp[];
extern const int kCommandHelpCount;

// The row of an upper-cased command word (Latin-1), or nullptr.
const CommandHelp* FindCommandHelp(std::string_view upper_word);

// The operands' placeholders in order ("v valor [&]" gives three).
std::vector<std::string_view> HelpParameters(const CommandHelp& help);

}  // namespace kal
