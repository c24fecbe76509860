// Opaque handles of platform objects as the logic holds them; only the backend looks inside.
#pragma once

namespace platform {

using InstanceHandle = void*;
using WindowHandle = void*;
using IconHandle = void*;
using BitmapHandle = void*;
using ImageListHandle = void*;
using ThreadHandle = void*;
using EventHandle = void*;

}  // namespace platform
