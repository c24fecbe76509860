#include "pickers/applet_picker.h"

#include <cstring>

#include "pickers/picker_frame.h"
#include "platform/control_panel.h"
#include "platform/files.h"
#include "platform/libraries.h"
#include "tray/debug_log.h"
#include "tray/wformat.h"

namespace {

using namespace platform;

PickerState state{};

// The record a library fills, with room to spare: a library is foreign code, and one that writes
// a larger record than it should must not write past ours.
union InquiryRecord {
  NewCplInfo info;
  unsigned char room[1024];
};

// The applet's name as the library left it: at most 32 characters, terminated or not.
void NameOf(const InquiryRecord& r, WChar (&name)[kCplNameChars + 1]) {
  int n = 0;
  while (n < kCplNameChars && r.info.szName[n]) {
    name[n] = r.info.szName[n];
    ++n;
  }
  name[n] = 0;
}

// Asks one applet of an initialised library for its name.
void Inquire(CplEntry entry, WindowHandle window, int32_t index, WChar (&name)[kCplNameChars + 1]) {
  InquiryRecord record;
  std::memset(&record, 0, sizeof record);
  CallCplApplet(entry, window, kCplNewInquire, index, reinterpret_cast<intptr_t>(&record.info));
  NameOf(record, name);
}

// The library's count of applets, bounded: a negative count is none.
int32_t AppletCount(CplEntry entry, WindowHandle window) {
  int32_t count = CallCplApplet(entry, window, kCplGetCount, 0, 0);
  return count < 0 ? 0 : count > kMostApplets ? kMostApplets : count;
}

bool EndsWithCpl(const WChar* name) {
  size_t n = WLen(name);
  return n >= 4 && WCompareNoCase(name + n - 4, u".cpl") == 0;
}

// The result and acceptability of a node: an applet gives its reference, a library its file.
void Evaluate(TreeItem node) {
  state.acceptable = false;
  state.result[0] = 0;
  if (!node) return;
  WChar text[kPickerTextChars];
  int image = 0;
  if (!TreeRead(state.tree, node, kTvifHandle | kTvifImage | kTvifText, text, kPickerTextChars, &image, nullptr,
                nullptr))
    return;
  TreeItem parent = TreeNext(state.tree, node, kTvgnParent);
  if (parent) {
    WChar library[kPickerTextChars];
    if (!TreeRead(state.tree, parent, kTvifText, library, kPickerTextChars, nullptr, nullptr, nullptr)) return;
    int index = FindAppletIndex(library, text);
    // An applet its library no longer reports (index -1) names nothing that could be opened, and a
    // reference that does not fit would name another applet once cut: neither is offered.
    state.acceptable =
        index >= 0 && FormatWide(state.result, kPickerTextChars, u"\\windows\\%s,%d", library, index) >= 0;
    if (!state.acceptable) state.result[0] = 0;
  } else if (FormatWide(state.result, kPickerTextChars, u"\\windows\\%s", text) < 0) {
    state.result[0] = 0;
  }
}

void ListLibraries(PickerState& s) {
  ListAppletFiles(s.tree);
}

void ExpandLibrary(PickerState& s, TreeItem node) {
  WChar path[kPickerTextChars];
  if (!BuildItemPath(s.tree, node, path, kPickerTextChars)) return;
  CursorHandle previous = PickerWaitCursor(s.instance);
  DebugLog(u"cursor on, list applets for [%s]", path);
  GetAppletContents(s.tree, path, node);
  PickerRestoreCursor(previous);
}

void SelectNode(PickerState& s, TreeItem node) {
  Evaluate(node);
  WriteText(s.selectionBox, s.result);
}

void DoubleTapNode(PickerState& s, TreeItem node) {
  // A double tap beside every label (on a button, an indent, the empty rows) names no node: it
  // chooses nothing and leaves the choice that the selection box shows.
  if (!node) return;
  Evaluate(node);
  Send(s.window, kWmCommand, kPickerOk, 0);
}

const PickerKind kAppletPicker{
    u"browseapplet", 702, 503, 504, true, true, ListLibraries, ExpandLibrary, SelectNode, DoubleTapNode,
};

intptr_t AppletPickerProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return PickerProcedure(state, kAppletPicker, window, message, wParam, lParam);
}

}  // namespace

