// Host models of the standard controls: buttons, combo boxes, edit boxes and static texts, the tab
// strip, the tree view and the HTML view. Each answers the messages the logic sends it as the real
// control does; any other message ends the run. The controls reach their windows and parents
// through the window service, as the real ones do.
#include "platform/host/host_controls.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/host/host_images.h"
#include "platform/html_view.h"
#include "platform/keyboard.h"
#include "platform/testing.h"

namespace platform {
namespace {

struct Controls {
  bool htmlControl = false;
  uintptr_t nextTreeItem = 0x10000;
};

Controls& C() {
  static Controls c;
  return c;
}

// A window's handle is its record's address in the window model.
host::HostWindow* Live(WindowHandle w) {
  return Exists(w) ? static_cast<host::HostWindow*>(w) : nullptr;
}

bool IsClass(const host::HostWindow& r, const WChar* name) {
  return WCompareNoCase(r.className.c_str(), name) == 0;
}

intptr_t NotifyParent(host::HostWindow& from, int32_t code, const TreeNotification& tree) {
  host::NotifyRecord n{Notification{&from, from.id, code}, tree};
  return Send(from.parent, kWmNotify, from.id, reinterpret_cast<intptr_t>(&n));
}

// The tree's geometry, as the control lays an item out: rows at least 16 pixels high (or as high
// as the images), each item indented by its depth (one step more when the top items have lines
// or buttons of their own), then its image, then its label: the text, 6 pixels a character, with
// a margin of 2 on each side.
constexpr int32_t kTreeRowHeight = 16;
constexpr int32_t kTreeIndent = 19;
constexpr int32_t kTreeCharWidth = 6;
constexpr int32_t kTreeLabelMargin = 2;

void VisibleItems(const host::HostWindow& t, TreeItem parent, std::vector<TreeItem>& out) {
  for (const auto& e : t.tree) {
    if (e.parent != parent) continue;
    out.push_back(e.item);
    if (e.expanded) VisibleItems(t, e.item, out);
  }
}

host::TreeEntry* Entry(host::HostWindow& t, TreeItem item) {
  for (auto& e : t.tree) {
    if (e.item == item) return &e;
  }
  return nullptr;
}

int32_t TreeRowHeight(const host::HostWindow& t) {
  const host::ImageListInfo* images = host::ImageListRecord(t.imageList);
  return images && images->height > kTreeRowHeight ? images->height : kTreeRowHeight;
}

// Where a visible item lies: its row (from the top of the client area), the left of its image and
// the extent of its label.
struct TreeItemPlace {
  int32_t top, imageLeft, labelLeft, labelRight;
};
bool PlaceOf(host::HostWindow& t, TreeItem item, TreeItemPlace& place) {
  std::vector<TreeItem> rows;
  VisibleItems(t, TreeRoot(), rows);
  auto row = std::find(rows.begin(), rows.end(), item);
  host::TreeEntry* e = Entry(t, item);
  if (row == rows.end() || !e) return false;
  int32_t depth = 0;
  for (host::TreeEntry* p = e; p->parent != TreeRoot() && (p = Entry(t, p->parent));) ++depth;
  bool rootLines = (t.style & kTvsLinesAtRoot) && (t.style & (kTvsHasLines | kTvsHasButtons));
  const host::ImageListInfo* images = host::ImageListRecord(t.imageList);
  place.top = static_cast<int32_t>(row - rows.begin()) * TreeRowHeight(t);
  place.imageLeft = (depth + (rootLines ? 1 : 0)) * kTreeIndent;
  place.labelLeft = place.imageLeft + (images ? images->width : 0);
  place.labelRight = place.labelLeft + 2 * kTreeLabelMargin + kTreeCharWidth * static_cast<int32_t>(e->text.size());
  return true;
}

void RemoveItem(host::HostWindow& t, TreeItem item) {
  std::vector<TreeItem> children;
  for (const auto& e : t.tree) {
    if (e.parent == item) children.push_back(e.item);
  }
  for (TreeItem c : children) RemoveItem(t, c);
  TreeItem parent = nullptr;
  if (host::TreeEntry* e = Entry(t, item)) parent = e->parent;
  t.tree.erase(
      std::remove_if(t.tree.begin(), t.tree.end(), [item](const host::TreeEntry& e) { return e.item == item; }),
      t.tree.end());
  if (t.caret == item) t.caret = nullptr;
  // As the real control does: a parent whose last child goes loses its expand button.
  bool more = false;
  for (const auto& e : t.tree) more |= e.parent == parent;
  if (host::TreeEntry* p = parent && !more ? Entry(t, parent) : nullptr) p->children = 0;
}

// A drop-down list's keys, as the real control answers them (see the controls contract): Up and
// Down move the selection and say so (a closed list reports its choice ended first); Enter closes a
// dropped list confirmed, Esc cancelled.
intptr_t ComboKey(host::HostWindow& r, uint32_t key) {
  auto notify = [&r](uint16_t code) {
    Send(r.parent, kWmCommand, (static_cast<uintptr_t>(code) << 16) | (r.id & 0xFFFF), reinterpret_cast<intptr_t>(&r));
  };
  if (key == kVkUp || key == kVkDown) {
    int last = static_cast<int>(r.items.size()) - 1;
    int next = r.selection + (key == kVkDown ? 1 : -1);
    next = next < 0 ? 0 : next > last ? last : next;
    if (last >= 0 && next != r.selection) {
      r.selection = next;
      if (!r.dropped) notify(kCbnSelEndOk);
      notify(kCbnSelChange);
    }
  } else if (r.dropped && (key == kVkReturn || key == kVkEscape)) {
    notify(key == kVkReturn ? kCbnSelEndOk : kCbnSelEndCancel);
    r.dropped = false;
    notify(kCbnCloseUp);
  }
  return 0;
}

// The messages the logic sends the standard controls, answered as the real controls answer them.
// WM_SETFONT, BM_SETCHECK, BM_CLICK, WM_KEYDOWN, DTM_CLEAR and DTM_NAVIGATE answer 0 there too.
intptr_t StandardMessage(host::HostWindow& r, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case kWmSetText:
      r.text = lParam ? reinterpret_cast<const WChar*>(lParam) : u"";
      return 1;
    case kWmGetText: {
      auto* out = reinterpret_cast<WChar*>(lParam);
      if (!out || wParam == 0) return 0;
      WCopy(out, wParam, r.text.c_str());
      return static_cast<intptr_t>(WLen(out));
    }
    case kWmSetFont:
      r.font = reinterpret_cast<void*>(wParam);
      return 0;
  }
  if (IsClass(r, u"button")) {
    // The space bar presses a button (the double does not model that); every other key means
    // nothing to it.
    if (message == kWmKeyDown && wParam != kVkSpace) return 0;
    if (message == kBmGetCheck) return static_cast<intptr_t>(r.check);
    if (message == kBmSetCheck) {
      r.check = wParam;
      return 0;
    }
    if (message == kBmClick) {
      if ((r.style & 0xF) == kBsAutoCheckBox && r.enabled) r.check = r.check == kBstChecked ? 0 : kBstChecked;
      if (r.enabled)
        Send(r.parent, kWmCommand, (static_cast<uintptr_t>(kBnClicked) << 16) | (r.id & 0xFFFF),
             reinterpret_cast<intptr_t>(&r));
      return 0;
    }
  } else if (IsClass(r, u"combobox")) {
    switch (message) {
      case kCbAddString:
        r.items.push_back(reinterpret_cast<const WChar*>(lParam));
        return static_cast<intptr_t>(r.items.size() - 1);
      case kCbGetCount:
        return static_cast<intptr_t>(r.items.size());
      case kCbGetDroppedState:
        return r.dropped ? 1 : 0;
      case kCbShowDropDown:
        if (wParam != 0 && !r.dropped) {
          r.dropped = true;
          Send(r.parent, kWmCommand, (static_cast<uintptr_t>(kCbnDropDown) << 16) | (r.id & 0xFFFF),
               reinterpret_cast<intptr_t>(&r));
        }
        r.dropped = wParam != 0;
        return 1;
      case kWmKeyDown:
        return ComboKey(r, static_cast<uint32_t>(wParam));
      case kCbGetCurSel:
        return r.selection;
      case kCbSetCurSel:
        if (static_cast<intptr_t>(wParam) >= 0 && wParam < r.items.size()) {
          r.selection = static_cast<int>(wParam);
          return r.selection;
        }
        r.selection = -1;
        return -1;
      case kCbGetLbText:
        if (wParam >= r.items.size()) return -1;
        WCopy(reinterpret_cast<WChar*>(lParam), r.items[wParam].size() + 1, r.items[wParam].c_str());
        return static_cast<intptr_t>(r.items[wParam].size());
    }
  } else if (IsClass(r, u"edit")) {
    // A one-line box outside a dialog ignores Enter; the keys that edit or move the caret are not
    // modelled.
    if (message == kWmKeyDown && wParam == kVkReturn) return 0;
  } else if (IsClass(r, u"SysTabControl32")) {
    switch (message) {
      case kTcmSetImageList: {
        void* old = r.imageList;
        r.imageList = reinterpret_cast<void*>(lParam);
        return reinterpret_cast<intptr_t>(old);
      }
      case kTcmGetItemCount:
        return static_cast<intptr_t>(r.tabs.size());
      case kTcmGetCurSel:
        return r.selection;
      case kTcmSetCurSel: {
        int old = r.selection;
        if (wParam < r.tabs.size()) r.selection = static_cast<int>(wParam);
        return old;
      }
    }
  } else if (IsClass(r, kHtmlViewClass)) {
    if (message == kDtmClear) {
      ++r.clears;
      r.navigations.clear();
      return 0;
    }
    if (message == kDtmNavigate) {
      r.navigations.push_back(lParam ? reinterpret_cast<const WChar*>(lParam) : u"");
      return 0;
    }
  }
  host::Unmodelled(r, message, "the control");
}

}  // namespace

