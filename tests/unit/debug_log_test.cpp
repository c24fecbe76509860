#include "tray/debug_log.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/testing.h"
#include "test_support.h"

namespace {

constexpr uint64_t MiB = 1048576;

class DebugLogTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    platform::host::SetTimeOfDaySource([] { return platform::TimeOfDay{9, 5, 3}; });
  }
  // Memory readings handed out one after another; the last one repeats. Safe to call from
  // several threads.
  void MemoryReadings(std::vector<uint64_t> values) {
    struct Sequence {
      std::mutex lock;
      std::vector<uint64_t> values;
      size_t next = 0;
    };
    auto seq = std::make_shared<Sequence>();
    seq->values = std::move(values);
    platform::host::SetAvailableMemorySource([seq] {
      std::lock_guard<std::mutex> g(seq->lock);
      return seq->values[seq->next < seq->values.size() ? seq->next++ : seq->values.size() - 1];
    });
  }
  std::string Log() { return ReadDeviceFile(kDebugLogPath); }
};

TEST_F(DebugLogTest, SilentWhenOffTouchesNoFile) {
  debugEnabled = 0;
  DebugLog(u"hello %d", 1);
  EXPECT_FALSE(platform::FileExists(kDebugLogPath));
  EXPECT_EQ(DebugLogMemoryBaseline(), 0u);
}

TEST_F(DebugLogTest, LineFormatWithBlankPaddedTimeAndMemoryFigures) {
  debugEnabled = 1;
  // Baseline, then the used reading, then the free reading.
  MemoryReadings({100 * MiB, 90 * MiB, 80 * MiB});
  DebugLog(u"Autostart: %d", 0);
  EXPECT_EQ(Log(), " 9: 5: 3@80.000/10.000: Autostart: 0\n");
  EXPECT_EQ(DebugLogMemoryBaseline(), 100 * MiB);
}

TEST_F(DebugLogTest, MemoryFiguresRoundAsPrintfDoes) {
  debugEnabled = 1;
  // Exact halves (0.0625 MB is 62.5 thousandths) round to even, as printf rounds them.
  const uint64_t values[] = {0,
                             1,
                             524,
                             525,
                             65536,
                             3 * 65536,
                             1048575,
                             1048576,
                             1572864,
                             MiB * 999 + 1048051,
                             24ULL * 1024 * MiB + 12345,
                             5 * 65536 + MiB * 7};
  for (uint64_t v : values) {
    platform::RemoveFile(kDebugLogPath);
    DebugLogResetBaseline();
    MemoryReadings({v});
    DebugLog(u"m");
    char want[64];
    std::snprintf(want, sizeof want, " 9: 5: 3@%3.3f/%3.3f: m\n", static_cast<double>(v) / 1048576.0, 0.0);
    EXPECT_EQ(Log(), want) << v;
  }
  // A reading one byte above the baseline is a negative figure that rounds to zero.
  platform::RemoveFile(kDebugLogPath);
  DebugLogResetBaseline();
  MemoryReadings({MiB, MiB + 1});
  DebugLog(u"n");
  EXPECT_EQ(Log(), " 9: 5: 3@1.000/-0.000: n\n");
}

TEST_F(DebugLogTest, AnyNonZeroSwitchTurnsItOn) {
  debugEnabled = 0x80000000u;
  MemoryReadings({MiB});
  DebugLog(u"x");
  EXPECT_EQ(Log(), " 9: 5: 3@1.000/0.000: x\n");
}

TEST_F(DebugLogTest, BaselineIsTakenOnceAndUsedCanGoNegative) {
  debugEnabled = 1;
  MemoryReadings({50 * MiB, 50 * MiB, 50 * MiB, 40 * MiB, 40 * MiB, 55 * MiB + MiB / 2, 55 * MiB + MiB / 2});
  DebugLog(u"first");
  DebugLog(u"second");
  DebugLog(u"third");
  EXPECT_EQ(Log(),
            " 9: 5: 3@50.000/0.000: first\n"
            " 9: 5: 3@40.000/10.000: second\n"
            " 9: 5: 3@55.500/-5.500: third\n");
}

