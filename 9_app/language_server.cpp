// The language server: JSON-RPC messages framed by Content-Length headers,
// read with a plain blocking loop; one thread, no speech, no console.
#include "9_app/language_server.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "0_base/latin1.h"
#include "5_speech/speech.h"
#include "8_interpreter/command_table.h"
#include "8_interpreter/script_check.h"
#include "9_app/script_file.h"

#if KALDORIN_HAVE_JSON
#include <nlohmann/json.hpp>
#endif

namespace kal {

namespace {

#if KALDORIN_HAVE_JSON
// A message larger than this is refused (and the server ends): no script
// comes near it, and a hostile client cannot make it allocate more.
constexpr size_t kMostMessageBytes = 64u << 20;

constexpr std::string_view kReference =
#include "language_reference.inc"
    ;

// One message's body, or false at the end of input or a broken header.
bool ReadMessage(std::istream& in, std::string* body) {
  size_t length = 0;
  bool have_length = false;
  std::string header;
  while (std::getline(in, header)) {
    if (!header.empty() && header.back() == '\r') header.pop_back();
    if (header.empty()) {
      if (!have_length) return false;
      body->assign(length, '\0');
      return static_cast<bool>(in.read(body->data(), static_cast<std::streamsize>(length)));
    }
    const std::string_view key = "Content-Length:";
    if (header.compare(0, key.size(), key) == 0) {
      char* end = nullptr;
      unsigned long long n = std::strtoull(header.c_str() + key.size(), &end, 10);
      if (n > kMostMessageBytes) return false;
      length = static_cast<size_t>(n);
      have_length = true;
    }
  }
  return false;
}

// The script's lines as stored (Latin-1), from the editor's UTF-8 text.
std::vector<std::string> StoredLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string err;
  SplitScriptText(text, &lines, &err);  // the line limit is a finding of its own below
  return lines;
}

bool IsWordByte(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c >= 0xC0;
}

// The word at a character of a stored line, with '@' or '$' before it kept.
std::string WordAt(const std::string& line, size_t at) {
  if (at > line.size()) return {};
  size_t b = at, e = at;
  while (b > 0 && IsWordByte(static_cast<unsigned char>(line[b - 1]))) --b;
  while (e < line.size() && IsWordByte(static_cast<unsigned char>(line[e]))) ++e;
  if (b > 0 && (line[b - 1] == '@' || line[b - 1] == '$')) --b;
  return line.substr(b, e - b);
}

// The reference's section whose "### " heading names the word (UTF-8):
// the heading and the text up to the next heading.
std::string ReferenceOf(const std::string& upper_utf8_word) {
  size_t pos = 0;
  while ((pos = kReference.find("\n### ", pos)) != std::string_view::npos) {
    size_t eol = kReference.find('\n', pos + 1);
    std::string heading = UpperCaseText(Utf8ToLatin1(kReference.substr(pos + 5, eol - pos - 5)));
    std::string word = Utf8ToLatin1(upper_utf8_word);
    size_t at = heading.find(word);
    bool whole = at != std::string::npos && (at == 0 || !IsWordByte(static_cast<unsigned char>(heading[at - 1]))) &&
                 (at + word.size() == heading.size() || !IsWordByte(static_cast<unsigned char>(heading[at + word.size()])));
    if (whole) {
      size_t next = kReference.find("\n#", eol);
      return std::string(kReference.substr(pos + 1, (next == std::string_view::npos ? kReference.size() : next) - pos - 1));
    }
    pos = eol;
  }
  return {};
}

using Json = nlohmann::json;

void Send(std::ostream& out, const Json& message) {
  std::string body = message.dump(-1, ' ', false, Json::error_handler_t::replace);
  out << "Content-Length: " << body.size() << "\r\n\r\n" << body;
  out.flush();
}

Json Position(int line, int character) { return {{"line", line}, {"character", character}}; }

struct Server {
  std::ostream& out;
  std::map<std::string, std::vector<std::string>> documents;  // uri -> stored lines
  bool shut_down = false;

  void Publish(const std::string& uri) {
    Json diagnostics = Json::array();
    for (const CheckFinding& f : CheckScript(documents[uri])) {
      Json range = {{"start", Position(f.line - 1, f.column - 1)}, {"end", Position(f.line - 1, f.column)}};
      diagnostics.push_back({{"range", range}, {"severity", 1}, {"source", "kaldorin"}, {"message", f.message}});
    }
    Send(out, {{"jsonrpc", "2.0"},
               {"method", "textDocument/publishDiagnostics"},
               {"params", {{"uri", uri}, {"diagnostics", diagnostics}}}});
  }

  // The stored line and character the request points at; false outside.
  bool Where(const Json& params, std::string* uri, const std::string** line, size_t* at) {
    *uri = params.value("/textDocument/uri"_json_pointer, std::string());
    auto doc = documents.find(*uri);
    if (doc == documents.end()) return false;
    int n = params.value("/position/line"_json_pointer, -1);
    int c = params.value("/position/character"_json_pointer, -1);
    if (n < 0 || c < 0 || static_cast<size_t>(n) >= doc->second.size()) return false;
    *line = &doc->second[static_cast<size_t>(n)];
    *at = static_cast<size_t>(c);
    return true;
  }

