#include "tray/tray_icon.h"

#include <iterator>

#include "tray/bring_to_front.h"
#include "tray/tray_tooltip.h"

namespace veltrix {

namespace {

// Icon group 101 of the executable, or the system's generic icon.
HICON LoadTrayIconImage() {
  HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(101));
  return icon != nullptr ? icon : ::LoadIconW(nullptr, IDI_APPLICATION);
}

}  // namespace

static_assert(sizeof(NOTIFYICONDATAW) == 976, "the full record of 64-bit Windows");
static_assert(std::size(NOTIFYICONDATAW{}.szTip) == kTrayTipCapacity);

void TrayIcon::RegisterTaskbarCreated(HWND window) {
  taskbarCreatedMessage_ = ::RegisterWindowMessageW(L"TaskbarCreated");
  if (taskbarCreatedMessage_ != 0) {
    ::ChangeWindowMessageFilterEx(window, taskbarCreatedMessage_, MSGFLT_ALLOW, nullptr);
  }
}

bool TrayIcon::Ensure(HWND window) {
  if (bridge_.trayAvailable) return true;
  if (window == nullptr || bridge_.quitting) return false;

  record_ = NOTIFYICONDATAW{};
  record_.cbSize = sizeof(record_);
  record_.hWnd = window;
  record_.uID = kTrayIconId;
  record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
  record_.uCallbackMessage = kTrayCallbackMessage;
  record_.hIcon = LoadTrayIconImage();
  CopyTrayTip(kTrayTipInitial, record_.szTip);

  bridge_.trayAvailable = ::Shell_NotifyIconW(NIM_ADD, &record_) != FALSE;
  if (bridge_.trayAvailable) {
    record_.uVersion = NOTIFYICON_VERSION_4;
    bridge_.trayVersion4 = ::Shell_NotifyIconW(NIM_SETVERSION, &record_) != FALSE;
    RefreshTooltip(window);
  }
  // A refused tooltip change above may have cleared it again.
  return bridge_.trayAvailable;
}

void TrayIcon::RefreshTooltip(HWND window) {
  if (!bridge_.trayAvailable) {
    // A successful add writes the tooltip itself.
    Ensure(window);
    return;
  }
  FormatTrayTooltip(bridge_.connectionState, record_.szTip);
  if (!::Shell_NotifyIconW(NIM_MODIFY, &record_)) {
    bridge_.trayAvailable = false;
    BringWindowToFront(window, bridge_);
  }
}

void TrayIcon::OnTaskbarCreated(HWND window) {
  bridge_.trayAvailable = false;
  if (!Ensure(window)) BringWindowToFront(window, bridge_);
}

void TrayIcon::Remove() {
  if (bridge_.trayAvailable) ::Shell_NotifyIconW(NIM_DELETE, &record_);
  bridge_.trayAvailable = false;
  bridge_.trayVersion4 = false;
}

void TrayIcon::ReturnFocus() {
  if (bridge_.trayAvailable) ::Shell_NotifyIconW(NIM_SETFOCUS, &record_);
}

}  // namespace veltrix
