// The HTTP client of the download command against local servers: requests,
// resuming, redirections, the line-by-line fetch, streams, the keys during a
// transfer and servers that misbehave.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "6_console/console.h"
#include "0_base/speech_log.h"
#include "8_interpreter/console_net_user.h"
#include "7_net/http_download.h"
#include "8_interpreter/download_talk.h"
#include "7_net/net_user.h"
#include "7_net/tcp.h"
#include "1_platform/event_loop.h"
#include "1_platform/host_file.h"
#include "tests/support/local_server.h"
#include "tests/support/posix_shims.h"
#include "tests/support/temp_folder.h"
#include "tests/support/memory_console.h"
#include "7_net/net_messages.h"
#include "7_net/network.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal {
namespace {

// The case's network (tests/support/fresh_subsystems.h).
Network& Net() { return test::Context().network; }

namespace fs = std::filesystem;
using test::LocalServer;
using test::Reply;
using test::ServerConnection;

std::string Body(size_t n) {
  std::string s(n, ' ');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + i % 26);
  return s;
}

std::string Ok(const std::string& body, const std::string& type = "application/octet-stream") {
  return "HTTP/1.1 200 OK\r\nContent-Type: " + type + "\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\n\r\n" + body;
}

// The report says decimals with the user's separator: a Portuguese user here.
class PortugueseNumbers {
 private:
  test::ScopedEnv locale_{"LC_ALL", "pt_BR.UTF-8"};
};

class DownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseMemoryConsole("", &console_);
    SetNetUser(Net(), &user_);
    ResetNetForTest(Net());
    CaptureSpeechLog(test::Context().speech_log, true);
    // The file lies beside the private drives, where its host path is
    // taken as it is on every system.
    dir_ = HostFsPath(box_.tmp().path()) / "dl";
    fs::create_directories(dir_);
    file_ = FsPathToHost(dir_ / "alvo.bin");
  }

  bool Get(const std::string& url, bool tick = false, const std::string& cookie = "") {
    return Download(Net(), {url, file_, tick, "agente/1.0", cookie});
  }
  std::string FileText() {
    std::ifstream in(HostFsPath(file_), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  void WriteFile(const std::string& text) { std::ofstream(HostFsPath(file_), std::ios::binary) << text; }
  std::string Speech() {
    std::string s;
    for (auto& l : CapturedSpeech(test::Context().speech_log)) s += l + "\n";
    return s;
  }

  PortugueseNumbers numbers_;
  test::TalvenSandbox box_;
  ConsoleNetUser user_{test::Context().console};  // the network layer talks through the console
  std::string console_;
  fs::path dir_;
  std::string file_;
};

TEST_F(DownloadTest, RequestLinesHostWithPortAndCookie) {
  std::string body = Body(10000);
  LocalServer server(Reply(Ok(body)));
  EXPECT_TRUE(Get(server.Url("/dir/f.bin"), false, "a=1"));
  EXPECT_EQ(FileText(), body);
  ASSERT_EQ(server.Heads().size(), 1u);
  EXPECT_EQ(server.Heads()[0],
            "GET /dir/f.bin HTTP/1.1\r\nUser-Agent: agente/1.0\r\nAccept: */*\r\nAccept-Encoding: identity\r\n"
            "Host: 127.0.0.1:" + std::to_string(server.port()) + "\r\nConnection: Close\r\nCookie: a=1\r\n\r\n");
  // Scheme and host alone ask for "/".
  EXPECT_TRUE(Get("http://127.0.0.1:" + std::to_string(server.port())));
  EXPECT_EQ(server.Heads()[1].substr(0, 16), "GET / HTTP/1.1\r\n");
  EXPECT_EQ(console_, "");
}

TEST_F(DownloadTest, ResumesIntoAnExistingFileOrRewritesIt) {
  WriteFile("hello ");
  LocalServer partial(Reply("HTTP/1.1 206 Partial\r\nContent-Length: 5\r\n\r\nworld"));
  EXPECT_TRUE(Get(partial.Url("/x")));
  EXPECT_EQ(FileText(), "hello world");
  EXPECT_NE(partial.Heads()[0].find("\r\nRange: bytes=6-\r\n"), std::string::npos);
  EXPECT_EQ(console_, "Retomando download\n");
  EXPECT_EQ(Speech(), "say Retomando download\n");

  LocalServer whole(Reply(Ok("new")));
  EXPECT_TRUE(Get(whole.Url("/x")));
  EXPECT_EQ(FileText(), "new");
  EXPECT_NE(whole.Heads()[0].find("Range: bytes=11-"), std::string::npos);
}

TEST_F(DownloadTest, ConnectionEndingEarlyFailsAndAtTheLengthSucceeds) {
  std::string body = Body(9000);
  std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 9000\r\n\r\n";
  LocalServer exact(Reply(head + body));
  EXPECT_TRUE(Get(exact.Url("/f")));
  EXPECT_EQ(FileText(), body);

  LocalServer short_by_100(Reply(head + body.substr(0, 8900)));
  EXPECT_FALSE(Get(short_by_100.Url("/f")));
  EXPECT_EQ(FileText(), body.substr(0, 8900));  // kept for a later resume

  LocalServer short_by_1(Reply(head + body.substr(0, 8999)));
  EXPECT_FALSE(Get(short_by_1.Url("/f")));
}

TEST_F(DownloadTest, ErrorRepliesAndBrokenStatusLines) {
  LocalServer bad(Reply("HTTP/1.1 400 Bad Request\r\nContent-Length: 3\r\n\r\nbad"));
  EXPECT_FALSE(Get(bad.Url("/")));
  LocalServer missing(Reply("HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\nnot"));
  EXPECT_FALSE(Get(missing.Url("/")));
  EXPECT_EQ(console_, "Erro http400:Requisição http não foi bem formulada.\nErro http404: Página não encontrada.\n");
  for (const char* reply : {"HTTP/1.1 500 Oops\r\nContent-Length: 1\r\n\r\nx", "HTTP/1.1 abc\r\n\r\n", "garbage\r\n\r\n",
                            "HTTP/1.1 302 Found\r\nContent-Length: 0\r\n\r\n", ""}) {
    LocalServer other(Reply(reply));
    EXPECT_FALSE(Get(other.Url("/"))) << reply;
  }
  EXPECT_FALSE(Download(Net(), {"", file_, false, "a", ""}));
  EXPECT_FALSE(Download(Net(), {"http://127.0.0.1:1/", "", false, "a", ""}));
  EXPECT_FALSE(Get("http://127.0.0.1:1/"));  // nobody listens
  file_ = (dir_ / "no-such-dir" / "f").string();
  LocalServer fine(Reply(Ok("abc")));
  EXPECT_FALSE(Get(fine.Url("/")));  // the target cannot be written
}

TEST_F(DownloadTest, FollowsRedirectionsUpToALimit) {
  std::atomic<int> hops{0};
  std::unique_ptr<LocalServer> target;
  target = std::make_unique<LocalServer>([&](ServerConnection& c) {
    std::string head = c.ReadHead();
    ++hops;
    if (head.rfind("GET /a ", 0) == 0)
      c.Send("HTTP/1.1 301 Moved\r\nLocation: /b/c?x=1\r\n\r\n");
    else if (head.rfind("GET /b/c?x=1 ", 0) == 0)
      c.Send("HTTP/1.1 302 Found\r\nlocation: d\r\n\r\n");
    else if (head.rfind("GET /b/d ", 0) == 0)
      c.Send(Ok("arrived"));
    else
      c.Send("HTTP/1.1 302 Found\r\nLocation: /loop\r\n\r\n");
  });
  EXPECT_TRUE(Get(target->Url("/a")));
  EXPECT_EQ(FileText(), "arrived");
  EXPECT_EQ(hops, 3);
  hops = 0;
  EXPECT_FALSE(Get(target->Url("/loop")));
  EXPECT_EQ(hops, kMaxRedirections + 1);
}

TEST_F(DownloadTest, PagesWithoutLengthAreFetchedLineByLine) {
  LocalServer server([](ServerConnection& c) {
    std::string head = c.ReadHead();
    if (head.find("UA-CPU") == std::string::npos)
      c.Send("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\nignored");
    else
      c.Send("HTTP/1.1 200 OK\r\nX: y\r\n\r\nline one\nline two\r\nlast");
  });
  EXPECT_TRUE(Download(Net(), {"http://127.0.0.1:" + std::to_string(server.port()), file_, false, "ag", "k=v"}));
  EXPECT_EQ(FileText(), "line one\r\nline two\r\nlast\r\n\r\n");
  ASSERT_EQ(server.Heads().size(), 2u);
  EXPECT_EQ(server.Heads()[1],
            "GET / HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(server.port()) + "\r\nUser-Agent: ag\r\nConnection: close\r\n"
            "Accept-Language: pt-br\r\nUA-CPU: x86\r\nCookie: k=v\r\n\r\n");
}

TEST_F(DownloadTest, HttpsDownloadSendsTheHostAsServerName) {
  std::string body = Body(20000);
  LocalServer server(Reply(Ok(body)), true);
  EXPECT_TRUE(Get("https://localhost:" + std::to_string(server.port()) + "/s"));
  EXPECT_EQ(FileText(), body);
  ASSERT_EQ(server.ServerNames().size(), 1u);
  EXPECT_EQ(server.ServerNames()[0], "localhost");
  EXPECT_NE(server.Heads()[0].find("Host: localhost:" + std::to_string(server.port()) + "\r\n"), std::string::npos);
}

// A stream that never ends: bytes every few milliseconds until the client goes.
void Trickle(ServerConnection& c, const std::string& head, size_t piece) {
  c.ReadHead();
  if (!c.Send(head)) return;
  std::string bytes(piece, 'z');
  while (!c.Stopping() && c.Send(bytes)) std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

TEST_F(DownloadTest, AudioStreamRunsUntilEscAndS) {
  LocalServer server([](ServerConnection& c) { Trickle(c, "HTTP/1.1 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n", 3000); });
  PushKeyBytes(test::Context().console, "\x1bs");
  EXPECT_TRUE(Get(server.Url("/radio")));
  EXPECT_EQ(console_, "Deseja parar o download?\ns\nO download foi interrompido.\n");
  EXPECT_EQ(Speech(), "say Deseja parar o download?\nsay O download foi interrompido.\n");
  EXPECT_TRUE(fs::exists(file_));
}

TEST_F(DownloadTest, EscOnASlowTrickleStopsAndOtherAnswersGoOn) {
  LocalServer server([](ServerConnection& c) {
    Trickle(c, "HTTP/1.1 200 OK\r\nContent-Length: 100000000\r\n\r\n", 1);
  });
  PushKeyBytes(test::Context().console, "\x1bn\x1bS");
  EXPECT_FALSE(Get(server.Url("/big")));
  EXPECT_EQ(console_, "Deseja parar o download?\nn\nDeseja parar o download?\nS\nO download foi interrompido.\n");
}

TEST_F(DownloadTest, HttpsTrickleCanBeStopped) {
  LocalServer server(
      [](ServerConnection& c) { Trickle(c, "HTTP/1.1 200 OK\r\nContent-Length: 100000000\r\n\r\n", 1); }, true);
  PushKeyBytes(test::Context().console, "\x1bS");
  EXPECT_FALSE(Get(server.Url("/big", true)));
  EXPECT_EQ(console_, "Deseja parar o download?\nS\nO download foi interrompido.\n");
}

// A user of the network layer that answers the download's questions from a
// script and records what it is told, in place of the console.
class ScriptedUser : public NetUser {
 public:
  void TakeInput() override { test::TestLoop().Wait(0); }
  void Pause(int ms) override { test::TestLoop().Wait(ms); }
  // The second look asks where the download stands (and turns the clicks
  // on, which a trickle never gets to: no block fills); the fourth stops it.
  bool TakeDownloadKeys(const std::function<DownloadProgress()>& progress, bool* ticks) override {
    ++looks;
    if (looks == 2) {
      *ticks = true;
      DownloadProgress p = progress();
      heard += "progress " + p.file + " " + std::to_string(p.announced) + "\n";
    }
    return looks == 4;
  }
  void Tell(const std::string& line) override { heard += "tell " + line + "\n"; }
  void Note(const std::string& line) override { heard += "note " + line + "\n"; }
  void Click() override { heard += "click\n"; }
  int looks = 0;
  std::string heard;
};

TEST_F(DownloadTest, TheDownloadTalksOnlyThroughItsUser) {
  LocalServer server([](ServerConnection& c) {
    Trickle(c, "HTTP/1.1 200 OK\r\nContent-Length: 100000000\r\n\r\n", 1);
  });
  ScriptedUser user;
  SetNetUser(Net(), &user);
  EXPECT_FALSE(Get(server.Url("/big")));
  SetNetUser(Net(), nullptr);
  EXPECT_EQ(user.looks, 4);
  EXPECT_EQ(user.heard, "progress " + file_ + " 100000000\n");
  EXPECT_EQ(console_, "");
  EXPECT_EQ(Speech(), "");

  // The quiet user, installed when no other is, fetches without a word.
  std::string body = Body(5000);
  LocalServer plain(Reply(Ok(body)));
  EXPECT_TRUE(Get(plain.Url("/q"), true));
  EXPECT_EQ(FileText(), body);
  EXPECT_EQ(console_, "");
  EXPECT_EQ(Speech(), "");
}

// Each network talks to its own user: a download on a second network is
// heard by that network's user, and the case's network stays silent.
TEST_F(DownloadTest, ADownloadTalksToTheUserOfItsOwnNetwork) {
  Network other(test::Context().platform, test::Context().config);
  ScriptedUser user;
  SetNetUser(other, &user);
  LocalServer missing(Reply("HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\nnot"));
  EXPECT_FALSE(Download(other, {missing.Url("/"), file_, false, "agente/1.0", ""}));
  EXPECT_EQ(user.heard, "tell " + net_msg::Http404() + "\n");
  EXPECT_EQ(console_, "");
  EXPECT_EQ(&UserOf(Net()), &user_);
}

// At the console, an extended key means nothing, and "stop?" answered with
// an extended key goes on; answered with S, it stops.
TEST_F(DownloadTest, ExtendedKeysNeitherStopNorAnswer) {
  LocalServer server([](ServerConnection& c) {
    Trickle(c, "HTTP/1.1 200 OK\r\nContent-Length: 100000000\r\n\r\n", 1);
  });
  PushKeyBytes(test::Context().console, std::string("\0\x3b\x1b\0\x3b\x1bS", 8));
  EXPECT_FALSE(Get(server.Url("/big")));
  EXPECT_EQ(console_, "Deseja parar o download?\n\nDeseja parar o download?\nS\nO download foi interrompido.\n");
}

TEST_F(DownloadTest, EnterSpeaksProgressAndSpaceTogglesTicks) {
  std::string body = Body(3 * 4096);
  LocalServer server(Reply(Ok(body)));
  PushKeyBytes(test::Context().console, "\r");
  EXPECT_TRUE(Get(server.Url("/p"), true));
  EXPECT_EQ(Speech(), "click\nsay Recebidos: 33,3% de 12 KB. 4 KBytes gravados. Arquivo: " + file_ +
                          "\nclick\nclick\n");
  ClearCapturedSpeech(test::Context().speech_log);
  PushKeyBytes(test::Context().console, " ");
  EXPECT_TRUE(Get(server.Url("/p"), true));
  EXPECT_EQ(Speech(), "click\n");
}

TEST_F(DownloadTest, HostileServersEndTheDownload) {
  LocalServer endless_headers([](ServerConnection& c) {
    c.ReadHead();
    c.Send("HTTP/1.1 200 OK\r\n");
    while (!c.Stopping() && c.Send("X-Filler: aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\r\n")) {
    }
  });
  EXPECT_FALSE(Get(endless_headers.Url("/")));

  LocalServer endless_line([](ServerConnection& c) {
    c.ReadHead();
    c.Send("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n");
    std::string chunk(65536, 'q');
    while (!c.Stopping() && c.Send(chunk)) {
    }
  });
  EXPECT_FALSE(Get(endless_line.Url("/")));
  EXPECT_LE(fs::file_size(file_), 2u << 20);

  // A server that goes silent in the middle of the body is given up after a
  // minute (of the test's virtual clock); what came is kept.
  LocalServer silent([](ServerConnection& c) {
    c.ReadHead();
    c.Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789");
    while (!c.Stopping()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  });
  int64_t start = test::TestLoop().NowMs();
  EXPECT_FALSE(Get(silent.Url("/")));
  EXPECT_GE(test::TestLoop().NowMs() - start, kHttpWaitSeconds * 1000);
  EXPECT_EQ(FileText(), "0123456789");
}

// The reply head is held to its size and its line count at their edges; a
// head over either is refused and the person is told why.
TEST_F(DownloadTest, ReplyHeadsAreHeldToTheirLimitsAtTheEdges) {
  const std::string status = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n";  // 36 bytes, 2 lines
  auto serve = [](std::string head) {
    return Reply(head + "\r\nok");
  };
  // Bytes: a filler header making the head, its empty line included, exactly
  // kMaxResponseHead bytes, then one byte more.
  std::string filler = "X: " + std::string(kMaxResponseHead - status.size() - 2 - 5, 'a') + "\r\n";
  ASSERT_EQ(status.size() + filler.size() + 2, kMaxResponseHead);
  DownloadReport report;
  LocalServer at_size(serve(status + filler));
  EXPECT_TRUE(Download(Net(), {at_size.Url("/"), file_, false, "a", "", &report}));
  EXPECT_EQ(FileText(), "ok");
  LocalServer over_size(serve(status + "b" + filler));
  EXPECT_FALSE(Download(Net(), {over_size.Url("/"), file_, false, "a", "", &report}));
  EXPECT_TRUE(report.head_refused);
  // Lines: the status line, the headers and the empty line.
  std::string lines;
  for (int i = 0; i < kMaxResponseHeadLines - 3; ++i) lines += "X: y\r\n";
  LocalServer at_lines(serve(status + lines));
  EXPECT_TRUE(Download(Net(), {at_lines.Url("/"), file_, false, "a", "", &report}));
  EXPECT_FALSE(report.head_refused);
  LocalServer over_lines(serve(status + lines + "X: y\r\n"));
  EXPECT_FALSE(Download(Net(), {over_lines.Url("/"), file_, false, "a", "", &report}));
  EXPECT_TRUE(report.head_refused);
  EXPECT_NE(console_.find("Resposta recusada: cabeçalho do servidor grande demais"), std::string::npos) << console_;
}

// A head sent a byte at a time is never silent: the download's deadline
// ends it.
TEST_F(DownloadTest, ADeadlineEndsAHeadThatTrickles) {
  LocalServer trickle([](ServerConnection& c) {
    c.ReadHead();
    c.Send("HTTP/1.1 200 OK\r\nX: ");
    while (!c.Stopping() && c.Send("y")) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  });
  DownloadReport report;
  DownloadRequest request{trickle.Url("/"), file_, false, "a", "", &report};
  request.deadline_ms = test::TestLoop().NowMs() + 2000;
  EXPECT_FALSE(Download(Net(), request));
  EXPECT_TRUE(report.out_of_time);
  EXPECT_FALSE(report.head_refused);
  EXPECT_GE(test::TestLoop().NowMs(), request.deadline_ms);
  EXPECT_FALSE(fs::exists(file_));
}

// Redirections: a cookie stays on the origin it was given for.
TEST_F(DownloadTest, RedirectionToAnotherOriginDropsTheCookie) {
  LocalServer other(Reply(Ok("elsewhere")));
  std::string to_other = other.Url("/y");
  int port = 0;
  LocalServer first([&](ServerConnection& c) {
    std::string head = c.ReadHead();
    if (head.rfind("GET /same ", 0) == 0)
      c.Send("HTTP/1.1 302 Found\r\nLocation: /port\r\n\r\n");
    else if (head.rfind("GET /port ", 0) == 0)
      c.Send("HTTP/1.1 302 Found\r\nLocation: " + to_other + "\r\n\r\n");
    else if (head.rfind("GET /host ", 0) == 0)
      c.Send("HTTP/1.1 302 Found\r\nLocation: http://localhost:" + std::to_string(port) + "/end\r\n\r\n");
    else
      c.Send(Ok("end"));
  });
  port = first.port();
  EXPECT_TRUE(Get(first.Url("/same"), false, "sessao=segredo"));
  EXPECT_EQ(FileText(), "elsewhere");
  ASSERT_EQ(first.Heads().size(), 2u);
  EXPECT_NE(first.Heads()[1].find("\r\nCookie: sessao=segredo\r\n"), std::string::npos);
  ASSERT_EQ(other.Heads().size(), 1u);
  EXPECT_EQ(other.Heads()[0].find("Cookie"), std::string::npos);

  // The same port under another host name is another origin too.
  EXPECT_TRUE(Get(first.Url("/host"), false, "sessao=segredo"));
  ASSERT_EQ(first.Heads().size(), 4u);
  EXPECT_EQ(first.Heads()[3].find("Cookie"), std::string::npos);
  EXPECT_NE(first.Heads()[3].find("Host: localhost:" + std::to_string(port) + "\r\n"), std::string::npos);
}

TEST_F(DownloadTest, RedirectionsOnlyToHttpAndWithoutControlBytes) {
  LocalServer target(Reply(Ok("never")));
  std::string gopher = "gopher://127.0.0.1:" + std::to_string(target.port()) + "/x";
  LocalServer first([&](ServerConnection& c) {
    std::string head = c.ReadHead();
    if (head.rfind("GET /gopher ", 0) == 0)
      c.Send("HTTP/1.1 301 Moved\r\nLocation: " + gopher + "\r\n\r\n");
    else
      c.Send("HTTP/1.1 301 Moved\r\nLocation: /next\rX-Injected: 1\r\n\r\n");
  });
  EXPECT_FALSE(Get(first.Url("/gopher")));
  EXPECT_FALSE(Get(first.Url("/cr")));
  EXPECT_EQ(target.Connections(), 0);
  EXPECT_EQ(first.Heads().size(), 2u);  // nothing asked for the injected target
  EXPECT_FALSE(fs::exists(file_));
}

// Esc works while the server is slow before its body: a header line every
// ten seconds, or nothing at all after the request.
TEST_F(DownloadTest, EscStopsAServerSlowInItsHead) {
  LocalServer slow([](ServerConnection& c) {
    c.ReadHead();
    c.Send("HTTP/1.1 200 OK\r\n");
    while (!c.Stopping() && c.Send("X-Slow: 1\r\n"))
      for (int i = 0; i < 1000 && !c.Stopping(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  });
  WriteFile("old");
  PushKeyBytes(test::Context().console, "\x1bS");
  EXPECT_FALSE(Get(slow.Url("/slow")));
  EXPECT_EQ(console_, "Deseja parar o download?\nS\nO download foi interrompido.\n");
  EXPECT_EQ(FileText(), "old");

  console_.clear();
  LocalServer mute([](ServerConnection& c) {
    c.ReadHead();
    while (!c.Stopping()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  });
  PushKeyBytes(test::Context().console, "\x1bn\x1bs");
  EXPECT_FALSE(Get(mute.Url("/mute")));
  EXPECT_EQ(console_, "Deseja parar o download?\nn\nDeseja parar o download?\ns\nO download foi interrompido.\n");
  EXPECT_EQ(FileText(), "old");
}

// A 200 to a resumed request replaces the file only once its body comes.
TEST_F(DownloadTest, OldBytesStayUntilANewBodyArrives) {
  WriteFile("old bytes");
  LocalServer cut_in_head(Reply("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n"));
  EXPECT_FALSE(Get(cut_in_head.Url("/f")));
  EXPECT_EQ(FileText(), "old bytes");
  LocalServer no_body(Reply("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n"));
  EXPECT_FALSE(Get(no_body.Url("/f")));
  EXPECT_EQ(FileText(), "old bytes");
  EXPECT_NE(no_body.Heads()[0].find("\r\nRange: bytes=9-\r\n"), std::string::npos);

  LocalServer empty(Reply("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n"));
  EXPECT_TRUE(Get(empty.Url("/f")));
  EXPECT_EQ(FileText(), "");
}

TEST_F(DownloadTest, PartNotStartingAtTheFileEndFails) {
  WriteFile("hello ");
  LocalServer wrong(Reply("HTTP/1.1 206 Partial\r\nContent-Range: bytes 0-4/11\r\nContent-Length: 5\r\n\r\nworld"));
  EXPECT_FALSE(Get(wrong.Url("/x")));
  EXPECT_EQ(FileText(), "hello ");
  EXPECT_EQ(console_, "");
  LocalServer right(Reply("HTTP/1.1 206 Partial\r\nContent-Range: bytes 6-10/11\r\nContent-Length: 5\r\n\r\nworld"));
  EXPECT_TRUE(Get(right.Url("/x")));
  EXPECT_EQ(FileText(), "hello world");
  EXPECT_EQ(console_, "Retomando download\n");
}

TEST_F(DownloadTest, RepliesCutOrContradictoryAreFailures) {
  // Closed inside the head: with or without the main fetch's fallback.
  for (const char* reply : {"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n", "HTTP/1.1 200 OK\r\n",
                            "HTTP/1.1 200 OK\r\nContent-Length: 10\r\nContent-Length: 3\r\n\r\nabcdefghij",
                            "HTTP/1.1 200 OK\r\nContent-Length: 3\r\nContent-Length: 10\r\n\r\nabcdefghij"}) {
    LocalServer server(Reply(reply));
    EXPECT_FALSE(Get(server.Url("/"))) << reply;
    EXPECT_FALSE(fs::exists(file_)) << reply;
  }
  // A chunked body cut before its last piece: what came is kept, as with a
  // length.
  LocalServer cut_body(Reply("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhel"));
  EXPECT_FALSE(Get(cut_body.Url("/")));
  EXPECT_EQ(FileText(), "hel");
  fs::remove(file_);
  // The page fetched again line by line answers with an error page.
  LocalServer error_page([](ServerConnection& c) {
    std::string head = c.ReadHead();
    if (head.find("UA-CPU") == std::string::npos)
      c.Send("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\nignored");
    else
      c.Send("HTTP/1.1 500 Internal Error\r\nContent-Type: text/html\r\n\r\n<h1>erro</h1>");
  });
  EXPECT_FALSE(Get(error_page.Url("/")));
  EXPECT_FALSE(fs::exists(file_));
}

TEST_F(DownloadTest, ChunkedBodiesAreDecoded) {
  // The server keeps the connection open after the last piece: the end is
  // in the framing.
  LocalServer server([](ServerConnection& c) {
    c.ReadHead();
    c.Send("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nTransfer-Encoding: chunked\r\n\r\n"
           "5\r\nhello\r\n7;x=y\r\n, world\r\n0\r\nX-Trailer: 1\r\n\r\n");
    while (!c.Stopping()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  });
  int64_t start = test::TestLoop().NowMs();
  EXPECT_TRUE(Get(server.Url("/")));
  EXPECT_EQ(FileText(), "hello, world");
  EXPECT_LT(test::TestLoop().NowMs() - start, kHttpWaitSeconds * 1000);

  // A larger body in many pieces, and the line-by-line fetch decoding too.
  std::string body = Body(50000), wire;
  for (size_t at = 0; at < body.size(); at += 3000) {
    std::string piece = body.substr(at, 3000);
    char size[16];
    std::snprintf(size, sizeof size, "%zx", piece.size());
    wire += std::string(size) + "\r\n" + piece + "\r\n";
  }
  LocalServer big(Reply("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + wire + "0\r\n\r\n"));
  EXPECT_TRUE(Get(big.Url("/big")));
  EXPECT_EQ(FileText(), body);

  LocalServer lines([](ServerConnection& c) {
    std::string head = c.ReadHead();
    if (head.find("UA-CPU") == std::string::npos)
      c.Send("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\nignored");
    else
      c.Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\na\nb\r\n2\r\n\nc\r\n0\r\n\r\n");
  });
  EXPECT_TRUE(Get(lines.Url("/")));
  EXPECT_EQ(FileText(), "a\r\nb\r\nc\r\n\r\n");
}

// Bodies larger than one read come whole, over TCP and over TLS, the first
// bytes arriving with the head.
TEST_F(DownloadTest, LargeBodiesArriveWhole) {
  std::string body = Body(3 * (1 << 20) + 12345);
  body[1 << 20] = '\0';
  LocalServer plain(Reply(Ok(body)));
  EXPECT_TRUE(Get(plain.Url("/big")));
  EXPECT_TRUE(FileText() == body);
  fs::remove(file_);
  LocalServer secure(Reply(Ok(body)), true);
  EXPECT_TRUE(Get(secure.Url("/big", true)));
  EXPECT_TRUE(FileText() == body);
}

// A user who asks to stop only at the third look at the keys.
class LateStopUser : public NetUser {
 public:
  void TakeInput() override { test::TestLoop().Wait(0); }
  void Pause(int ms) override { test::TestLoop().Wait(ms); }
  bool TakeDownloadKeys(const std::function<DownloadProgress()>&, bool*) override { return ++looks >= 3; }
  void Tell(const std::string& line) override {}
  void Note(const std::string& line) override {}
  void Click() override {}
  int looks = 0;
};

// A stream faster than it is written (so that the receive never waits and
// the test clock never moves) still has its keys looked at, and a stop asked for at the third look ends it.
TEST_F(DownloadTest, KeysAreLookedAtWhileAFastStreamFlows) {
  LocalServer server([](ServerConnection& c) {
    c.ReadHead();
    if (!c.Send("HTTP/1.1 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n")) return;
    std::string bytes(1 << 20, 'z');
    while (!c.Stopping() && c.Send(bytes)) {
    }
  });
  LateStopUser user;
  SetNetUser(Net(), &user);
  EXPECT_TRUE(Get(server.Url("/radio")));
  SetNetUser(Net(), nullptr);
  EXPECT_EQ(user.looks, 3);
}

TEST(ProgressReportTest, UnitsAndUnknownLength) {
  PortugueseNumbers numbers;
  EXPECT_EQ(ProgressReport(true, 5000, 0, 0, "r.mp3"), "5000 bytes escritos em disco. 4,88 KBytes gravados. Arquivo: r.mp3");
  EXPECT_EQ(ProgressReport(false, 1 << 20, int64_t{3} << 30, 0, "f"),
            "Recebidos: 0,0326% de 3 GB. 1 MegaBytes gravados. Arquivo: f");
  EXPECT_EQ(ProgressReport(false, 500, 1000, 0, "f"), "Recebidos: 50% de 1000 Bytes. 500 Bytes gravados. Arquivo: f");
  EXPECT_EQ(ProgressReport(false, 3 << 20, (2 << 20) + 5, 1 << 20, "f"),
            "Recebidos: 100% de 3 MB. 3 MegaBytes gravados. Arquivo: f");
  EXPECT_EQ(ProgressReport(false, (int64_t{5} << 30) / 2, int64_t{5} << 30, 0, "f"),
            "Recebidos: 50% de 5 GB. 2,5 GigaBytes gravados. Arquivo: f");
}

}  // namespace
}  // namespace kal
