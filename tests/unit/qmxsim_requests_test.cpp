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

}  // namespace
