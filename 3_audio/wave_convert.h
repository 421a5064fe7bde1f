// Turning recorded or synthesized speech into the form every recording of
// the installation has: 8-bit unsigned mono at 11025 Hz with a 44-byte
// header, without the silence a synthesizer leaves around a word. Also the
// telephone tones, made here rather than recorded.
#pragma once

#include <string>
#include <string_view>

namespace kal {

inline constexpr int kRecordingRate = 11025;

// Converts a PCM wave image (8 or 16 bits, mono or stereo, any rate) into a
// recording. Leading and trailing near-silence is cut down to a few
// milliseconds. False with *err when the image is not a PCM wave.
bool ConvertToRecording(std::string_view image, std::string* recording, std::string* err);

// Band-limited resampling of mono samples in -1..1.
std::string ResampleTo8Bit(const float* samples, size_t count, int from_rate, int to_rate);

// The dual-tone signal of a telephone key ("0"-"9", "*", "#", "A"-"D") as a
// recording of ms milliseconds, with short fades; empty for other keys.
std::string MakeDtmfRecording(char key, int ms);

}  // namespace kal
