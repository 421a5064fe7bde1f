// What the network commands and the HTTP client say to the user, side by
// side. Texts are Latin-1 bytes, exactly as the user hears them.
#pragma once

#include <string>

#include "0_base/latin1.h"

namespace kal::net_msg {

inline std::string ConnectionError() { return "Erro de conexao"; }
inline std::string PortError() { return "Erro na porta TCP/IP"; }
inline std::string Resuming() { return "Retomando download"; }
inline std::string Http400() { return L1("Erro http400:Requisição http não foi bem formulada."); }
inline std::string Http404() { return L1("Erro http404: Página não encontrada."); }
// A reply whose head (status line and headers) passed its size or line
// count: taken for a hostile server.
inline std::string ReplyHeadTooLarge() { return L1("Resposta recusada: cabeçalho do servidor grande demais"); }
// A TLS peer whose certificate failed the check; reason is OpenSSL's.
inline std::string CertificateRefused(const std::string& reason) { return "Certificado recusado: " + reason; }
// No secure connection can be made: the TLS library is not installed (on
// Windows its two DLLs go beside the program); why names what is missing.
inline std::string TlsMissing(const std::string& why) {
  return L1("Conexão segura indisponível, biblioteca SSL ausente: ") + Utf8ToLatin1(why);
}
// A TLS read that failed other than by the peer closing; code is OpenSSL's.
inline std::string SslError(int code) { return "Erro SSL: " + std::to_string(code); }

}  // namespace kal::net_msg
