// A platform object with exactly one owner, released when the owner lets go of it (Close, a new
// Reset, or the end of the owner's life). Traits::Release(handle) is the backend's release call.
#pragma once

namespace platform {

template <typename Traits>
class OwnedHandle {
 public:
  OwnedHandle() = default;
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  OwnedHandle(OwnedHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  OwnedHandle& operator=(OwnedHandle&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = other.handle_;
      other.handle_ = nullptr;
    }
    return *this;
  }
  ~OwnedHandle() { Close(); }

  bool IsOpen() const { return handle_ != nullptr; }
  void Close() {
    if (handle_) Traits::Release(handle_);
    handle_ = nullptr;
  }
  // The handle itself, to hand to the platform's calls; the owner keeps it.
  void* handle() const { return handle_; }
  void Reset(void* handle) {
    Close();
    handle_ = handle;
  }

 private:
  void* handle_ = nullptr;
};

// Traits for an object whose release is one of the platform's own calls taking its handle (any
// result it gives is not needed: a handle an owner holds was made, and goes once).
template <auto ReleaseCall>
struct ReleasedBy {
  static void Release(void* handle) { ReleaseCall(handle); }
};

}  // namespace platform
