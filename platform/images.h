// Icons and image lists: icons from the program's resources, and the image lists that tab strips
// and tree views draw their images from. The caller owns what it loads or makes.
#pragma once

#include <cstdint>

#include "platform/handles.h"
#include "platform/owned_handle.h"

namespace platform {

inline constexpr uint32_t kIlcMask = 0x0001;

// LoadIconW: the icon resource at the system's standard size; null when there is none.
IconHandle LoadIconById(InstanceHandle instance, int id);
// LoadImageW(IMAGE_ICON) at the given size; null when there is none.
IconHandle LoadIconSized(InstanceHandle instance, int id, int32_t width, int32_t height);
bool DestroyIconHandle(IconHandle icon);

ImageListHandle MakeImageList(int32_t width, int32_t height, uint32_t flags, int initial, int grow);
bool DestroyImageList(ImageListHandle list);
// ImageList_ReplaceIcon with index -1 (append); the new image's index, or -1.
int ImageListAddIcon(ImageListHandle list, IconHandle icon);
// ImageList_AddMasked: cuts the bitmap into images of the list's width, `mask` transparent; the
// first new index, or -1.
int ImageListAddMasked(ImageListHandle list, BitmapHandle bitmap, uint32_t mask);
int ImageListCount(ImageListHandle list);

// Owners of a loaded icon and of a made image list.
using OwnedIcon = OwnedHandle<ReleasedBy<DestroyIconHandle>>;
using OwnedImageList = OwnedHandle<ReleasedBy<DestroyImageList>>;

}  // namespace platform
