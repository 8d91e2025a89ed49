// HTTP GET against a scripted server on 127.0.0.1: header ends split at awkward places, bodies
// compared byte for byte, the buffer limits and every failure path.
#include "net/http_get.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/net/net_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using Chunks = std::vector<LoopbackHttpServer::Chunk>;

class HttpGetTest : public NetTest {
 protected:
  void SetUp() override {
    NetTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_TRUE(server_.Usable());
  }

  uint8_t GetFile(const std::string& file, const char* path = "/p") {
    return HttpGet("127.0.0.1", path, server_.Port(), file.c_str(), nullptr, 0, 2000);
  }

  LoopbackHttpServer server_;
  TempDir dir_;
};

std::string Binary(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = char((i * 7919) >> 3);
  return bytes;
}

TEST_F(HttpGetTest, DeliversTheBodyWhereverTheHeaderEndFalls) {
  struct Case {
    const char* name;
    Chunks chunks;
    std::string body;
  };
  const std::string big = Binary(256 * 1024);
  const std::vector<Case> cases = {
      {"split line ends", {{"HTTP/1.0 200 OK\r\nA: b\r\n", 0}, {"\r\nbody", 40}}, "body"},
      {"bare line feeds", {{"HTTP/1.0 200 OK\n\nbare", 0}}, "bare"},
      {"feed, two returns, feed", {{"HTTP/1.0 200 OK\n\r\r\nodd", 0}}, "odd"},
      {"header only", {{"HTTP/1.0 204 No Content\r\n\r\n", 0}}, ""},
      {"error page",
       {{"HTTP/1.0 404 Not Found\r\n\r\n", 0}, {"<h1>gone</h1>", 40}},
       "<h1>gone</h1>"},
      {"body in pieces", {{"HTTP/1.0 200 OK\r\n\r", 0}, {"\nab", 40}, {"cd", 40}}, "abcd"},
      {"binary with NULs", {{"HTTP/1.0 200 OK\r\n\r\n" + Binary(300), 0}}, Binary(300)},
      {"large body", {{"HTTP/1.0 200 OK\r\n\r\n", 0}, {big, 30}}, big},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    server_.SetScript(c.chunks);
    const std::string file = dir_.Child("body.bin");
    EXPECT_EQ(GetFile(file), 1) << SockGetErrorText();
    EXPECT_EQ(TempDir::ReadBytes(file), c.body);
  }
  EXPECT_EQ(SockStartupCount(), 1) << "every fetch releases its own reference";
}

// Sets the fetch limits for one test and restores the defaults after it.
struct LimitsScope {
  explicit LimitsScope(const HttpLimits& limits) { HttpSetLimits(limits); }
  ~LimitsScope() { HttpSetLimits({}); }
};

// A body ends where its header says, even while the server keeps the connection open.
TEST_F(HttpGetTest, ABodyEndsAtItsAnnouncedEnd) {
  const std::string lengthHeader = "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\n";
  const std::string chunks = "5;x=y\r\nhello\r\nA\r\n0123456789\r\n0\r\nT: v\r\n\r\n";
  const std::string longLine = "X: " + std::string(70 * 1024, 'p') + "\r\n";
  const std::vector<std::pair<Chunks, std::string>> cases = {
      {{{lengthHeader + "he", 0}, {"llo", 30}}, "hello"},
      {{{lengthHeader + "helloXY", 0}}, "hello"},
      {{{"HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n", 0}}, ""},
      {{{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + chunks + "next", 0}}, chunks},
      {{{"HTTP/1.0 200 OK\r\n" + longLine + "Content-Length: 5\r\n\r\nhelloXY", 0}}, "hello"},
      {{{"HTTP/1.0 200 OK\r\nContent-Length: +5\r\n\r\nhelloXY", 0}}, "hello"},
      {{{"HTTP/1.0 200 OK\r\nContent-Length: 5\r\nContent-Length: 5, 5\r\n\r\nhelloXY", 0}},
       "hello"},
      {{{"HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 103 Early\r\nContent-Length: 9\r\n\r\n", 0},
        {lengthHeader + "helloXY", 30}},
       "hello"},
  };
  const LimitsScope limits({.stallMs = 1000});
  for (const auto& [script, body] : cases) {
    SCOPED_TRACE(script.front().bytes.substr(0, 64));
    server_.SetScript(script, LoopbackHttpServer::Ending::HoldOpen);
    const std::string file = dir_.Child("body.bin");
    EXPECT_EQ(GetFile(file), 1) << SockGetErrorText();
    EXPECT_EQ(TempDir::ReadBytes(file), body);
  }
}

