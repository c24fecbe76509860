// The HTML view control ("DISPLAYCLASS") that shows the help page, and the platform strings its
// navigation message takes. Desktop Windows has no such control: a read-only view of our own,
// registered under the same class name, shows a local page's headings, paragraphs and lists
// (wrapped and scrollable). It runs no scripts and opens no network address.
#pragma once

#include <cstdint>

#include "platform/handles.h"
#include "platform/text.h"
#include "platform/window.h"

namespace platform {

inline constexpr WChar kHtmlViewClass[] = u"DISPLAYCLASS";
// DTM_CLEAR empties the view; DTM_NAVIGATE (wParam 0, lParam a platform string) loads an address.
inline constexpr uint32_t kDtmClear = kWmUser + 113;
inline constexpr uint32_t kDtmNavigate = kWmUser + 120;

// InitHTMLControl: makes the view class available to `instance`; false on failure.
bool InitHtmlControl(InstanceHandle instance);

// SysAllocString and SysFreeString: a copy of the text that the platform owns; null on failure
// (a program holds at most four at a time).
WChar* AllocPlatformString(const WChar* text);
void FreePlatformString(WChar* text);

}  // namespace platform
