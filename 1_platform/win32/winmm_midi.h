// MIDI out through winmm: the system's MIDI mapper by default, or an output
// device named in the configuration. The winmm calls go through one table
// so that tests can stand in for a device (Wine has none).
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>

#include "1_platform/midi_out.h"

namespace kal {

struct WinmmMidiCalls {
  UINT(WINAPI* num_devs)();
  MMRESULT(WINAPI* get_caps)(UINT_PTR device, LPMIDIOUTCAPSW caps, UINT size);
  MMRESULT(WINAPI* open)(LPHMIDIOUT handle, UINT device, DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
  MMRESULT(WINAPI* short_msg)(HMIDIOUT handle, DWORD message);
  MMRESULT(WINAPI* reset)(HMIDIOUT handle);
  MMRESULT(WINAPI* close)(HMIDIOUT handle);
};

// Tests: the calls to use instead of winmm's (nullptr: winmm's own). The
// table must outlive every output opened with it.
void SetWinmmMidiCallsForTest(const WinmmMidiCalls* calls);

// A message as midiOutShortMsg takes it: the status in the low byte, then
// the data bytes.
DWORD PackMidiBytes(const MidiBytes& message);

}  // namespace kal