// A close or reset before the body's end fails, and so does a reset anywhere; a failure leaves
// the old file as it was.
TEST_F(HttpGetTest, ABodyCutShortOrAStalledServerIsAFailure) {
  using Ending = LoopbackHttpServer::Ending;
  struct Case {
    const char* name;
    Chunks chunks;
    Ending ending;
    int32_t error;  // 0: the fetch succeeds
  };
  const std::string lengthHeader = "HTTP/1.0 200 OK\r\nContent-length: 100000\r\n\r\n";
  const std::string chunkedHeader = "HTTP/1.1 200 OK\r\ntransfer-encoding:  Chunked\r\n\r\n";
  const std::string chunks = "5;x=y\r\nhello\r\nA\r\n0123456789\r\n";
  const std::vector<Case> cases = {
      {"short, then reset", {{lengthHeader + Binary(5000), 0}}, Ending::Reset, kSockErrConnReset},
      {"short, then closed", {{lengthHeader + Binary(5000), 0}}, Ending::Close, kSockErrAborted},
      {"closed in the header", {{"HTTP/1.0 200 OK\r\nX: y", 0}}, Ending::Close, kSockErrAborted},
      {"reset in the header", {{"HTTP/1.0 200 OK\r\nX: y", 0}}, Ending::Reset, kSockErrConnReset},
      {"reset, no length", {{"HTTP/1.0 200 OK\r\n\r\nab", 0}}, Ending::Reset, kSockErrConnReset},
      {"whole length", {{lengthHeader, 0}, {Binary(100000), 30}}, Ending::Close, 0},
      {"no last chunk", {{chunkedHeader + chunks, 0}}, Ending::Close, kSockErrAborted},
      {"last chunk", {{chunkedHeader + chunks, 0}, {"0\r\n\r\n", 30}}, Ending::Close, 0},
      {"stalled", {{lengthHeader + "abc", 0}}, Ending::HoldOpen, kSockErrTimedOut},
      {"lengths disagree",
       {{"HTTP/1.0 200 OK\r\nContent-Length: 5\r\nContent-Length: 6\r\n\r\nhelloX", 0}},
       Ending::HoldOpen,
       kSockErrAborted},
      {"a list disagrees",
       {{"HTTP/1.0 200 OK\r\nContent-Length: 6, 5\r\n\r\nhelloX", 0}},
       Ending::HoldOpen,
       kSockErrAborted},
  };
  const LimitsScope limits({.stallMs = 300});
  const std::string file = dir_.Child("body.bin");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir::WriteBytes(file, "old");
    server_.SetScript(c.chunks, c.ending);
    EXPECT_EQ(GetFile(file), c.error == 0 ? 1 : 0);
    EXPECT_EQ(SockGetLastError(), c.error);
    if (c.error != 0) {
      EXPECT_EQ(TempDir::ReadBytes(file), "old");
    }
  }
}