TEST_F(DebugLogTest, MemoryReadingIsReusedForTenMilliseconds) {
  debugEnabled = 1;
  uint64_t now = 0;
  platform::host::SetMonotonicSource([&now] { return now; });
  MemoryReadings({100 * MiB, 90 * MiB, 80 * MiB});
  DebugLog(u"a");  // one fresh reading serves the baseline and both figures
  now = 9;
  DebugLog(u"b");
  now = 19;
  DebugLog(u"c");
  EXPECT_EQ(Log(),
            " 9: 5: 3@100.000/0.000: a\n"
            " 9: 5: 3@100.000/0.000: b\n"
            " 9: 5: 3@90.000/10.000: c\n");
}

TEST_F(DebugLogTest, AppendsToExistingFileAndBannerKeepsStampAlone) {
  ASSERT_TRUE(platform::FileWriteAll(kDebugLogPath, "earlier run\n", 12));
  debugEnabled = 1;
  MemoryReadings({MiB});
  DebugLog(u"\n\nInit tray app.\n--------------------------\nDevice: [%s] ID: [%s]", u"Model", u"0A0B");
  EXPECT_EQ(Log(),
            "earlier run\n"
            " 9: 5: 3@1.000/0.000: \n\nInit tray app.\n--------------------------\nDevice: [Model] ID: [0A0B]\n");
}

TEST_F(DebugLogTest, LongMessageIsCutTo10239Characters) {
  debugEnabled = 1;
  MemoryReadings({MiB});
  WString big(12000, u'a');
  big += u"END";
  DebugLog(u"%s", big.c_str());
  std::string log = Log();
  std::string prefix = " 9: 5: 3@1.000/0.000: ";
  ASSERT_EQ(log.size(), prefix.size() + 10239 + 1);
  EXPECT_EQ(log.substr(prefix.size()), std::string(10239, 'a') + "\n");
}

// Text arguments come from outside (a remote device's chosen name, registry texts): written as
// UTF-8, with every control character escaped, so that no argument breaks or forges a line. The
// format's own line breaks stay.
TEST_F(DebugLogTest, TextArgumentsAreUtf8WithControlCharactersEscaped) {
  debugEnabled = 1;
  MemoryReadings({MiB});
  struct Row {
    const WChar* name;
    const char* written;
  } rows[] = {
      {u"Tastatur \u00FC\u20AC", "Tastatur \xC3\xBC\xE2\x82\xAC"},
      {u"Keyboard\n 9: 5: 3@1.000/0.000: forged", "Keyboard\\x0A 9: 5: 3@1.000/0.000: forged"},
      {u"a\rb\tc\x01\x1F\x7F\x80 ~", "a\\x0Db\\x09c\\x01\\x1F\\x7F\xC2\x80 ~"},
      {u"", ""},
  };
  std::string expected;
  for (const Row& r : rows) {
    DebugLog(u"name=%s|%d", r.name, 7);
    expected += std::string(" 9: 5: 3@1.000/0.000: name=") + r.written + "|7\n";
  }
  DebugLog(u"two\nlines %s", u"\n");
  expected += " 9: 5: 3@1.000/0.000: two\nlines \\x0A\n";
  EXPECT_EQ(Log(), expected);
}

TEST_F(DebugLogTest, UnopenableFileDropsTheLineQuietly) {
  debugEnabled = 1;
  // A folder where the file should be cannot be opened for appending.
  ASSERT_TRUE(platform::CreateFolder(kDebugLogPath));
  DebugLog(u"lost");
  std::string out;
  EXPECT_FALSE(platform::FileReadAll(kDebugLogPath, out));
}

TEST_F(DebugLogTest, TwoThreadsNeverTearALine) {
  debugEnabled = 1;
  MemoryReadings({64 * MiB});
  constexpr int kLines = 400;
  WString payloadA(300, u'A'), payloadB(300, u'B');
  auto writer = [](const WString& payload, int tag) {
    for (int i = 0; i < kLines; ++i) DebugLog(u"%d:%d:%s", tag, i, payload.c_str());
  };
  std::thread a(writer, payloadA, 1), b(writer, payloadB, 2);
  a.join();
  b.join();
  std::istringstream in(Log());
  std::string line;
  int count[3] = {0, 0, 0};
  while (std::getline(in, line)) {
    const std::string prefix = " 9: 5: 3@64.000/0.000: ";
    ASSERT_EQ(line.compare(0, prefix.size(), prefix), 0) << line;
    std::string rest = line.substr(prefix.size());
    int tag = rest[0] - '0';
    ASSERT_TRUE(tag == 1 || tag == 2) << line;
    std::string tail = rest.substr(rest.rfind(':') + 1);
    EXPECT_EQ(tail, std::string(300, tag == 1 ? 'A' : 'B')) << line;
    ++count[tag];
  }
  EXPECT_EQ(count[1], kLines);
  EXPECT_EQ(count[2], kLines);
}

