// MIDI as scripts: the bytes each form sends, the operand ranges, what fails
// before INICIA, and why INICIA can fail. A recording output stands in for
// the synthesizer here; tests/3_audio/midi_synth_test.cpp plays the real one.
#include <gtest/gtest.h>

#include "2_config/config.h"
#include "6_console/console.h"
#include "8_interpreter/interpreter.h"
#include "8_interpreter/state.h"
#include "3_audio/midi.h"
#include "1_platform/audio.h"
#include "1_platform/fake/capture_audio.h"
#include "1_platform/fake/recording_midi.h"
#include "tests/support/script_harness.h"
#include "tests/support/temp_folder.h"
#include "tests/support/memory_console.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal::test {
namespace {

MidiBytes Bytes(uint8_t a, uint8_t b, uint8_t c) { return MidiBytes{{a, b, c}, 3}; }
MidiBytes Bytes(uint8_t a, uint8_t b) { return MidiBytes{{a, b, 0}, 2}; }
MidiBytes Bytes(uint8_t a) { return MidiBytes{{a, 0, 0}, 1}; }

class MidiCommands : public ::testing::Test {
 protected:
  MidiCommands() {
    SetMidiOutputMaker(Context().player, [this](const MidiChoice& c) {
      choice_ = c;
      return MakeRecordingMidiOutput(&log_);
    });
  }
  ~MidiCommands() override {
    StopMidi(Context().player);
    SetMidiOutputMaker(Context().player, nullptr);
  }
  // The messages sent by a script after its INICIA.
  std::vector<MidiBytes> Sent(const std::string& script) {
    log_.sent.clear();
    auto r = RunScriptText("midi inicia\n" + script);
    EXPECT_EQ(r.outcome, 0) << script << r.console;
    EXPECT_GE(log_.sent.size(), 1u);
    if (log_.sent.empty()) return {};
    return std::vector<MidiBytes>(log_.sent.begin() + 1, log_.sent.end());
  }
  int FailsAt(const std::string& script) { return FailLine(script); }

