// The diphone word synthesizer: speaks the unit notation of the word
// translator (translator.h) by joining recorded pieces from the voice
// database "DIFONES2" (an index "DIFONES2.IND" of 15-byte records sorted by
// name and the raw 8-bit 11025 Hz data "DIFONES2.DIF") in a 64000-byte
// sound buffer, which is played through the speech facade whenever it fills
// and at the end. Spelled characters come from the letter wave files.
// Every function works on the synthesizer and translator states of the
// voices it is given (voices.h).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kal {

struct Voices;

inline constexpr char kDiphoneDatabaseName[] = "DIFONES2";

// Start results.
inline constexpr int kDiphoneReady = 0;
inline constexpr int kDiphoneFilesMissing = 1;     // a folder, the index or the data
inline constexpr int kDiphoneTranslatorMissing = 2;  // regras.rgr or portug.exc

// Starts with the folders of the configuration (section TRADUTOR, keys
// "dirLetras" and "DIRDIFONES"); returns one of the start results.
int DiphoneStart(Voices& voices);

// Starts with explicit host folders (tests, tools).
int DiphoneStartIn(Voices& voices, const std::string& letters_folder, const std::string& diphone_folder);

// Whether a start in these folders would find every folder and file it
// reads, without reading them: the start result it would give for a missing
// one (and DiphoneMissingPath names it), else kDiphoneReady. The voice is
// left closed either way.
int DiphoneCheckIn(Voices& voices, const std::string& letters_folder, const std::string& diphone_folder);

// After a start that failed: the host path of the folder or file that was
// missing or could not be read (the first one found); empty otherwise.
const std::string& DiphoneMissingPath(Voices& voices);

// Synthesises and plays the notation; mode 0 is ordinary speech, where the
// spelled units "_," "_;" "_." "_:" become pauses.
void DiphoneSpeak(Voices& voices, std::string_view notation, int mode);

// Bytes cut from the end of unstressed pieces, the shortest a cut piece may
// become, and the bytes of silence between words.
void DiphoneSetTuning(Voices& voices, int cut, int minimum, int word_gap);

// Frees the buffer, the rules and the index, and closes the data file.
void DiphoneClose(Voices& voices);

// Where full buffers go: a complete RIFF/WAVE image (8-bit mono 11025 Hz).
// The player plays it and returns when it has ended or a key cut it short;
// the speech facade, above the voice, installs its own. A sink set with
// SetDiphoneSink takes the buffers instead (tests, tools); an empty sink
// hands them back to the player. With neither, buffers are dropped.
using DiphoneSink = std::function<void(std::string_view wave_image)>;
void SetDiphonePlayer(Voices& voices, DiphoneSink player);
void SetDiphoneSink(Voices& voices, DiphoneSink sink);

// How each piece name looked up by the synthesizer was served: whole from
// the index, through a decomposition into smaller names, by noise, or not at
// all. A name counts once, at the level where it was asked for.
struct DiphonePieceCounts {
  long long whole = 0;
  long long decomposed = 0;
  long long noise = 0;
  long long skipped = 0;
};
DiphonePieceCounts DiphoneCounts(Voices& voices);
void ResetDiphoneCounts(Voices& voices);

// Tools: called with every counted piece name and how it was served.
enum class DiphoneServed { kWhole, kDecomposed, kNoise, kSkipped };
using DiphonePieceObserver = std::function<void(std::string_view name, DiphoneServed how)>;
void SetDiphonePieceObserver(Voices& voices, DiphonePieceObserver observer);

}  // namespace kal
