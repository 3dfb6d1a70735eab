#include "app/single_instance.h"

#include <chrono>
#include <cstdint>
#include <cwchar>
#include <utility>
#include <vector>

#include "app/start_failure.h"
#include "base/product.h"
#include "file_safety/path_checks.h"
#include "win32/system_paths.h"
#include "window/window_messages.h"

namespace veltrix {
namespace {

constexpr wchar_t kLockName[] = L"Local\\" VELTRIX_SESSION_TAG_W L" running";
constexpr wchar_t kWindowRecordName[] = L"Local\\" VELTRIX_SESSION_TAG_W L" instance";
constexpr DWORD kLookIntervalMs = 50;
// A running copy's window that does not answer in this time is hung.
constexpr UINT kShowAnswerMs = 5000;

constexpr size_t kClassNameUnits = 64;

// A view whose page is not committed (a section another program made with
// SEC_RESERVE) would fault at the first read: it counts as no record.
bool IsCommittedView(void* view) {
  MEMORY_BASIC_INFORMATION region{};
  return ::VirtualQuery(view, &region, sizeof(region)) == sizeof(region) &&
         region.State == MEM_COMMIT && region.RegionSize >= sizeof(uint64_t) &&
         region.Protect == PAGE_READWRITE;
}

bool Taken(DWORD wait) { return wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED; }

}  // namespace

SessionObjects DefaultSessionObjects() { return {kLockName, kWindowRecordName, RunningModulePath}; }

SessionInstance::SessionInstance() : SessionInstance(DefaultSessionObjects()) {}

SessionInstance::SessionInstance(SessionObjects objects) : objects_(std::move(objects)) {
  lock_.Reset(::CreateMutexW(nullptr, FALSE, objects_.lockName.c_str()));
  SessionLock lock = SessionLock::kUnavailable;
  if (lock_) {
    lock = Taken(::WaitForSingleObject(lock_.Get(), 0)) ? SessionLock::kTaken : SessionLock::kHeld;
  } else if (::GetLastError() == ERROR_ACCESS_DENIED) {
    lock = SessionLock::kAccessDenied;
    // It can at least be waited for, where its owner allows that.
    lock_.Reset(::OpenMutexW(SYNCHRONIZE, FALSE, objects_.lockName.c_str()));
  }
  first_ = RunsAsSessionCopy(lock);
  mapping_.Reset(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(uint64_t), objects_.recordName.c_str()));
  if (mapping_) {
    view_.Reset(
        ::MapViewOfFile(mapping_.Get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(uint64_t)));
  }
  if (view_ && !IsCommittedView(view_.Get())) view_.Reset();
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
  looked_ = PublishedWindow();
  if (looked_ == nullptr) return RunningCopy::kLoading;
  // A window that was published and is gone: the copy is going away.
  if (!::IsWindow(looked_)) return RunningCopy::kQuitting;
  return IsOwnWindow(looked_) ? RunningCopy::kReady : RunningCopy::kForeign;
}

HWND SessionInstance::PublishedWindow() const {
  if (view_) {
    return reinterpret_cast<HWND>(
        static_cast<uintptr_t>(*static_cast<const volatile uint64_t*>(view_.Get())));
  }
  // Without the record (a copy started elevated), a window of ours by its
  // class.
  for (HWND window = ::FindWindowExW(nullptr, nullptr, kWindowClassName, nullptr);
       window != nullptr; window = ::FindWindowExW(nullptr, window, kWindowClassName, nullptr)) {
    if (IsOwnWindow(window)) return window;
  }
  return nullptr;
}

bool SessionInstance::IsOwnWindow(HWND window) const {
  // The class is shared by every program built on the same engine.
  wchar_t className[kClassNameUnits] = {};
  if (::GetClassNameW(window, className, kClassNameUnits) == 0 ||
      std::wcscmp(className, kWindowClassName) != 0) {
    return false;
  }
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  // Limited information is granted even on a copy started elevated.
  const UniqueKernelHandle process(
      ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  std::vector<wchar_t> image(kPathBufferUnits, L'\0');
  DWORD units = kPathBufferUnits;
  if (!process || !::QueryFullProcessImageNameW(process.Get(), 0, image.data(), &units)) {
    return false;
  }
  const Win32Result<std::wstring> own = objects_.programPath();
  return own && PathsEqual(std::wstring_view(image.data(), units), *own);
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
        const std::optional<RunningCopy> declined = AskToShow(looked_);
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
