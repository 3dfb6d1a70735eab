#include "tray/tray_icon.h"

#include <iterator>

#include "resources/resource_ids.h"
#include "tray/tray_tooltip.h"

namespace veltrix {
namespace {

static_assert(sizeof(NOTIFYICONDATAW) == 976, "the full record of 64-bit Windows");
static_assert(std::size(NOTIFYICONDATAW{}.szTip) == kTrayTipCapacity);

// The application icon, or the system's generic one.
HICON LoadTrayIconImage() {
  HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(VELTRIX_APP_ICON));
  return icon != nullptr ? icon : ::LoadIconW(nullptr, IDI_APPLICATION);
}

}  // namespace

void TrayIcon::RegisterTaskbarCreated(HWND window) {
  taskbarCreatedMessage_ = ::RegisterWindowMessageW(L"TaskbarCreated");
  if (taskbarCreatedMessage_ != 0) {
    ::ChangeWindowMessageFilterEx(window, taskbarCreatedMessage_, MSGFLT_ALLOW, nullptr);
  }
}

bool TrayIcon::Ensure(HWND window) {
  if (shown_) return true;
  if (window == nullptr || state_.quitting()) return false;

  record_ = NOTIFYICONDATAW{};
  record_.cbSize = sizeof(record_);
  record_.hWnd = window;
  record_.uID = kTrayIconId;
  record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
  record_.uCallbackMessage = callbackMessage_;
  record_.hIcon = LoadTrayIconImage();
  CopyTrayTip(kTrayTipInitial, record_.szTip);

  shown_ = ::Shell_NotifyIconW(NIM_ADD, &record_) != FALSE;
  if (!shown_) return false;
  record_.uVersion = NOTIFYICON_VERSION_4;
  version4_ = ::Shell_NotifyIconW(NIM_SETVERSION, &record_) != FALSE;
  // A refused tooltip change loses the icon again.
  return RefreshTooltip(window);
}

bool TrayIcon::RefreshTooltip(HWND window) {
  if (!shown_) {
    // A successful add writes the tooltip itself; a refused one loses nothing.
    Ensure(window);
    return true;
  }
  FormatTrayTooltip(state_.connection(), record_.szTip);
  shown_ = ::Shell_NotifyIconW(NIM_MODIFY, &record_) != FALSE;
  return shown_;
}

bool TrayIcon::OnTaskbarCreated(HWND window) {
  shown_ = false;
  return Ensure(window);
}

void TrayIcon::Remove() {
  if (shown_) ::Shell_NotifyIconW(NIM_DELETE, &record_);
  shown_ = false;
  version4_ = false;
}

void TrayIcon::ReturnFocus() {
  if (shown_) ::Shell_NotifyIconW(NIM_SETFOCUS, &record_);
}

}  // namespace veltrix
