// A control channel is a named pipe, named for the program's private folder
// (the folder stays, for the program's other files). Nothing here waits:
// what has arrived is seen with PeekNamedPipe before it is read.
#include "1_platform/control_channel.h"

#include <windows.h>

#include <algorithm>

#include "1_platform/win32/wide.h"

namespace kal {
namespace {

class PipeChannel : public ControlChannel {
 public:
  explicit PipeChannel(HANDLE pipe) : pipe_(pipe) {}
  ~PipeChannel() override { CloseHandle(pipe_); }

  bool Send(std::string_view bytes) override {
    while (!bytes.empty()) {
      DWORD written = 0;
      DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1 << 16));
      if (!WriteFile(pipe_, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
      bytes.remove_prefix(written);
    }
    return true;
  }

  long ReceiveNoWait(char* buffer, size_t size) override {
    DWORD waiting = 0;
    if (!PeekNamedPipe(pipe_, nullptr, 0, nullptr, &waiting, nullptr)) return -1;  // the other side has gone
    if (waiting == 0 || size == 0) return 0;
    DWORD n = 0;
    DWORD want = static_cast<DWORD>(std::min<size_t>({size, waiting, 1 << 16}));
    if (!ReadFile(pipe_, buffer, want, &n, nullptr)) return -1;
    return static_cast<long>(n);
  }

 private:
  HANDLE pipe_;
};

}  // namespace

std::string ControlChannelAddress(const std::string& folder, const std::string& name) {
  std::string last = folder.substr(folder.find_last_of("\\/") + 1);
  return "\\\\.\\pipe\\" + last + "-" + name;
}

std::unique_ptr<ControlChannel> ConnectControlChannel(const std::string& address) {
  HANDLE pipe = CreateFileW(Widen(address).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (pipe == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<PipeChannel>(pipe);
}

}  // namespace kal
