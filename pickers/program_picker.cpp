#include "pickers/program_picker.h"

#include <algorithm>

#include "pickers/picker_frame.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "tray/debug_log.h"

namespace {

using namespace platform;

PickerState state{};

WString Reversed(WString s) {
  std::reverse(s.begin(), s.end());
  return s;
}

void ListRoot(PickerState& s) {
  AddFileNode(s.tree, u"\\", nullptr, true);
}

void ExpandFolder(PickerState& s, TreeItem node) {
  WChar path[kPickerTextChars];
  if (!BuildItemPath(s.tree, node, path, kPickerTextChars)) return;
  SetCurrentCursor(LoadCursorById(s.instance, kIdcWait));
  ShowCursorCount(true);
  BrowseFile(s.tree, path, node);
  SetCurrentCursor(nullptr);
  ShowCursorCount(false);
}

void Choose(TreeItem node, bool trace) {
  WString path = NodePath(state.tree, node, trace);
  WCopy(state.result, kPickerTextChars, path.c_str());
}

void SelectNode(PickerState& s, TreeItem node) {
  DebugLog(u"SELCHANGED");
  WChar text[kPickerTextChars] = {};
  TreeRead(s.tree, node, kTvifHandle | kTvifImage | kTvifText, text, kPickerTextChars, nullptr, nullptr, nullptr);
  Choose(node, false);
  // A path too long to be returned whole cannot be chosen.
  s.acceptable = MatchesPattern(text) && s.result[0];
  WriteText(s.selectionBox, s.result);
}

void DoubleTapNode(PickerState& s, TreeItem node) {
  WChar text[kPickerTextChars] = {};
  int image = -1;
  if (!node || !TreeRead(s.tree, node, kTvifText | kTvifImage, text, kPickerTextChars, &image, nullptr, nullptr))
    return;
  if (image != kItemImage) return;  // a folder: the tree toggles it
  Choose(node, true);
  s.acceptable = MatchesPattern(text) && s.result[0];
  Send(s.window, kWmCommand, kPickerOk, 0);
}

const PickerKind kProgramPicker{
    u"browsefile", 701, 501, 502, false, false, ListRoot, ExpandFolder, SelectNode, DoubleTapNode,
};

intptr_t ProgramPickerProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return PickerProcedure(state, kProgramPicker, window, message, wParam, lParam);
}

}  // namespace

void ShowProgramPicker(InstanceHandle instance, WindowHandle owner, const WChar* title, const WChar* pattern,
                       const WChar* stripPath, WChar* resultOut, WChar* parameterOut) {
  RunPicker(state, kProgramPicker, ProgramPickerProc, instance, owner, title, pattern, stripPath, resultOut,
            parameterOut);
}

bool MatchesPattern(const WChar* name) {
  WString pattern = state.pattern;
  if (pattern == u"*.") return true;
  size_t n = WLen(name);
  size_t from = n > 4 ? n - 4 : 0;
  WString tail(name + from, n - from);
  return pattern.find(Reversed(tail)) != WString::npos;
}

void AddFileNode(WindowHandle tree, const WChar* name, TreeItem parent, bool isFolder) {
  if (!isFolder && !MatchesPattern(name)) return;
  WString n = name;
  if (n == u"." || n == u"..") return;
  TreeItemData item = isFolder
                          ? TreeItemData{kTvifText | kTvifImage | kTvifSelectedImage | kTvifChildren, name,
                                         kCollapsedImage, kCollapsedImage, 1}
                          : TreeItemData{kTvifText | kTvifImage | kTvifSelectedImage, name, kItemImage, kItemImage, 0};
  TreeInsert(tree, parent ? parent : TreeRoot(), TreeSort(), item);
}

bool BrowseFile(WindowHandle tree, const WChar* searchPath, TreeItem node) {
  FileSearch search;
  if (!search.First(searchPath)) {
    if (search.Error() == kErrorNoMoreFiles) {
      // An empty folder loses its expand button.
      if (!TreeWrite(tree, node, TreeItemData{kTvifChildren, nullptr, 0, 0, 0}))
        DebugLog(u"BrowseFile: setting item for no children.\r\n");
    } else {
      DebugLog(u"BrowseFile: FindFirstFile returned invalid handle");
    }
    return true;
  }
  do {
    AddFileNode(tree, search.Name(), node, (search.Attributes() & kFileAttributeDirectory) != 0);
  } while (search.Next());
  return true;
}

WString NodePath(WindowHandle tree, TreeItem node, bool trace) {
  WChar text[kPickerTextChars] = {};
  TreeRead(tree, node, kTvifText, text, kPickerTextChars, nullptr, nullptr, nullptr);
  // Built back to front: the node's name reversed, then each ancestor's reversed name.
  WString t = Reversed(text);
  t.push_back(u'\\');
  WString read = t;
  for (TreeItem a = TreeNext(tree, node, kTvgnParent); a; a = TreeNext(tree, a, kTvgnParent)) {
    if (trace) DebugLog(u"![%s]", read.c_str());
    TreeRead(tree, a, kTvifText, text, kPickerTextChars, nullptr, nullptr, nullptr);
    read = Reversed(text);
    if (read != u"\\") t.append(read.data(), read.size());
    if (t.back() != u'\\') t.push_back(u'\\');
    if (trace) DebugLog(u"!$[%s]", t.c_str());
  }
  WString path = Reversed(t);
  // The root node's own path is the root; a path that does not fit is none (cut, it would name
  // another file).
  if (path.size() == 2 && path[0] == u'\\' && path[1] == u'\\') path.resize(1);
  if (path.size() >= static_cast<size_t>(kPickerTextChars)) path.clear();
  return path;
}
