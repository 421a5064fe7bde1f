// The network commands: connection channels (CONECTA, ATIVASSL, SERVE,
// OBSERVA, IP and the closing of such a channel), the socket library
// (INTERNET) and downloads (TRAZDAREDE). LE and ESCREVE reach a connection
// through the channel's stream, as they reach a file.
#include <memory>
#include <utility>
#include <string>

#include "0_base/latin1.h"
#include "6_console/console.h"
#include "5_speech/speech.h"
#include "6_console/write_and_speak.h"
#include "8_interpreter/channels.h"
#include "8_interpreter/commands.h"
#include "8_interpreter/run_context.h"
#include "8_interpreter/fail_reason.h"
#include "8_interpreter/numbers.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"
#include "7_net/http_download.h"
#include "7_net/line_reader.h"
#include "7_net/net_messages.h"
#include "7_net/tcp.h"
#include "1_platform/stop_request.h"

namespace kal {
namespace {

// A TCP connection held by a channel, with its line reader. Going away
// closes the socket (and TLS with it); unless told otherwise it is the
// closing of a connection channel, which also drops the TLS request.
class ConnectionStream : public ChannelStream {
 public:
  // tls_request: the interpreter's flag that closing the connection drops.
  ConnectionStream(Network& net, int socket, bool* tls_request)
      : net_(net), socket_(socket), reader_(NewLineReader(net, socket)), tls_request_(tls_request) {}
  ~ConnectionStream() override {
    FreeLineReader(reader_);
    CloseTcp(net_, socket_);
    if (clears_tls_request_) *tls_request_ = false;
  }

  // A line, waiting without limit: 0 when a line came, 1 when the
  // connection ended. A line longer than the reader holds gives its first
  // kMaxReceivedLine bytes and kStatusLineCut; the connection stays open and
  // the next read goes on with the rest of that line, so nothing is lost
  // and the script can tell a cut line from a closed connection.
  int ReadLine(std::string* line) override {
    switch (ReceiveLineResult(*reader_, 0, line)) {
      case LineResult::kLine:
        return 0;
      case LineResult::kTooLong:
        return kStatusLineCut;
      default:
        line->clear();
        return 1;
    }
  }
  // 1 when the bytes were sent, 0 when not.
  int Write(std::string_view bytes) override { return SendText(net_, socket_, bytes) ? 1 : 0; }

  LineReader* reader() { return reader_.get(); }
  // The channel gets another connection: this one goes without being a
  // FECHA, so the TLS request stays.
  void KeepTlsRequest() { clears_tls_request_ = false; }

