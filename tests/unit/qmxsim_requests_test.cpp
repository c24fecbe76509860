// qmxsim's parsing of its control commands and of the driver requests it serves.
#include <gtest/gtest.h>

#include "driver_link/driver_protocol.h"
#include "tools/qmxsim/sim_requests.h"

namespace {

TEST(QmxsimRequests, NumbersFollowTheUsageText) {
  struct Row {
    const char* text;
    bool ok;
    uint32_t value;
  } rows[] = {
      {"0", true, 0},
      {"1", true, 1},
      {"010", true, 10},
      {"09", true, 9},
      {"0x1F", true, 31},
      {"0XffffFFFF", true, 0xFFFFFFFF},
      {"4294967295", true, 0xFFFFFFFF},
      {"-1", true, 0xFFFFFFFF},
      {"-2147483648", true, 0x80000000},
      {"4294967296", false, 0},
      {"0x100000000", false, 0},
      {"-2147483649", false, 0},
      {"+5", false, 0},
      {" 7", false, 0},
      {"7 ", false, 0},
      {"", false, 0},
      {"-", false, 0},
      {"0x", false, 0},
      {"0x-1", false, 0},
      {"1e3", false, 0},
      {"--1", false, 0},
      {"99999999999999999999999", false, 0},
  };
  for (const Row& r : rows) {
    uint32_t v = 12345;
    EXPECT_EQ(qmxsim::ParseWord(r.text, v), r.ok) << "[" << r.text << "]";
    if (r.ok) {
      EXPECT_EQ(v, r.value) << r.text;
    }
  }
}

TEST(QmxsimRequests, ControlCommandsAndRequests) {
  using C = qmxsim::ControlCommand;
  struct Row {
    const char* label;
    C command;
    C::Kind kind;
    uint32_t message, value;
  } rows[] = {
      {"post kb 010", qmxsim::ParseControl("post kb 010"), C::Post, driver_protocol::TM_KBSTATUS, 10},
      {"post bluetooth +1", qmxsim::ParseControl("post bluetooth +1"), C::Invalid, 0, 0},
      {"refuse off", qmxsim::ParseControl("refuse off"), C::Refuse, 0, 1},
      {"stop now", qmxsim::ParseControl("stop now"), C::Invalid, 0, 0},
      {"blank before the number", qmxsim::ParseControl("post kb  7"), C::Invalid, 0, 0},
      {"blank after the number", qmxsim::ParseControl("post kb 7 "), C::Invalid, 0, 0},
      {"tab before the number", qmxsim::ParseControl("post kb \t7"), C::Invalid, 0, 0},
      {"leading blank", qmxsim::ParseControl(" stop"), C::Invalid, 0, 0},
      {"negative", qmxsim::ParseControl("refuse -1"), C::Refuse, 0, 0xFFFFFFFFu},
      {"radio on", qmxsim::ParseControl("radio on"), C::Radio, driver_protocol::TM_BLUETOOTH, 1},
      {"radio off", qmxsim::ParseControl("radio off"), C::Radio, driver_protocol::TM_BLUETOOTH, 0},
      {"radio 1", qmxsim::ParseControl("radio 1"), C::Invalid, 0, 0},
      {"oversized", qmxsim::OversizedControl(), C::Invalid, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    EXPECT_EQ(r.command.kind, r.kind);
    EXPECT_EQ(r.command.error.empty(), r.kind != C::Invalid);  // a refusal says why
    if (r.kind == C::Invalid) continue;
    EXPECT_EQ(r.command.message, r.message);
    EXPECT_EQ(r.command.value, r.value);
  }
  qmxsim::SimState state;
  std::vector<uint8_t> filter = {0x08, 0x20, 0x22, 0x00, 1, 1, 0, 0x51};
  EXPECT_EQ(qmxsim::HandleRequest(state, filter).logLine, "filter 01 01 00 51");
  filter.push_back(0);
  auto oversized = qmxsim::HandleRequest(state, filter);
  EXPECT_EQ(oversized.answer, 0u);
  EXPECT_EQ(oversized.logLine.rfind("malformed", 0), 0u);  // a record of another size is no filter
}

// What a live stand-in posts, step by step through one run: the records a program sends (and the
// radio switched from the command line), each with the posts it causes.
TEST(QmxsimRequests, LivePostsFollowTheRecords) {
  using driver_protocol::TM_BLUETOOTH;
  using driver_protocol::TM_KBSTATUS;
  using driver_protocol::TM_MOUSESTATUS;
  auto filter = [](uint8_t f, uint8_t kb, uint8_t mouse) {
    return std::vector<uint8_t>{0x08, 0x20, 0x22, 0x00, f, kb, mouse, 0x51};
  };
  auto inform = [](uint8_t thread) {
    std::vector<uint8_t> r = {0x04, 0x20, 0x22, 0x00, thread, 0, 0, 0};
    r.resize(4 + 24, 0);
    return r;
  };
  enum Radio { None, Off, On };
  struct Step {
    const char* label;
    std::vector<uint8_t> request;  // empty: the radio command below instead
    Radio radio;
    std::vector<qmxsim::DriverPost> posts;
    uint32_t thread;  // the thread they go to
  };
  const std::vector<Step> steps = {
      {"a filter record before any listener was named", filter(1, 1, 0), None, {}, 0},
      {"radio switched on before any listener", {}, On, {}, 0},
      {"an inform record naming no thread", inform(0), None, {}, 0},
      {"the first listener named hears the radio", inform(7), None, {{TM_BLUETOOTH, 1}}, 7},
      {"the same listener informed again", inform(7), None, {}, 7},
      {"keyboard on, mouse off", filter(1, 1, 0), None, {{TM_KBSTATUS, 1}, {TM_MOUSESTATUS, 0}}, 7},
      {"both on", filter(1, 1, 1), None, {{TM_KBSTATUS, 1}, {TM_MOUSESTATUS, 1}}, 7},
      {"both off", filter(1, 0, 0), None, {{TM_KBSTATUS, 0}, {TM_MOUSESTATUS, 0}}, 7},
      {"the filter off switches nothing on", filter(0, 1, 1), None, {{TM_KBSTATUS, 0}, {TM_MOUSESTATUS, 0}}, 7},
      {"only 1 is on", filter(1, 2, 1), None, {{TM_KBSTATUS, 0}, {TM_MOUSESTATUS, 1}}, 7},
      {"a record of another size is no filter",
       std::vector<uint8_t>{0x08, 0x20, 0x22, 0, 1, 1, 1, 0x51, 0},
       None,
       {},
       7},
      {"radio switched off", {}, Off, {{TM_BLUETOOTH, 0}}, 7},
      {"a program started again names another listener", inform(9), None, {{TM_BLUETOOTH, 0}}, 9},
      {"radio switched on", {}, On, {{TM_BLUETOOTH, 1}}, 9},
  };
  qmxsim::SimState state;
  state.live = true;
  for (const Step& s : steps) {
    SCOPED_TRACE(s.label);
    std::vector<qmxsim::DriverPost> posts;
    if (s.request.empty()) {
      posts = qmxsim::SwitchRadio(state, s.radio == On);
    } else {
      posts = qmxsim::HandleRequest(state, s.request).posts;
    }
    EXPECT_EQ(posts, s.posts);
    EXPECT_EQ(state.lastThread, s.thread);
  }
  // Without --live and --radio the stand-in only answers: the tests script every post.
  qmxsim::SimState quiet;
  EXPECT_TRUE(qmxsim::HandleRequest(quiet, inform(7)).posts.empty());
  EXPECT_TRUE(qmxsim::HandleRequest(quiet, filter(1, 1, 1)).posts.empty());
}

}  // namespace
