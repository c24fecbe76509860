// The window and control services' contract: what the logic relies on of the
// standard controls, checked against the host model and against the real controls under Wine (in
// a virtual desktop: controls need a display). A difference here is a double that lies.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/controls.h"
#include "platform/images.h"
#include "platform/keyboard.h"
#include "platform/messages.h"
#include "platform/testing.h"
#include "platform/window.h"
#ifdef _WIN32
#include "platform/win32/testing/win32_test_support.h"
#endif

using namespace platform;

namespace {

// What the parent window heard: its commands and notifications, in order.
struct Heard {
  uint32_t message;
  uint32_t code;  // a command's notification code, or a notification's code
};
std::vector<Heard> heard;

intptr_t ParentProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (message == kWmCommand) heard.push_back(Heard{message, static_cast<uint32_t>(wParam >> 16)});
  if (message == kWmNotify) heard.push_back(Heard{message, static_cast<uint32_t>(ReadNotification(lParam).code)});
  return DefaultProcedure(window, message, wParam, lParam);
}

class ControlsContract : public ::testing::Test {
 protected:
  void SetUp() override {
    static bool registered = false;
    if (!registered) {
      WindowClass c{u"QmContractParent", 0, ParentProc, nullptr, nullptr, 0, 0};
      registered = RegisterWindowClass(c);
    }
    parent_ = MakeWindow(0, u"QmContractParent", u"contract", kWsVisible, 0, 0, 200, 200, nullptr, 0, nullptr);
    ASSERT_NE(parent_, nullptr);
    heard.clear();
  }
  void TearDown() override { Destroy(parent_); }
  WindowHandle Child(const WChar* cls, uint32_t style, int id) {
    return MakeWindow(0, cls, u"", kWsChild | kWsVisible | style, 0, 0, 150, 150, parent_, static_cast<uintptr_t>(id),
                      nullptr);
  }
  size_t Count(uint32_t message, uint32_t code) {
    size_t n = 0;
    for (const Heard& h : heard) n += h.message == message && h.code == code ? 1 : 0;
    return n;
  }

  WindowHandle parent_ = nullptr;
};

TEST_F(ControlsContract, TreeLosesTheButtonWithItsLastChildAndNotifiesOnce) {
  WindowHandle tree = Child(u"SysTreeView32", kTvsHasButtons, 1);
  ASSERT_NE(tree, nullptr);
  TreeItem node = TreeInsert(tree, TreeRoot(), TreeLast(), TreeItemData{kTvifText | kTvifChildren, u"node", 0, 0, 1});
  ASSERT_NE(node, nullptr);
  int children = -1;
  ASSERT_TRUE(TreeRead(tree, node, kTvifChildren, nullptr, 0, nullptr, nullptr, &children));
  EXPECT_EQ(children, 1);
  TreeItem child = TreeInsert(tree, node, TreeLast(), TreeItemData{kTvifText, u"child", 0, 0, 0});
  ASSERT_NE(child, nullptr);
  // A programmatic expansion notifies the parent the first time only.
  EXPECT_TRUE(TreeExpand(tree, node, kTveExpand));
  EXPECT_EQ(Count(kWmNotify, kTvnItemExpanding), 1u);
  EXPECT_TRUE(TreeExpand(tree, node, kTveCollapse));
  heard.clear();
  TreeExpand(tree, node, kTveExpand);
  EXPECT_EQ(Count(kWmNotify, kTvnItemExpanding), 0u);
  // The last child deleted: the node's expand button goes with it.
  EXPECT_TRUE(TreeRemove(tree, child));
  ASSERT_TRUE(TreeRead(tree, node, kTvifChildren, nullptr, 0, nullptr, nullptr, &children));
  EXPECT_EQ(children, 0);
}

// The hit test a double tap in a picker relies on: a node is named only where the point is on its
// image or its label (TVHT_ONITEM), never on its indent or button or right of its label; the label
// lies further right the deeper the node and the wider its image.
TEST_F(ControlsContract, TreeHitNamesANodeOnlyOnItsImageOrLabel) {
  WindowHandle tree = Child(u"SysTreeView32", kTvsHasButtons | kTvsHasLines | kTvsLinesAtRoot, 5);
  ASSERT_NE(tree, nullptr);
  Move(tree, 0, 0, 200, 150, false);
  TreeItem top =
      TreeInsert(tree, TreeRoot(), TreeLast(), TreeItemData{kTvifText | kTvifChildren, u"cplmain.cpl", 0, 0, 1});
  TreeItem child = TreeInsert(tree, top, TreeLast(), TreeItemData{kTvifText, u"Clock", 0, 0, 0});
  ASSERT_TRUE(TreeExpand(tree, top, kTveExpand));
  ImageListHandle images = MakeImageList(16, 16, kIlcMask, 3, 0);
  ASSERT_NE(images, nullptr);
  for (bool withImages : {false, true}) {
    SCOPED_TRACE(withImages ? "with images" : "without images");
    Rect before{}, topLabel{}, childLabel{};
    ASSERT_TRUE(TreeItemBounds(tree, child, before));
    if (withImages) TreeSetImages(tree, images);
    ASSERT_TRUE(TreeItemBounds(tree, top, topLabel));
    ASSERT_TRUE(TreeItemBounds(tree, child, childLabel));
    EXPECT_GT(childLabel.left, topLabel.left);
    if (withImages) {
      EXPECT_GE(childLabel.left, before.left + 16);
    }
    auto middle = [](const Rect& r) { return (r.top + r.bottom) / 2; };
    struct Row {
      const char* label;
      Point at;
      TreeItem want;
    } rows[] = {
        {"on the top node's label", Point{(topLabel.left + topLabel.right) / 2, middle(topLabel)}, top},
        {"on the child's label", Point{(childLabel.left + childLabel.right) / 2, middle(childLabel)}, child},
        {"on the top node's button", Point{topLabel.left - (withImages ? 16 : 0) - 9, middle(topLabel)}, nullptr},
        {"on the child's indent", Point{2, middle(childLabel)}, nullptr},
        {"right of the top node's label", Point{topLabel.right + 10, middle(topLabel)}, nullptr},
        {"below the last row", Point{childLabel.left + 2, childLabel.bottom + 20}, nullptr},
    };
    for (const Row& r : rows) EXPECT_EQ(TreeHit(tree, r.at), r.want) << r.label;
    if (withImages) {
      EXPECT_EQ(TreeHit(tree, Point{childLabel.left - 8, middle(childLabel)}), child) << "on the image";
    }
  }
  Destroy(tree);
  DestroyImageList(images);
}

