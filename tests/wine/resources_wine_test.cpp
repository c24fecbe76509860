// Ollendock's resource script, compiled into this test program: the declarations that keep the
// platform from stretching the program are there, byte for byte. And the built Ollenset.cpl's own
// resources, read from the library as the control panel reads them.
#include <gtest/gtest.h>

#include <string>

#include "platform/resources.h"
#include "platform/text.h"
#include "platform/win32/testing/win32_test_support.h"

namespace {

TEST(OllendockResources, HighResolutionDeclarationIsTheWordOne) {
  std::string bytes;
  ASSERT_TRUE(platform::LoadModuleResource(u"CEUX", u"HI_RES_AWARE", bytes));
  EXPECT_EQ(bytes, std::string("\x01\x00", 2));
}

TEST(OllendockResources, ManifestDeclaresDpiAwareness) {
  std::string manifest;
  ASSERT_TRUE(platform::LoadModuleResource(platform::ResourceId(24), platform::ResourceId(1), manifest));
  EXPECT_NE(manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>"),
            std::string::npos)
      << manifest;
  EXPECT_NE(manifest.find(">system</dpiAwareness>"), std::string::npos);
}

TEST(OllendockResources, MissingResourceIsReported) {
  std::string bytes = "untouched";
  EXPECT_FALSE(platform::LoadModuleResource(u"CEUX", u"NO_SUCH_NAME", bytes));
  EXPECT_EQ(bytes, "untouched");
}

#ifdef QM_OLLENSET_CPL
// The library's path as Windows names it (the build passes the host's).
WString OllensetPath() {
  WString path = u"Z:" + FromUtf8(QM_OLLENSET_CPL);
  for (WChar& c : path)
    if (c == u'/') c = u'\\';
  return path;
}

TEST(OllensetResources, EntryIconAndTexts) {
  using platform::win32test::IconImage;
  std::vector<IconImage> images;
  ASSERT_TRUE(platform::win32test::LibraryIconGroup(OllensetPath(), 101, images));
  ASSERT_EQ(images.size(), 3u);
  for (size_t i = 0; i < images.size(); ++i) {
    int side = 16 << i;
    EXPECT_EQ(images[i].width, side);
    EXPECT_EQ(images[i].height, side);
    EXPECT_EQ(images[i].bits, 24) << side;
  }
  EXPECT_EQ(platform::win32test::LibraryString(OllensetPath(), 101), u"Bluetooth Input Driver");
  EXPECT_EQ(platform::win32test::LibraryString(OllensetPath(), 102), u"Quillmote settings");
}
#endif

}  // namespace
