// The language server fed, in one stream, everything a broken or hostile
// client may send: each is answered as JSON-RPC says (or passed over when
// it has no answer) and the server goes on to the next, and ends at the end
// of its input.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "9_app/language_server.h"
#include "9_app/lsp_frames.h"

#if KALDORIN_HAVE_JSON
#include <nlohmann/json.hpp>
#endif

namespace kal::test {
namespace {

std::string Framed(const std::string& body) { return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body; }

std::string Request(int id, const std::string& method, const std::string& params) {
  return R"({"jsonrpc":"2.0","id":)" + std::to_string(id) + R"(,"method":")" + method + R"(","params":)" + params + "}";
}

std::string Hover(int id, const std::string& uri, const std::string& line, const std::string& character) {
  return Request(id, "textDocument/hover", R"({"textDocument":{"uri":")" + uri + R"("},"position":{"line":)" + line +
                                               R"(,"character":)" + character + "}}");
}

#if KALDORIN_HAVE_JSON
// Each reply as "ID result", "ID error CODE" or the method of a
// notification, in the order written.
std::vector<std::string> Replies(const std::string& out) {
  std::vector<std::string> got;
  size_t at = 0;
  while ((at = out.find("Content-Length: ", at)) != std::string::npos) {
    size_t length = std::stoul(out.substr(at + 16));
    size_t body = out.find("\r\n\r\n", at) + 4;
    nlohmann::json m = nlohmann::json::parse(out.substr(body, length));
    std::string id = m.contains("id") ? m["id"].dump() : "";
    if (m.contains("method")) got.push_back(m["method"].get<std::string>());
    else if (m.contains("error")) got.push_back(id + " error " + m["error"]["code"].dump());
    else got.push_back(id + (m["result"].is_null() ? " null" : " result"));
    at = body + length;
  }
  return got;
}
#endif

TEST(LanguageServer, AnswersEveryBrokenInputAndGoesOn) {
#if !KALDORIN_HAVE_JSON
  GTEST_SKIP() << "built without the JSON library";
#else
  const std::string uri = "file:///a.kal";
  std::string in;
  // Header names in any case, and a stray line end before a header.
  std::string init = Request(1, "initialize", "{}");
  in += "content-LENGTH: " + std::to_string(init.size()) + "\r\n\r\n" + init + "\r\n";
  in += Framed("{nope");                                              // not JSON: a parse error
  in += Framed(std::string(70000, '[') + std::string(70000, ']'));  // too deep to parse
  in += Framed("[1]");                                                // no request
  in += Framed(R"({"id":{"deep":[1]},"method":"initialize"})");      // an id that cannot be one
  in += Framed(R"({"id":2,"result":null})");                         // a reply: nothing to answer
  // A length that is no number: that header and its body are passed over,
  // and the next header is found after the junk on the same line.
  in += "Content-Length: 1x\r\n\r\n" + Request(90, "initialize", "{}") + Framed(Request(3, "nothing/here", "{}"));
  // A header line with no end (as /dev/zero gives) keeps only its end.
  in += std::string(1 << 20, '\0') + Framed(Request(4, "initialize", "{}"));
  // Too long: refused unread, and the next message is read.
  in += "Content-Length: " + std::to_string(kMostLspBodyBytes + 1) + "\r\n\r\n" + std::string(kMostLspBodyBytes + 1, '[');
  in += Framed(R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":")" + uri +
               R"(","text":"ESCREVE 1\nenquanto 1 = 1\n"}}})");
  // Positions past any line, in any number a client may write.
  in += Framed(Hover(5, uri, "1e300", "-1")) + Framed(Hover(6, uri, "0", "1e300")) +
        Framed(Hover(7, uri, "18446744073709551615", "0")) + Framed(Hover(8, uri, "0", "-1e300"));
  in += Framed(Hover(9, uri, "0", "1"));
  in += Framed(Request(10, "textDocument/hover", R"({"textDocument":{"uri":5},"position":{"line":"x"}})"));
  in += Framed(Request(11, "shutdown", "null"));
  in += Framed(Hover(12, uri, "0", "1"));  // after shutdown: refused
  in += Framed(R"({"jsonrpc":"2.0","method":"textDocument/didClose","params":{"textDocument":{"uri":")" + uri + R"("}}})");
  in += "Content-Length: 100\r\n\r\n" + Request(13, "initialize", "{}");  // cut short by the end of input
  std::istringstream input(in);
  std::ostringstream output;
  EXPECT_EQ(RunLanguageServer(input, output), 1);  // no exit after the shutdown
  std::vector<std::string> want = {"1 result",
                                   "null error -32700",
                                   "null error -32700",
                                   "null error -32600",
                                   "null error -32600",
                                   "3 error -32601",
                                   "4 result",
                                   "null error -32600",
                                   "textDocument/publishDiagnostics",
                                   "5 null",
                                   "6 null",
                                   "7 null",
                                   "8 null",
                                   "9 result",
                                   "10 error -32600",
                                   "11 null",
                                   "12 error -32600"};
  EXPECT_EQ(Replies(output.str()), want);
#endif
}

TEST(LanguageServer, NestingIsCountedOutsideStrings) {
  EXPECT_TRUE(NestsWithin(R"({"a":"[[[[[[","b":[{"c":"\"[[[["}]})", 3));
  EXPECT_FALSE(NestsWithin(R"({"a":[[{}]]})", 3));
  EXPECT_TRUE(NestsWithin(R"({"a":[[{}]]})", 4));
}

}  // namespace
}  // namespace kal::test
