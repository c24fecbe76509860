// The registry service's contract, run against the host double and against the real registry
// under Wine. Where the two disagree, the double is wrong.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/testing.h"

using namespace platform;

namespace {

const WString kBase = u"Software\\QuillmoteContract";

class RegistryContract : public ::testing::Test {
 protected:
  void SetUp() override {
    key_ = kBase + u"\\" + FromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
    RegDeleteKeyTree(key_.c_str());
  }
  void TearDown() override { RegDeleteKeyTree(key_.c_str()); }

  RegKey Create(const WString& sub = u"") {
    RegKey k;
    WString path = sub.empty() ? key_ : key_ + u"\\" + sub;
    EXPECT_EQ(RegCreate(path.c_str(), RegAccess::All, k), RegStatus::Ok);
    return k;
  }
  void SetDword(const RegKey& k, const WChar* name, uint32_t v) {
    ASSERT_EQ(RegSet(k, name, kRegDword, &v, 4), RegStatus::Ok);
  }

  WString key_;
};

TEST_F(RegistryContract, LeadingBackslashReachesTheSameKey) {
  RegKey k = Create();
  SetDword(k, u"Number", 7);
  RegKey again;
  WString slashed = u"\\" + key_;
  ASSERT_EQ(RegOpen(slashed.c_str(), RegAccess::Read, again), RegStatus::Ok);
  uint32_t v = 0, size = 4, type = 0;
  EXPECT_EQ(RegQuery(again, u"Number", &type, &v, &size), RegStatus::Ok);
  EXPECT_EQ(v, 7u);
  EXPECT_EQ(type, uint32_t{kRegDword});
  RegKey created;
  EXPECT_EQ(RegCreate(slashed.c_str(), RegAccess::All, created), RegStatus::Ok);
  EXPECT_EQ(RegQuery(created, u"Number", &type, &v, &size), RegStatus::Ok);
}

TEST_F(RegistryContract, NamesIgnoreLetterCase) {
  RegKey k = Create(u"Inner");
  SetDword(k, u"MixedCase", 3);
  RegKey upper;
  WString path = key_ + u"\\INNER";
  ASSERT_EQ(RegOpen(path.c_str(), RegAccess::Read, upper), RegStatus::Ok);
  uint32_t v = 0, size = 4;
  EXPECT_EQ(RegQuery(upper, u"mixedcase", nullptr, &v, &size), RegStatus::Ok);
  EXPECT_EQ(v, 3u);
  SetDword(k, u"MIXEDCASE", 4);  // replaces, does not add
  EXPECT_EQ(RegQuery(upper, u"MixedCase", nullptr, &v, &size), RegStatus::Ok);
  EXPECT_EQ(v, 4u);
}

TEST_F(RegistryContract, MissingKeysAndValues) {
  RegKey k;
  WString path = key_ + u"\\Nowhere";
  EXPECT_EQ(RegOpen(path.c_str(), RegAccess::Read, k), RegStatus::NotFound);
  EXPECT_FALSE(k.IsOpen());
  RegKey real = Create();
  uint32_t v = 0, size = 4;
  EXPECT_EQ(RegQuery(real, u"Absent", nullptr, &v, &size), RegStatus::NotFound);
}

TEST_F(RegistryContract, CreateMakesMissingAncestors) {
  RegKey deep = Create(u"A\\B\\C");
  EXPECT_TRUE(deep.IsOpen());
  RegKey mid;
  WString path = key_ + u"\\A\\B";
  EXPECT_EQ(RegOpen(path.c_str(), RegAccess::Read, mid), RegStatus::Ok);
}

TEST_F(RegistryContract, TooSmallBufferReportsSizeAndLeavesBufferAlone) {
  RegKey k = Create();
  const char16_t text[] = u"abcdef";  // 14 bytes with terminator
  ASSERT_EQ(RegSet(k, u"Text", kRegSz, text, sizeof text), RegStatus::Ok);
  uint8_t buf[8];
  std::memset(buf, 0xAB, sizeof buf);
  uint32_t size = sizeof buf, type = 0;
  EXPECT_EQ(RegQuery(k, u"Text", &type, buf, &size), RegStatus::MoreData);
  EXPECT_EQ(size, 14u);
  for (uint8_t b : buf) EXPECT_EQ(b, 0xAB);
  // Size-only query.
  size = 0;
  EXPECT_EQ(RegQuery(k, u"Text", &type, nullptr, &size), RegStatus::Ok);
  EXPECT_EQ(size, 14u);
  EXPECT_EQ(type, uint32_t{kRegSz});
}

TEST_F(RegistryContract, ValuesKeepTheirTypeAndEveryByte) {
  RegKey k = Create();
  std::vector<uint8_t> padded(510, 0);
  padded[0] = 'x';  // "x" followed by zeros up to 510 bytes
  ASSERT_EQ(RegSet(k, u"Padded", kRegSz, padded.data(), 510), RegStatus::Ok);
  const uint8_t blob[] = {0, 1, 2, 0xFF, 0x80};
  ASSERT_EQ(RegSet(k, u"Blob", kRegBinary, blob, sizeof blob), RegStatus::Ok);
  ASSERT_EQ(RegSet(k, u"Empty", kRegBinary, nullptr, 0), RegStatus::Ok);

  std::vector<uint8_t> got(600, 0xEE);
  uint32_t size = 600, type = 0;
  ASSERT_EQ(RegQuery(k, u"Padded", &type, got.data(), &size), RegStatus::Ok);
  EXPECT_EQ(type, uint32_t{kRegSz});
  ASSERT_EQ(size, 510u);
  EXPECT_TRUE(std::equal(padded.begin(), padded.end(), got.begin()));
  size = 600;
  ASSERT_EQ(RegQuery(k, u"Blob", &type, got.data(), &size), RegStatus::Ok);
  EXPECT_EQ(type, uint32_t{kRegBinary});
  ASSERT_EQ(size, sizeof blob);
  EXPECT_EQ(std::memcmp(got.data(), blob, sizeof blob), 0);
  size = 600;
  ASSERT_EQ(RegQuery(k, u"Empty", &type, got.data(), &size), RegStatus::Ok);
  EXPECT_EQ(size, 0u);
}

TEST_F(RegistryContract, SubkeysEnumerateSortedByLowerCaseName) {
  // Lower-case order puts "_" (0x5F) before every letter; upper-case order would not.
  for (const WChar* name : {u"b", u"_x", u"A", u"a_", u"C1"}) Create(name);
  RegKey k = Create();
  std::vector<WString> seen;
  for (uint32_t i = 0;; ++i) {
    WChar name[50];
    uint32_t chars = 50;
    RegStatus rc = RegEnumSubkey(k, i, name, &chars);
    if (rc == RegStatus::NotFound) break;
    ASSERT_EQ(rc, RegStatus::Ok);
    EXPECT_EQ(chars, WLen(name));
    seen.push_back(name);
  }
  std::vector<WString> want = {u"_x", u"A", u"a_", u"b", u"C1"};
  EXPECT_EQ(seen, want);
}

TEST_F(RegistryContract, EnumerationNameMustFitWithItsTerminator) {
  WString longName(49, u'n');  // 49 characters + terminator = 50
  Create(longName);
  RegKey k = Create();
  WChar name[50];
  uint32_t chars = 50;
  EXPECT_EQ(RegEnumSubkey(k, 0, name, &chars), RegStatus::Ok);
  EXPECT_EQ(chars, 49u);
  RegDeleteKeyTree((key_ + u"\\" + longName).c_str());
  Create(WString(50, u'm'));
  chars = 50;
  EXPECT_EQ(RegEnumSubkey(k, 0, name, &chars), RegStatus::MoreData);
}

TEST_F(RegistryContract, DeleteTreeRemovesEverythingBelow) {
  Create(u"X\\Y");
  WString path = key_ + u"\\X";
  EXPECT_EQ(RegDeleteKeyTree(path.c_str()), RegStatus::Ok);
  RegKey gone;
  EXPECT_EQ(RegOpen(path.c_str(), RegAccess::Read, gone), RegStatus::NotFound);
  EXPECT_NE(RegDeleteKeyTree(path.c_str()), RegStatus::Ok);
}

TEST_F(RegistryContract, FlushSucceeds) {
  EXPECT_EQ(RegFlush(RegRoot::Machine), RegStatus::Ok);
  EXPECT_EQ(RegFlush(RegRoot::User), RegStatus::Ok);
}

}  // namespace
