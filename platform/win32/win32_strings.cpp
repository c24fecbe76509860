// The string tables of a module on the real API.
#include <atomic>

#include "platform/resources.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

std::atomic<uint16_t> resourceLanguage{0x0409};
std::atomic<HMODULE> resourceTranslation{nullptr};

}  // namespace

int LoadResourceString(InstanceHandle instance, uint32_t id, uint16_t language, WChar* buffer, int chars) {
  if (chars <= 0) return 0;
  buffer[0] = 0;
  // Strings are stored sixteen to a block, block n + 1 holding the strings 16 n to 16 n + 15, each
  // as its length followed by its characters.
  HMODULE module = static_cast<HMODULE>(instance);
  HRSRC found = FindResourceExW(module, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(id / 16 + 1), language);  // RT_STRING
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const WORD* words = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
  if (!words) return 0;
  const WORD* end = words + SizeofResource(module, found) / sizeof(WORD);
  for (uint32_t i = 0; i < id % 16; ++i) {
    if (words >= end) return 0;
    words += 1 + *words;
  }
  if (words >= end || words + 1 + *words > end) return 0;
  int length = *words < chars ? *words : chars - 1;
  for (int i = 0; i < length; ++i) buffer[i] = static_cast<WChar>(words[1 + i]);
  buffer[length] = 0;
  return length;
}

InstanceHandle OpenTranslation(InstanceHandle instance, uint16_t language) {
  wchar_t path[MAX_PATH + 16];
  DWORD length = GetModuleFileNameW(static_cast<HMODULE>(instance), path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  static const wchar_t kDigits[] = L"0123456789ABCDEF";
  wchar_t* end = path + length;
  *end++ = L'.';
  for (int shift = 12; shift >= 0; shift -= 4) *end++ = kDigits[(language >> shift) & 0xF];
  lstrcpyW(end, L".mui");
#ifdef _WIN32_WCE
  const DWORD kAsData = LOAD_LIBRARY_AS_DATAFILE;
#else
  // As an image of resources that nobody may change while it is mapped.
  const DWORD kAsData = LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE | LOAD_LIBRARY_AS_IMAGE_RESOURCE;
#endif
  return LoadLibraryExW(path, nullptr, kAsData);
}

void SetResourceLanguage(uint16_t language, InstanceHandle translation) {
  resourceTranslation = static_cast<HMODULE>(translation);
  resourceLanguage = language;
}

uint16_t ResourceLanguage() {
  return resourceLanguage;
}

InstanceHandle ResourceTranslation() {
  return resourceTranslation;
}

}  // namespace platform
