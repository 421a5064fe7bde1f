// A wave file that grows: 16-bit mono samples are appended as they come and
// the header is brought up to date after each text, so that the file is
// complete whenever the program stops.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace kal {

class WaveWriter {
 public:
  WaveWriter() = default;
  ~WaveWriter() { Close(); }
  WaveWriter(const WaveWriter&) = delete;
  WaveWriter& operator=(const WaveWriter&) = delete;

  // Creates (or empties) the file. False with *err filled when it cannot.
  bool Open(const std::string& host_path, int rate, std::string* err);
  bool Append(const int16_t* samples, size_t count);
  // Writes the sizes into the header and flushes.
  bool Flush();
  void Close();
  bool is_open() const { return file_ != nullptr; }
  uint64_t data_bytes() const { return data_bytes_; }

 private:
  std::FILE* file_ = nullptr;
  int rate_ = 0;
  uint64_t data_bytes_ = 0;
};

}  // namespace kal