// A server that trickles or never ends its body is cut off; neither leaves anything behind.
TEST_F(HttpGetTest, AFetchHasATimeAndASizeLimit) {
  const std::string file = dir_.Child("body.bin");
  TempDir::WriteBytes(file, "old");
  Chunks trickle = {{"HTTP/1.0 200 OK\r\n\r\n", 0}};
  trickle.insert(trickle.end(), 150, {"x", 20});
  server_.SetScript(trickle);
  {
    const LimitsScope limits({.totalMs = 500});
    EXPECT_EQ(GetFile(file), 0);
    EXPECT_EQ(SockGetLastError(), kSockErrTimedOut);
  }
  const LimitsScope limits({.responseBytes = 64 * 1024});
  const std::string header = "HTTP/1.0 200 OK\r\n\r\n";
  std::string endlessHeader = "HTTP/1.0 200 OK\r\n";
  while (endlessHeader.size() < 128 * 1024) endlessHeader += "X: y\r\n";
  for (const Chunks& over : {Chunks{{header, 0}, {Binary(64 * 1024 - header.size() + 1), 0}},
                             Chunks{{endlessHeader, 0}}}) {
    server_.SetScript(over);
    EXPECT_EQ(GetFile(file), 0);
    EXPECT_EQ(SockGetLastError(), kSockErrMessageSize);
    EXPECT_TRUE(TempDir::ReadBytes(file) == "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path), {}), 1);
  }
  server_.SetScript({{header, 0}, {Binary(64 * 1024 - header.size()), 0}});
  EXPECT_EQ(GetFile(file), 1) << "a response of the limit's own size is taken";
}

// A server that never takes the request in is given up on at the stall limit, as one that
// never answers is.
TEST_F(HttpGetTest, ARequestTheServerNeverTakesIsAStall) {
  uint16_t port = 0;
  const int listener = RawLoopbackListener(1, port);  // never accepts, so nothing is read
  ASSERT_GE(listener, 0);
  const LimitsScope limits({.stallMs = 300});
  const std::string path = "/" + std::string(16 << 20, 'p');  // far more than the buffers
  char buffer[16];
  EXPECT_EQ(HttpGet("127.0.0.1", path.c_str(), port, nullptr, buffer, sizeof buffer, 2000), 0);
  EXPECT_EQ(SockGetLastError(), kSockErrTimedOut);
  close(listener);
}

TEST_F(HttpGetTest, SendsTheRequestText) {
  server_.SetScript({{"HTTP/1.0 200 OK\r\n\r\nx", 0}});
  char buffer[8] = {};
  EXPECT_EQ(HttpGet("127.0.0.1", "/p", server_.Port(), nullptr, buffer, sizeof buffer, 2000), 1);
  EXPECT_STREQ(buffer, "x");
  EXPECT_EQ(server_.LastRequest(),
            "GET /p HTTP/1.0\r\nHost:127.0.0.1\r\nAccept: */*\r\nUser-Agent: Quarnel\r\n\r\n");
}

TEST_F(HttpGetTest, AFullBufferEndsTheFetchEarly) {
  std::string body;
  for (int i = 0; i < 100; ++i) body += char('0' + i % 10);
  server_.SetScript({{"HTTP/1.0 200 OK\r\n\r\n" + body, 0}}, LoopbackHttpServer::Ending::HoldOpen);
  char buffer[11];
  std::memset(buffer, 'x', sizeof buffer);
  // The server never closes: only the full buffer can end this fetch.
  EXPECT_EQ(HttpGet("127.0.0.1", "/", server_.Port(), nullptr, buffer, sizeof buffer, 2000), 1);
  EXPECT_EQ(std::string(buffer, 11), std::string("0123456789") + '\0');
  for (int i = 0; i < 250 && !server_.ClientHungUp(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_TRUE(server_.ClientHungUp());

  // A buffer of one byte has no room: nothing is copied and the fetch runs to the close.
  server_.SetScript({{"HTTP/1.0 200 OK\r\n\r\nabc", 0}, {"def", 40}});
  char tiny = 'x';
  EXPECT_EQ(HttpGet("127.0.0.1", "/", server_.Port(), nullptr, &tiny, 1, 2000), 1);
  EXPECT_EQ(tiny, 'x');
}

TEST_F(HttpGetTest, FailuresGiveZeroAndFetchNothing) {
  server_.SetScript({{"HTTP/1.0 200 OK\r\n\r\nbody", 0}});
  const std::string kept = dir_.Child("kept.bin");
  TempDir::WriteBytes(kept, "old");
  EXPECT_EQ(HttpGet("127.0.0.1", "/", FreeLoopbackPort(), kept.c_str(), nullptr, 0, 2000), 0);
  EXPECT_EQ(SockGetLastError(), kSockErrRefused) << "the release keeps the reason";
  EXPECT_EQ(TempDir::ReadBytes(kept), "old") << "a failed fetch keeps the old file";

  EXPECT_EQ(HttpGet("no.such.host", "/", server_.Port(), nullptr, nullptr, 0, 2000), 0);
  EXPECT_EQ(SockGetLastError(), kSockErrHostNotFound);

  const std::string busy = dir_.Child("busy");
  std::filesystem::create_directories(busy + "/inside");
  for (const std::string& target : {std::string("mem://00000010.00000001"), std::string(),
                                    dir_.Child(std::string(1024, 'n')), busy}) {
    SCOPED_TRACE(target);
    SockSetLastError(0);
    EXPECT_EQ(GetFile(target), 0);
    EXPECT_NE(SockGetLastError(), 0) << "every failure tells why";
  }
  EXPECT_EQ(server_.Accepted(), 0);
  const std::string emptyFolder = dir_.Child("folder");
  std::filesystem::create_directory(emptyFolder);
  EXPECT_EQ(GetFile(emptyFolder), 1);
  EXPECT_EQ(TempDir::ReadBytes(emptyFolder), "body");
  EXPECT_EQ(SockStartupCount(), 1);
}

// The file size limit stands in for a full disk.
TEST_F(HttpGetTest, AFailedFileWriteIsAFailureAndKeepsTheOldFile) {
  server_.SetScript({{"HTTP/1.0 200 OK\r\n\r\n", 0}, {Binary(64 * 1024), 30}});
  const std::string file = dir_.Child("limited.bin");
  TempDir::WriteBytes(file, "old");
  // The file size limit applies to the child only; the server keeps running in this process.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(GetFile(file) == 0 && SockGetLastError() != 0 ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "a write that hit the limit was not reported as failure";
  EXPECT_EQ(TempDir::ReadBytes(file), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path), {}), 1)
      << "the partial file is gone";
}

}  // namespace
