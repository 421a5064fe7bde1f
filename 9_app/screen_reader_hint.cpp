#include "9_app/screen_reader_hint.h"

#include "0_base/latin1.h"
#include "1_platform/console_frontend.h"
#include "1_platform/paths.h"
#include "1_platform/screen_reader.h"
#include "6_console/console.h"
#include "6_console/console_state.h"
#include "6_console/write_and_speak.h"
#include "9_app/app_messages.h"

namespace kal {

std::string ScreenReaderMarkPath() { return UserConfigHome() + "/Talven/leitor-de-tela-avisado"; }

void AdviseScreenReaderUserOnce(Console& console) {
  ConsoleFrontEnd* front = FrontEndOf(console);
  if (!front || !front->IsTerminal()) return;
  std::string mark = ScreenReaderMarkPath();
  if (HostExists(mark) || !ScreenReaderRunning()) return;
  // The mark first: a run that is stopped while the advice is spoken does
  // not give it again.
  std::string err;
  if (MakeHostFolders(mark.substr(0, mark.find_last_of('/')))) ReplaceHostFile(mark, "", &err);
  for (std::string_view line : app_msg::kScreenReaderAdvice) WriteLineAndSpeak(console, L1(line));
}

}  // namespace kal
