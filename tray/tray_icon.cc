#include "tray/tray_icon.h"

#include <iterator>
#include <utility>

#include "resources/resource_ids.h"

namespace veltrix {
namespace {

static_assert(sizeof(NOTIFYICONDATAW) == 976, "the full record of 64-bit Windows");
static_assert(std::size(NOTIFYICONDATAW{}.szTip) == kTrayTipCapacity &&
              std::size(NOTIFYICONDATAW{}.szInfoTitle) == kBalloonTitleCapacity &&
              std::size(NOTIFYICONDATAW{}.szInfo) == kBalloonTextCapacity);

// The image of `connection` at the small-icon size of the window's DPI;
// null when the executable has none.
UniqueIcon LoadTrayImage(HWND window, ConnectionState connection) {
  const int size = SmallIconSize(::GetDpiForWindow(window));
  return UniqueIcon(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                    MAKEINTRESOURCEW(TrayImageFor(connection)),
                                                    IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

}  // namespace

TrayShell DefaultTrayShell() { return {::Shell_NotifyIconW}; }

void TrayIcon::RegisterTaskbarCreated(HWND window) {
  taskbarCreatedMessage_ = ::RegisterWindowMessageW(L"TaskbarCreated");
  if (taskbarCreatedMessage_ != 0) {
    ::ChangeWindowMessageFilterEx(window, taskbarCreatedMessage_, MSGFLT_ALLOW, nullptr);
  }
}

bool TrayIcon::Ensure(HWND window, ConnectionState connection) {
  addedThenLost_ = false;
  if (shown_) return true;
  if (window == nullptr) return false;

  connection_ = connection;
  image_ = LoadTrayImage(window, connection);
  record_ = NOTIFYICONDATAW{};
  record_.cbSize = sizeof(record_);
  record_.hWnd = window;
  record_.uID = kTrayIconId;
  record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
  record_.uCallbackMessage = callbackMessage_;
  // The system's generic icon is shared; it is never destroyed.
  record_.hIcon = image_ ? image_.Get() : ::LoadIconW(nullptr, IDI_APPLICATION);
  CopyTrayTip(kTrayTipInitial, record_.szTip);

  shown_ = shell_(NIM_ADD, &record_) != FALSE;
  if (!shown_) {
    // A shell that refused a change may still show the icon, and then
    // refuses to add the same one again until it is deleted.
    shell_(NIM_DELETE, &record_);
    shown_ = shell_(NIM_ADD, &record_) != FALSE;
  }
  if (!shown_) return false;
  record_.uVersion = NOTIFYICON_VERSION_4;
  version4_ = shell_(NIM_SETVERSION, &record_) != FALSE;
  FormatTrayTooltip(TextsFor(language_), connection, record_.szTip);
  addedThenLost_ = !Modify();
  return !addedThenLost_;
}

bool TrayIcon::Show(HWND window, ConnectionState connection) {
  connection_ = connection;
  if (!shown_) {
    // A successful add shows the state itself, and a refused one loses
    // nothing; an icon lost right after it was added is lost like any other.
    return Ensure(window, connection) || !addedThenLost_;
  }
  FormatTrayTooltip(TextsFor(language_), connection, record_.szTip);
  // The image and the tooltip change together.
  return ChangeImage(window);
}

bool TrayIcon::RefreshImage(HWND window) {
  if (!shown_) return true;
  return ChangeImage(window);
}

bool TrayIcon::ChangeImage(HWND window) {
  UniqueIcon image = LoadTrayImage(window, connection_);
  if (image) record_.hIcon = image.Get();
  const bool changed = Modify();
  // The shell is done with the old image once it has the new one.
  if (image) image_ = std::move(image);
  return changed;
}

bool TrayIcon::ShowLanguage(Language language) {
  language_ = language;
  if (!shown_) return true;
  FormatTrayTooltip(TextsFor(language_), connection_, record_.szTip);
  return Modify();
}

bool TrayIcon::Notify(TrayBalloon balloon) {
  if (!shown_) return false;
  const TrayBalloonText words = BalloonFor(TextsFor(language_), balloon);
  record_.uFlags |= NIF_INFO;
  record_.dwInfoFlags = (words.warning ? NIIF_WARNING : NIIF_INFO) | NIIF_RESPECT_QUIET_TIME;
  CopyTrayTip(words.title, record_.szInfoTitle);
  CopyTrayTip(words.text, record_.szInfo);
  const bool shownNotice = Modify();
  // Later changes must not raise it again.
  record_.uFlags &= ~NIF_INFO;
  return shownNotice;
}

bool TrayIcon::OnTaskbarCreated(HWND window, ConnectionState connection) {
  shown_ = false;
  return Ensure(window, connection);
}

void TrayIcon::Remove() {
  if (record_.hWnd != nullptr) shell_(NIM_DELETE, &record_);
  record_.hWnd = nullptr;
  shown_ = false;
  version4_ = false;
}

void TrayIcon::ReturnFocus() {
  if (shown_) shell_(NIM_SETFOCUS, &record_);
}

bool TrayIcon::Modify() {
  shown_ = shell_(NIM_MODIFY, &record_) != FALSE;
  return shown_;
}

}  // namespace veltrix
