// InformDriver and ManageFilter on the Win32 backend against a running qmxsim.exe, and qmxsim's
// own behaviour towards clients that misbehave. Run under Wine with
//   driver_link_wine_tests --qmxsim <qmxsim.exe> --work <folder>
// (Unix paths). qmxsim's record log is the driver's view of what was sent.
#include <gtest/gtest.h>
// The pipe's open and the server check are read as Windows would enforce them.
#include <windows.h>
// After windows.h, which it needs.
#include <sddl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "driver_link/driver_control.h"
#include "driver_link/driver_protocol.h"
#include "driver_link/driver_status.h"
#include "platform/files.h"
#include "platform/testing.h"
#include "platform/win32/pipe_client.h"
#include "platform/win32/testing/win32_test_support.h"
#include "tests/eventually.h"
#include "tests/wine/qmxsim_server.h"
#include "tests/wine/wine_test_options.h"
#include "tray/app_state.h"
#include "tray/debug_log.h"
#include "tray/wformat.h"

namespace {

using platform::win32test::RunProgram;
using platform::win32test::WindowsPath;
using Bytes = std::vector<uint8_t>;

// Hexadecimal pairs as qmxsim logs them.
std::string Hex(const Bytes& bytes) {
  std::string out;
  char pair[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
    out += (i ? " " : "") + std::string(pair);
  }
  return out;
}

Bytes Word(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

class DriverLinkWine : public ::testing::Test {
 protected:
  void SetUp() override {
    name_ = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    log_ = WindowsPath(winePaths.work + "/" + name_ + ".records");
    platform::RemoveFile(DebugLogFile());
    debugEnabled = 1;
    driverStatus.driverAnswered = 0;
    driverReady = 1;
    driverScreen = DriverScreen{480, 640, 2};
    platform::win32test::EnsureMessageQueue();
    thread_ = platform::win32test::CurrentThreadHandle();
    listenerThread = thread_;
    filterRecord = FilterRecord{1, 1, 0, driver_protocol::kFilterDriverByte};
  }
  void TearDown() override {
    server_.Stop();
    listenerThread = nullptr;
    platform::win32test::CloseThreadHandle(thread_);
    debugEnabled = 0;
  }

  void Serve(const WString& extra = u"") { ASSERT_TRUE(server_.Start(log_, extra)) << "qmxsim did not come up"; }
  int Sim(const WString& args, std::string* output = nullptr) { return server_.Sim(args, output); }
  std::string Records() { return server_.Records(); }
  std::string DebugLines() {
    std::string text;
    platform::FileReadAll(DebugLogFile(), text);
    return text;
  }
  // The record InformDriver sends in this fixture: our thread, 480 x 640, factor 2, ready.
  std::string InformLine() {
    return "inform " +
           Hex(Concat({Word(platform::win32test::CurrentThreadId()), Word(480), Word(640), Word(2), Word(2), Word(1)}));
  }

  std::string name_;
  WString log_;
  QmxsimServer server_;
  platform::ThreadHandle thread_ = nullptr;
};

// A log line of the longest message keeps about one message buffer on the stack (20 KiB), well
// within a device thread's 64 KiB.
TEST_F(DriverLinkWine, LogLineKeepsAboutOneBufferOnTheStack) {
  size_t used = platform::win32test::StackUsedBy([] {
    WString longest(kDebugLogMaxChars, u'x');
    DebugLog(u"long line: %s", longest.c_str());
  });
  EXPECT_GT(used, sizeof(WChar) * kDebugLogMaxChars);  // the buffer itself: the probe sees it
  EXPECT_LT(used, 28u * 1024);
  EXPECT_NE(DebugLines().find("long line: xxxxxxxx"), std::string::npos);
}

TEST_F(DriverLinkWine, MissingDriverKeepsTheAnswerAndSendsNothing) {
  InformDriver();
  EXPECT_EQ(driverStatus.driverAnswered, 0);
  driverStatus.driverAnswered = 1;
  InformDriver();
  EXPECT_EQ(driverStatus.driverAnswered, 1);
  EXPECT_EQ(ManageFilter(), 0);
  EXPECT_EQ(DebugLines().find("prepare to send"), std::string::npos);
  EXPECT_EQ(DebugLines().find("sent:"), std::string::npos);
}

TEST_F(DriverLinkWine, AcceptingDriverGetsTheExactRecordsAndPostsBack) {
  Serve();
  InformDriver();
  EXPECT_EQ(driverStatus.driverAnswered, 1);
  EXPECT_EQ(ManageFilter(), 1);
  SetFilterRecord(0, 0);  // as at shutdown
  EXPECT_EQ(ManageFilter(), 1);
  EXPECT_EQ(Records(), InformLine() + "\nfilter 01 01 00 51\nfilter 01 00 00 51\n");
  std::string debug = DebugLines();
  EXPECT_NE(debug.find(": prepare to send \n"), std::string::npos) << debug;
  EXPECT_NE(debug.find(": sent: 1\n"), std::string::npos) << debug;

  // The thread the record named receives what the driver posts.
  struct Row {
    const char16_t* args;
    uint32_t message;
    uint64_t wParam;
  } rows[] = {{u"post kb 1", driver_protocol::TM_KBSTATUS, 1},
              {u"post mouse 2", driver_protocol::TM_MOUSESTATUS, 2},
              {u"post bluetooth 0", driver_protocol::TM_BLUETOOTH, 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(ToUtf8(r.args));
    ASSERT_EQ(Sim(r.args), 0);
    uint32_t message = 0;
    uint64_t wParam = 99;
    ASSERT_TRUE(platform::win32test::WaitThreadMessage(0x8000, 0xBFFF, 5000, &message, &wParam));
    EXPECT_EQ(message, r.message);
    EXPECT_EQ(wParam, r.wParam);
  }
}

TEST_F(DriverLinkWine, RefusingDriverIsNotAnswered) {
  Serve(u" --refuse 0");
  driverStatus.driverAnswered = 1;
  InformDriver();
  EXPECT_EQ(driverStatus.driverAnswered, 0);
  EXPECT_EQ(ManageFilter(), 1);  // a refusal of the filter is not noticed
  ASSERT_EQ(Sim(u"refuse off"), 0);
  InformDriver();
  EXPECT_EQ(driverStatus.driverAnswered, 1);
  ASSERT_EQ(Sim(u"refuse 2"), 0);  // only exactly 1 counts
  InformDriver();
  EXPECT_EQ(driverStatus.driverAnswered, 0);
  std::string debug = DebugLines();
  size_t first = debug.find(": sent: 0\n");
  size_t second = debug.find(": sent: 1\n");
  size_t third = debug.rfind(": sent: 0\n");
  EXPECT_TRUE(first < second && second < third && third != std::string::npos) << debug;
  EXPECT_EQ(Records(), InformLine() + "\nfilter 01 01 00 51\n" + InformLine() + "\n" + InformLine() + "\n");
}

TEST_F(DriverLinkWine, ManyCallsInARowAllReachTheDriver) {
  Serve();
  for (int i = 0; i < 20; ++i) {
    driverStatus.driverAnswered = 0;
    InformDriver();
    ASSERT_EQ(driverStatus.driverAnswered, 1) << "call " << i;
    ASSERT_EQ(ManageFilter(), 1) << "call " << i;
  }
  std::string records = Records();
  EXPECT_EQ(std::count(records.begin(), records.end(), '\n'), 40);
}

TEST_F(DriverLinkWine, PostNeedsAThreadNamedByAnInformRecord) {
  Serve();
  std::string out;
  EXPECT_EQ(Sim(u"post kb 1", &out), 1);
  EXPECT_NE(out.find("error"), std::string::npos) << out;
  listenerThread = nullptr;  // the listener has not started: the record names thread 0
  InformDriver();
  EXPECT_EQ(Sim(u"post bluetooth 1"), 1);
  EXPECT_EQ(Sim(u"post nothing 1"), 2);
}

TEST_F(DriverLinkWine, OnlyOneServerAtATime) {
  Serve();
  std::string out;
  EXPECT_EQ(RunProgram(QmxsimCommand(u"serve --log ") + Quoted(log_), &out), 1);
  EXPECT_NE(out.find("already served"), std::string::npos) << out;
  InformDriver();  // the first server still serves
  EXPECT_EQ(driverStatus.driverAnswered, 1);
}

TEST_F(DriverLinkWine, ServerSurvivesClientsThatMisbehave) {
  Serve();
  const WString pipe = u"\\\\.\\pipe\\QMX0";
  Bytes answer;
  const Bytes failure = Word(0);
  // Connects and leaves without a word.
  EXPECT_TRUE(platform::win32test::PipeExchange(pipe, {}, false, nullptr));
  // Sends a request and leaves without waiting for the answer.
  EXPECT_TRUE(platform::win32test::PipeExchange(
      pipe, Concat({Word(driver_protocol::IOCTL_MANAGE_FILTER), {1, 0, 1, 0x51}}), false, nullptr));
  struct Row {
    const char* label;
    Bytes request;
  } rows[] = {
      {"inform record one byte short", Concat({Word(driver_protocol::IOCTL_INFORM_DRIVER), Bytes(23, 0xAA)})},
      {"filter record one byte long", Concat({Word(driver_protocol::IOCTL_MANAGE_FILTER), {1, 1, 1, 1, 1}})},
      {"unknown control code", Concat({Word(0x00222010), {1, 2, 3, 4}})},
      {"shorter than a control code", {0x04, 0x20}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    ASSERT_TRUE(platform::win32test::PipeExchange(pipe, r.request, true, &answer));
    EXPECT_EQ(answer, failure);
  }
  // Larger than the server reads at once: drained, answered with failure.
  ASSERT_TRUE(platform::win32test::PipeExchange(pipe, Bytes(6000, 0x11), true, &answer));
  EXPECT_EQ(answer, failure);

  // A control command longer than the server reads at once is refused whole, never obeyed in
  // part: its first 4096 bytes alone would say "refuse 0", the whole "refuse 2".
  std::string command = "refuse " + std::string(5000, '0') + "2";
  ASSERT_TRUE(platform::win32test::PipeExchange(u"\\\\.\\pipe\\QMX0.control", Bytes(command.begin(), command.end()),
                                                true, &answer));
  EXPECT_NE(std::string(answer.begin(), answer.end()).rfind("ok", 0), 0u);

  InformDriver();
  EXPECT_EQ(driverStatus.driverAnswered, 1);
  std::string oversized = "malformed " + Hex(Bytes(4096, 0x11)) + " ...";
  EXPECT_EQ(Records(),
            "filter 01 00 01 51\n"
            "malformed 04 20 22 00 " +
                Hex(Bytes(23, 0xAA)) + "\n" +
                "malformed 08 20 22 00 01 01 01 01 01\n"
                "malformed 10 20 22 00 01 02 03 04\n"
                "malformed 04 20\n" +
                oversized + "\n" + InformLine() + "\n");
}

// Wine lets every pipe server impersonate its client whatever the client asked, and runs every
// process as one user, so what Windows enforces is read here: what the open asks for, and which
// server accounts the driver channel talks to.
TEST_F(DriverLinkWine, PipeOpenAsksForIdentificationOnlyAndServersAreChecked) {
  platform::win32::PipeOpenRequest open;
  EXPECT_TRUE(open.flags & SECURITY_SQOS_PRESENT);
  // SECURITY_ANONYMOUS (0) or SECURITY_IDENTIFICATION: never impersonation or delegation.
  EXPECT_LE(open.flags & 0x30000u, static_cast<DWORD>(SECURITY_IDENTIFICATION));
  EXPECT_FALSE(open.flags & SECURITY_CONTEXT_TRACKING);

  const wchar_t* self = L"S-1-5-21-1-2-3-1000";
  struct Row {
    const wchar_t* server;
    bool accepted;
  } rows[] = {{self, true},
              {L"S-1-5-18", true},              // LocalSystem
              {L"S-1-5-19", true},              // LocalService
              {L"S-1-5-20", true},              // NetworkService
              {L"S-1-5-21-1-2-3-1001", false},  // another user of the machine
              {L"S-1-5-21-9-9-9-1000", false},  // the same number in another domain
              {L"S-1-5-32-544", false},         // the Administrators group is nobody's process user
              {L"S-1-1-0", false},              // Everyone
              {L"S-1-5-7", false}};             // Anonymous
  PSID me = nullptr;
  ASSERT_TRUE(ConvertStringSidToSidW(self, &me));
  for (const Row& r : rows) {
    SCOPED_TRACE(ToUtf8(reinterpret_cast<const char16_t*>(r.server)));
    PSID server = nullptr;
    ASSERT_TRUE(ConvertStringSidToSidW(r.server, &server));
    EXPECT_EQ(platform::win32::AcceptedPipeServer(server, me), r.accepted);
    LocalFree(server);
  }
  EXPECT_FALSE(platform::win32::AcceptedPipeServer(nullptr, me));
  LocalFree(me);
}

// A pipe another client keeps busy is given up within the channel's bound (a driver that never
// answers is the window's test, under Wine with the installed program): the caller never waits
// for it past half a second, and hears the driver again at once once it is free.
TEST_F(DriverLinkWine, BusyDriverIsGivenUpWithinTheBound) {
  auto timed = [](auto call) {
    auto start = std::chrono::steady_clock::now();
    call();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  };
  Serve();
  HANDLE holder = CreateFileW(L"\\\\.\\pipe\\QMX0", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              platform::win32::kClientSecurity, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  driverStatus.driverAnswered = 1;
  EXPECT_LT(timed([] { InformDriver(); }), 800);
  EXPECT_EQ(driverStatus.driverAnswered, 0);
  EXPECT_EQ(ManageFilter(), 0);
  CloseHandle(holder);
  // The driver free again, it is heard at once, at its usual speed.
  EXPECT_TRUE(Eventually([] {
    InformDriver();
    return driverStatus.driverAnswered == 1;
  }));
  EXPECT_EQ(ManageFilter(), 1);
}

}  // namespace

const WineSuite wineSuite = {
    "usage: driver_link_wine_tests --qmxsim <qmxsim.exe> --work <folder>", {}, nullptr, nullptr};
