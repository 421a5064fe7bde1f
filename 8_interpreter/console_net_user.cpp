// The network layer's user over the console and the speech facade.
#include "8_interpreter/console_net_user.h"

#include "1_platform/platform.h"
#include "5_speech/speech.h"
#include "5_speech/speech_state.h"
#include "6_console/console.h"
#include "6_console/console_state.h"
#include "6_console/write_and_speak.h"
#include "7_net/network.h"
#include "8_interpreter/download_talk.h"

namespace kal {

ConsoleNetUser::~ConsoleNetUser() {
  if (network_ && &UserOf(*network_) == this) SetNetUser(*network_, nullptr);
}

void ConsoleNetUser::TalkOn(Network& network, Console& console) {
  console_ = &console;
  speaking_ = true;
  if (network_ && network_ != &network && &UserOf(*network_) == this) SetNetUser(*network_, nullptr);
  network_ = &network;
  SetNetUser(network, this);
}

// The keys and the pauses of the network this user talks on, else of the
// console it writes on; with neither there is nothing to take or wait in.
Platform* ConsoleNetUser::WaitsOn() const {
  if (network_) return &network_->platform;
  return console_ ? &console_->platform : nullptr;
}

void ConsoleNetUser::TakeInput() {
  if (Platform* p = WaitsOn()) PumpMessages(*p);
}

void ConsoleNetUser::Pause(int ms) {
  if (Platform* p = WaitsOn()) Delay(*p, ms);
}
bool ConsoleNetUser::TakeDownloadKeys(const std::function<DownloadProgress()>& progress, bool* ticks) {
  if (!console_ || !speaking_) return false;
  return AnswerDownloadKeys(*console_, progress, ticks);
}

void ConsoleNetUser::Tell(const std::string& line) {
  if (!console_) return;
  if (speaking_) {
    WriteLineAndSpeak(*console_, line);
  } else {
    ConsoleWriteLine(*console_, line);
  }
}

void ConsoleNetUser::Note(const std::string& line) {
  if (console_) ConsoleWriteLine(*console_, line);
}

void ConsoleNetUser::Click() {
  if (console_ && speaking_) kal::Click(console_->speech);
}

}  // namespace kal
