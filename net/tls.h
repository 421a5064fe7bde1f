// Client-side TLS over OpenSSL for the network commands. The program holds
// one TLS session at a time: a new handshake replaces the connection of the
// earlier one. Certificates are not verified; the host text is sent as the
// server name. Bytes go over the socket seam, not through OpenSSL's own
// socket calls, so that a peer that has gone away cannot raise a signal.
#pragma once

#include <string_view>

namespace kal {

// Handshake on a connected socket; on success the socket carries the session.
bool TlsConnect(int socket, std::string_view server_name);
// Shuts the session down and releases it; the next handshake makes a fresh
// context.
void TlsEnd();
// Decrypted bytes: the count, or -1 (end or error). Codes other than a
// closed connection or a system-call failure write "Erro SSL: " and the code.
int TlsReceive(char* buffer, int size);
// One read without the waits: the count, 0 at the end or on an error (with
// the same message), -1 when no whole record is there yet.
int TlsReceiveNoWait(char* buffer, int size);
// The count written, or -1.
int TlsSend(const char* data, int length);
// The session is active and holds decrypted bytes not yet read.
bool TlsPending();
// The session is active and rides on this socket.
bool TlsCarries(int socket);

// Tests: make the TLS capability missing (context creation fails), or count
// the contexts made so far.
void SetTlsAvailableForTest(bool available);
int TlsContextsMadeForTest();

}  // namespace kal
