#ifndef WIN32_UNIQUE_HANDLE_H_
#define WIN32_UNIQUE_HANDLE_H_

#include <windows.h>

#include <utility>

namespace veltrix {

template <typename T>
bool IsNonNull(T handle) {
  return handle != T{};
}

// Sole owner of one Windows handle: `Close` releases it, `IsValid` tells a
// handle from "none", so every way out of a scope closes what it holds. Each
// kind of handle gets a one-line alias next to the code that uses it, e.g.
//   using UniqueMenu = UniqueHandle<HMENU, DestroyMenuHandle>;
template <typename T, void (*Close)(T), bool (*IsValid)(T) = &IsNonNull<T>>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(T handle) : handle_(handle) {}
  ~UniqueHandle() { Reset(); }

  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  T Get() const { return handle_; }
  explicit operator bool() const { return IsValid(handle_); }

  // For the out-parameter of the call that opens the handle.
  T* Receive() {
    Reset();
    return &handle_;
  }
  // Dropping a released handle would leak it.
  [[nodiscard]] T Release() { return std::exchange(handle_, T{}); }
  void Reset(T handle = T{}) {
    if (IsValid(handle_)) Close(handle_);
    handle_ = handle;
  }

 private:
  T handle_ = T{};
};

inline void CloseKernelHandle(HANDLE handle) { ::CloseHandle(handle); }
// CreateFileW says "none" with INVALID_HANDLE_VALUE, most other calls with null.
inline bool IsKernelHandle(HANDLE handle) {
  return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}
inline void CloseRegistryKey(HKEY key) { ::RegCloseKey(key); }
inline void FreeLocalMemory(HLOCAL memory) { ::LocalFree(memory); }
inline void FreeLibraryHandle(HMODULE module) { ::FreeLibrary(module); }

// Files, folders, processes: everything closed with CloseHandle.
using UniqueKernelHandle = UniqueHandle<HANDLE, CloseKernelHandle, IsKernelHandle>;
using UniqueRegistryKey = UniqueHandle<HKEY, CloseRegistryKey>;
using UniqueLocalMemory = UniqueHandle<HLOCAL, FreeLocalMemory>;
using UniqueLibrary = UniqueHandle<HMODULE, FreeLibraryHandle>;

}  // namespace veltrix

#endif  // WIN32_UNIQUE_HANDLE_H_
