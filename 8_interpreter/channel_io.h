// The channel side of the commands that also work on the console, and the
// closing of a channel, shared by the console, file and network families.
#pragma once

#include <string>
#include <string_view>

namespace kal {

struct InterpreterState;

// ESCREVE #d operands: args begins with '#'; the trailing '&' has already
// been taken (no_line_end).
bool WriteToChannel(InterpreterState& in, std::string_view args, bool no_line_end);
// Its end, the same for the handler and a decoded line: the joined text,
// with the line end unless no_line_end, goes to channel d (0..9), which
// must be open (else it is said); complete: the operands reached the end
// of the line, else the line fails once the text is written.
bool WriteJoinedToChannel(InterpreterState& in, int channel, std::string* text, bool no_line_end, bool complete);

// LE #d var: args begins with '#' (a trailing '&' already taken).
bool ReadFromChannel(InterpreterState& in, std::string_view args);

// Closes whatever channel d holds (a file or a connection); 0, or the error
// number of closing a file. The channel is closed afterwards in every case.
int CloseChannel(InterpreterState& in, int channel);

}  // namespace kal