  Json Hover(const Json& params) {
    std::string uri;
    const std::string* line;
    size_t at;
    if (!Where(params, &uri, &line, &at)) return nullptr;
    std::string word = UpperCaseText(WordAt(*line, at));
    if (word.empty() || FindCommand(word) < 0) return nullptr;
    std::string text = ReferenceOf(Latin1ToUtf8(word));
    if (text.empty()) return nullptr;
    return {{"contents", {{"kind", "markdown"}, {"value", text}}}};
  }

  Json Completion(const Json& params) {
    std::set<std::string> words;
    for (int i = 0; i < kCommandCount; ++i)
      if (kCommandTable[i].handler) words.insert(Latin1ToUtf8(kCommandTable[i].word));
    auto doc = documents.find(params.value("/textDocument/uri"_json_pointer, std::string()));
    if (doc != documents.end()) {
      for (const std::string& line : doc->second) {
        if (!line.empty() && line[0] == '@') words.insert(Latin1ToUtf8(line));
        for (size_t i = line.find('$'); i != std::string::npos; i = line.find('$', i + 1)) {
          std::string name = WordAt(line, i + 1);
          if (name.size() > 1 && name[0] == '$') words.insert(Latin1ToUtf8(name));
        }
      }
    }
    Json items = Json::array();
    for (const std::string& w : words) items.push_back({{"label", w}, {"kind", w[0] == '@' || w[0] == '$' ? 6 : 14}});
    return items;
  }

  Json Definition(const Json& params) {
    std::string uri;
    const std::string* line;
    size_t at;
    if (!Where(params, &uri, &line, &at)) return nullptr;
    std::string word = WordAt(*line, at);
    if (word.size() < 2 || word[0] != '@') return nullptr;
    const std::vector<std::string>& lines = documents[uri];
    for (size_t n = 0; n < lines.size(); ++n)
      if (!lines[n].empty() && lines[n][0] == '@' && UpperCaseText(lines[n]) == UpperCaseText(word))
        return {{"uri", uri}, {"range", {{"start", Position(static_cast<int>(n), 0)},
                                         {"end", Position(static_cast<int>(n), static_cast<int>(lines[n].size()))}}}};
    return nullptr;
  }

  // Answers one message; false when the server is to end.
  bool Handle(const Json& message, int* code) {
    std::string method = message.value("method", std::string());
    Json params = message.value("params", Json::object());
    if (!params.is_object()) params = Json::object();
    bool request = message.contains("id");
    Json result = nullptr;
    if (method == "exit") {
      *code = shut_down ? 0 : 1;
      return false;
    } else if (method == "initialize") {
      result = {{"capabilities",
                 {{"textDocumentSync", 1}, {"hoverProvider", true}, {"definitionProvider", true},
                  {"completionProvider", {{"triggerCharacters", {"@", "$"}}}}}},
                {"serverInfo", {{"name", "kaldorin"}}}};
    } else if (method == "shutdown") {
      shut_down = true;
    } else if (method == "textDocument/didOpen" || method == "textDocument/didChange") {
      std::string uri = params.value("/textDocument/uri"_json_pointer, std::string());
      std::string text = method == "textDocument/didOpen"
                             ? params.value("/textDocument/text"_json_pointer, std::string())
                             : params.value("/contentChanges/0/text"_json_pointer, std::string());
      documents[uri] = StoredLines(text);
      Publish(uri);
    } else if (method == "textDocument/didClose") {
      documents.erase(params.value("/textDocument/uri"_json_pointer, std::string()));
    } else if (method == "textDocument/hover") {
      result = Hover(params);
    } else if (method == "textDocument/completion") {
      result = Completion(params);
    } else if (method == "textDocument/definition") {
      result = Definition(params);
    } else if (request && !method.empty()) {
      Send(out, {{"jsonrpc", "2.0"}, {"id", message["id"]}, {"error", {{"code", -32601}, {"message", method}}}});
      return true;
    }
    if (request) Send(out, {{"jsonrpc", "2.0"}, {"id", message["id"]}, {"result", result}});
    return true;
  }
};
#endif

}  // namespace

int RunLanguageServer(std::istream& in, std::ostream& out) {
#if KALDORIN_HAVE_JSON
  Server server{out, {}, false};
  std::string body;
  int code = 1;
  while (ReadMessage(in, &body)) {
    Json message = Json::parse(body, nullptr, false);
    if (message.is_discarded() || !message.is_object()) continue;
    // A field of the wrong type (a number for a name, a text for a line)
    // is answered as an invalid request, and the server goes on.
    try {
      if (!server.Handle(message, &code)) return code;
    } catch (const nlohmann::json::exception&) {
      if (message.contains("id"))
        Send(out, {{"jsonrpc", "2.0"}, {"id", message["id"]}, {"error", {{"code", -32600}, {"message", "invalid"}}}});
    }
  }
  return code;
#else
  (void)in;
  (void)out;
  std::fputs("kaldorin: esta cópia do programa foi compilada sem o servidor de linguagem (--lsp).\n", stderr);
  return 1;
#endif
}

}  // namespace kal
