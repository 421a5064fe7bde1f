// The MIDI output to a port of the ALSA sequencer: a client of our own with
// one port, connected to the port the user named, each message sent at once
// (no queue). The raw bytes become sequencer events through ALSA's own
// encoder. The sequencer is opened without blocking: a receiver that cannot
// keep up makes a send fail instead of stopping the program.
#include "1_platform/midi_out.h"
#include "1_platform/module_entries.h"

#include <alsa/asoundlib.h>

namespace kal {
namespace {

// libasound reports errors on standard error, the user's console.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

class SequencerOutput : public MidiOutput {
 public:
  explicit SequencerOutput(std::string port) : port_name_(std::move(port)) {}
  ~SequencerOutput() override { Close(); }

  MidiOpenError Open(std::string* detail) override {
    Close();
    snd_lib_error_set_handler(&QuietAlsa);
    int e = snd_seq_open(&seq_, "default", SND_SEQ_OPEN_OUTPUT, SND_SEQ_NONBLOCK);
    if (e < 0) {
      seq_ = nullptr;
      return Fail(detail, e, MidiOpenError::kNoSequencer);
    }
    snd_seq_set_client_name(seq_, "KALDORIN");
    port_ = snd_seq_create_simple_port(seq_, "KALDORIN MIDI", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                       SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    if (port_ < 0) return Fail(detail, port_, MidiOpenError::kNoSequencer);
    snd_seq_addr_t dest{};
    e = snd_seq_parse_address(seq_, &dest, port_name_.c_str());
    if (e >= 0) e = snd_seq_connect_to(seq_, port_, dest.client, dest.port);
    if (e < 0) return Fail(detail, e, MidiOpenError::kNoPort);
    if ((e = snd_midi_event_new(16, &encoder_)) < 0) return Fail(detail, e, MidiOpenError::kNoSequencer);
    return MidiOpenError::kNone;
  }

  void Close() override {
    if (encoder_) snd_midi_event_free(encoder_);
    if (seq_) snd_seq_close(seq_);
    encoder_ = nullptr;
    seq_ = nullptr;
    port_ = -1;
  }

  bool Send(const MidiBytes& m) override {
    if (!seq_ || !encoder_ || m.length < 1) return false;
    snd_seq_event_t ev;
    snd_seq_ev_clear(&ev);
    snd_midi_event_reset_encode(encoder_);
    long used = snd_midi_event_encode(encoder_, m.data, m.length, &ev);
    if (used < m.length || ev.type == SND_SEQ_EVENT_NONE) return false;
    snd_seq_ev_set_source(&ev, static_cast<unsigned char>(port_));
    snd_seq_ev_set_subs(&ev);
    snd_seq_ev_set_direct(&ev);
    return snd_seq_event_output_direct(seq_, &ev) >= 0;
  }

 private:
  MidiOpenError Fail(std::string* detail, int code, MidiOpenError e) {
    if (detail) *detail = snd_strerror(code);
    Close();
    return e;
  }

  std::string port_name_;
  snd_seq_t* seq_ = nullptr;
  snd_midi_event_t* encoder_ = nullptr;
  int port_ = -1;
};

}  // namespace

}  // namespace kal

// The module's entry (1_platform/module_entries.h).
extern "C" kal::MidiOutput* kaldorin_make_sequencer_output(const std::string& port) {
  return new kal::SequencerOutput(port);
}