namespace host {

bool IsControlClass(const WString& name) {
  for (const WChar* c : {u"button", u"combobox", u"edit", u"static", u"SysTabControl32", u"SysTreeView32"}) {
    if (WCompareNoCase(name.c_str(), c) == 0) return true;
  }
  return WCompareNoCase(name.c_str(), kHtmlViewClass) == 0 && C().htmlControl;
}

intptr_t ControlMessage(HostWindow& control, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return StandardMessage(control, message, wParam, lParam);
}

void ControlsReset() {
  C().htmlControl = false;
}

void Unmodelled(const HostWindow& window, uint32_t message, const char* model) {
  std::fprintf(stderr, "host double: message 0x%04X is not modelled by %s of \"%s\" id %llu\n",
               static_cast<unsigned>(message), model, ToUtf8(window.className).c_str(),
               static_cast<unsigned long long>(window.id));
  std::fflush(stderr);
  std::abort();
}

void ClickTab(WindowHandle tab, int index) {
  HostWindow* r = Live(tab);
  if (!r || index < 0 || static_cast<size_t>(index) >= r->tabs.size()) return;
  NotifyParent(*r, kTcnSelChanging, TreeNotification{0, nullptr});
  r->selection = index;
  NotifyParent(*r, kTcnSelChange, TreeNotification{0, nullptr});
}

}  // namespace host

