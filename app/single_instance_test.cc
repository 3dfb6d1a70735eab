// Another program of the user can make the session's objects first: this
// test plays it, with objects of its own names.
#include "app/single_instance.h"

#include <gtest/gtest.h>

#include <latch>
#include <thread>

#include "win32/system_paths.h"
#include "window/window_messages.h"

namespace veltrix {
namespace {

// Objects of this test's own names, for a program that runs from `program`.
SessionObjects Objects(std::wstring program) {
  const std::wstring tag = L"Local\\veltrix-test-" + std::to_wstring(::GetCurrentProcessId());
  return {tag + L" running", tag + L" instance",
          [program] { return Win32Result<std::wstring>(program); }};
}

// A window of the engine's common class, published where ours should be,
// answering every request to show itself.
LRESULT CALLBACK Answer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static const UINT show = ::RegisterWindowMessageW(kShowRunningWindowMessageName);
  return message == show ? 1 : ::DefWindowProcW(window, message, wParam, lParam);
}

TEST(SessionInstanceTest, HandsOverOnlyToAWindowOfThisProgram) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = Answer;
  windowClass.lpszClassName = kWindowClassName;
  ASSERT_NE(::RegisterClassW(&windowClass), 0);
  const HWND published = ::CreateWindowW(kWindowClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10,
                                         nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(published, nullptr);
  // The running copy holds the lock on a thread of its own.
  const std::wstring own = *RunningModulePath();
  std::latch held(1), release(1);
  std::thread holder([&] {
    const UniqueKernelHandle lock(::CreateMutexW(nullptr, TRUE, Objects(own).lockName.c_str()));
    held.count_down();
    release.wait();
    ::ReleaseMutex(lock.Get());
  });
  held.wait();

  SessionInstance foreign(Objects(L"C:\\Program Files\\VELTRIX VPN\\VELTRIX VPN.exe"));
  foreign.Publish(published);
  EXPECT_EQ(foreign.HandOver(false), std::nullopt) << "runs instead";
  SessionInstance later(Objects(own));
  EXPECT_EQ(later.HandOver(false), 0) << "handed over";
  release.count_down();
  holder.join();
}

// A record whose memory is only reserved faults at the first touch on
// Windows; Wine lets it pass, so what matters is that nothing touched it.
TEST(SessionInstanceTest, AnUncommittedRecordIsNoRecord) {
  const UniqueKernelHandle reserved(
      ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE | SEC_RESERVE, 0,
                           sizeof(uint64_t), Objects(L"").recordName.c_str()));
  SessionInstance first(Objects(L""));
  ASSERT_TRUE(first.first());
  first.Publish(::GetDesktopWindow());
  const UniqueMappedView view(
      ::MapViewOfFile(reserved.Get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(uint64_t)));
  ASSERT_NE(::VirtualAlloc(view.Get(), sizeof(uint64_t), MEM_COMMIT, PAGE_READWRITE), nullptr);
  EXPECT_EQ(*static_cast<const uint64_t*>(view.Get()), 0u);
}

}  // namespace
}  // namespace veltrix