 private:
  Network& net_;
  int socket_;
  std::unique_ptr<LineReader> reader_;
  bool* tls_request_;
  bool clears_tls_request_ = true;
};

ConnectionStream* ConnectionOf(Channel& ch) {
  return ch.kind == ChannelKind::kConnection ? static_cast<ConnectionStream*>(ch.stream.get()) : nullptr;
}

// Puts the socket into the channel as a connection. What the channel held
// before is closed first, so that no file or socket is left behind.
void InstallConnection(InterpreterState& in, int channel, int socket) {
  Channel& ch = in.channels[channel];
  if (ConnectionStream* old = ConnectionOf(ch)) old->KeepTlsRequest();
  ch.Close();
  ch.stream = std::make_unique<ConnectionStream>(in.context->network, socket, &in.tls_request);
  ch.kind = ChannelKind::kConnection;
  ch.socket = socket;
}

// A connection that could not be made, to host and port when they are known.
bool FailConnection(InterpreterState& in, std::string_view host = {}, std::string_view port = {}) {
  std::string message = Latin1ToUtf8(net_msg::ConnectionError());
  if (!host.empty() || !port.empty()) message += ": " + ShownText(host) + " " + ShownText(port);
  return Fail(in, RunFault::kNetworkFailed, std::move(message));
}

bool FailPort(InterpreterState& in, std::string_view port) {
  return Fail(in, RunFault::kNetworkFailed, Latin1ToUtf8(net_msg::PortError()) + ": " + ShownText(port));
}

// CONECTA's failure: in quiet mode the last status tells it.
bool ConnectFailed(InterpreterState& in, bool quiet, std::string_view host, std::string_view port) {
  if (quiet) {
    in.last_status = 1;
    return true;
  }
  return FailConnection(in, host, port);
}

}  // namespace

bool CmdInternet(InterpreterState& in, std::string_view args) {
  std::string word = UpperCaseText(args);
  if (word == "INICIA") {
    NetStartup();
    return true;
  }
  if (word == "TERMINA") {
    NetCleanup();
    return true;
  }
  return false;
}

// CONECTA [SSL ] #d host port [&]
bool CmdConecta(InterpreterState& in, std::string_view args) {
  auto& s = in;
  if (StartsWithKeyword(args, "SSL ")) {
    s.tls_request = true;
    args = TrimBlanks(args.substr(4));
  }
  bool quiet = TakeTrailingAmpersand(&args);
  int channel = 0;
  std::string host, port_text;
  if (!ReadChannel(&args, &channel)) return quiet ? ConnectFailed(in, quiet, {}, {}) : FailNoChannel(in, args);
  if (args.empty() || !ReadOperand(in, &args, &host) || !ReadOperand(in, &args, &port_text))
    return ConnectFailed(in, quiet, {}, {});
  s.last_host = host;
  s.last_port_text = port_text;
  int32_t port = 0;
  if (!ParseNumber(port_text, &port)) {
    if (quiet) {
      s.last_status = 2;
      return true;
    }
    return FailPort(in, port_text);
  }
  s.last_port = static_cast<uint16_t>(port);
  Network& net = in.context->network;
  int socket = s.tls_request ? ConnectTls(net, host, s.last_port) : ConnectTcp(net, host, s.last_port);
  if (socket < 0) return ConnectFailed(in, quiet, host, port_text);
  InstallConnection(in, channel, socket);
  if (quiet) s.last_status = 0;
  return true;
}

// ATIVASSL #d: a TLS connection to the last host and port takes the
// channel's place; it succeeds even when no connection was made (the
// channel's socket is then -1 and it reads nothing).
bool CmdAtivaSsl(InterpreterState& in, std::string_view args) {
  int channel = 0;
  if (!ReadChannel(&args, &channel)) return FailNoChannel(in, args);
  auto& s = in;
  InstallConnection(in, channel, ConnectTls(in.context->network, s.last_host, s.last_port));
  return true;
}

// SERVE #d port: waits (without a time limit) for one client on the port.
// The wait can be stopped like any other: a stopped run says nothing more.
bool CmdServe(InterpreterState& in, std::string_view args) {
  int channel = 0;
  std::string port_text;
  if (!ReadChannel(&args, &channel)) return FailNoChannel(in, args);
  if (!ReadOperand(in, &args, &port_text)) return FailConnection(in);
  int32_t port = 0;
  if (!ParseNumber(port_text, &port)) return FailPort(in, port_text);
  int listener = ListenTcp(static_cast<uint16_t>(port));
  Network& net = in.context->network;
  int client = listener < 0 ? -1 : AcceptTcp(net, listener);
  CloseTcp(net, listener);
  if (client < 0) {
    if (StopRequested(in.context->platform)) return false;
    return FailConnection(in, "*", port_text);
  }
  InstallConnection(in, channel, client);
  return true;
}

// OBSERVA #d var / OBSERVA TECLADO var
bool CmdObserva(InterpreterState& in, std::string_view args) {
  bool keyboard = StartsWithKeyword(args, "TECLADO ");
  int channel = 0;
  if (keyboard)
    args = TrimBlanks(args.substr(8));
  else if (!ReadChannel(&args, &channel))
    return FailNoChannel(in, args);
  int slot = 0;
  if (!ReadVariableRef(in, &args, &slot) || !args.empty()) return false;
  bool waiting = false;
  if (keyboard) {
    waiting = KeyPressed(in.context->platform);
  } else if (ConnectionStream* c = ConnectionOf(in.channels[channel])) {
    waiting = HasData(c->reader());
  }
  Var(in, slot) = waiting ? "1" : "0";
  return true;
}

// IP LOCAL #d var / IP REMOTO #d var
bool CmdIp(InterpreterState& in, std::string_view args) {
  bool local = StartsWithKeyword(args, "LOCAL ");
  if (!local && !StartsWithKeyword(args, "REMOTO ")) return false;
  args = TrimBlanks(args.substr(local ? 6 : 7));
  int channel = 0, slot = 0;
  if (!ReadChannel(&args, &channel)) return FailNoChannel(in, args);
  if (!ReadVariableRef(in, &args, &slot)) return false;
  int socket = in.channels[channel].socket;
  if (socket < 0) return FailChannelClosed(in, channel);
  Var(in, slot) = local ? LocalAddressText(socket) : PeerAddressText(socket);
  return true;
}

// TRAZDAREDE address file tick agent cookie var: var := "0" when the
// download succeeded, "1" when not. The cookie must be written, even empty.
bool CmdTrazDaRede(InterpreterState& in, std::string_view args) {
  DownloadRequest r;
  std::string tick;
  int slot = 0;
  if (!ReadOperand(in, &args, &r.address) || !ReadOperand(in, &args, &r.file) || !ReadOperand(in, &args, &tick) ||
      !ReadOperand(in, &args, &r.agent) || !ReadOperand(in, &args, &r.cookie) || !ReadVariableRef(in, &args, &slot))
    return false;
  if (tick != "0" && tick != "1") return false;
  r.tick = tick == "1";
  bool ok = Download(in.context->network, r);
  Var(in, slot) = ok ? "0" : "1";
  return true;
}

}  // namespace kal