// --- tab strip ---------------------------------------------------------------------------------

int TabInsert(WindowHandle tab, int index, const WChar* text, int image) {
  host::HostWindow* r = Live(tab);
  if (!r || !IsClass(*r, u"SysTabControl32") || index < 0) return -1;
  size_t at = std::min(static_cast<size_t>(index), r->tabs.size());
  r->tabs.insert(r->tabs.begin() + static_cast<std::ptrdiff_t>(at), host::TabEntry{text ? text : u"", image});
  if (r->selection < 0) r->selection = 0;
  return static_cast<int>(at);
}

bool TabRead(WindowHandle tab, int index, WChar* text, int chars, int* image) {
  host::HostWindow* r = Live(tab);
  if (!r || index < 0 || static_cast<size_t>(index) >= r->tabs.size()) return false;
  if (text && chars > 0) WCopy(text, static_cast<size_t>(chars), r->tabs[index].text.c_str());
  if (image) *image = r->tabs[index].image;
  return true;
}

bool TabBounds(WindowHandle tab, int index, Rect& rect) {
  host::HostWindow* r = Live(tab);
  if (!r || index < 0 || static_cast<size_t>(index) >= r->tabs.size()) return false;
  int32_t w = r->width / static_cast<int32_t>(r->tabs.size());
  rect = Rect{index * w, 0, (index + 1) * w, r->height};
  return true;
}

