// TCP connections for the network commands and the HTTP client: start and
// stop of the socket library, host look-up (IPv4 only), client and server
// sockets, sending text, and the readiness test that every receive path
// uses. A socket that carries the TLS session sends and receives through it.
//
// Nothing here writes a message: failures are -1, 0 or false for the caller
// to turn into its own words.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "7_net/net_wait.h"
#include "7_net/tls.h"

namespace kal {

// The functions that connect, wait or read are given the run's network
// (network.h): its user, its readiness timeout and its TLS session.
struct Network;

// The socket library needs no start on this platform; both always succeed.
bool NetStartup();
void NetCleanup();

// Whether text is a dotted IPv4 address such as 192.168.0.1.
bool IsDottedAddress(std::string_view text);
// The IPv4 address (host order) of a dotted address or a host name; 0 when
// the name has no IPv4 address or is longer than 128 characters.
uint32_t ResolveHost(std::string_view host);
std::string DottedAddress(uint32_t address);

// Outgoing connection; -1 on failure. Sets the readiness timeout. The
// connect waits at most the silence limit, and stop (when given) is asked
// while it waits.
int ConnectTcp(Network& net, std::string_view host, uint16_t port, const StopCheck& stop = nullptr);
// ConnectTcp plus the TLS handshake with host as the server name, under the
// same limits; -1 when either fails (the socket is then closed and the TLS
// session released). A refused certificate has been told to the user, and
// *refusal (when given) says whether TLS refused, kNone otherwise.
int ConnectTls(Network& net, std::string_view host, uint16_t port, const StopCheck& stop = nullptr,
                TlsRefusal* refusal = nullptr);
// Listening socket on all local addresses; -1 on failure.
int ListenTcp(uint16_t port);
// Waits without a time limit for one client; -1 on failure. The wait keeps
// the event pump going and ends (with -1) when the run is stopped or stop
// (when given) says so.
int AcceptTcp(Network& net, int listener, const StopCheck& stop = nullptr);
// Closes the socket; ends the TLS session when the socket carried it.
void CloseTcp(Network& net, int socket);

// Data, or the end of the stream, can be read now. Waits at most the
// readiness timeout, then lets the console take pending input.
bool IsReadable(Network& net, int socket);

// One send of all the bytes; true when more than 0 were sent.
bool SendText(Network& net, int socket, std::string_view text);
// The text followed by CR LF.
bool SendLine(Network& net, int socket, std::string_view text);

// One receive of at most size bytes through TLS or the plain socket that
// does not wait: the count, 0 at the end of the stream or on an error, or
// kNothingYet (1_platform/socket.h) when no byte (or no whole TLS record) has
// come yet.
long ReceiveNoWait(Network& net, int socket, char* buffer, int size);

// This side's / the peer's address of a connection, dotted; "0.0.0.0" when
// it cannot be told.
std::string LocalAddressText(int socket);
std::string PeerAddressText(int socket);

// The readiness timeout in microseconds: 0 until the first outgoing
// connection, then TIMEOUT_REDE (20000 when absent or not a number).
long ReadinessTimeoutUs(const Network& net);

// Where the TIMEOUT_REDE setting is read from: the configuration file, or
// what a test gives (nullptr: the file again). Returns the raw text.
void SetNetTimeoutSetting(Network& net, std::function<std::string()> read_setting);

// Fresh module state (readiness timeout 0, no TLS session).
void ResetNetForTest(Network& net);

}  // namespace kal
