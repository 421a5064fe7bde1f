// What the headless front ends of both hosts (linux/headless_frontend.cpp,
// win32/headless_frontend.cpp) do alike: the console's bytes become UTF-8
// text written as they come (partial lines too, so that a prompt without a
// line end is visible before the program waits for its answer), carriage
// returns and bells left out, other control characters shown as ^[ and
// \x9b (0_base/visible_text.h) so that a script cannot work the terminal
// the text is written to; nothing is drawn and there is no title; keys
// are written ahead of the program. Each host reads its input and writes
// the text its own way.
#pragma once

#include <string>
#include <string_view>

#include "1_platform/console_frontend.h"

namespace kal {

// The console's Latin-1 bytes as the headless text shows them.
std::string HeadlessText(std::string_view bytes);

class HeadlessFrontEndBase : public ConsoleFrontEnd {
 public:
  void OnWrite(std::string_view bytes) override { WriteAll(HeadlessText(bytes)); }
  void Present(const ConsoleGrid&) override {}
  // Keys come from a pipe or a file, written ahead of the program.
  bool InputWrittenAhead() const override { return true; }
  void SetTitle(std::string_view) override {}

 protected:
  // Writes all of the text, or as much as can be written: with nowhere to
  // write, the program carries on.
  virtual void WriteAll(const std::string& text) = 0;
};

}  // namespace kal
