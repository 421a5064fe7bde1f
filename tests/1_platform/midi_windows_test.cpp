// MIDI on Windows: the words of winmm each form sends, the device chosen,
// and why INICIA fails, with a stand-in for winmm (Wine has no MIDI
// device); and the real winmm's refusal where there is no device.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "1_platform/win32/winmm_midi.h"
#include "2_config/config.h"
#include "2_config/config_keys.h"
#include "3_audio/midi.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"
#include "tests/support/script_harness.h"
#include "tests/support/temp_folder.h"

namespace kal::test {
namespace {

// What the stand-in devices do and what was asked of them.
struct Winmm {
  UINT devices = 2;
  MMRESULT open_result = MMSYSERR_NOERROR;
  DWORD refused_status = 0;  // messages with this status & 0xF0 fail
  UINT opened = 0;
  std::vector<DWORD> sent;
  std::vector<std::string> calls;
};
Winmm* g_winmm = nullptr;
HMIDIOUT const kHandle = reinterpret_cast<HMIDIOUT>(0x1234);

UINT WINAPI NumDevs() { return g_winmm->devices; }
MMRESULT WINAPI GetCaps(UINT_PTR device, LPMIDIOUTCAPSW caps, UINT) {
  const wchar_t* names[] = {L"Synth A", L"Synth B"};
  if (device >= 2) return MMSYSERR_BADDEVICEID;
  wcsncpy(caps->szPname, names[device], MAXPNAMELEN);
  return MMSYSERR_NOERROR;
}
MMRESULT WINAPI Open(LPHMIDIOUT handle, UINT device, DWORD_PTR, DWORD_PTR, DWORD) {
  g_winmm->calls.push_back("open");
  g_winmm->opened = device;
  if (g_winmm->open_result != MMSYSERR_NOERROR) return g_winmm->open_result;
  *handle = kHandle;
  return MMSYSERR_NOERROR;
}
MMRESULT WINAPI ShortMsg(HMIDIOUT handle, DWORD message) {
  if (handle != kHandle) return MMSYSERR_INVALHANDLE;
  g_winmm->sent.push_back(message);
  return (message & 0xF0) == g_winmm->refused_status ? MMSYSERR_ERROR : MMSYSERR_NOERROR;
}
MMRESULT WINAPI Reset(HMIDIOUT) {
  g_winmm->calls.push_back("reset");
  return MMSYSERR_NOERROR;
}
MMRESULT WINAPI Close(HMIDIOUT) {
  g_winmm->calls.push_back("close");
  return MMSYSERR_NOERROR;
}
const WinmmMidiCalls kStandIn = {NumDevs, GetCaps, Open, ShortMsg, Reset, Close};

class WinmmMidi : public ::testing::Test {
 protected:
  WinmmMidi() {
    g_winmm = &winmm_;
    SetWinmmMidiCallsForTest(&kStandIn);
    SetMidiOutputMaker(Context().player, nullptr);
  }
  ~WinmmMidi() override {
    StopMidi(Context().player);
    SetWinmmMidiCallsForTest(nullptr);
    g_winmm = nullptr;
  }

  TalvenSandbox box_;
  Winmm winmm_;
};

TEST_F(WinmmMidi, TheMapperGetsTheBytesOfEachForm) {
  auto r = RunScriptText("midi inicia\nmidi nl 1 60 100\nmidi nd 16 60\nmidi tt 2 5\nmidi termina\n");
  EXPECT_EQ(r.outcome, 0) << r.console;
  EXPECT_EQ(winmm_.opened, MIDI_MAPPER);
  EXPECT_EQ(winmm_.sent, (std::vector<DWORD>{0xFF, 0x643C90, 0x3C9F, 0x05C1}));
  EXPECT_EQ(winmm_.calls, (std::vector<std::string>{"open", "reset", "close"}));

  winmm_.sent.clear();
  RunScriptText("midi inicia\nmidi pane\n");
  ASSERT_EQ(winmm_.sent.size(), 1u + 16u * 128u);
  EXPECT_EQ(winmm_.sent[1], 0x90u);
  EXPECT_EQ(winmm_.sent.back(), 0x7F9Fu);
}

TEST_F(WinmmMidi, AProgramChangeTheDeviceRefusesIsWrittenAndTheLineGoesOn) {
  winmm_.refused_status = 0xC0;
  auto r = RunScriptText("midi inicia\nmidi tt 1 5\nescreve \"depois\"\n");
  EXPECT_EQ(r.outcome, 0);
  EXPECT_NE(r.console.find("erro em ProgramChange\ndepois\n"), std::string::npos) << r.console;
}

TEST_F(WinmmMidi, ADeviceNamedInTheConfiguration) {
  WriteConfig(Context().config, cfg::kSaidaMidi, "synth b");
  EXPECT_EQ(RunScriptText("midi inicia\n").outcome, 0);
  EXPECT_EQ(winmm_.opened, 1u);
  StopMidi(Context().player);
  WriteConfig(Context().config, cfg::kSaidaMidi, "0");
  EXPECT_EQ(RunScriptText("midi inicia\n").outcome, 0);
  EXPECT_EQ(winmm_.opened, 0u);
  StopMidi(Context().player);
  for (const char* missing : {"Synth C", "2", "-1"}) {
    WriteConfig(Context().config, cfg::kSaidaMidi, missing);
    auto r = RunScriptText("midi inicia\n", "\r");
    EXPECT_EQ(r.outcome, 1) << missing;
    EXPECT_NE(r.console.find("a porta MIDI configurada não foi encontrada"), std::string::npos) << r.console;
  }
}

TEST_F(WinmmMidi, NoDeviceOrABusyOneIsSaid) {
  const std::string no_device = "MIDI indisponível: o sistema não tem nenhum dispositivo de saída MIDI.";
  winmm_.devices = 0;
  auto r = RunScriptText("midi inicia\nescreve \"nao\"\n", "\r");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_NE(r.console.find(no_device), std::string::npos) << r.console;
  EXPECT_NE(Joined(r.speech).find("nenhum dispositivo de saída MIDI"), std::string::npos) << Joined(r.speech);
  EXPECT_TRUE(winmm_.calls.empty());

  winmm_.devices = 2;
  winmm_.open_result = MIDIERR_NODEVICE;
  r = RunScriptText("midi inicia\n", "\r");
  EXPECT_NE(r.console.find(no_device), std::string::npos) << r.console;
  winmm_.open_result = MMSYSERR_ALLOCATED;
  r = RunScriptText("midi inicia\n", "\r");
  EXPECT_EQ(r.outcome, 1);
  EXPECT_NE(r.console.find("o sintetizador não pôde ser iniciado"), std::string::npos) << r.console;
  EXPECT_FALSE(MidiIsOpen(Context().player));
}

// The system's own winmm: without a MIDI device (Wine with no sound driver)
// INICIA says so; with one, it opens and closes again.
TEST(WinmmMidiSystem, IniciaOpensTheMapperOrSaysThereIsNoDevice) {
  TalvenSandbox box;
  SetMidiOutputMaker(Context().player, nullptr);
  auto r = RunScriptText("midi inicia\nmidi termina\n", "\r");
  if (midiOutGetNumDevs() == 0) {
    EXPECT_EQ(r.outcome, 1);
    EXPECT_NE(r.console.find("nenhum dispositivo de saída MIDI"), std::string::npos) << r.console;
  } else {
    EXPECT_EQ(r.outcome, 0) << r.console;
  }
  EXPECT_FALSE(MidiIsOpen(Context().player));
}

}  // namespace
}  // namespace kal::test
