// What the program writes to a console (help, error lines, a headless run's
// screen) is UTF-8. A Windows console shows its own code page instead (850
// on a Brazilian system), so for the length of the run its output code page
// is UTF-8, and the one it had is put back at the end. Other hosts' terminals
// need nothing.
#pragma once

namespace kal {

class ConsoleCodePage {
 public:
  ConsoleCodePage();   // switches the console when there is one to switch
  ~ConsoleCodePage();  // puts back what was switched
  ConsoleCodePage(const ConsoleCodePage&) = delete;
  ConsoleCodePage& operator=(const ConsoleCodePage&) = delete;

 private:
  [[maybe_unused]] unsigned previous_ = 0;  // the code page to put back; 0 when none was switched
};

}  // namespace kal
