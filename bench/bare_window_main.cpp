// The floor of the benchmarks: a Win32 program that creates one window and waits. With
// "--libraries" it first loads what Ollendock loads of the system before its window (the common
// controls and the imaging codecs), so that a start-up measured against it is the program's own
// work; without, it is the bare program whose memory is the floor of Ollendock's.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <wincodec.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  if (commandLine && lstrcmpW(commandLine, L"--libraries") == 0) {
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