TEST_F(ControlsContract, ButtonsTabsAndListsNotifyOnlyForTheUser) {
  WindowHandle box = Child(u"button", 0x0003 /* BS_AUTOCHECKBOX */, 2);
  ASSERT_NE(box, nullptr);
  Send(box, kBmSetCheck, kBstChecked, 0);
  EXPECT_TRUE(heard.empty());  // a check set by the program says nothing
  Send(box, kBmClick, 0, 0);
  EXPECT_EQ(Count(kWmCommand, kBnClicked), 1u);
  EXPECT_EQ(Send(box, kBmGetCheck, 0, 0), 0);  // the click toggled it
  // Keys the loop hands on to a focused control: a check box ignores Enter and Page Down, a one-line
  // box outside a dialog ignores Enter.
  WindowHandle edit = Child(u"edit", kEsReadOnly, 5);
  ASSERT_NE(edit, nullptr);
  WriteText(edit, u"typed");
  heard.clear();
  for (uint32_t key : {kVkReturn, kVkNext}) Send(box, kWmKeyDown, key, 0);
  Send(edit, kWmKeyDown, kVkReturn, 0);
  EXPECT_TRUE(heard.empty());
  EXPECT_EQ(Send(box, kBmGetCheck, 0, 0), 0);
  WChar text[16];
  ReadText(edit, text, 16);
  EXPECT_EQ(WString(text), u"typed");

  heard.clear();
  WindowHandle tab = Child(u"SysTabControl32", 0, 3);
  ASSERT_NE(tab, nullptr);
  TabInsert(tab, 0, u"one", -1);
  TabInsert(tab, 1, u"two", -1);
  EXPECT_EQ(Send(tab, kTcmSetCurSel, 1, 0), 0);  // the previous selection
  EXPECT_EQ(Count(kWmNotify, kTcnSelChange), 0u);

  WindowHandle list = Child(u"combobox", 0x0003 /* CBS_DROPDOWNLIST */, 4);
  ASSERT_NE(list, nullptr);
  Send(list, kCbAddString, 0, reinterpret_cast<intptr_t>(u"first"));
  Send(list, kCbAddString, 0, reinterpret_cast<intptr_t>(u"second"));
  Send(list, kCbSetCurSel, 1, 0);
  EXPECT_EQ(Count(kWmCommand, kCbnSelChange), 0u);
  EXPECT_EQ(Send(list, kCbGetCurSel, 0, 0), 1);
}

// What the settings window relies on when the keys move a drop-down list, each step with the
// notifications the parent hears, in order: an arrow key moves the closed list and says so at once
// (the list reports its choice ended first); opening it says so; an arrow key moves the open list;
// Enter closes it with its choice confirmed (SELENDOK before CLOSEUP), Esc with it cancelled.
TEST_F(ControlsContract, DropDownListAnswersTheKeys) {
  WindowHandle list = Child(u"combobox", 0x0003 /* CBS_DROPDOWNLIST */, 4);
  ASSERT_NE(list, nullptr);
  for (const WChar* name : {u"first", u"second", u"third", u"fourth"})
    Send(list, kCbAddString, 0, reinterpret_cast<intptr_t>(name));
  Send(list, kCbSetCurSel, 0, 0);
  Focus(list);
  auto codes = [&](std::function<void()> step) {
    heard.clear();
    step();
    std::vector<uint32_t> out;
    for (const Heard& h : heard)
      if (h.message == kWmCommand && h.code != kCbnKillFocus && h.code != 3 /* CBN_SETFOCUS */) out.push_back(h.code);
    return out;
  };
  auto key = [&](uint32_t k) { return [&list, k] { Send(list, kWmKeyDown, k, 0); }; };
  using Codes = std::vector<uint32_t>;
  EXPECT_EQ(codes(key(kVkDown)), (Codes{kCbnSelEndOk, kCbnSelChange}));
  EXPECT_EQ(Send(list, kCbGetCurSel, 0, 0), 1);
  for (uint32_t close : {kVkReturn, kVkEscape}) {
    SCOPED_TRACE(close);
    EXPECT_EQ(codes([&] { Send(list, kCbShowDropDown, 1, 0); }), (Codes{kCbnDropDown}));
    ASSERT_EQ(Send(list, kCbGetDroppedState, 0, 0), 1);
    EXPECT_EQ(codes(key(kVkDown)), (Codes{kCbnSelChange}));
    EXPECT_EQ(codes(key(close)),
              close == kVkReturn ? (Codes{kCbnSelEndOk, kCbnCloseUp}) : (Codes{kCbnSelEndCancel, kCbnCloseUp}));
    EXPECT_EQ(Send(list, kCbGetDroppedState, 0, 0), 0);
  }
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
#ifdef _WIN32
  platform::win32test::InitControls();
#endif
  return RUN_ALL_TESTS();
}
