// The downloader shipped as wget.exe: the application's command line and
// nothing else is taken, and each way a download fails ends with the wget
// exit code the application turns into its reason.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <string>
#include <vector>

#include "1_platform/event_loop.h"
#include "1_platform/host_file.h"
#include "7_net/tcp.h"
#include "9_app/wget_tool.h"
#include "tests/support/local_server.h"
#include "tests/support/temp_folder.h"
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

// The line the application builds (data/zelquora.kal), split as Windows
// splits it.
std::vector<std::string> AppLine(const std::string& file, const std::string& address) {
  return {"--timeout=30", "--tries=2", "-O", file, "--user-agent=Mozilla/5.0 (Windows NT 10.0)", "--", address};
}

TEST(WgetOptions, TakesTheApplicationsLineAndTheOtherSpellings) {
  WgetOptions o;
  std::string error;
  ASSERT_TRUE(ParseWgetOptions(AppLine("C:\\zelquora\\temp\\p.htm", "https://a.example/b?c=d e"), &o, &error));
  EXPECT_EQ(o.timeout_seconds, 30);
  EXPECT_EQ(o.tries, 2);
  EXPECT_EQ(o.output, "C:\\zelquora\\temp\\p.htm");
  EXPECT_EQ(o.agent, "Mozilla/5.0 (Windows NT 10.0)");
  EXPECT_EQ(o.address, "https://a.example/b?c=d e");

  ASSERT_TRUE(ParseWgetOptions({"-Oout.txt", "-U", "ag", "http://h/"}, &o, &error));
  EXPECT_EQ(o.output, "out.txt");
  EXPECT_EQ(o.agent, "ag");
  ASSERT_TRUE(ParseWgetOptions({"--deadline=600", "-O", "x", "http://h/"}, &o, &error));
  EXPECT_EQ(o.deadline_seconds, 600);
  ASSERT_TRUE(ParseWgetOptions({"--deadline", "5", "-O", "x", "http://h/"}, &o, &error));
  EXPECT_EQ(o.deadline_seconds, 5);
  ASSERT_TRUE(ParseWgetOptions({"--output-document=x", "--", "-http://h/"}, &o, &error));
  EXPECT_EQ(o.output, "x");
  EXPECT_EQ(o.address, "-http://h/");  // after "--" nothing is an option
}

TEST(WgetOptions, RefusesWhatItDoesNotTake) {
  const std::vector<std::vector<std::string>> bad = {
      {"-O", "f", "--no-check-certificate", "http://h/"},  // no option beyond the application's
      {"-O", "f"},                                         // no address
      {"-O", "f", "http://a/", "http://b/"},               // one address only
      {"http://h/"},                                       // -O is required
      {"-O", "-", "http://h/"},                            // no standard output
      {"http://h/", "-O"},                                 // -O without its file
      {"-O", "f", "--timeout=0", "http://h/"},
      {"-O", "f", "--timeout=3x", "http://h/"},
      {"-O", "f", "--tries=", "http://h/"},
      {"-O", "f", "--tries=101", "http://h/"},
      {"-O", "f", "--deadline=0", "http://h/"},
      {"-O", "f", "--deadline=86401", "http://h/"},
      {"-O", "f", "http://h/", "--deadline"},
      {"-O", "f", "--user-agent=a\r\nX-Injected: 1", "http://h/"},  // would end the header line
  };
  for (const auto& args : bad) {
    WgetOptions o;
    std::string error;
    EXPECT_FALSE(ParseWgetOptions(args, &o, &error)) << args.size() << " " << args.back();
    EXPECT_FALSE(error.empty());
  }
}

