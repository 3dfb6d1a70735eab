#ifndef WIN32_UNIQUE_HANDLE_H_
#define WIN32_UNIQUE_HANDLE_H_

#include <windows.h>

#include <bcrypt.h>
#include <objbase.h>

#include <utility>

namespace veltrix {

// Sole owner of one Windows handle; Traits says what "no handle" is and how
// to close one, so every way out of a scope closes it.
template <typename Traits>
class UniqueHandle {
 public:
  using Type = typename Traits::Type;

  UniqueHandle() = default;
  explicit UniqueHandle(Type handle) : handle_(handle) {}
  ~UniqueHandle() { Reset(); }

  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  Type Get() const { return handle_; }
  bool IsValid() const { return Traits::IsValid(handle_); }
  explicit operator bool() const { return IsValid(); }

  // For out-parameters of the call that opens the handle.
  Type* Receive() {
    Reset();
    return &handle_;
  }
  Type Release() { return std::exchange(handle_, Traits::Invalid()); }
  void Reset(Type handle = Traits::Invalid()) {
    if (Traits::IsValid(handle_)) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Type handle_ = Traits::Invalid();
};

// Kernel object handles, where both null and INVALID_HANDLE_VALUE mean none.
struct KernelHandleTraits {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Type h) { ::CloseHandle(h); }
};

struct RegistryKeyTraits {
  using Type = HKEY;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr; }
  static void Close(Type h) { ::RegCloseKey(h); }
};

struct MenuTraits {
  using Type = HMENU;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr; }
  static void Close(Type h) { ::DestroyMenu(h); }
};

struct LocalMemoryTraits {
  using Type = HLOCAL;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr; }
  static void Close(Type h) { ::LocalFree(h); }
};

struct CoTaskMemoryTraits {
  using Type = void*;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr; }
  static void Close(Type h) { ::CoTaskMemFree(h); }
};

struct BcryptAlgorithmTraits {
  using Type = BCRYPT_ALG_HANDLE;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr; }
  static void Close(Type h) { ::BCryptCloseAlgorithmProvider(h, 0); }
};

struct BcryptHashTraits {
  using Type = BCRYPT_HASH_HANDLE;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr; }
  static void Close(Type h) { ::BCryptDestroyHash(h); }
};

struct LibraryTraits {
  using Type = HMODULE;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr; }
  static void Close(Type h) { ::FreeLibrary(h); }
};

using UniqueFile = UniqueHandle<KernelHandleTraits>;
using UniqueRegistryKey = UniqueHandle<RegistryKeyTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueLocalMemory = UniqueHandle<LocalMemoryTraits>;
using UniqueCoTaskMemory = UniqueHandle<CoTaskMemoryTraits>;
using UniqueBcryptAlgorithm = UniqueHandle<BcryptAlgorithmTraits>;
using UniqueBcryptHash = UniqueHandle<BcryptHashTraits>;
using UniqueLibrary = UniqueHandle<LibraryTraits>;

}  // namespace veltrix

#endif  // WIN32_UNIQUE_HANDLE_H_
