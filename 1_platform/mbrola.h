// The MBROLA diphone synthesiser, as the Orvan engine calls it: open a
// database, write phoneme-stream lines, flush the utterance, read 16-bit
// samples. The calls drive one persistent `mbrola` program through pipes
// (1_platform/mbrola_pipe.h, with each host's process and pipe handling in
// 1_platform/linux/ and 1_platform/win32/); tests may install a fake.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace kal {

class MbrolaSynth {
 public:
  virtual ~MbrolaSynth() = default;
  // Opens the database file; negative on failure (no database, no program).
  virtual int init_MBR(const std::string& database) = 0;
  // Hands one phoneme-stream line (with or without its line end); negative
  // when the synthesiser has gone away.
  virtual int write_MBR(std::string_view line) = 0;
  // Ends the utterance: after it, read_MBR waits for the remaining samples
  // and answers 0 once the whole utterance has been read.
  virtual int flush_MBR() = 0;
  // Up to count samples into buffer; the number read, 0 when none is ready
  // (or, after a flush, when the utterance is complete).
  virtual int read_MBR(int16_t* buffer, int count) = 0;
  // Drops whatever is still in flight so that a new utterance starts clean.
  virtual void reset_MBR() = 0;
  virtual void close_MBR() = 0;
  virtual void setNoError_MBR(int no_error) = 0;
  // Sample rate of the open database (Hz); 0 before init_MBR.
  virtual int getFreq_MBR() = 0;
};

// Where the user gets the synthesiser when it is missing, as sentences
// ending in a blank (UTF-8); empty where the system's packages are the way
// and the manual says which.
std::string_view MbrolaWhereToGet();

struct Platform;

// Finds the synthesiser; nullptr when it is not installed. A factory in the
// platform state (platform.h; tests set one) makes it instead.
std::unique_ptr<MbrolaSynth> LoadMbrola(const Platform& platform);

// The process-based synthesiser running the given program.
std::unique_ptr<MbrolaSynth> MakeMbrolaProcess(const std::string& program);
// The mbrola program beside the running executable or on PATH; "" if none.
std::string FindMbrolaProgram();
// True when LoadMbrola would find a synthesiser (a factory or the program).
bool MbrolaInstalled(const Platform& platform);

// The database file that MBROLA's installation registered under that name
// (br4, br3, ...): on Windows the default value of the key
// HKEY_LOCAL_MACHINE\SOFTWARE\TCTS\Mbrola\databases\NAME, elsewhere the
// file the system's packages install (/usr/share/mbrola/name/name). ""
// when there is none.
std::string RegisteredMbrolaDatabase(const std::string& name);

}  // namespace kal
