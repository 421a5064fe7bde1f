// A fresh console, clock, audio capture, speech state and speech log (kept
// in memory with its details) for each test, with a scratch drives folder
// holding the sound files a test writes.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "6_console/console.h"
#include "5_speech/speech.h"
#include "0_base/speech_log.h"
#include "0_base/wave_format.h"
#include "3_audio/wave_player.h"
#include "4_voices/word_voice.h"
#include "1_platform/event_loop.h"
#include "1_platform/fake/capture_audio.h"
#include "tests/support/memory_console.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

#include <unistd.h>

namespace kal::test {

class SpeechFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() /
           (std::string("kal_speech_") + std::to_string(getpid()) + "_" + info->test_suite_name() + "_" +
            info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    setenv("TALVEN_DRIVES", (dir_ / "drives").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
    UseMemoryConsole("", &console_);
    audio_ = InstallCaptureAudio(Context().platform);
    SetWordVoice(Context().speech, MakeLoggingWordVoice(Context().speech_log));
    // The case's context brings a fresh log: it keeps the lines with their
    // details from here on.
    CaptureSpeechLog(Context().speech_log, true);
    CaptureSpeechDetail(Context().speech_log, true);
  }

  void TearDown() override {
    std::filesystem::remove_all(dir_);
  }

  // Builds the case's context anew on the host's loop, set up as SetUp
  // set up the first (for a case whose engines work on threads of their own).
  void UseRealLoop() {
    test::UseRealLoop();
    SpeechFixture::SetUp();
  }

  // Types keys: they wait in the queue from now on.
  void Type(std::string_view keys) { PushKeyBytes(test::Context().console, keys); }

  // Writes a file under the scratch folder; returns its host path.
  std::string WriteFile(const std::string& relative, const std::string& bytes) {
    auto p = dir_ / relative;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
    return p.string();
  }

  std::string WriteWave(const std::string& relative, const std::string& pcm, int rate = 11025, int channels = 1,
                        int bits = 8) {
    return WriteFile(relative, MakeWaveImage(pcm, rate, channels, bits));
  }

  // The drives folder's C: drive, where the default sound folders are.
  std::string DriveC(const std::string& relative) { return "drives/c/" + relative; }

  std::string Log() {
    std::string s;
    for (auto& l : CapturedSpeech(Context().speech_log)) s += l + "\n";
    return s;
  }

  std::filesystem::path dir_;
  std::string console_;
  CaptureAudio* audio_ = nullptr;
};

// n bytes of a recognisable ramp that avoids the value 128.
inline std::string Ramp(size_t n, int start = 0) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((start + i) % 100 + 1);
  return s;
}

}  // namespace kal::test
