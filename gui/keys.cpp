#include "gui/keys.h"

#include <vector>

#include "platform/keyboard.h"
#include "platform/window.h"

namespace {

struct Watch {
  platform::WindowHandle topLevel;
  KeyHandler handler;
  void* context;
};

// The windows whose keys are watched: the settings window and, while one is open, a picker. Main
// thread only, like the loops.
std::vector<Watch> watches;
bool dispatchingKey = false;

bool OfferToWindow(const platform::Message& msg) {
  if (msg.message != platform::kWmKeyDown || !msg.window || watches.empty()) return false;
  platform::WindowHandle top = platform::TopLevelOf(msg.window);
  for (const Watch& w : watches) {
    if (w.topLevel != top) continue;
    KeyPress press{static_cast<uint32_t>(msg.wParam), platform::KeyIsDown(platform::kVkControl),
                   platform::KeyIsDown(platform::kVkShift), msg.window};
    return w.handler(w.context, press);
  }
  return false;
}

}  // namespace

void WatchWindowKeys(platform::WindowHandle topLevel, KeyHandler handler, void* context) {
  EndWindowKeys(topLevel);
  watches.push_back(Watch{topLevel, handler, context});
}

void EndWindowKeys(platform::WindowHandle topLevel) {
  for (auto it = watches.begin(); it != watches.end();) it = it->topLevel == topLevel ? watches.erase(it) : it + 1;
}

void DispatchWithKeys(const platform::Message& msg) {
  if (OfferToWindow(msg)) return;
  // Only this message's own dispatch counts: a loop nested inside it (a picker opened by the key)
  // dispatches messages of its own.
  bool outer = dispatchingKey;
  dispatchingKey = msg.message == platform::kWmKeyDown;
  platform::TranslateAndDispatch(msg);
  dispatchingKey = outer;
}

bool DispatchingKey() {
  return dispatchingKey;
}
