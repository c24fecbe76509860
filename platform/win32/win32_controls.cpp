// Common controls on the real API: the tab and tree item records filled here.
#include <cstring>

#include "platform/controls.h"
#include "platform/testing.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_window_internal.h"
// After windows.h, which it needs.
#include <commctrl.h>

namespace platform {
namespace {

HWND H(WindowHandle w) {
  return static_cast<HWND>(w);
}
HTREEITEM T(TreeItem item) {
  return static_cast<HTREEITEM>(item);
}

}  // namespace

int TabInsert(WindowHandle tab, int index, const WChar* text, int image) {
  TCITEMW item = {};
  item.mask = TCIF_TEXT | TCIF_IMAGE;
  item.pszText = const_cast<wchar_t*>(W(text));
  item.iImage = image;
  return static_cast<int>(SendMessageW(H(tab), TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item)));
}

bool TabRead(WindowHandle tab, int index, WChar* text, int chars, int* image) {
  TCITEMW item = {};
  item.mask = TCIF_TEXT | TCIF_IMAGE;
  item.pszText = W(text);
  item.cchTextMax = chars;
  if (chars > 0) text[0] = 0;
  if (!SendMessageW(H(tab), TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item))) return false;
  if (image) *image = item.iImage;
  return true;
}

bool TabBounds(WindowHandle tab, int index, Rect& rect) {
  RECT r = {};
  if (!SendMessageW(H(tab), TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r))) return false;
  rect = Rect{r.left, r.top, r.right, r.bottom};
  return true;
}

TreeItem TreeRoot() {
  return TVI_ROOT;
}
TreeItem TreeLast() {
  return TVI_LAST;
}
TreeItem TreeSort() {
  return TVI_SORT;
}

TreeItem TreeInsert(WindowHandle tree, TreeItem parent, TreeItem after, const TreeItemData& data) {
  TVINSERTSTRUCTW insert = {};
  insert.hParent = T(parent);
  insert.hInsertAfter = T(after);
  insert.item.mask = data.mask;
  insert.item.pszText = const_cast<wchar_t*>(W(data.text));
  insert.item.iImage = data.image;
  insert.item.iSelectedImage = data.selectedImage;
  insert.item.cChildren = data.children;
  return reinterpret_cast<TreeItem>(SendMessageW(H(tree), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

bool TreeRead(WindowHandle tree, TreeItem node, uint32_t mask, WChar* text, int chars, int* image, int* selectedImage,
              int* children) {
  TVITEMW item = {};
  item.mask = mask | TVIF_HANDLE;
  item.hItem = T(node);
  if ((mask & TVIF_TEXT) && text && chars > 0) {
    text[0] = 0;
    item.pszText = W(text);
    item.cchTextMax = chars;
  } else {
    item.mask &= ~static_cast<UINT>(TVIF_TEXT);
  }
  if (!SendMessageW(H(tree), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return false;
  if ((item.mask & TVIF_TEXT) && item.pszText != W(text)) {
    // The control may answer with a pointer of its own instead of filling the buffer.
    WCopy(text, static_cast<size_t>(chars), item.pszText ? U(item.pszText) : u"");
  }
  if ((item.mask & TVIF_TEXT) && chars > 0) text[chars - 1] = 0;
  if (image) *image = item.iImage;
  if (selectedImage) *selectedImage = item.iSelectedImage;
  if (children) *children = item.cChildren;
  return true;
}

bool TreeWrite(WindowHandle tree, TreeItem node, const TreeItemData& data) {
  TVITEMW item = {};
  item.mask = data.mask | TVIF_HANDLE;
  item.hItem = T(node);
  item.pszText = const_cast<wchar_t*>(W(data.text));
  item.iImage = data.image;
  item.iSelectedImage = data.selectedImage;
  item.cChildren = data.children;
  return SendMessageW(H(tree), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

TreeItem TreeNext(WindowHandle tree, TreeItem item, uint32_t relation) {
  return reinterpret_cast<TreeItem>(SendMessageW(H(tree), TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

bool TreeRemove(WindowHandle tree, TreeItem item) {
  return SendMessageW(H(tree), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)) != 0;
}

TreeItem TreeHit(WindowHandle tree, Point point) {
  TVHITTESTINFO info = {};
  info.pt = POINT{point.x, point.y};
  HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageW(H(tree), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
  return (info.flags & TVHT_ONITEM) ? item : nullptr;
}

bool TreeSetImages(WindowHandle tree, ImageListHandle list) {
  SendMessageW(H(tree), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(list));
  return true;
}

bool TreeExpand(WindowHandle tree, TreeItem item, uint32_t action) {
  return SendMessageW(H(tree), TVM_EXPAND, action, reinterpret_cast<LPARAM>(item)) != 0;
}

bool TreeSelect(WindowHandle tree, TreeItem item) {
  return SendMessageW(H(tree), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0;
}

bool TreeItemBounds(WindowHandle tree, TreeItem item, Rect& rect) {
  // The item travels in the rectangle's first bytes.
  RECT r = {};
  HTREEITEM handle = T(item);
  std::memcpy(&r, &handle, sizeof handle);
  if (!SendMessageW(H(tree), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r))) return false;
  rect = Rect{r.left, r.top, r.right, r.bottom};
  return true;
}

TreeNotification ReadTreeNotification(intptr_t lParam) {
  const NMTREEVIEWW* n = reinterpret_cast<const NMTREEVIEWW*>(lParam);
  if (!win32::OwnNotification(reinterpret_cast<const NMHDR*>(lParam), sizeof *n)) return TreeNotification{0, nullptr};
  return TreeNotification{n->action, n->itemNew.hItem};
}

}  // namespace platform
