// A text file behind a channel: opened for reading, or for writing at its
// end. Lines are bytes; a line read ends at LF, CR LF or a lone CR, and the
// writer adds nothing of its own (ESCREVE appends CR LF). Writes go to the
// file at once, so a full disk shows up in the status of the ESCREVE that
// met it rather than at some later close.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "7_net/line_reader.h"
#include "8_interpreter/channels.h"

namespace kal {

class TextFile : public ChannelStream {
 public:
  // Opens the host path; nullptr with the error number in *err when it
  // cannot be opened (a folder cannot be opened as a text file).
  static std::unique_ptr<TextFile> Open(const std::string& host_path, bool append, int* err);
  ~TextFile() override;

  // 0 and the line, 1 at the end of the file (line empty), or the error
  // number. A line longer than kMaxLine is handed out in pieces of kMaxLine
  // bytes, each with kStatusLineCut, the last one with 0.
  int ReadLine(std::string* line) override;
  // 0 or the error number.
  int Write(std::string_view bytes) override;
  // Closes the file; 0 or the error number of the close.
  int Close();

  // The bound of a line read, the same as a connection's.
  static constexpr size_t kMaxLine = kMaxReceivedLine;

 private:
  TextFile(std::FILE* f, bool append) : file_(f), append_(append) {}
  std::FILE* file_;
  bool append_;
};

}  // namespace kal