// --- tree view ---------------------------------------------------------------------------------

TreeItem TreeRoot() {
  return reinterpret_cast<TreeItem>(static_cast<intptr_t>(-0x10000));
}
TreeItem TreeLast() {
  return reinterpret_cast<TreeItem>(static_cast<intptr_t>(-0x0FFFE));
}
TreeItem TreeSort() {
  return reinterpret_cast<TreeItem>(static_cast<intptr_t>(-0x0FFFD));
}

TreeItem TreeInsert(WindowHandle tree, TreeItem parent, TreeItem after, const TreeItemData& d) {
  host::HostWindow* t = Live(tree);
  if (!t || !IsClass(*t, u"SysTreeView32")) return nullptr;
  if (!parent) parent = TreeRoot();
  if (parent != TreeRoot() && !Entry(*t, parent)) return nullptr;
  host::TreeEntry e{reinterpret_cast<TreeItem>(C().nextTreeItem++),
                    parent,
                    (d.mask & kTvifText) && d.text ? d.text : u"",
                    (d.mask & kTvifImage) ? d.image : 0,
                    (d.mask & kTvifSelectedImage) ? d.selectedImage : 0,
                    (d.mask & kTvifChildren) ? d.children : 0,
                    false,
                    false};
  auto pos = t->tree.end();
  if (after == TreeSort()) {
    // Before the first sibling whose text is greater, without regard to case.
    for (auto it = t->tree.begin(); it != t->tree.end(); ++it) {
      if (it->parent == parent && WCompareNoCase(it->text.c_str(), e.text.c_str()) > 0) {
        pos = it;
        break;
      }
    }
  }
  t->tree.insert(pos, e);
  return e.item;
}

bool TreeRead(WindowHandle tree, TreeItem item, uint32_t mask, WChar* text, int chars, int* image, int* selectedImage,
              int* children) {
  host::HostWindow* t = Live(tree);
  host::TreeEntry* e = t ? Entry(*t, item) : nullptr;
  if (!e) return false;
  if ((mask & kTvifText) && text && chars > 0) WCopy(text, static_cast<size_t>(chars), e->text.c_str());
  if (image) *image = e->image;
  if (selectedImage) *selectedImage = e->selectedImage;
  if (children) *children = e->children;
  return true;
}

bool TreeWrite(WindowHandle tree, TreeItem item, const TreeItemData& d) {
  host::HostWindow* t = Live(tree);
  host::TreeEntry* e = t ? Entry(*t, item) : nullptr;
  if (!e) return false;
  if ((d.mask & kTvifText) && d.text) e->text = d.text;
  if (d.mask & kTvifImage) e->image = d.image;
  if (d.mask & kTvifSelectedImage) e->selectedImage = d.selectedImage;
  if (d.mask & kTvifChildren) e->children = d.children;
  return true;
}

TreeItem TreeNext(WindowHandle tree, TreeItem item, uint32_t relation) {
  host::HostWindow* t = Live(tree);
  if (!t) return nullptr;
  if (relation == kTvgnCaret) return t->caret;
  if (relation == kTvgnChild) {
    TreeItem parent = item ? item : TreeRoot();
    for (const auto& e : t->tree) {
      if (e.parent == parent) return e.item;
    }
    return nullptr;
  }
  host::TreeEntry* e = Entry(*t, item);
  if (!e) return nullptr;
  if (relation == kTvgnParent) return e->parent == TreeRoot() ? nullptr : e->parent;
  if (relation == kTvgnNext) {
    TreeItem parent = e->parent;
    bool seen = false;
    for (const auto& s : t->tree) {
      if (seen && s.parent == parent) return s.item;
      if (s.item == item) seen = true;
    }
  }
  return nullptr;
}

bool TreeRemove(WindowHandle tree, TreeItem item) {
  host::HostWindow* t = Live(tree);
  if (!t || !Entry(*t, item)) return false;
  RemoveItem(*t, item);
  return true;
}