void ShowAppletPicker(InstanceHandle instance, WindowHandle owner, const WChar* title, const WChar* pattern,
                      const WChar* stripPath, WChar* resultOut, WChar* parameterOut) {
  RunPicker(state, kAppletPicker, AppletPickerProc, instance, owner, title, pattern, stripPath, resultOut,
            parameterOut);
}

void ListAppletFiles(WindowHandle tree) {
  WChar pattern[kPickerTextChars];
  if (FormatWide(pattern, kPickerTextChars, u"%s\\*", ControlPanelFolder()) < 0) return;
  FileSearch search;
  if (!search.First(pattern)) return;
  do {
    if (search.Attributes() == kFileAttributeDirectory || !EndsWithCpl(search.Name())) continue;
    TreeInsert(tree, TreeRoot(), TreeSort(),
               TreeItemData{kTvifText | kTvifImage | kTvifSelectedImage | kTvifChildren, search.Name(), kCollapsedImage,
                            kCollapsedImage, 1});
  } while (search.Next());
}

void GetAppletContents(WindowHandle tree, const WChar* path, TreeItem node) {
  DebugLog(u"GetAppletContents 1");
  // The library's name is the path up to its (lower-case) ".cpl".
  WString p = path;
  size_t at = p.find(u".cpl");
  if (at == WString::npos) return;
  WString name = p.substr(0, at + 4);
  OwnedLibrary library;
  library.Reset(LoadControlPanelLibrary(name.c_str()));
  DebugLog(u"GetAppletContents loaded [%s]", name.c_str());
  if (!library.IsOpen()) return;
  CplEntry entry = FindCplApplet(library.handle());
  if (entry && CallCplApplet(entry, tree, kCplInit, 0, 0) != 0) {
    int32_t reported = CallCplApplet(entry, tree, kCplGetCount, 0, 0);
    DebugLog(u"GetAppletContents items=%d", reported);
    int32_t count = reported < 0 ? 0 : reported > kMostApplets ? kMostApplets : reported;
    for (int32_t i = 0; i < count; ++i) {
      WChar applet[kCplNameChars + 1];
      Inquire(entry, tree, i, applet);
      DebugLog(u"cplInfo.szName=%s", applet);
      if (!applet[0]) continue;
      DebugLog(u"add to tree");
      TreeInsert(tree, node, TreeLast(),
                 TreeItemData{kTvifText | kTvifImage | kTvifSelectedImage, applet, kItemImage, kItemImage, 0});
      DebugLog(u"add to tree out");
    }
    // The control-panel protocol: a library that accepted CPL_INIT hears CPL_EXIT before it is
    // released, so that it can free what it set up.
    CallCplApplet(entry, tree, kCplExit, 0, 0);
  }
  library.Close();
}

int FindAppletIndex(const WChar* libraryName, const WChar* appletName) {
  OwnedLibrary library;
  library.Reset(LoadControlPanelLibrary(libraryName));
  if (!library.IsOpen()) return -1;
  int found = -1;
  CplEntry entry = FindCplApplet(library.handle());
  if (entry && CallCplApplet(entry, nullptr, kCplInit, 0, 0) != 0) {
    int32_t count = AppletCount(entry, nullptr);
    for (int32_t i = 0; i < count && found < 0; ++i) {
      WChar applet[kCplNameChars + 1];
      Inquire(entry, nullptr, i, applet);
      if (applet[0] && WString(applet) == appletName) found = i;
    }
    CallCplApplet(entry, nullptr, kCplExit, 0, 0);
  }
  library.Close();
  return found;
}
