#include "tray/app_state.h"

platform::InstanceHandle appInstance = nullptr;
uint32_t debugEnabled = 0;

WChar AboutWebName[kAboutTextChars] = {};
WChar AboutWebLink[kAboutTextChars] = {};
WChar Version[kAboutTextChars] = {};
WChar Description[kAboutTextChars] = {};

platform::OwnedEvent closeEvent;
platform::ThreadHandle listenerThread = nullptr;
std::atomic<uint8_t> terminateRequested{0};
std::atomic<uint8_t> listenerKilled{0};
uint8_t driverReady = 0;
platform::OwnedBitmap logoBitmap;
