#include "app/single_instance.h"

#include <chrono>
#include <cstdint>
#include <cwchar>

#include "app/start_failure.h"
#include "base/product.h"
#include "window/window_messages.h"

namespace veltrix {
namespace {

constexpr wchar_t kLockName[] = L"Local\\" VELTRIX_SESSION_TAG_W L" running";
constexpr wchar_t kWindowRecordName[] = L"Local\\" VELTRIX_SESSION_TAG_W L" instance";
constexpr DWORD kLookIntervalMs = 50;
// A running copy's window that does not answer in this time is hung.
constexpr UINT kShowAnswerMs = 5000;

// Only a top-level window of ours is worth asking: the record's writer could
// have written anything.
bool IsHostWindow(HWND window) {
  wchar_t className[64] = {};
  return window != nullptr && ::IsWindow(window) && ::GetClassNameW(window, className, 64) > 0 &&
         std::wcscmp(className, kWindowClassName) == 0;
}

bool Taken(DWORD wait) { return wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED; }

}  // namespace

SessionInstance::SessionInstance() {
  lock_.Reset(::CreateMutexW(nullptr, FALSE, kLockName));
  SessionLock lock = SessionLock::kUnavailable;
  if (lock_) {
    lock = Taken(::WaitForSingleObject(lock_.Get(), 0)) ? SessionLock::kTaken : SessionLock::kHeld;
  } else if (::GetLastError() == ERROR_ACCESS_DENIED) {
    lock = SessionLock::kAccessDenied;
    // It can at least be waited for, where its owner allows that.
    lock_.Reset(::OpenMutexW(SYNCHRONIZE, FALSE, kLockName));
  }
  first_ = RunsAsSessionCopy(lock);
  mapping_.Reset(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(uint64_t), kWindowRecordName));
  if (mapping_) {
    view_.Reset(
        ::MapViewOfFile(mapping_.Get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(uint64_t)));
  }
  // No window yet, whatever an earlier copy left.
  if (first_) Publish(nullptr);
}

SessionInstance::~SessionInstance() {
  if (first_ && lock_) ::ReleaseMutex(lock_.Get());
}

void SessionInstance::Publish(HWND window) {
  if (view_) *static_cast<volatile uint64_t*>(view_.Get()) = reinterpret_cast<uintptr_t>(window);
}

RunningCopy SessionInstance::Look() {
  if (lock_ && Taken(::WaitForSingleObject(lock_.Get(), kLookIntervalMs))) {
    first_ = true;
    Publish(nullptr);
    return RunningCopy::kEnded;
  }
  if (!lock_) ::Sleep(kLookIntervalMs);
  const HWND window = PublishedWindow();
  if (IsHostWindow(window)) return RunningCopy::kReady;
  // A window that was published and is gone: the copy is going away.
  return window != nullptr ? RunningCopy::kQuitting : RunningCopy::kLoading;
}

HWND SessionInstance::PublishedWindow() const {
  // Without the record (a copy started elevated), its window by its class.
  if (!view_) return ::FindWindowW(kWindowClassName, nullptr);
  return reinterpret_cast<HWND>(
      static_cast<uintptr_t>(*static_cast<const volatile uint64_t*>(view_.Get())));
}

std::optional<RunningCopy> SessionInstance::AskToShow(HWND window) {
  // This start came from the user, so it may hand the foreground on.
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  ::AllowSetForegroundWindow(process);
  DWORD_PTR shown = 0;
  if (!::SendMessageTimeoutW(window, ::RegisterWindowMessageW(kShowRunningWindowMessageName), 0, 0,
                             SMTO_ABORTIFHUNG, kShowAnswerMs, &shown)) {
    return ::IsWindow(window) ? RunningCopy::kHung : RunningCopy::kQuitting;
  }
  if (shown == 0) return RunningCopy::kQuitting;
  return std::nullopt;
}

std::optional<int> SessionInstance::HandOver(bool loginStart) {
  const auto began = std::chrono::steady_clock::now();
  RunningCopy copy = Look();
  for (;;) {
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - began);
    switch (NextHandOverStep(copy, waited, loginStart)) {
      case HandOverStep::kRunHere:
        return std::nullopt;
      case HandOverStep::kLeaveAlone:
        return 0;
      case HandOverStep::kNotResponding:
        return ReportStartFailure({StartFailure::Kind::kNotResponding, {}});
      case HandOverStep::kAskToShow: {
        const std::optional<RunningCopy> declined = AskToShow(PublishedWindow());
        if (!declined) return 0;
        copy = *declined;
        break;
      }
      case HandOverStep::kWait:
        copy = Look();
        break;
    }
  }
}

}  // namespace veltrix
