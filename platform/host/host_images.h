// Host model of icons and image lists: records of what was loaded and made.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/images.h"

namespace platform::host {

struct IconInfo {
  int id;
  int32_t width, height;  // 0: the system's standard size
};
struct ImageListInfo {
  int32_t width, height;
  uint32_t flags;
  std::vector<int> iconIds;  // an entry per image; -1 for images cut from a bitmap
};

void ImagesReset();
// Icon resources the program does not have: loading them fails.
void SetMissingIcon(int id);
const IconInfo* IconRecord(IconHandle icon);
const ImageListInfo* ImageListRecord(ImageListHandle list);
// Icons and image lists loaded or made and not yet destroyed.
int LiveIconsAndLists();

}  // namespace platform::host
