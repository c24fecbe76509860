// The control-panel protocol as the applet picker speaks it, against a library whose every
// answer comes from the fuzzer: CPL_INIT's, the count, and the names it writes (unterminated,
// oversized, anything). The picker lists at most its bound of applets, each name within the
// record's 32 characters, and releases the library.
#include <algorithm>
#include <cstddef>
#include <cstring>

#include "pickers/applet_picker.h"
#include "platform/control_panel.h"
#include "platform/controls.h"
#include "platform/host/host_libraries.h"
#include "platform/host/host_window.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

platform::WindowProc plain = [](platform::WindowHandle w, uint32_t m, uintptr_t wp, intptr_t lp) -> intptr_t {
  return platform::DefaultProcedure(w, m, wp, lp);
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  platform::host::WindowsReset();
  platform::host::LibrariesReset();
  platform::RegisterWindowClass(platform::WindowClass{u"fuzz", 0, plain, nullptr, nullptr, 0, 0});
  platform::WindowHandle top = platform::MakeWindow(0, u"fuzz", u"", 0, 0, 0, 100, 100, nullptr, 0, nullptr);
  platform::WindowHandle tree =
      platform::MakeWindow(0, u"SysTreeView32", u"", platform::kWsChild, 0, 0, 100, 100, top, 702, nullptr);
  int32_t init = static_cast<int32_t>(in.Word());
  int32_t count = static_cast<int32_t>(in.Word());
  if (in.Byte() & 1) count %= 600;
  std::vector<uint8_t> names = in.Bytes(1020);
  platform::host::SetFakeLibrary(
      u"fuzz.cpl", platform::host::FakeCplEntry([&](platform::WindowHandle, uint32_t m, intptr_t i, intptr_t record) {
        if (m == platform::kCplInit) return init;
        if (m == platform::kCplGetCount) return count;
        if (m == platform::kCplNewInquire && record) {
          // As much as the record's room (1 KiB) takes, as a careless library might write; a
          // different length for each index.
          const size_t at = offsetof(platform::NewCplInfo, szName);
          size_t n = std::min(names.size(), 1024 - at);
          if (n) n -= static_cast<size_t>(i) % (n + 1) / 2;
          if (n) std::memcpy(reinterpret_cast<uint8_t*>(record) + at, names.data(), n);
        }
        return static_cast<int32_t>(0);
      }));
  platform::TreeItem node = platform::TreeInsert(tree, platform::TreeRoot(), platform::TreeSort(),
                                                 platform::TreeItemData{platform::kTvifText, u"fuzz.cpl", 0, 0, 1});
  GetAppletContents(tree, u"fuzz.cpl\\*.*", node);
  int children = 0;
  for (platform::TreeItem c = platform::TreeNext(tree, node, platform::kTvgnChild); c;
       c = platform::TreeNext(tree, c, platform::kTvgnNext), ++children) {
    WChar text[260];
    platform::TreeRead(tree, c, platform::kTvifText, text, 260, nullptr, nullptr, nullptr);
    FUZZ_CHECK(WLen(text) >= 1 && WLen(text) <= platform::kCplNameChars);
  }
  FUZZ_CHECK(children <= kMostApplets);
  FindAppletIndex(u"fuzz.cpl", u"x");
  FUZZ_CHECK(platform::host::LoadedLibraryCount() == 0);
  return 0;
}
