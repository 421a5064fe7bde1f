// Client-side TLS over OpenSSL for the network commands. The program holds
// one TLS session at a time: a new handshake replaces the connection of the
// earlier one. The host text is sent as the server name, and the peer's
// certificate chain is checked against the system's trust store and the host
// name, unless TALVEN/VERIFICACERTIFICADO says N. Bytes go over the socket
// seam, not through OpenSSL's own socket calls, so that a peer that has gone
// away cannot raise a signal; no call here blocks: the handshake waits
// through WaitSocket, and a read that finds no whole record says so.
#pragma once

#include <string_view>

#include "7_net/net_wait.h"

namespace kal {

struct ConfigState;

// Each function works on the TLS session of the network it is given.
struct Network;

// Handshake on a connected socket; on success the socket carries the session.
// Gives up after the silence limit, or when stop (if given) says so between
// waits. A certificate that fails the check is told to the user (NetUser)
// as "Certificado recusado: " with the reason.
bool TlsConnect(Network& net, int socket, std::string_view server_name, const StopCheck& stop = nullptr);

// Why the last TlsConnect failed, for callers that tell refusals apart from
// a network failure: the library is missing (or no context could be made),
// or the peer's certificate failed the check. kNone after a success and
// after failures of the network itself (a silent peer, a stop).
enum class TlsRefusal { kNone, kNoLibrary, kCertificate };
TlsRefusal LastTlsRefusal(const Network& net);
// Shuts the session down and releases it; the next handshake makes a fresh
// context.
void TlsEnd(Network& net);
// One read that does not wait: the count, 0 at the end or on an error, -1
// when no whole record is there yet. Codes other than a closed connection or
// a system-call failure are noted to the user (NetUser) as "Erro SSL: " and
// the code.
int TlsReceiveNoWait(Network& net, char* buffer, int size);
// Whether certificates are checked: TALVEN/VERIFICACERTIFICADO, on unless it
// begins with N.
bool TlsChecksCertificates(ConfigState& config);
// The count written, or -1.
int TlsSend(Network& net, const char* data, int length);
// The session is active and holds decrypted bytes not yet read.
bool TlsPending(const Network& net);
// The session is active and rides on this socket.
bool TlsCarries(const Network& net, int socket);

// Tests: make the TLS capability missing (context creation fails), or count
// the contexts made so far.
void SetTlsAvailableForTest(Network& net, bool available);
int TlsContextsMadeForTest(const Network& net);

}  // namespace kal
