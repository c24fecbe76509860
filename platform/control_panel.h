// The control-panel interface: the messages a control-panel library's CPlApplet entry answers,
// and the record it describes an applet in. Both deliverables speak it: the applet as a library,
// the applet picker as a host.
#pragma once

#include <cstdint>

#include "platform/handles.h"
#include "platform/text.h"

namespace platform {

inline constexpr uint32_t kCplInit = 1;
inline constexpr uint32_t kCplGetCount = 2;
inline constexpr uint32_t kCplInquire = 3;
inline constexpr uint32_t kCplSelect = 4;
inline constexpr uint32_t kCplDblClk = 5;
inline constexpr uint32_t kCplStop = 6;
inline constexpr uint32_t kCplExit = 7;
inline constexpr uint32_t kCplNewInquire = 8;
inline constexpr uint32_t kCplStartWParmsW = 10;

inline constexpr int kCplNameChars = 32;
inline constexpr int kCplInfoChars = 64;
inline constexpr int kCplHelpFileChars = 128;

// NEWCPLINFOW, field for field and packed as the platform packs it (468 bytes on 32-bit Windows,
// 476 on 64-bit).
#pragma pack(push, 1)
struct NewCplInfo {
  uint32_t dwSize;
  uint32_t dwFlags;
  uint32_t dwHelpContext;
  intptr_t lData;
  IconHandle hIcon;
  WChar szName[kCplNameChars];
  WChar szInfo[kCplInfoChars];
  WChar szHelpFile[kCplHelpFileChars];
};
#pragma pack(pop)

}  // namespace platform
