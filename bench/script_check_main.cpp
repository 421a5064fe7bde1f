// bench_script_check: how long the script check takes on scripts written to
// make it slow, each of the same number of lines (5000, the most a script
// may have), and the same through the language server (one didOpen message,
// its diagnostics written to memory).
//
// The scripts:
//   unclosed blocks   every line opens an ENQUANTO, none is closed
//   mixed unclosed    SE, SENÃO, ENQUANTO and REPETE in turn, none closed
//   deep nesting      SE blocks nested half the lines deep, then closed
//   nested lines      each line a one-line SE chained past the run's depth
//   many labels       a label on every other line, each jumped to
//   repeated labels   the same label on every line, and jumps to it
//   many names        a new $name on every line, far past the table's size
//   long lines        lines of 2000 bytes of parentheses and quote marks
//   closing junk      FIM of each kind and SENÃO with nothing open
//   typical program   blocks of ordinary lines of many commands (loops,
//                     conditions, lists, files, text, jumps and calls),
//                     each block with labels of its own
// Each figure is the best of a few rounds; they are printed, never judged
// (timings depend on the machine).
//
// Usage: bench_script_check [lines]   (default 5000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "7_net/network.h"
#include "1_platform/event_loop.h"
#include "1_platform/platform.h"
#include "2_config/config_state.h"
#include "8_interpreter/script_check.h"
#include "9_app/language_server.h"

namespace {

constexpr int kRounds = 3;

struct Case {
  const char* name;
  std::function<std::string(int)> line;  // line i (0-based), Latin-1
};

std::string Repeat(const std::string& piece, size_t bytes) {
  std::string s;
  while (s.size() + piece.size() <= bytes) s += piece;
  return s;
}

std::vector<Case> Cases() {
  return {
      {"unclosed blocks", [](int) { return std::string("enquanto 1 = 1"); }},
      {"mixed unclosed",
       [](int i) {
         const char* k[] = {"se 1 = 1", "sen\xE3o", "enquanto 1 = 1", "repete 3"};
         return std::string(k[i % 4]);
       }},
      {"deep nesting", [](int) { return std::string(); }},  // built whole below
      {"nested lines", [](int) { return Repeat("se 1 = 1 ", 2000) + "escreve 1"; }},
      {"many labels",
       [](int i) { return i % 2 ? "desvia @r" + std::to_string(i - 1) : "@r" + std::to_string(i); }},
      {"repeated labels", [](int i) { return i % 2 ? std::string("desvia @a") : std::string("@a"); }},
      {"many names", [](int i) { return "seja $v" + std::to_string(i) + " $w" + std::to_string(i); }},
      {"long lines", [](int i) { return i % 2 ? "escreve " + Repeat("( ", 2000) : "seja $a " + Repeat("\" (", 2000); }},
      {"typical program",
       [](int i) {
         static const char* const kBlock[] = {
             "@r{}",          "seja $n{} 0",          "lista [l{}] cria",     "repete $i{} 3",
             "  soma $n{} $i{}", "  lista [l{}] adiciona $i{}", "fim repete",
             "se $n{} > 2",   "  escreve \"total: \" $n{} &", "sen\xE3o",  "  fala \"nada\"",
             "fim se",        "abre #1 \"dados{}.txt\"", "le #1 $linha{}", "fecha #1",
             "copia $p{} $linha{} 1 (($n{} * 2) + 1)", "se $p{} = \"x\" desvia @r{}",
             "chama @s{}",    "termina",              "@s{}",                 "retorna"};
         constexpr int kSize = sizeof kBlock / sizeof kBlock[0];
         std::string line = kBlock[i % kSize];
         std::string block = std::to_string(i / kSize);
         for (size_t at = line.find("{}"); at != std::string::npos; at = line.find("{}", at))
           line.replace(at, 2, block);
         return line;
       }},
      {"closing junk",
       [](int i) {
         const char* k[] = {"fim se", "fim enquanto", "fim repete", "sen\xE3o", "fim"};
         return std::string(k[i % 5]);
       }},
  };
}

std::vector<std::string> Script(const Case& c, int lines) {
  std::vector<std::string> script;
  if (std::string(c.name) == "deep nesting") {
    for (int i = 0; i < lines / 2; ++i) script.push_back("se 1 = 1");
    while (static_cast<int>(script.size()) < lines) script.push_back("fim se");
    return script;
  }
  for (int i = 0; i < lines; ++i) script.push_back(c.line(i));
  return script;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// A JSON text of the Latin-1 line (as UTF-8), quotes and backslashes escaped.
std::string JsonText(const std::vector<std::string>& lines) {
  std::string out = "\"";
  for (const std::string& line : lines) {
    for (unsigned char ch : line) {
      if (ch == '"' || ch == '\\') {
        out += '\\';
        out += static_cast<char>(ch);
      } else if (ch >= 0x80) {
        out += static_cast<char>(0xC0 | (ch >> 6));
        out += static_cast<char>(0x80 | (ch & 0x3F));
      } else {
        out += static_cast<char>(ch);
      }
    }
    out += "\\n";
  }
  return out + "\"";
}

std::string Framed(const std::string& body) { return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body; }

}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<kal::EventLoop> loop = kal::MakePollEventLoop();  // outlives what waits on it
  kal::Platform platform(*loop);
  kal::ConfigState config(platform);
  kal::Network network(platform, config);  // an interpreter's state reaches for it, as in the program
  int lines = argc > 1 ? std::atoi(argv[1]) : 5000;
  std::printf("script check, %d lines a script, best of %d rounds\n", lines, kRounds);
  std::printf("%-16s %9s %9s %11s %11s\n", "script", "bytes", "findings", "check (s)", "server (s)");
  for (const Case& c : Cases()) {
    std::vector<std::string> script = Script(c, lines);
    size_t bytes = 0;
    for (const std::string& line : script) bytes += line.size() + 1;
    double best = 1e9, best_server = 1e9;
    size_t findings = 0;
    std::string open = Framed(R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":)"
                              R"({"uri":"file:///b.kal","text":)" +
                              JsonText(script) + "}}}");
    for (int round = 0; round < kRounds; ++round) {
      auto start = std::chrono::steady_clock::now();
      findings = kal::CheckScript(script).size();
      double s = Seconds(start);
      if (s < best) best = s;
      std::istringstream in(open);
      std::ostringstream out;
      start = std::chrono::steady_clock::now();
      kal::RunLanguageServer(in, out);
      s = Seconds(start);
      if (s < best_server) best_server = s;
    }
    std::printf("%-16s %9zu %9zu %11.4f %11.4f\n", c.name, bytes, findings, best, best_server);
  }
  return 0;
}
