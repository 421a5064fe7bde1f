// A run in a terminal beside a screen reader: the reader speaks every line
// the terminal shows, and so does the program, so the two talk over each
// other. The program says once, for each user, how to live with it (put the
// reader to sleep for the terminal, or use the window, which the reader
// leaves alone); the guide's section "Com um leitor de tela" says more.
// Whether it was said is kept as a mark file beside the user's
// configuration, so that later runs neither say it again nor ask the
// desktop.
#pragma once

#include <string>

namespace kal {

struct Console;

// The mark file: <config home>/Talven/leitor-de-tela-avisado.
std::string ScreenReaderMarkPath();

// Says the advice (written and spoken) when the console is a terminal, the
// mark is not there and a screen reader runs; then leaves the mark.
void AdviseScreenReaderUserOnce(Console& console);

}  // namespace kal