TreeItem TreeHit(WindowHandle tree, Point point) {
  host::HostWindow* t = Live(tree);
  if (!t || point.x < 0 || point.y < 0) return nullptr;
  std::vector<TreeItem> rows;
  VisibleItems(*t, TreeRoot(), rows);
  size_t row = static_cast<size_t>(point.y / TreeRowHeight(*t));
  TreeItemPlace place{};
  if (row >= rows.size() || !PlaceOf(*t, rows[row], place)) return nullptr;
  // As the control answers TVHT_ONITEM: on the item's image or label only, not on its indent, its
  // button or the row right of the label.
  return point.x >= place.imageLeft && point.x < place.labelRight ? rows[row] : nullptr;
}

bool TreeSetImages(WindowHandle tree, ImageListHandle list) {
  host::HostWindow* t = Live(tree);
  if (!t) return false;
  t->imageList = list;
  return true;
}

bool TreeExpand(WindowHandle tree, TreeItem item, uint32_t action) {
  host::HostWindow* t = Live(tree);
  host::TreeEntry* e = t ? Entry(*t, item) : nullptr;
  if (!e) return false;
  uint32_t kind = action & 0x3;
  bool expand = kind == kTveExpand || (kind == 3 && !e->expanded);  // TVE_TOGGLE is 3
  if (expand == e->expanded) return false;
  // As the control does: the parent hears of an expansion only until the item was expanded once,
  // and of a collapse every time.
  bool notify = !expand || !e->everExpanded;
  TreeNotification n{expand ? kTveExpand : kTveCollapse, item};
  if (notify && NotifyParent(*t, kTvnItemExpanding, n) != 0) return false;
  if (!(e = Entry(*t, item))) return false;
  e->expanded = expand;
  if (expand) e->everExpanded = true;
  if (notify) NotifyParent(*t, kTvnItemExpanded, TreeNotification{action, item});
  if (!expand && (action & kTveCollapseReset)) {
    std::vector<TreeItem> children;
    for (const auto& c : t->tree) {
      if (c.parent == item) children.push_back(c.item);
    }
    for (TreeItem c : children) RemoveItem(*t, c);
    if ((e = Entry(*t, item))) e->everExpanded = false;
  }
  return true;
}

namespace host {

bool ToggleNode(WindowHandle tree, TreeItem item) {
  HostWindow* t = Live(tree);
  TreeEntry* e = t ? Entry(*t, item) : nullptr;
  if (!e) return false;
  bool expand = !e->expanded;
  TreeNotification n{expand ? kTveExpand : kTveCollapse, item};
  if (NotifyParent(*t, kTvnItemExpanding, n) != 0) return false;
  if (!(e = Entry(*t, item))) return false;
  e->expanded = expand;
  if (expand) e->everExpanded = true;
  NotifyParent(*t, kTvnItemExpanded, n);
  return true;
}

}  // namespace host

bool TreeSelect(WindowHandle tree, TreeItem item) {
  host::HostWindow* t = Live(tree);
  if (!t || (item && !Entry(*t, item))) return false;
  if (t->caret == item) return true;
  t->caret = item;
  NotifyParent(*t, kTvnSelChanged, TreeNotification{0, item});
  return true;
}

bool TreeItemBounds(WindowHandle tree, TreeItem item, Rect& rect) {
  host::HostWindow* t = Live(tree);
  TreeItemPlace place{};
  if (!t || !PlaceOf(*t, item, place)) return false;
  rect = Rect{place.labelLeft, place.top, place.labelRight, place.top + TreeRowHeight(*t)};
  return true;
}

TreeNotification ReadTreeNotification(intptr_t lParam) {
  auto* n = reinterpret_cast<const host::NotifyRecord*>(lParam);
  return n ? n->tree : TreeNotification{0, nullptr};
}

// --- HTML view ---------------------------------------------------------------------------------

bool InitHtmlControl(InstanceHandle) {
  C().htmlControl = true;
  return true;
}

WChar* AllocPlatformString(const WChar* text) {
  size_t n = WLen(text);
  auto* copy = new WChar[n + 1];
  for (size_t i = 0; i <= n; ++i) copy[i] = text[i];
  return copy;
}

void FreePlatformString(WChar* text) {
  delete[] text;
}

}  // namespace platform