TEST(WgetExitCodes, EachFailureHasWgetsCode) {
  DownloadReport r;
  EXPECT_EQ(WgetExitCode(true, r), wget_exit::kOk);
  EXPECT_EQ(WgetExitCode(false, r), wget_exit::kNetwork);  // nothing came
  r.tls_refused = true;
  EXPECT_EQ(WgetExitCode(false, r), wget_exit::kCertificate);
  r.tls_refused = false;
  r.connected = true;
  r.status = 200;  // the reply was cut short
  EXPECT_EQ(WgetExitCode(false, r), wget_exit::kNetwork);
  r.status = 302;  // a redirection that leads nowhere it may go
  EXPECT_EQ(WgetExitCode(false, r), wget_exit::kProtocol);
  r.status = 401;
  EXPECT_EQ(WgetExitCode(false, r), wget_exit::kAuthorization);
  r.status = 407;
  EXPECT_EQ(WgetExitCode(false, r), wget_exit::kAuthorization);
  r.status = 404;
  EXPECT_EQ(WgetExitCode(false, r), wget_exit::kServerError);
  r.status = 503;
  EXPECT_EQ(WgetExitCode(false, r), wget_exit::kServerError);
  r.head_refused = true;  // a head over its limits, whatever its status said
  EXPECT_EQ(WgetExitCode(false, r), wget_exit::kProtocol);
  r.out_of_time = true;
  EXPECT_EQ(WgetExitCode(false, r), wget_exit::kNetwork);
  r.write_failed = true;
  EXPECT_EQ(WgetExitCode(false, r), wget_exit::kFile);
}

class WgetRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetNetForTest(Net());
    dir_ = HostFsPath(box_.tmp().path()) / "baixa";
    fs::create_directories(dir_);
    file_ = FsPathToHost(dir_ / "pagina.htm");
  }
  int Run(const std::string& address, const std::string& file, std::vector<std::string> more = {}) {
    WgetOptions o;
    std::string error;
    std::vector<std::string> line = AppLine(file, address);
    line.insert(line.begin(), more.begin(), more.end());
    EXPECT_TRUE(ParseWgetOptions(line, &o, &error)) << error;
    messages_.clear();
    return RunWget(Net(), o, &messages_);
  }

  test::TalvenSandbox box_;
  fs::path dir_;
  std::string file_;
  std::string messages_;
};

TEST_F(WgetRun, WritesThePageAfreshWithTheAgentAndSaysNothing) {
  test::WriteFileBytes(file_, "an older, longer page that must not be resumed");
  LocalServer server(Reply("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nnovo!"));
  EXPECT_EQ(Run(server.Url("/r?q=a+b"), file_), wget_exit::kOk);
  EXPECT_EQ(test::ReadFileBytes(file_), "novo!");
  ASSERT_EQ(server.Heads().size(), 1u);
  EXPECT_EQ(server.Heads()[0].find("Range:"), std::string::npos);
  EXPECT_NE(server.Heads()[0].find("GET /r?q=a+b HTTP/1.1\r\nUser-Agent: Mozilla/5.0 (Windows NT 10.0)\r\n"),
            std::string::npos);
  EXPECT_EQ(messages_, "");
}

TEST_F(WgetRun, ErrorRepliesAreNotTriedAgain) {
  LocalServer missing(Reply("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n"));
  EXPECT_EQ(Run(missing.Url("/x"), file_), wget_exit::kServerError);
  EXPECT_EQ(missing.Heads().size(), 1u);
  EXPECT_FALSE(fs::exists(dir_ / "pagina.htm"));
  LocalServer locked(Reply("HTTP/1.1 401 Unauthorized\r\nContent-Length: 0\r\n\r\n"));
  EXPECT_EQ(Run(locked.Url("/x"), file_), wget_exit::kAuthorization);
  LocalServer loop(Reply("HTTP/1.1 302 Found\r\nLocation: ftp://elsewhere/\r\nContent-Length: 0\r\n\r\n"));
  EXPECT_EQ(Run(loop.Url("/x"), file_), wget_exit::kProtocol);
}

TEST_F(WgetRun, NetworkFailuresAreTriedAsOftenAsAsked) {
  // Every connection is closed before a reply: both tries are made.
  LocalServer silent([](test::ServerConnection& c) { c.ReadHead(); });
  EXPECT_EQ(Run(silent.Url("/x"), file_), wget_exit::kNetwork);
  EXPECT_EQ(silent.Connections(), 2);
  // A body cut short is a network failure too.
  LocalServer cut(Reply("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nonly this"));
  EXPECT_EQ(Run(cut.Url("/x"), file_), wget_exit::kNetwork);
  EXPECT_EQ(cut.Connections(), 2);
}

