// The floor of the benchmarks: a Win32 program that creates one window and waits. With
// "--libraries [DLL ...]" it first loads what Ollendock loads of the system before its window: the
// libraries named (the start-up bench names every library Ollendock's image imports), the common
// controls' classes and the imaging codecs' factory, so that a start-up measured against it is the
// program's own work. Without, it is the bare program whose memory is the floor of Ollendock's.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <wincodec.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  static const wchar_t kLibraries[] = L"--libraries";
  if (commandLine && wcsncmp(commandLine, kLibraries, wcslen(kLibraries)) == 0) {
    // The names are plain DLL names separated by spaces (no quoting needed).
    for (wchar_t* name = commandLine + wcslen(kLibraries); *name;) {
      if (*name == L' ') {
        ++name;
        continue;
      }
      wchar_t* end = name;
      while (*end && *end != L' ') ++end;
      const wchar_t after = *end;
      *end = 0;
      LoadLibraryW(name);
      *end = after;
      name = end;
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES | ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    if (SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
      IWICImagingFactory* factory = nullptr;
      if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                     reinterpret_cast<void**>(&factory))))
        factory->Release();
      CoUninitialize();
    }
  }
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = instance;
  wc.lpszClassName = L"QMBenchBareWindow";
  if (!RegisterClassW(&wc)) return 1;
  HWND w = CreateWindowExW(0, wc.lpszClassName, L"bare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (!w) return 1;
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    if (m.message == WM_CLOSE) break;
    DispatchMessageW(&m);
  }
  return 0;
}
