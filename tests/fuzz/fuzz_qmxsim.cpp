// qmxsim's parsing of control commands and driver requests, from any bytes: no crash, and what a
// command's number parses to is what the number says.
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_input.h"
#include "tools/qmxsim/sim_requests.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  qmxsim::ControlCommand c = qmxsim::ParseControl(text);
  FUZZ_CHECK(c.kind != qmxsim::ControlCommand::Invalid || !c.error.empty());
  uint32_t value = 0;
  if (qmxsim::ParseWord(text, value)) {
    // Decimal text without a sign reads back as its own decimal value.
    bool decimal = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    if (decimal) FUZZ_CHECK(std::stoull(text) == value);
    uint32_t again = 0;
    FUZZ_CHECK(qmxsim::ParseWord(std::to_string(value), again) && again == value);
  }
  // A live stand-in with its radio on: whatever came, at most the two input states or the radio
  // are posted, and only to a thread a record has named.
  qmxsim::SimState state;
  state.live = true;
  state.radio = qmxsim::Radio::On;
  qmxsim::Outcome out = qmxsim::HandleRequest(state, std::vector<uint8_t>(data, data + size));
  FUZZ_CHECK(out.answer == 0 || out.answer == 1);
  FUZZ_CHECK(!out.logLine.empty());
  FUZZ_CHECK(out.posts.size() <= 2 && (out.posts.empty() || state.lastThread != 0));
  return 0;
}
