// The file service's contract, run against the host double and against Wine's file system.
#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "platform/testing.h"

using namespace platform;

namespace {

class FilesContract : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateFolder(u"\\qm-contract");
    dir_ = u"\\qm-contract\\" + FromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
    ASSERT_TRUE(CreateFolder(dir_.c_str()));
  }
  WString Path(const WString& name) { return dir_ + u"\\" + name; }
  std::string Read(const WString& name) {
    std::string out;
    EXPECT_TRUE(FileReadAll(Path(name).c_str(), out));
    return out;
  }
  WString dir_;
};

TEST_F(FilesContract, AppendCreatesThenAppends) {
  WString p = Path(u"log.txt");
  RemoveFile(p.c_str());
  EXPECT_FALSE(FileExists(p.c_str()));
  EXPECT_TRUE(FileAppend(p.c_str(), "one\n", 4));
  EXPECT_TRUE(FileAppend(p.c_str(), "two\n", 4));
  EXPECT_EQ(Read(u"log.txt"), "one\ntwo\n");
}

TEST_F(FilesContract, WriteAllReplacesTheWholeFile) {
  WString p = Path(u"data.bin");
  ASSERT_TRUE(FileWriteAll(p.c_str(), "long content", 12));
  ASSERT_TRUE(FileWriteAll(p.c_str(), "ab\0c", 4));
  EXPECT_EQ(Read(u"data.bin"), std::string("ab\0c", 4));
}

TEST_F(FilesContract, NamesIgnoreLetterCase) {
  ASSERT_TRUE(CreateFolder(Path(u"Images").c_str()));
  EXPECT_TRUE(CreateFolder(Path(u"images").c_str()));  // already there
  ASSERT_TRUE(FileWriteAll(Path(u"images\\Logo.JPG").c_str(), "x", 1));
  EXPECT_TRUE(FileExists(Path(u"IMAGES\\logo.jpg").c_str()));
  EXPECT_EQ(Read(u"Images\\LOGO.jpg"), "x");
}

TEST_F(FilesContract, MissingFolderFailsCleanly) {
  WString p = Path(u"no-such-folder\\file.txt");
  EXPECT_FALSE(FileWriteAll(p.c_str(), "x", 1));
  EXPECT_FALSE(FileAppend(p.c_str(), "x", 1));
  std::string out;
  EXPECT_FALSE(FileReadAll(p.c_str(), out));
  EXPECT_FALSE(FileExists(p.c_str()));
}

TEST_F(FilesContract, RemoveFile) {
  WString p = Path(u"gone.txt");
  ASSERT_TRUE(FileWriteAll(p.c_str(), "x", 1));
  EXPECT_TRUE(RemoveFile(p.c_str()));
  EXPECT_FALSE(FileExists(p.c_str()));
  EXPECT_FALSE(RemoveFile(p.c_str()));
}

// The log's rotation: a size read, a move that replaces the older file, a missing file refused.
TEST_F(FilesContract, SizeAndMoveOverAnOlderFile) {
  WString current = Path(u"now.txt"), older = Path(u"old.txt");
  ASSERT_TRUE(FileWriteAll(current.c_str(), "current", 7));
  ASSERT_TRUE(FileWriteAll(older.c_str(), "older file", 10));
  uint64_t size = 0;
  ASSERT_TRUE(FileSize(current.c_str(), size));
  EXPECT_EQ(size, 7u);
  EXPECT_FALSE(FileSize(Path(u"missing.txt").c_str(), size));
  EXPECT_FALSE(FileSize(dir_.c_str(), size));
  EXPECT_TRUE(MoveFileOver(current.c_str(), older.c_str()));
  EXPECT_FALSE(FileExists(current.c_str()));
  EXPECT_EQ(Read(u"old.txt"), "current");
  EXPECT_FALSE(MoveFileOver(current.c_str(), older.c_str()));
  EXPECT_EQ(Read(u"old.txt"), "current");
}

}  // namespace
