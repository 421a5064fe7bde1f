// The network layer's user over the console and the speech facade.
#include "8_interpreter/console_net_user.h"

#include "5_speech/speech.h"
#include "6_console/console.h"
#include "6_console/write_and_speak.h"
#include "8_interpreter/download_talk.h"

namespace kal {
namespace {

class ConsoleUser : public NetUser {
 public:
  void TakeInput() override { PumpMessages(); }
  void Pause(int ms) override { Delay(ms); }
  bool TakeDownloadKeys(const std::function<DownloadProgress()>& progress, bool* ticks) override {
    return AnswerDownloadKeys(progress, ticks);
  }

  void Tell(const std::string& line) override { WriteLineAndSpeak(line); }
  void Note(const std::string& line) override { ConsoleWriteLine(line); }
  void Click() override { kal::Click(); }
};

}  // namespace

NetUser& ConsoleNetUser() {
  static ConsoleUser user;
  return user;
}

}  // namespace kal