TEST_F(WgetRun, AFileThatCannotBeWrittenAndAnAddressThatIsNotTheWebs) {
  LocalServer server(Reply("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"));
  EXPECT_EQ(Run(server.Url("/x"), FsPathToHost(dir_ / "no_such_folder" / "p.htm")), wget_exit::kFile);
  EXPECT_EQ(server.Connections(), 0);
  EXPECT_EQ(Run("file:///etc/passwd", file_), wget_exit::kGeneric);
  EXPECT_EQ(Run("http://127.0.0.1:1/\r\nX: y", file_), wget_exit::kGeneric);
}

// -O names a link to another file of the user's: the download replaces the
// link with the page and never writes through it; a failure leaves both as
// they were, and no file of the download's own is left beside them.
TEST_F(WgetRun, ALinkAtTheOutputIsReplacedNeverWrittenThrough) {
  fs::path precious = dir_ / "precioso.txt";
  test::WriteFileBytes(FsPathToHost(precious), "do not touch");
  std::error_code link_error;
  fs::create_symlink(precious, dir_ / "pagina.htm", link_error);
  if (link_error) GTEST_SKIP() << "no symbolic links here: " << link_error.message();
  LocalServer missing(Reply("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n"));
  EXPECT_EQ(Run(missing.Url("/x"), file_), wget_exit::kServerError);
  LocalServer cut(Reply("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nonly this"));
  EXPECT_EQ(Run(cut.Url("/x"), file_), wget_exit::kNetwork);
  EXPECT_TRUE(fs::is_symlink(dir_ / "pagina.htm"));
  EXPECT_EQ(test::ReadFileBytes(FsPathToHost(precious)), "do not touch");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);

  LocalServer good(Reply("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nnovo!"));
  EXPECT_EQ(Run(good.Url("/x"), file_), wget_exit::kOk);
  EXPECT_FALSE(fs::is_symlink(dir_ / "pagina.htm"));
  EXPECT_EQ(test::ReadFileBytes(file_), "novo!");
  EXPECT_EQ(test::ReadFileBytes(FsPathToHost(precious)), "do not touch");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

// A server that sends a byte now and then is never silent long enough for
// --timeout; --deadline ends the run (every try) and leaves the file as it
// was.
TEST_F(WgetRun, ATricklingServerEndsAtTheDeadline) {
  test::WriteFileBytes(file_, "older page");
  LocalServer trickle([](test::ServerConnection& c) {
    c.ReadHead();
    c.Send("HTTP/1.1 200 OK\r\nContent-Length: 1000000\r\n\r\n");
    while (!c.Stopping() && c.Send("x")) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  });
  int64_t start = test::TestLoop().NowMs();
  EXPECT_EQ(Run(trickle.Url("/x"), file_, {"--deadline=3"}), wget_exit::kNetwork);
  EXPECT_GE(test::TestLoop().NowMs() - start, 3000);
  EXPECT_LT(test::TestLoop().NowMs() - start, 10000);
  EXPECT_EQ(trickle.Connections(), 1);  // the deadline covers the tries too
  EXPECT_EQ(test::ReadFileBytes(file_), "older page");
  EXPECT_NE(messages_.find("deadline of 3 s passed"), std::string::npos) << messages_;
}

TEST_F(WgetRun, ARefusedCertificateIsCodeFiveAndSaysWhy) {
  LocalServer server(Reply("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"), true, test::CertNames::kOtherHost);
  EXPECT_EQ(Run(server.Url("/x", true), file_), wget_exit::kCertificate);
  EXPECT_EQ(server.Heads().size(), 0u);
  EXPECT_NE(messages_.find("Certificado recusado"), std::string::npos) << messages_;
}

}  // namespace
}  // namespace kal
