// The MIDI output that plays in process: FluidSynth with a General MIDI
// sound font, rendered on the audio device's thread and mixed there with the
// wave player's sound.
//
// The synthesizer object is the only thing the two threads share, and the
// library serialises its calls with its own lock (its thread-safe API is on
// by default): the program's thread sends notes, the device's thread asks
// for samples. No audio driver, MIDI driver or shell of the library is
// started, so it makes no threads of its own.
#include "1_platform/midi_out.h"
#include "1_platform/module_entries.h"

#include "1_platform/audio.h"

#include <fluidsynth.h>
#include <sys/stat.h>

namespace kal {

namespace {

bool IsFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The library writes warnings (a preset missing on a channel, a sample not
// found) to standard error, which is the user's console: it is kept quiet.
// Done at every opening: it only sets the library's table of log functions
// again to the same.
void QuietLibrary() {
  for (int level = 0; level < LAST_LOG_LEVEL; ++level) fluid_set_log_function(level, nullptr, nullptr);
}

class FluidSynthOutput : public MidiOutput, public AudioMixSource {
 public:
  explicit FluidSynthOutput(std::string sound_font) : sound_font_(std::move(sound_font)) {}
  ~FluidSynthOutput() override { Close(); }

  MidiOpenError Open(std::string* detail) override {
    Close();
    QuietLibrary();
    if (!IsFile(sound_font_)) {
      if (detail) *detail = "no sound font at " + sound_font_;
      return MidiOpenError::kNoSoundFont;
    }
    settings_ = new_fluid_settings();
    if (!settings_) return Fail(detail, "settings not made", MidiOpenError::kNoSynthesizer);
    fluid_settings_setnum(settings_, "synth.sample-rate", kMixRate);
    // A font's samples are read when a preset first needs them: the large
    // General MIDI font opens in a fraction of the time.
    fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
    fluid_settings_setint(settings_, "synth.lock-memory", 0);
    fluid_settings_setnum(settings_, "synth.gain", kGain);
    synth_ = new_fluid_synth(settings_);
    if (!synth_) return Fail(detail, "synthesizer not made", MidiOpenError::kNoSynthesizer);
    if (fluid_synth_sfload(synth_, sound_font_.c_str(), 1) == FLUID_FAILED)
      return Fail(detail, "sound font not loaded: " + sound_font_, MidiOpenError::kNoSoundFont);
    return MidiOpenError::kNone;
  }

  void Close() override {
    if (synth_) delete_fluid_synth(synth_);
    if (settings_) delete_fluid_settings(settings_);
    synth_ = nullptr;
    settings_ = nullptr;
  }

  bool Send(const MidiBytes& m) override {
    if (!synth_ || m.length < 1) return false;
    int channel = m.data[0] & 0x0F;
    switch (m.data[0] & 0xF0) {
      case 0x80: return NoteOn(channel, m.data[1], 0);
      case 0x90: return NoteOn(channel, m.data[1], m.data[2]);
      case 0xA0: return fluid_synth_key_pressure(synth_, channel, m.data[1], m.data[2]) == FLUID_OK;
      case 0xB0: return fluid_synth_cc(synth_, channel, m.data[1], m.data[2]) == FLUID_OK;
      case 0xC0: return fluid_synth_program_change(synth_, channel, m.data[1]) == FLUID_OK;
      case 0xD0: return fluid_synth_channel_pressure(synth_, channel, m.data[1]) == FLUID_OK;
      case 0xE0: return fluid_synth_pitch_bend(synth_, channel, m.data[1] | (m.data[2] << 7)) == FLUID_OK;
      default: break;
    }
    if (m.data[0] == 0xFF) return fluid_synth_system_reset(synth_) == FLUID_OK;
    return true;  // other system messages mean nothing to a synthesizer
  }

  AudioMixSource* MixSource() override { return synth_ ? this : nullptr; }

  // The device's thread.
  void Render(float* out, int frames) override {
    if (!synth_) return;
    fluid_synth_write_float(synth_, frames, out, 0, 2, out, 1, 2);
  }

 private:
  // The library's gain of 0.2 leaves a single note far quieter than speech.
  static constexpr double kGain = 0.5;

  // A note-on with velocity 0 is a note-off; releasing a note that is not
  // sounding is no error of the output.
  bool NoteOn(int channel, int key, int velocity) {
    if (velocity == 0) {
      fluid_synth_noteoff(synth_, channel, key);
      return true;
    }
    return fluid_synth_noteon(synth_, channel, key, velocity) == FLUID_OK;
  }

  MidiOpenError Fail(std::string* detail, const std::string& why, MidiOpenError e) {
    if (detail) *detail = why;
    Close();
    return e;
  }

  std::string sound_font_;
  fluid_settings_t* settings_ = nullptr;
  fluid_synth_t* synth_ = nullptr;
};

}  // namespace

}  // namespace kal

// The module's entry (1_platform/module_entries.h).
extern "C" kal::MidiOutput* kaldorin_make_synth_output(const std::string& sound_font) {
  return new kal::FluidSynthOutput(sound_font);
}
