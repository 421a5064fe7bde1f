// A control channel is a Unix socket in the program's private folder.
#include "1_platform/control_channel.h"

#include "1_platform/socket.h"

namespace kal {
namespace {

class SocketChannel : public ControlChannel {
 public:
  explicit SocketChannel(int socket) : socket_(socket) {}
  ~SocketChannel() override { SockClose(socket_); }

  bool Send(std::string_view bytes) override {
    return SockSend(socket_, bytes.data(), bytes.size()) == static_cast<long>(bytes.size());
  }
  long ReceiveNoWait(char* buffer, size_t size) override { return SockRecvNoWait(socket_, buffer, size); }

 private:
  int socket_;
};

}  // namespace

std::string ControlChannelAddress(const std::string& folder, const std::string& name) { return folder + "/" + name; }

std::unique_ptr<ControlChannel> ConnectControlChannel(const std::string& address) {
  int s = SockConnectLocal(address);
  if (s < 0) return nullptr;
  return std::make_unique<SocketChannel>(s);
}

}  // namespace kal
