// A console's screen (the case's unless another is named), fresh, over a memory front end: the keys
// are typed as a person would type them and the text written lands in *out.
// The stop request is cleared too. The rest of the console (menu, braille,
// clipboard, review's search text) is kept: every test case starts with a
// fresh console anyway (fresh_subsystems.cpp), and a case that calls this a
// second time keeps what it set up.
#pragma once

#include <string>

namespace kal {
struct Console;
}

namespace kal::test {

void UseMemoryConsole(Console& console, std::string keys, std::string* out);
void UseMemoryConsole(std::string keys, std::string* out);

}  // namespace kal::test
