// The fuzzer's bytes, taken a piece at a time; past the end every piece is zero or empty.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/text.h"

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Empty() const { return pos_ >= size_; }
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  uint32_t Word() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(Byte()) << (8 * i);
    return v;
  }
  // Up to `most` bytes, the count taken from the input first.
  std::vector<uint8_t> Bytes(size_t most) {
    size_t n = Byte();
    n = n * 4 % (most + 1);
    std::vector<uint8_t> out;
    while (n-- > 0 && !Empty()) out.push_back(Byte());
    return out;
  }
  // Wide text of up to `most` characters, from pairs of bytes.
  WString Text(size_t most) {
    std::vector<uint8_t> b = Bytes(most * 2);
    WString out;
    for (size_t i = 0; i + 1 < b.size(); i += 2) out.push_back(static_cast<WChar>(b[i] | b[i + 1] << 8));
    return out;
  }
  // A value of a type the registry may hold, of a size the fuzzer picks (oversized, unterminated
  // and odd-sized ones included), written under `key`.
  void Value(const platform::RegKey& key, const WChar* name) {
    static const uint32_t kTypes[] = {platform::kRegSz,       platform::kRegDword,   platform::kRegBinary,
                                      platform::kRegExpandSz, platform::kRegMultiSz, platform::kRegNone};
    uint32_t type = kTypes[Byte() % 6];
    std::vector<uint8_t> bytes = Bytes(Byte() & 1 ? 1100 : 12);
    platform::RegSet(key, name, type, bytes.data(), static_cast<uint32_t>(bytes.size()));
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// Ends the run with a message when a rule is broken, so that libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                       \
  do {                                                                              \
    if (!(condition)) {                                                             \
      std::fprintf(stderr, "broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      __builtin_trap();                                                             \
    }                                                                               \
  } while (0)
