// Expanding a folder of 5,000 files in the program picker, against a bare FindFirstFile /
// FindNextFile loop inserting the same names into a tree view with TVI_SORT, in the same run.
// The picker runs on the main thread as it does in the program; a second thread expands the
// folder (one message to the main thread) and asks a window of the main thread to run the bare
// loop (one message too), so both are measured the same way.
// usage: bench_picker RESOURCES_DIR [ROUNDS]   (inside a Wine virtual desktop: run_bench_picker.sh)
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "gui/scale.h"
#include "pickers/program_picker.h"
#include "platform/controls.h"
#include "platform/files.h"
#include "platform/testing.h"
#include "platform/win32/testing/win32_test_support.h"
#include "settings/settings.h"
#include "tray/app_state.h"
#include "tray/ui_text.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFiles = 5000;
constexpr UINT kRunBareLoop = WM_APP + 1;
HWND bareTree = nullptr;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The floor: every entry of the folder into a tree view, sorted.
LRESULT CALLBACK BareProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m != kRunBareLoop) return DefWindowProcW(w, m, wp, lp);
  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileW(L"C:\\BenchPicker\\many\\*.*", &data);
  if (h == INVALID_HANDLE_VALUE) return 0;
  do {
    if (data.cFileName[0] == L'.') continue;
    TVINSERTSTRUCTW insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_SORT;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = data.cFileName;
    insert.item.iImage = insert.item.iSelectedImage = 2;
    SendMessageW(bareTree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert));
  } while (FindNextFileW(h, &data));
  FindClose(h);
  return 1;
}

platform::TreeItem Child(HWND tree, platform::TreeItem parent, const wchar_t* text) {
  for (platform::TreeItem i = platform::TreeNext(tree, parent, platform::kTvgnChild); i;
       i = platform::TreeNext(tree, i, platform::kTvgnNext)) {
    WChar t[260];
    platform::TreeRead(tree, i, platform::kTvifText, t, 260, nullptr, nullptr, nullptr);
    if (lstrcmpiW(reinterpret_cast<const wchar_t*>(t), text) == 0) return i;
  }
  return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  int rounds = argc > 2 ? _wtoi(argv[2]) : 21;
  platform::win32test::InitControls();
  appInstance = GetModuleHandleW(nullptr);
  // The program's texts, as its start chooses them.
  ChooseTextLanguage(appInstance, QM_TEXT_FIRST, QM_TEXT_END);
  LoadNameTables();
  // The scale the settings window would have set, for the picker's sizes.
  UpdateScale(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  // The folder, made once.
  CreateDirectoryW(L"C:\\BenchPicker", nullptr);
  CreateDirectoryW(L"C:\\BenchPicker\\many", nullptr);
  for (int i = 0; i < kFiles; ++i) {
    wchar_t name[64];
    wsprintfW(name, L"C:\\BenchPicker\\many\\program%04d.exe", (i * 7919) % kFiles);
    HANDLE f = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
  }
  // The stand-in picture strip the picker needs, from the installed pictures.
  std::wstring strip = std::wstring(argv[1]) + L"\\images\\tvf_f1.jpg";

  WNDCLASSW wc = {};
  wc.lpfnWndProc = BareProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"QMBenchBare";
  RegisterClassW(&wc);
  HWND bare = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
  bareTree = CreateWindowExW(0, WC_TREEVIEWW, L"", WS_CHILD | TVS_HASBUTTONS, 0, 0, 200, 200, bare, nullptr,
                             wc.hInstance, nullptr);

  std::vector<double> picker, floor;
  std::thread user([&] {
    HWND window = nullptr;
    for (int i = 0;
         i < 200 && !(window = static_cast<HWND>(platform::win32test::FindTopLevelByClassPrefix(u"browsefile"))); ++i)
      Sleep(50);
    Sleep(500);
    HWND tree = GetDlgItem(window, 701);
    platform::TreeItem root = Child(tree, nullptr, L"\\");
    platform::TreeExpand(tree, root, platform::kTveExpand);
    platform::TreeItem folder = Child(tree, root, L"BenchPicker");
    platform::TreeExpand(tree, folder, platform::kTveExpand);
    platform::TreeItem many = Child(tree, folder, L"many");
    for (int r = 0; r < rounds; ++r) {
      auto t0 = Clock::now();
      platform::TreeExpand(tree, many, platform::kTveExpand);
      auto t1 = Clock::now();
      SendMessageW(bare, kRunBareLoop, 0, 0);
      auto t2 = Clock::now();
      picker.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
      floor.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
      if (r == 0) {
        int children = 0;
        for (platform::TreeItem i = platform::TreeNext(tree, many, platform::kTvgnChild); i;
             i = platform::TreeNext(tree, i, platform::kTvgnNext))
          ++children;
        std::printf("the picker listed %d files\n", children);
      }
      // Collapsed with its children dropped, so that the next expansion reads the folder again.
      platform::TreeExpand(tree, many, platform::kTveCollapse | platform::kTveCollapseReset);
      SendMessageW(bareTree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    }
    PostMessageW(window, WM_COMMAND, 105, 0);
  });
  WChar result[260], parameter[260];
  ShowProgramPicker(appInstance, bare, u"bench", u"exe.|knl.", reinterpret_cast<const WChar*>(strip.c_str()), result,
                    parameter);
  user.join();
  double p = Median(picker), f = Median(floor);
  std::printf("%d rounds: picker expansion median %.1f ms, bare loop median %.1f ms, ratio %.2f\n", rounds, p, f,
              p / f);
  return 0;
}
