#include "platform/host/host_images.h"

#include <algorithm>
#include <deque>

#include "platform/host/host_paint.h"

namespace platform {
namespace {

struct Icon {
  bool alive;
  host::IconInfo info;
};
struct List {
  bool alive;
  host::ImageListInfo info;
};
struct Images {
  std::deque<Icon> icons;
  std::deque<List> lists;
  std::vector<int> missing;
};

Images& I() {
  static Images i;
  return i;
}

Icon* IconOf(IconHandle h) {
  for (auto& i : I().icons) {
    if (&i == h) return i.alive ? &i : nullptr;
  }
  return nullptr;
}

List* ListOf(ImageListHandle h) {
  for (auto& l : I().lists) {
    if (&l == h) return l.alive ? &l : nullptr;
  }
  return nullptr;
}

IconHandle Load(int id, int32_t width, int32_t height) {
  auto& m = I().missing;
  if (std::find(m.begin(), m.end(), id) != m.end()) return nullptr;
  I().icons.push_back(Icon{true, host::IconInfo{id, width, height}});
  return &I().icons.back();
}

}  // namespace

namespace host {

void ImagesReset() {
  I().icons.clear();
  I().lists.clear();
  I().missing.clear();
}

void SetMissingIcon(int id) {
  I().missing.push_back(id);
}

const IconInfo* IconRecord(IconHandle icon) {
  Icon* i = IconOf(icon);
  return i ? &i->info : nullptr;
}

const ImageListInfo* ImageListRecord(ImageListHandle list) {
  List* l = ListOf(list);
  return l ? &l->info : nullptr;
}

int LiveIconsAndLists() {
  int n = 0;
  for (const auto& i : I().icons) n += i.alive ? 1 : 0;
  for (const auto& l : I().lists) n += l.alive ? 1 : 0;
  return n;
}

}  // namespace host

IconHandle LoadIconById(InstanceHandle, int id) {
  return Load(id, 0, 0);
}

IconHandle LoadIconSized(InstanceHandle, int id, int32_t width, int32_t height) {
  return Load(id, width, height);
}

bool DestroyIconHandle(IconHandle icon) {
  Icon* i = IconOf(icon);
  if (!i) return false;
  i->alive = false;
  return true;
}

ImageListHandle MakeImageList(int32_t width, int32_t height, uint32_t flags, int, int) {
  if (width <= 0 || height <= 0) return nullptr;
  I().lists.push_back(List{true, host::ImageListInfo{width, height, flags, {}}});
  return &I().lists.back();
}

bool DestroyImageList(ImageListHandle list) {
  List* l = ListOf(list);
  if (!l) return false;
  l->alive = false;
  return true;
}

int ImageListAddIcon(ImageListHandle list, IconHandle icon) {
  List* l = ListOf(list);
  Icon* i = IconOf(icon);
  if (!l || !i) return -1;
  l->info.iconIds.push_back(i->info.id);
  return static_cast<int>(l->info.iconIds.size() - 1);
}

int ImageListAddMasked(ImageListHandle list, BitmapHandle bitmap, uint32_t) {
  List* l = ListOf(list);
  const host::BitmapInfo* b = host::BitmapRecord(bitmap);
  if (!l || !b || b->width < l->info.width || b->height < l->info.height) return -1;
  int first = static_cast<int>(l->info.iconIds.size());
  for (int32_t n = b->width / l->info.width; n > 0; --n) l->info.iconIds.push_back(-1);
  return first;
}

int ImageListCount(ImageListHandle list) {
  List* l = ListOf(list);
  return l ? static_cast<int>(l->info.iconIds.size()) : 0;
}

}  // namespace platform
