// The language server: JSON-RPC messages framed by headers (lsp_frames),
// read with a plain blocking loop; one thread, no speech, no console.
// Whatever a client sends, the server answers and goes on: a broken
// message with a parse error, a message that is no request with an invalid
// request, and a header it cannot use is passed over.
#include "9_app/language_server.h"

#include <cstdio>
#include <cstdint>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "0_base/latin1.h"
#include "5_speech/speech.h"
#include "8_interpreter/command_table.h"
#include "8_interpreter/script_check.h"
#include "9_app/app_messages.h"
#include "9_app/lsp_frames.h"
#include "9_app/script_file.h"

#if KALDORIN_HAVE_JSON
#include <nlohmann/json.hpp>
#endif

namespace kal {

namespace {

#if KALDORIN_HAVE_JSON
constexpr std::string_view kReference =
#include "language_reference.inc"
    ;

// JSON-RPC's error codes.
constexpr int kParseError = -32700;
constexpr int kInvalidRequest = -32600;
constexpr int kMethodNotFound = -32601;

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

void SendError(std::ostream& out, const Json& id, int code, std::string_view why) {
  Send(out, {{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", why}}}});
}

Json Position(int line, int character) { return {{"line", line}, {"character", character}}; }

// The member at the path, or nullptr when it is not there.
const Json* At(const Json& value, const Json::json_pointer& path) {
  return value.contains(path) ? &value.at(path) : nullptr;
}

// A request's id as JSON-RPC allows it: a number, a text or null.
bool IsId(const Json& id) { return id.is_number() || id.is_string() || id.is_null(); }

const Json& NoParams() {
  static const Json empty = Json::object();
  return empty;
}

struct Server {
  std::ostream& out;
  std::map<std::string, std::vector<std::string>> documents;  // uri -> stored lines
  bool shut_down = false;
  bool wrong_field = false;  // the message has a field of a type it cannot have

  // The text at the path; "" when it is missing or not a text (then the
  // message is wrong).
  std::string TextAt(const Json& value, const Json::json_pointer& path) {
    const Json* v = At(value, path);
    if (v == nullptr) return {};
    if (v->is_string()) return v->get<std::string>();
    wrong_field = true;
    return {};
  }

  // A line or character number at the path, held within 0 to the most an
  // int holds (a client may send any number: 1e300, -5, 2^64); -1 when it
  // is missing, negative or not a number (then the message is wrong).
  int CountAt(const Json& value, const Json::json_pointer& path) {
    constexpr int kMost = std::numeric_limits<int>::max();
    const Json* v = At(value, path);
    if (v == nullptr) return -1;
    if (v->is_number_unsigned()) return v->get<uint64_t>() > static_cast<uint64_t>(kMost) ? kMost : v->get<int>();
    if (v->is_number_integer()) {
      int64_t n = v->get<int64_t>();
      return n < 0 ? -1 : n > kMost ? kMost : static_cast<int>(n);
    }
    if (v->is_number_float()) {
      double d = v->get<double>();
      return !(d >= 0) ? -1 : d >= static_cast<double>(kMost) ? kMost : static_cast<int>(d);
    }
    wrong_field = true;
    return -1;
  }

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
    *uri = TextAt(params, "/textDocument/uri"_json_pointer);
    auto doc = documents.find(*uri);
    if (doc == documents.end()) return false;
    int n = CountAt(params, "/position/line"_json_pointer);
    int c = CountAt(params, "/position/character"_json_pointer);
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
    auto doc = documents.find(TextAt(params, "/textDocument/uri"_json_pointer));
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

  // A notification: a script opened, changed or closed.
  void Notice(const std::string& method, const Json& params) {
    if (shut_down) return;
    if (method == "textDocument/didOpen" || method == "textDocument/didChange") {
      std::string uri = TextAt(params, "/textDocument/uri"_json_pointer);
      std::string text = method == "textDocument/didOpen" ? TextAt(params, "/textDocument/text"_json_pointer)
                                                          : TextAt(params, "/contentChanges/0/text"_json_pointer);
      if (wrong_field) return;
      documents[uri] = StoredLines(text);
      Publish(uri);
    } else if (method == "textDocument/didClose") {
      documents.erase(TextAt(params, "/textDocument/uri"_json_pointer));
    }
  }

  // Answers a request.
  void Answer(const std::string& method, const Json& id, const Json& params) {
    Json result = nullptr;
    if (shut_down) {
      SendError(out, id, kInvalidRequest, app_msg::kLspShutDown);
      return;
    } else if (method == "initialize") {
      result = {{"capabilities",
                 {{"textDocumentSync", 1}, {"hoverProvider", true}, {"definitionProvider", true},
                  {"completionProvider", {{"triggerCharacters", {"@", "$"}}}}}},
                {"serverInfo", {{"name", "kaldorin"}}}};
    } else if (method == "shutdown") {
      shut_down = true;
    } else if (method == "textDocument/hover") {
      result = Hover(params);
    } else if (method == "textDocument/completion") {
      result = Completion(params);
    } else if (method == "textDocument/definition") {
      result = Definition(params);
    } else {
      SendError(out, id, kMethodNotFound, method);
      return;
    }
    if (wrong_field) {
      SendError(out, id, kInvalidRequest, app_msg::kLspBadField);
      return;
    }
    Send(out, {{"jsonrpc", "2.0"}, {"id", id}, {"result", result}});
  }

  // Takes one message; false when the server is to end (exit), with its
  // exit code in *code.
  bool Handle(const Json& message, int* code) {
    wrong_field = false;
    const Json* method = At(message, "/method"_json_pointer);
    const Json* id = At(message, "/id"_json_pointer);
    if (id != nullptr && !IsId(*id)) {
      SendError(out, nullptr, kInvalidRequest, app_msg::kLspBadId);
      return true;
    }
    if (method == nullptr || !method->is_string()) {
      // No method: a reply to a request the server never makes, passed over
      // when it has an id; anything else is no request at all.
      if (id == nullptr || method != nullptr) SendError(out, id ? *id : Json(nullptr), kInvalidRequest, app_msg::kLspNoMethod);
      return true;
    }
    const std::string& name = method->get_ref<const std::string&>();
    if (name == "exit") {
      *code = shut_down ? 0 : 1;
      return false;
    }
    const Json* params = At(message, "/params"_json_pointer);
    if (params == nullptr || !params->is_object()) params = &NoParams();
    if (id != nullptr) {
      Answer(name, *id, *params);
    } else {
      Notice(name, *params);
    }
    return true;
  }

  // One framed body: parsed (its nesting bounded first) and taken.
  bool Take(const std::string& body, int* code) {
    if (!NestsWithin(body, kMostLspJsonDepth)) {
      SendError(out, nullptr, kParseError, app_msg::kLspTooDeep);
      return true;
    }
    Json message = Json::parse(body, nullptr, false);
    if (message.is_discarded()) {
      SendError(out, nullptr, kParseError, app_msg::kLspNotJson);
      return true;
    }
    if (!message.is_object()) {
      SendError(out, nullptr, kInvalidRequest, app_msg::kLspNoMethod);
      return true;
    }
    // A field of a type the server does not expect (a number for a name)
    // that a reader above did not check is an invalid request.
    try {
      return Handle(message, code);
    } catch (const nlohmann::json::exception&) {
      const Json* id = At(message, "/id"_json_pointer);
      SendError(out, id != nullptr && IsId(*id) ? *id : Json(nullptr), kInvalidRequest, app_msg::kLspBadField);
    }
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
  for (;;) {
    switch (ReadFrame(in, &body)) {
      case Frame::kEnd: return code;
      case Frame::kTooLong: SendError(out, nullptr, kInvalidRequest, app_msg::kLspTooLong); break;
      case Frame::kBody:
        if (!server.Take(body, &code)) return code;
        break;
    }
  }
#else
  (void)in;
  (void)out;
  std::fputs(app_msg::kLspNotBuilt, stderr);
  return 1;
#endif
}

}  // namespace kal
