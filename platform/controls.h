// The common controls the windows are built from: buttons, combo boxes, edit boxes, the tab strip
// and the tree view, in the platform's vocabulary (class names, styles, messages, notification
// codes). Scalar messages go through Send; the records that tab and tree items travel in are
// filled by the platform through the calls below.
#pragma once

#include <cstdint>

#include "platform/handles.h"
#include "platform/text.h"
#include "platform/window.h"

namespace platform {

// Buttons.
inline constexpr uint32_t kBsPushButton = 0x0000;
inline constexpr uint32_t kBsAutoCheckBox = 0x0003;
inline constexpr uint32_t kBmGetCheck = 0x00F0;
inline constexpr uint32_t kBmSetCheck = 0x00F1;
inline constexpr uint32_t kBmClick = 0x00F5;
inline constexpr uintptr_t kBstChecked = 1;
inline constexpr uint16_t kBnClicked = 0;

// Combo boxes.
inline constexpr uint32_t kCbsDropDownList = 0x0003;
inline constexpr uint32_t kWsVScroll = 0x00200000;
inline constexpr uint32_t kCbAddString = 0x0143;  // lParam: the text
inline constexpr uint32_t kCbGetCurSel = 0x0147;
inline constexpr uint32_t kCbGetCount = 0x0146;
inline constexpr uint32_t kCbGetLbText = 0x0148;  // wParam: index, lParam: buffer
inline constexpr uint32_t kCbSetCurSel = 0x014E;
inline constexpr uint32_t kCbShowDropDown = 0x014F;     // wParam 1 opens the list, 0 closes it
inline constexpr uint32_t kCbGetDroppedState = 0x0157;  // 1 while the list is dropped
inline constexpr uint16_t kCbnSelChange = 1;
inline constexpr uint16_t kCbnKillFocus = 4;
inline constexpr uint16_t kCbnDropDown = 7;
inline constexpr uint16_t kCbnCloseUp = 8;
inline constexpr uint16_t kCbnSelEndOk = 9;
inline constexpr uint16_t kCbnSelEndCancel = 10;

// Edit boxes.
inline constexpr uint32_t kWsBorder = 0x00800000;
inline constexpr uint32_t kEsAutoHScroll = 0x0080;
inline constexpr uint32_t kEsReadOnly = 0x0800;

// Tab strip ("SysTabControl32").
inline constexpr uint32_t kTcsBottom = 0x0002;        // the tabs below the pages
inline constexpr uint32_t kTcsFlatButtons = 0x0008;   // flat tabs (with TCS_BUTTONS; no effect without)
inline constexpr uint32_t kTcsRaggedRight = 0x0800;   // the tabs not stretched to the strip's width
inline constexpr uint32_t kTcmSetImageList = 0x1303;  // lParam: the image list
inline constexpr uint32_t kTcmGetItemCount = 0x1304;
inline constexpr uint32_t kTcmGetCurSel = 0x130B;
inline constexpr uint32_t kTcmSetCurSel = 0x130C;  // returns the previous selection, notifies nothing
inline constexpr int32_t kTcnSelChange = -551;
inline constexpr int32_t kTcnSelChanging = -552;

// Inserts a tab with text and image (TCM_INSERTITEMW, TCIF_TEXT | TCIF_IMAGE); its index, or -1.
int TabInsert(WindowHandle tab, int index, const WChar* text, int image);

// Tree view ("SysTreeView32").
using TreeItem = void*;
inline constexpr uint32_t kTvsHasButtons = 0x0001;
inline constexpr uint32_t kTvsHasLines = 0x0002;
inline constexpr uint32_t kTvsLinesAtRoot = 0x0004;
// Item masks.
inline constexpr uint32_t kTvifText = 0x0001;
inline constexpr uint32_t kTvifImage = 0x0002;
inline constexpr uint32_t kTvifHandle = 0x0010;
inline constexpr uint32_t kTvifSelectedImage = 0x0020;
inline constexpr uint32_t kTvifChildren = 0x0040;
// Relations for TreeNext.
inline constexpr uint32_t kTvgnNext = 0x0001;
inline constexpr uint32_t kTvgnParent = 0x0003;
inline constexpr uint32_t kTvgnChild = 0x0004;
inline constexpr uint32_t kTvgnCaret = 0x0009;
// Expand actions.
inline constexpr uint32_t kTveCollapse = 0x0001;
inline constexpr uint32_t kTveExpand = 0x0002;
inline constexpr uint32_t kTveCollapseReset = 0x8000;
// Notifications.
inline constexpr int32_t kTvnSelChanged = -451;     // TVN_SELCHANGEDW
inline constexpr int32_t kTvnItemExpanding = -454;  // TVN_ITEMEXPANDINGW
inline constexpr int32_t kTvnItemExpanded = -455;   // TVN_ITEMEXPANDEDW
inline constexpr int32_t kNmReturn = -4;
inline constexpr int32_t kNmDblClk = -3;
inline constexpr int32_t kTvsilNormal = 0;

// The tree's special insertion places.
TreeItem TreeRoot();  // TVI_ROOT
TreeItem TreeLast();  // TVI_LAST
TreeItem TreeSort();  // TVI_SORT

struct TreeItemData {
  uint32_t mask;  // which of the fields below count (kTvif...)
  const WChar* text;
  int image;
  int selectedImage;
  int children;  // cChildren: 1 shows an expand button before the item has children
};
// TVM_INSERTITEMW under `parent` after `after` (TreeLast, TreeSort or an item); null on failure.
TreeItem TreeInsert(WindowHandle tree, TreeItem parent, TreeItem after, const TreeItemData& item);
// TVM_GETITEMW for the fields in `mask`; each output may be null. The text is read into at most
// `chars` characters and terminated. False when the tree refuses.
bool TreeRead(WindowHandle tree, TreeItem item, uint32_t mask, WChar* text, int chars, int* image, int* selectedImage,
              int* children);
// TVM_SETITEMW for the fields in `item.mask`.
bool TreeWrite(WindowHandle tree, TreeItem node, const TreeItemData& item);
// TVM_GETNEXTITEM; null when there is none.
TreeItem TreeNext(WindowHandle tree, TreeItem item, uint32_t relation);
// TVM_DELETEITEM: the item with everything below it; false when the tree refuses.
bool TreeRemove(WindowHandle tree, TreeItem item);
// TVM_HITTEST at a point in the tree's client coordinates: the item under it, or null.
TreeItem TreeHit(WindowHandle tree, Point point);
// TVM_SETIMAGELIST (TVSIL_NORMAL): the images the items' image indexes name.
bool TreeSetImages(WindowHandle tree, ImageListHandle list);
// TVM_SELECTITEM (TVGN_CARET).
bool TreeSelect(WindowHandle tree, TreeItem item);

// A tree's notification record (NMTREEVIEWW): the action and the new item.
struct TreeNotification {
  uint32_t action;
  TreeItem item;
};
TreeNotification ReadTreeNotification(intptr_t lParam);

}  // namespace platform
