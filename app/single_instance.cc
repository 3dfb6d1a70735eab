#include "app/single_instance.h"

#include <cstdint>
#include <cwchar>

#include "base/product.h"
#include "window/win32_window.h"
#include "window/window_messages.h"

namespace veltrix {
namespace {

constexpr wchar_t kInstanceName[] = L"Local\\" VELTRIX_SESSION_TAG_W L" instance";
constexpr int kPublishWaitMs = 2000;
constexpr int kPollMs = 20;

// Only a top-level window of ours is worth asking: the name's holder could
// have written anything.
bool IsHostWindow(HWND window) {
  wchar_t className[64] = {};
  return window != nullptr && ::IsWindow(window) && ::GetClassNameW(window, className, 64) > 0 &&
         std::wcscmp(className, kWindowClassName) == 0;
}

}  // namespace

SessionInstance::SessionInstance() {
  const HANDLE mapping = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                              sizeof(uint64_t), kInstanceName);
  const DWORD error = ::GetLastError();
  mapping_.Reset(mapping);
  // A name that cannot be had at all does not stop the program.
  first_ = mapping == nullptr || error != ERROR_ALREADY_EXISTS;
  if (mapping_) {
    view_.Reset(
        ::MapViewOfFile(mapping_.Get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(uint64_t)));
  }
}

void SessionInstance::Publish(HWND window) {
  if (view_) *static_cast<volatile uint64_t*>(view_.Get()) = reinterpret_cast<uintptr_t>(window);
}

HWND SessionInstance::RunningWindow() const {
  if (!view_) return nullptr;
  for (int waited = 0; waited <= kPublishWaitMs; waited += kPollMs) {
    const auto window = reinterpret_cast<HWND>(
        static_cast<uintptr_t>(*static_cast<const volatile uint64_t*>(view_.Get())));
    if (IsHostWindow(window)) return window;
    ::Sleep(kPollMs);
  }
  return nullptr;
}

int HandOverToRunningCopy(const SessionInstance& instance, bool loginStart) {
  if (loginStart) return 0;
  const HWND running = instance.RunningWindow();
  if (running == nullptr) return 0;
  // This start came from the user, so it may hand the foreground on.
  DWORD process = 0;
  ::GetWindowThreadProcessId(running, &process);
  ::AllowSetForegroundWindow(process);
  ::PostMessageW(running, ::RegisterWindowMessageW(kShowRunningWindowMessageName), 0, 0);
  return 0;
}

}  // namespace veltrix
