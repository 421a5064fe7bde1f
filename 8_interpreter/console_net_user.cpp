// The network layer's user over the console and the speech facade.
#include "8_interpreter/console_net_user.h"

#include "5_speech/speech.h"
#include "6_console/console.h"
#include "6_console/write_and_speak.h"

namespace kal {
namespace {

class ConsoleUser : public NetUser {
 public:
  void TakeInput() override { PumpMessages(); }
  void Pause(int ms) override { Delay(ms); }
  bool KeyWaiting() override { return KeyPressed(); }
  uint8_t NextKey() override { return ReadKey(); }

  uint8_t Ask(const std::string& question) override {
    WriteLineAndSpeak(question);
    uint8_t answer = ReadKey();
    if (answer == 0) {
      ReadKey();  // an extended key's scan code is not echoed
      ConsoleWrite("\r\n");
    } else {
      ConsoleWrite(std::string(1, static_cast<char>(answer)) + "\r\n");
    }
    return answer;
  }

  void Tell(const std::string& line) override { WriteLineAndSpeak(line); }
  void Note(const std::string& line) override { ConsoleWriteLine(line); }
  void Say(const std::string& text) override { SpeakText(text); }
  void Click() override { kal::Click(); }
};

}  // namespace

NetUser& ConsoleNetUser() {
  static ConsoleUser user;
  return user;
}

}  // namespace kal