// A line that would take the file past 1 MB moves it aside, over the older file, and begins a new
// one; a line that ends exactly at the bound still goes into the file it fills.
TEST_F(DebugLogTest, LineCrossingTheBoundMovesTheFileAside) {
  debugEnabled = 1;
  MemoryReadings({MiB});
  const std::string prefix = " 9: 5: 3@1.000/0.000: ";
  const std::string line = prefix + "fills\n";
  std::string full(kDebugLogMaxBytes - line.size(), 'x');
  full[full.size() - 1] = '\n';
  ASSERT_TRUE(platform::FileWriteAll(kDebugLogPath, full.data(), full.size()));
  ASSERT_TRUE(platform::FileWriteAll(DebugLogOlderFile(), "oldest\n", 7));
  EXPECT_EQ(std::u16string(DebugLogOlderFile()), u"\\qm.tray.old.dbg");

  DebugLog(u"fills");
  EXPECT_EQ(Log(), full + line);
  EXPECT_EQ(ReadDeviceFile(DebugLogOlderFile()), "oldest\n");

  DebugLog(u"crosses");
  EXPECT_EQ(ReadDeviceFile(DebugLogOlderFile()), full + line);
  EXPECT_EQ(Log(), prefix + "crosses\n");
}

// Two threads writing 2.4 MB between them: the file is moved aside between lines only, once each
// time it fills (a move made slow gives the other thread every chance to move it again), both
// files stay within the bound, and the older file ends where the current one begins, with no line
// torn or lost across the move.
TEST_F(DebugLogTest, TwoThreadsWritingAcrossTheBound) {
  debugEnabled = 1;
  MemoryReadings({MiB});
  std::mutex movedLock;
  std::vector<uint64_t> moved;
  platform::host::SetFileMoveHook([&](const WChar* from, const WChar*) {
    uint64_t size = 0;
    platform::FileSize(from, size);
    {
      std::lock_guard<std::mutex> g(movedLock);
      moved.push_back(size);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  });
  constexpr int kLines = 1200;
  const WString payload(960, u'p');
  auto writer = [&payload](int tag) {
    for (int i = 0; i < kLines; ++i) DebugLog(u"%d:%d:%s", tag, i, payload.c_str());
  };
  std::thread a(writer, 1), b(writer, 2);
  a.join();
  b.join();
  platform::host::SetFileMoveHook({});
  ASSERT_EQ(moved.size(), 2u);
  for (uint64_t size : moved) EXPECT_GT(size, kDebugLogMaxBytes - 2000);
  std::string older = ReadDeviceFile(DebugLogOlderFile()), current = Log();
  EXPECT_LE(older.size(), kDebugLogMaxBytes);
  EXPECT_LE(current.size(), kDebugLogMaxBytes);
  // Together they hold more than one file would, so the bound was crossed and kept.
  EXPECT_GT(older.size(), kDebugLogMaxBytes - 2000);
  std::istringstream in(older + current);
  std::string text;
  int next[3] = {-1, -1, -1};
  while (std::getline(in, text)) {
    const std::string prefix = " 9: 5: 3@1.000/0.000: ";
    ASSERT_EQ(text.compare(0, prefix.size(), prefix), 0) << text.substr(0, 40);
    int tag = 0, index = 0;
    ASSERT_EQ(std::sscanf(text.c_str() + prefix.size(), "%d:%d:", &tag, &index), 2);
    ASSERT_TRUE(tag == 1 || tag == 2);
    EXPECT_EQ(text.substr(text.rfind(':') + 1), std::string(960, 'p'));
    if (next[tag] >= 0) {
      EXPECT_EQ(index, next[tag]) << "a line of writer " << tag << " was lost";
    }
    next[tag] = index + 1;
  }
  EXPECT_EQ(next[1], kLines);
  EXPECT_EQ(next[2], kLines);
}

}  // namespace