  TalvenSandbox box_;
  RecordingMidiLog log_;
  MidiChoice choice_;
};

TEST_F(MidiCommands, IniciaResetsTheOutputAndNotesGoOutAsTheirBytes) {
  auto r = RunScriptText("midi inicia\n");
  EXPECT_EQ(r.outcome, 0);
  // The reset; what follows it is no status byte and goes nowhere.
  ASSERT_EQ(log_.sent.size(), 1u);
  EXPECT_EQ(log_.sent[0], Bytes(0xFF));
  EXPECT_TRUE(choice_.sequencer_port.empty());

  EXPECT_EQ(Sent("midi nl 1 60 100\nmidi nd 1 60\n"),
            (std::vector<MidiBytes>{Bytes(0x90, 60, 100), Bytes(0x90, 60, 0)}));
  EXPECT_EQ(Sent("MIDI NL 16 127 127\nmidi tt 10 0\nmidi Tt 1 127\n"),
            (std::vector<MidiBytes>{Bytes(0x9F, 127, 127), Bytes(0xC9, 0), Bytes(0xC0, 127)}));
  // Operands are expressions of the language; the subcommand is two letters
  // glued or not to what follows.
  EXPECT_EQ(Sent("seja $n 64\nmidi nl1 $n (10+5)\n"), (std::vector<MidiBytes>{Bytes(0x90, 64, 15)}));
}

TEST_F(MidiCommands, PaneReleasesEveryNoteOfEveryChannel) {
  auto sent = Sent("midi pane\n");
  ASSERT_EQ(sent.size(), 16u * 128u);
  EXPECT_EQ(sent.front(), Bytes(0x90, 0, 0));
  EXPECT_EQ(sent[128], Bytes(0x91, 0, 0));
  EXPECT_EQ(sent.back(), Bytes(0x9F, 127, 0));
}

TEST_F(MidiCommands, OperandsOutOfRangeMissingOrLeftOverFail) {
  for (const char* line : {"midi nl 0 60 100", "midi nl 17 60 100", "midi nl 1 128 100", "midi nl 1 60 128",
                           "midi nl 1 -1 100", "midi nl 1 60", "midi nl 1 60 100 5", "midi nl 1 \"x\" 100",
                           "midi nd 1", "midi nd 1 60 0", "midi tt 1 128", "midi tt 1", "midi xx 1 2",
                           "midi n", "midi", "midi inicia agora"}) {
    EXPECT_EQ(FailsAt(std::string("midi inicia\n") + line + "\n"), 2) << line;
  }
}

TEST_F(MidiCommands, EverythingButIniciaFailsWhenNoOutputIsOpen) {
  for (const char* line : {"midi nl 1 60 100", "midi nd 1 60", "midi tt 1 5", "midi pane", "midi termina"})
    EXPECT_EQ(FailsAt(std::string(line) + "\n"), 1) << line;
  EXPECT_EQ(log_.opens, 0);
  // Once closed, the output is gone again; a second INICIA while open fails.
  EXPECT_EQ(FailsAt("midi inicia\nmidi termina\nmidi nl 1 60 100\n"), 3);
  EXPECT_EQ(log_.closes, 1);
  EXPECT_EQ(FailsAt("midi inicia\nmidi inicia\n"), 2);
  EXPECT_EQ(FailsAt("midi inicia\nmidi termina\nmidi inicia\nmidi nl 1 60 100\n"), 0);
}

TEST_F(MidiCommands, AProgramChangeTheOutputRefusesIsWrittenNotSpokenAndTheLineGoesOn) {
  log_.failing_status = 0xC0;
  auto r = RunScriptText("midi inicia\nmidi tt 1 5\nescreve \"depois\"\n");
  EXPECT_EQ(r.outcome, 0);
  EXPECT_NE(r.console.find("erro em ProgramChange\ndepois\n"), std::string::npos) << r.console;
  EXPECT_EQ(Joined(r.speech).find("ProgramChange"), std::string::npos) << Joined(r.speech);
}

TEST_F(MidiCommands, TheSequencerPortComesFromTheConfiguration) {
  WriteConfig(Context().config, cfg::kSaidaMidi, "128:0");
  RunScriptText("midi inicia\n");
  EXPECT_EQ(choice_.sequencer_port, "128:0");
}

TEST_F(MidiCommands, AnOutputThatCannotOpenSaysWhy) {
  log_.open_error = MidiOpenError::kNoPort;
  auto r = RunScriptText("midi inicia\n", "\r");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_NE(r.console.find("MIDI indisponível: a porta MIDI configurada não foi encontrada.\n"), std::string::npos)
      << r.console;
  EXPECT_NE(Joined(r.speech).find("porta MIDI configurada"), std::string::npos) << Joined(r.speech);
  EXPECT_FALSE(MidiIsOpen(Context().player));
}

// The real synthesizer's refusals, made without sound: a sound font that is
// not there, and a device that cannot open.
TEST_F(MidiCommands, TheSynthesizerWithoutSoundFontOrDeviceSaysWhy) {
  if (DefaultSoundFont().empty()) GTEST_SKIP() << "no synthesizer in this build";
  SetMidiOutputMaker(Context().player, nullptr);
  WriteConfig(Context().config, cfg::kBancoDeSons, "c:\\nao\\existe.sf2");
  auto r = RunScriptText("midi inicia\n", "\r");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_NE(r.console.find("MIDI indisponível: banco de sons não encontrado.\n"), std::string::npos) << r.console;

  WriteConfig(Context().config, cfg::kBancoDeSons, "");
  if (DefaultSoundFont().empty() || MakeSynthMidiOutput(DefaultSoundFont())->Open(nullptr) != MidiOpenError::kNone)
    GTEST_SKIP() << "no synthesizer or no General MIDI sound font here";
  RunScriptText("escreve\n");
  std::string console;
  UseMemoryConsole("", &console);
  auto* capture = dynamic_cast<CaptureAudio*>(&Audio(Context().platform));
  ASSERT_NE(capture, nullptr);
  capture->FailOpens("no device");
  InterpreterState in;
  in.context = &Context();
  EXPECT_FALSE(ExecuteLine(in, "midi inicia", false));
  // The reason the line failed, which the run's error report says.
  EXPECT_EQ(in.fail_reason.message, "MIDI indisponível: nenhum dispositivo de áudio pôde ser aberto.");
  EXPECT_FALSE(MidiIsOpen(Context().player));
}

}  // namespace
}  // namespace kal::test
