// The wave player's messages to the user, side by side (UTF-8 here; they
// become Latin-1 when written). The device errors keep the wording the
// family's sound device reports.
#pragma once

#include <string_view>

namespace kal::audio_msg {

inline constexpr std::string_view kNoSound = "Sem som: nenhum dispositivo de áudio pôde ser aberto.";
inline constexpr std::string_view kInvalidHandle = "Specified device handle is invalid.";
inline constexpr std::string_view kNoDriver = "No device driver is present.";
inline constexpr std::string_view kNoMemory = "Unable to allocate or lock memory.";
inline constexpr std::string_view kStillPlaying = "The data block pointed to by the pwh parameter is still in queue";

}  // namespace kal::audio_msg
