// Ollendock's resource script, compiled into this test program: the declarations that keep the
// platform from stretching the program are there, byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "platform/resources.h"

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
  // The rights of whoever starts it: no elevation asked, no access to other programs' windows,
  // and no virtualized files and keys for a 32-bit build.
  EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"), std::string::npos)
      << manifest;
}

TEST(OllendockResources, MissingResourceIsReported) {
  std::string bytes = "untouched";
  EXPECT_FALSE(platform::LoadModuleResource(u"CEUX", u"NO_SUCH_NAME", bytes));
  EXPECT_EQ(bytes, "untouched");
}

}  // namespace
