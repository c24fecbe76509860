// What the program and the input driver agree on: the device name, the two control codes and
// the three thread messages the driver posts. The driver stand-in qmxsim includes this header too.
#pragma once

#include <cstdint>

namespace driver_protocol {

// The stream device "QMX0:" (prefix QMX, index 0).
inline constexpr char16_t kDeviceName[] = u"QMX0:";
// Desktop Windows: a kernel driver's device, else the pipe that qmxsim serves.
inline constexpr char16_t kDesktopDevicePath[] = u"\\\\.\\QMX0";
inline constexpr char16_t kDesktopPipePath[] = u"\\\\.\\pipe\\QMX0";

// CTL_CODE(FILE_DEVICE_UNKNOWN, 0x801 / 0x802, METHOD_BUFFERED, FILE_ANY_ACCESS).
inline constexpr uint32_t IOCTL_INFORM_DRIVER = 0x00222004;
inline constexpr uint32_t IOCTL_MANAGE_FILTER = 0x00222008;

// Thread messages, in the application range (WM_APP = 0x8000); wParam 1 means on.
inline constexpr uint32_t TM_KBSTATUS = 0x8101;
inline constexpr uint32_t TM_MOUSESTATUS = 0x8102;
inline constexpr uint32_t TM_BLUETOOTH = 0x8103;

// The driver byte of the filter record: the tag 'Q', which marks the record as this program's.
inline constexpr uint8_t kFilterDriverByte = 0x51;

// Desktop pipe transaction: the request is the control code followed by the input record, the
// answer the driver's 32-bit result; every word little-endian.
inline constexpr uint32_t kPipeAnswerBytes = 4;

}  // namespace driver_protocol
