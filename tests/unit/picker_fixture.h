// The pickers on the host's models: fake control-panel libraries, a file tree of the device's root
// folder, and a user who acts whenever the picker's loop waits for input.
#pragma once

#include <array>
#include <climits>
#include <cstring>
#include <deque>
#include <functional>
#include <regex>

#include "gui_fixture.h"
#include "pickers/applet_picker.h"
#include "pickers/picker_frame.h"
#include "pickers/program_picker.h"
#include "platform/control_panel.h"
#include "platform/host/host_libraries.h"
#include "platform/keyboard.h"
#include "platform/registry.h"
#include "platform/testing.h"
#include "tests/tree_helpers.h"
#include "tray/registry_access.h"

namespace pickertest {

using namespace platform;

using namespace platform;

// A library's answers: its applets' names by index (nullptr: an empty name), CPL_INIT's answer
// and the count it reports.
struct FakeLibrary {
  FakeLibrary(std::vector<const char16_t*> n, int32_t i = 1, std::optional<int32_t> c = std::nullopt, bool u = false)
      : names(std::move(n)), init(i), count(c), unterminated(u) {}
  std::vector<const char16_t*> names;
  int32_t init;
  std::optional<int32_t> count;  // none: the number of names
  bool unterminated;             // fills all 32 characters of the name
  std::shared_ptr<int> inquiries = std::make_shared<int>(0);
  std::shared_ptr<std::vector<uint32_t>> messages = std::make_shared<std::vector<uint32_t>>();
};

inline host::FakeCplEntry EntryOf(FakeLibrary lib) {
  return [lib](WindowHandle, uint32_t message, intptr_t index, intptr_t record) -> int32_t {
    if (message != kCplNewInquire) lib.messages->push_back(message);
    if (message == kCplInit) return lib.init;
    if (message == kCplGetCount) return lib.count ? *lib.count : static_cast<int32_t>(lib.names.size());
    if (message == kCplNewInquire) {
      ++*lib.inquiries;
      auto* info = reinterpret_cast<NewCplInfo*>(record);
      if (lib.unterminated) {
        for (WChar& c : info->szName) c = u'x';
        for (WChar& c : info->szInfo) c = u'y';  // and what follows is not a terminator either
      } else if (index >= 0 && static_cast<size_t>(index) < lib.names.size() && lib.names[index]) {
        WCopy(info->szName, kCplNameChars, lib.names[index]);
      }
    }
    return 0;
  };
}

class PickerTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    host::LibrariesReset();
    CreateFolder(u"\\windows");
    SetClock(100000);
    platform::host::SetMonotonicSource([this] { return now_; });
    ASSERT_EQ(Open(), 1);
    owner_ = theGUI.MainWindow;
  }
  void TearDown() override {
    host::SetWhenIdle({});
    host::LibrariesReset();
    GuiTest::TearDown();
  }
  void SetClock(uint64_t ms) { now_ = ms; }
  void Library(const WString& name, std::optional<FakeLibrary> lib) {
    std::string file = ToUtf8(u"\\windows\\" + name);
    FileWriteAll((u"\\windows\\" + name).c_str(), "MZ", 2);
    host::SetFakeLibrary(name, lib ? std::optional<host::FakeCplEntry>(EntryOf(*lib)) : std::nullopt);
  }
  // The user's steps, one each time the picker waits for input.
  void Script(std::deque<std::function<void()>> steps) {
    auto queue = std::make_shared<std::deque<std::function<void()>>>(std::move(steps));
    host::SetWhenIdle([queue] {
      if (queue->empty()) return false;
      auto step = queue->front();
      queue->pop_front();
      step();
      return true;
    });
  }
  // The picker's window and controls while it is open.
  WindowHandle Picker() {
    for (WindowHandle w : host::LiveChildren(nullptr)) {
      const auto* r = host::WindowRecord(w);
      if (r->className.rfind(u"browse", 0) == 0) return w;
    }
    return nullptr;
  }
  WindowHandle Tree() { return ChildById(Picker(), pickerTree_); }
  WindowHandle Box(int id) { return ChildById(Picker(), id); }
  // The node of that text under `parent` (the top when null).
  TreeItem Node(const WString& text, TreeItem parent = nullptr) { return tree_helpers::Node(Tree(), text, parent); }
  std::vector<WString> Children(TreeItem parent = nullptr) { return tree_helpers::Children(Tree(), parent); }
  WString Text(WindowHandle w) {
    WChar t[260];
    ReadText(w, t, 260);
    return t;
  }
  void Notify(int32_t code) {
    host::SendNotification(Picker(), Notification{Tree(), static_cast<uintptr_t>(pickerTree_), code});
  }
  // A double tap where a user taps: on the middle of the node's label, or (missing it) on the
  // node's row at the very left, its indent.
  void DoubleTap(TreeItem node, bool onLabel = true) {
    Rect r{}, t = ScreenBounds(Tree());
    ASSERT_TRUE(TreeItemBounds(Tree(), node, r));
    int32_t x = onLabel ? (r.left + r.right) / 2 : 2;
    host::SetLastMessagePosition(Point{t.left + x, t.top + (r.top + r.bottom) / 2});
    Notify(kNmDblClk);
  }
  void Press(uint16_t command) { Post(Picker(), kWmCommand, command, 0); }
  int Images(TreeItem node) {
    int image = -1;
    TreeRead(Tree(), node, kTvifImage, nullptr, 0, &image, nullptr, nullptr);
    return image;
  }
  // The user opens or closes a node with its button.
  void Expand(TreeItem node) { SetExpanded(node, true); }
  void Collapse(TreeItem node) { SetExpanded(node, false); }
  void SetExpanded(TreeItem node, bool open) {
    ASSERT_NE(node, nullptr);
    bool toggle = false;
    for (const auto& e : host::WindowRecord(Tree())->tree) toggle |= e.item == node && e.expanded != open;
    if (toggle) host::ToggleNode(Tree(), node);  // after the look: the toggle adds nodes
  }
  int HasChildrenFlag(TreeItem node) { return tree_helpers::ChildrenFlag(Tree(), node); }
  // The installed strip of the screen's factor, as the settings window chooses it.
  WString Strip(const WString& name) {
    return u"\\Quillmote\\images\\" + name + (ScaleX == 2 ? u"_f2.jpg" : u"_f1.jpg");
  }
  void OpenApplets() {
    pickerTree_ = 702;
    ShowAppletPicker(kInstance, owner_, u"Add Applet", u"lpc.", Strip(u"tva").c_str(), result_, parameter_);
  }
  void OpenPrograms(const WChar* pattern = u"exe.|knl.") {
    pickerTree_ = 701;
    ShowProgramPicker(kInstance, owner_, u"Add Shortcut or Program", pattern, Strip(u"tvf").c_str(), result_,
                      parameter_);
  }

  uint64_t now_ = 0;
  WindowHandle owner_ = nullptr;
  int pickerTree_ = 0;
  WChar result_[260] = {}, parameter_[260] = {};
};

}  // namespace pickertest
