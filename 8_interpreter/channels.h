// The channel table: ten numbered channels #0..#9 shared by the file and the
// network commands. A channel is closed, an open text file (read or append
// mode), or a TCP connection with its line reader. The file and network
// families put their own stream object behind a channel; the table itself
// only knows what kind of thing is open.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>

namespace kal {

constexpr int kChannelCount = 10;

enum class ChannelKind { kClosed, kFileRead, kFileAppend, kConnection };

// LE's last status for a line cut at the bound of a line read (a file's or
// a connection's: 7_net/line_reader.h, kMaxReceivedLine): the variable gets
// the first bytes, and the next LE goes on with the rest of that line.
constexpr int kStatusLineCut = 2;

// What an open channel reads from and writes to. Status values follow the
// last-status convention of the command that uses them.
class ChannelStream {
 public:
  virtual ~ChannelStream() = default;
  // Reads one line without its line end. Returns 0 when a line was read,
  // 1 at the end (file end or connection closed; *line is then empty),
  // kStatusLineCut for the first part of a line past the bound, or another
  // non-zero error number.
  virtual int ReadLine(std::string* line) = 0;
  // Writes the bytes as they are (the caller adds CR LF when it wants one).
  // Returns the status the writing command leaves.
  virtual int Write(std::string_view bytes) = 0;
};

struct Channel {
  ChannelKind kind = ChannelKind::kClosed;
  int socket = -1;                        // connections: the socket handle
  std::unique_ptr<ChannelStream> stream;  // null while closed

  bool open() const { return kind != ChannelKind::kClosed; }
  void Close() {
    stream.reset();
    socket = -1;
    kind = ChannelKind::kClosed;
  }
};

using ChannelTable = std::array<Channel, kChannelCount>;

}  // namespace kal
