// The dispatcher: from a command word to the call of its handler, with the
// DEBUG echo before it.
#pragma once

#include <string_view>

namespace kal {

struct InterpreterState;

// word as written (upper-cased here), rest = the rest of the line.
bool DispatchCommand(InterpreterState& in, std::string_view word, std::string_view rest);

// The same for a word already upper-cased and looked up (entry -1 when it
// is not in the table) and an argument text already trimmed.
bool DispatchEntry(InterpreterState& in, int entry, std::string_view upper_word, std::string_view args);

}  // namespace kal
