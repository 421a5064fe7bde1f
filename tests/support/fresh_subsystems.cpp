// Every test case runs on fresh subsystem objects, installed for the case as
// main installs them for a run: the wave player, the voices, the speech
// facade, the network and the console. A case that needs a second fresh one
// in its middle builds it and installs it with its own scope.
#include <gtest/gtest.h>

#include <memory>

#include "7_net/network.h"
#include "3_audio/wave_player_state.h"
#include "4_voices/voices.h"
#include "5_speech/speech.h"
#include "5_speech/speech_state.h"
#include "6_console/console_state.h"

namespace kal::test {
namespace {

struct Subsystems {
  WavePlayer player;
  WavePlayerScope playing{player};
  Voices voices;
  VoicesScope voicing{voices};
  SpeechState speech;
  SpeechScope speaking{speech};
  Network network;
  NetworkScope networking{network};
  Console console;
  ConsoleScope consoling{console};
};

class FreshSubsystems : public ::testing::EmptyTestEventListener {
 public:
  void OnTestStart(const ::testing::TestInfo&) override { objects_ = std::make_unique<Subsystems>(); }
  void OnTestEnd(const ::testing::TestInfo&) override { objects_.reset(); }

 private:
  std::unique_ptr<Subsystems> objects_;
};

const bool kInstalled = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(new FreshSubsystems);
  return true;
}();

}  // namespace
}  // namespace kal::test
