// The wave player's and the MIDI output's messages to the user, side by side (UTF-8 here; they
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

// Why MIDI could not start.
inline constexpr std::string_view kMidiNoSynthesizer = "MIDI indisponível: o sintetizador não pôde ser iniciado.";
inline constexpr std::string_view kMidiNoSoundFont = "MIDI indisponível: banco de sons não encontrado.";
inline constexpr std::string_view kMidiNoSequencer = "MIDI indisponível: o sequenciador MIDI não pôde ser aberto.";
inline constexpr std::string_view kMidiNoPort = "MIDI indisponível: a porta MIDI configurada não foi encontrada.";
inline constexpr std::string_view kMidiNoDevice = "MIDI indisponível: o sistema não tem nenhum dispositivo de saída MIDI.";
inline constexpr std::string_view kMidiNoAudioDevice = "MIDI indisponível: nenhum dispositivo de áudio pôde ser aberto.";

}  // namespace kal::audio_msg
