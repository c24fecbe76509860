// Icons and image lists on the real API.
#include "platform/images.h"
#include "platform/win32/wide.h"
// After windows.h, which it needs.
#include <commctrl.h>

namespace platform {

IconHandle LoadIconById(InstanceHandle instance, int id) {
  return LoadIconW(static_cast<HINSTANCE>(instance), MAKEINTRESOURCEW(id));
}

IconHandle LoadIconSized(InstanceHandle instance, int id, int32_t width, int32_t height) {
  return LoadImageW(static_cast<HINSTANCE>(instance), MAKEINTRESOURCEW(id), IMAGE_ICON, width, height, 0);
}

bool DestroyIconHandle(IconHandle icon) {
  return icon && DestroyIcon(static_cast<HICON>(icon)) != 0;
}

ImageListHandle MakeImageList(int32_t width, int32_t height, uint32_t flags, int initial, int grow) {
#ifndef _WIN32_WCE
  // The device's lists take the screen's colour depth; on desktop Windows a list without a
  // colour flag has 4 bits. 24 bits, not 32: a 32-bit list draws by the pictures' alpha and
  // ignores the mask cut from their green.
  flags |= ILC_COLOR24;
#endif
  return ImageList_Create(width, height, flags, initial, grow);
}

bool DestroyImageList(ImageListHandle list) {
  return list && ImageList_Destroy(static_cast<HIMAGELIST>(list)) != 0;
}

int ImageListAddIcon(ImageListHandle list, IconHandle icon) {
  return ImageList_ReplaceIcon(static_cast<HIMAGELIST>(list), -1, static_cast<HICON>(icon));
}

int ImageListAddMasked(ImageListHandle list, BitmapHandle bitmap, uint32_t mask) {
  return ImageList_AddMasked(static_cast<HIMAGELIST>(list), static_cast<HBITMAP>(bitmap), mask);
}

int ImageListCount(ImageListHandle list) {
  return ImageList_GetImageCount(static_cast<HIMAGELIST>(list));
}

}  // namespace platform
