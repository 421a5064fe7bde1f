// The channel a started program is steered through, as the radio player is:
// the program is told an address to listen on and this side connects once it
// listens. A local socket in the program's private folder, or a named pipe
// on Windows.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace kal {

class ControlChannel {
 public:
  virtual ~ControlChannel() = default;
  // False when the bytes could not all be sent (the other side has gone).
  virtual bool Send(std::string_view bytes) = 0;
  // What has arrived, without waiting: the count of bytes read, or 0 or
  // less when nothing more is there now or the other side has gone.
  virtual long ReceiveNoWait(char* buffer, size_t size) = 0;
};

// The address of the channel called `name` of a program whose private folder
// (a host path made for it alone) is `folder`.
std::string ControlChannelAddress(const std::string& folder, const std::string& name);

// Connects to the channel at that address; nullptr while nobody listens
// there.
std::unique_ptr<ControlChannel> ConnectControlChannel(const std::string& address);

}  // namespace kal
