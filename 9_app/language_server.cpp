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

#include "9_app/app_messages.h"
#include "9_app/lsp_frames.h"
#include "9_app/lsp_replies.h"

namespace kal {

namespace {

#if KALDORIN_HAVE_JSON
// JSON-RPC's error codes.
constexpr int kParseError = -32700;
constexpr int kInvalidRequest = -32600;
constexpr int kMethodNotFound = -32601;
constexpr int kRequestFailed = -32803;

void Send(std::ostream& out, const Json& message) {
  std::string body = message.dump(-1, ' ', false, Json::error_handler_t::replace);
  out << "Content-Length: " << body.size() << "\r\n\r\n" << body;
  out.flush();
}

void SendError(std::ostream& out, const Json& id, int code, std::string_view why) {
  Send(out, {{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", why}}}});
}

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
  std::map<std::string, OpenScript> documents;  // by uri
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

  bool FlagAt(const Json& value, const Json::json_pointer& path, bool otherwise) {
    const Json* v = At(value, path);
    if (v == nullptr) return otherwise;
    if (v->is_boolean()) return v->get<bool>();
    wrong_field = true;
    return otherwise;
  }

  void Publish(const std::string& uri) {
    Send(out, {{"jsonrpc", "2.0"},
               {"method", "textDocument/publishDiagnostics"},
               {"params", {{"uri", uri}, {"diagnostics", DiagnosticsOf(documents[uri])}}}});
  }

  // The script a request names, or nullptr.
  const OpenScript* ScriptOf(const Json& params, std::string* uri) {
    *uri = TextAt(params, "/textDocument/uri"_json_pointer);
    auto doc = documents.find(*uri);
    return doc == documents.end() ? nullptr : &doc->second;
  }

  // The stored line and column of a position (UTF-16 columns); false
  // outside the script.
  bool StoredAt(const OpenScript& script, const Json& position, LspWhere* at) {
    int n = CountAt(position, "/line"_json_pointer);
    int c = CountAt(position, "/character"_json_pointer);
    if (n < 0 || c < 0 || static_cast<size_t>(n) >= script.doc.stored.size()) return false;
    at->line = n;
    at->column = static_cast<int>(StoredColumn(script.doc, static_cast<size_t>(n), static_cast<size_t>(c)));
    return true;
  }

  // The script and the stored place a request points at; nullptr outside.
  const OpenScript* Where(const Json& params, std::string* uri, LspWhere* at) {
    const OpenScript* script = ScriptOf(params, uri);
    const Json* position = At(params, "/position"_json_pointer);
    if (script == nullptr || position == nullptr || !position->is_object() || !StoredAt(*script, *position, at)) return nullptr;
    return script;
  }

  // Requests on a position of a script: null outside one.
  Json AtPosition(const std::string& method, const Json& params) {
    std::string uri;
    LspWhere at;
    const OpenScript* script = Where(params, &uri, &at);
    if (script == nullptr) return nullptr;
    if (method == "textDocument/hover") return HoverReply(*script, at);
    if (method == "textDocument/completion") return CompletionReply(*script, at);
    if (method == "textDocument/signatureHelp") return SignatureReply(*script, at);
    if (method == "textDocument/definition") return DefinitionReply(*script, uri, at);
    bool with_definition = FlagAt(params, "/context/includeDeclaration"_json_pointer, true);
    return ReferencesReply(*script, uri, at, with_definition);
  }

  // Requests on a whole script: null when it is not open.
  Json OnScript(const std::string& method, const Json& params) {
    std::string uri;
    const OpenScript* script = ScriptOf(params, &uri);
    if (script == nullptr) return nullptr;
    if (method == "textDocument/documentSymbol") return SymbolsReply(*script);
    if (method == "textDocument/formatting")
      return FormattingReply(*script, CountAt(params, "/options/tabSize"_json_pointer),
                             FlagAt(params, "/options/insertSpaces"_json_pointer, true));
    int first = std::max(0, CountAt(params, "/range/start/line"_json_pointer));
    int last = CountAt(params, "/range/end/line"_json_pointer);
    return CodeActionsReply(*script, uri, first, last < 0 ? first : last);
  }

  // A rename: its edit, or an error sent in its place (then false).
  bool Rename(const Json& id, const Json& params, Json* result) {
    std::string uri, why;
    LspWhere at;
    const OpenScript* script = Where(params, &uri, &at);
    std::string name = TextAt(params, "/newName"_json_pointer);
    if (script == nullptr || wrong_field) return true;
    *result = RenameReply(*script, uri, at, name, &why);
    if (!result->is_null()) return true;
    SendError(out, id, kRequestFailed, why);
    return false;
  }

  // The whole text of a change: the last of the changes (the server asks
  // for whole texts); "" and a wrong message when there is none.
  std::string ChangedText(const Json& params) {
    const Json* changes = At(params, "/contentChanges"_json_pointer);
    if (changes == nullptr || !changes->is_array() || changes->empty() || !changes->back().is_object()) {
      wrong_field = true;
      return {};
    }
    return TextAt(changes->back(), "/text"_json_pointer);
  }

  // A notification: a script opened, changed or closed.
  void Notice(const std::string& method, const Json& params) {
    if (shut_down) return;
    if (method == "textDocument/didOpen" || method == "textDocument/didChange") {
      std::string uri = TextAt(params, "/textDocument/uri"_json_pointer);
      std::string text = method == "textDocument/didOpen" ? TextAt(params, "/textDocument/text"_json_pointer)
                                                          : ChangedText(params);
      if (wrong_field) return;
      documents[uri] = OpenScriptOf(text);
      Publish(uri);
    } else if (method == "textDocument/didClose") {
      documents.erase(TextAt(params, "/textDocument/uri"_json_pointer));
    }
  }

  static Json Capabilities() {
    return {{"textDocumentSync", 1},
            {"positionEncoding", "utf-16"},
            {"hoverProvider", true},
            {"completionProvider", {{"triggerCharacters", {"@", "$"}}}},
            {"signatureHelpProvider", {{"triggerCharacters", {" "}}}},
            {"definitionProvider", true},
            {"referencesProvider", true},
            {"renameProvider", true},
            {"documentSymbolProvider", true},
            {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}},
            {"documentFormattingProvider", true}};
  }

  // The result of a request; false when an error was sent in its place.
  bool ResultOf(const std::string& method, const Json& id, const Json& params, Json* result) {
    static const std::set<std::string> kAtPosition = {"textDocument/hover", "textDocument/completion",
                                                      "textDocument/signatureHelp", "textDocument/definition",
                                                      "textDocument/references"};
    static const std::set<std::string> kOnScript = {"textDocument/documentSymbol", "textDocument/formatting",
                                                    "textDocument/codeAction"};
    *result = nullptr;
    if (method == "initialize") {
      *result = {{"capabilities", Capabilities()}, {"serverInfo", {{"name", "kaldorin"}}}};
    } else if (method == "shutdown") {
      shut_down = true;
    } else if (kAtPosition.count(method) != 0) {
      *result = AtPosition(method, params);
    } else if (kOnScript.count(method) != 0) {
      *result = OnScript(method, params);
    } else if (method == "textDocument/rename") {
      return Rename(id, params, result);
    } else {
      SendError(out, id, kMethodNotFound, method);
      return false;
    }
    return true;
  }

  // Answers a request.
  void Answer(const std::string& method, const Json& id, const Json& params) {
    if (shut_down) {
      SendError(out, id, kInvalidRequest, app_msg::kLspShutDown);
      return;
    }
    Json result;
    if (!ResultOf(method, id, params, &result)) return;
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
