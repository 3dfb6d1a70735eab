#include "standin/ui/demo_screen.h"

#include <iterator>
#include <memory>
#include <optional>
#include <utility>

#include "base/product.h"
#include "base/utf.h"
#include "engine_client/method_call.h"
#include "engine_client/method_result.h"
#include "engine_client/standard_method_codec.h"
#include "launch/file_digest.h"
#include "standin/ui/scenario_script.h"
#include "win32/unique_handle.h"

namespace veltrix {
namespace {

using flutter::EncodableValue;
using flutter::EncodableValueMap;

constexpr wchar_t kTimerClass[] = L"VELTRIX_STANDIN_UI_DEMO";
constexpr UINT kStartMessage = WM_APP + 1;
constexpr UINT_PTR kConnectionTimer = 1;

enum ControlId : int {
  kToggleId = 101,
  kLoginId,
  kTrayId,
  kSaveId,
  kRepairId,
  kUpdateId,
  kQuitId,
  // One per entry of kHostLanguages, in order.
  kFirstLanguageId = 200,
};

// The languages the demo offers the host, as a user would pick them in the
// app's settings.
struct HostLanguage {
  const wchar_t* label;
  const char* tag;
};
constexpr HostLanguage kHostLanguages[] = {
    {L"EN", "en"},    {L"DE", "de"}, {L"FR", "fr"}, {L"ES", "es"},
    {L"PT", "pt-BR"}, {L"RU", "ru"}, {L"JA", "ja"}, {L"ZH", "zh-CN"},
};
constexpr int kLanguageCount = static_cast<int>(std::size(kHostLanguages));
constexpr wchar_t kLanguageCaption[] = L"Host language";

constexpr COLORREF kBackground = RGB(0xF4, 0xF6, 0xFA);
constexpr COLORREF kInk = RGB(0x1B, 0x1F, 0x2A);
constexpr COLORREF kMutedInk = RGB(0x5A, 0x63, 0x73);
constexpr COLORREF kErrorInk = RGB(0xB3, 0x26, 0x1E);

COLORREF StateColour(std::string_view state) {
  if (state == "connected") return RGB(0x2E, 0xA0, 0x43);
  if (state == "disconnected") return RGB(0x8A, 0x93, 0xA3);
  if (state == "error") return kErrorInk;
  return RGB(0xE0, 0x9B, 0x1A);  // on the way somewhere
}

const wchar_t* StateLabel(std::string_view state) {
  if (state == "connected") return L"Connected";
  if (state == "connecting") return L"Connecting…";
  if (state == "disconnecting") return L"Disconnecting…";
  if (state == "reconnecting") return L"Reconnecting…";
  if (state == "error") return L"Connection error";
  return L"Disconnected";
}

// What one reply said.
class ReplyReader : public flutter::MethodResult {
 public:
  bool success = false;
  bool implemented = true;
  std::optional<EncodableValue> value;
  std::string code;
  std::string message;

 protected:
  void OnSuccess(const EncodableValue* result) override {
    success = true;
    if (result != nullptr) value = *result;
  }
  void OnError(const std::string& errorCode, const std::string& errorMessage,
               const EncodableValue*) override {
    code = errorCode;
    message = errorMessage;
  }
  void OnNotImplemented() override { implemented = false; }
};

// The installer the update check would have downloaded, if it is there.
struct InstallerFile {
  std::wstring path;
  int64_t size = 0;
  std::string sha256;
};

std::optional<std::string> Sha256OfFile(const std::wstring& path) {
  UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !::GetFileSizeEx(file.Get(), &size)) return std::nullopt;
  Win32Result<std::string> digest =
      ReadWithSha256(file.Get(), static_cast<uint64_t>(size.QuadPart));
  if (!digest) return std::nullopt;
  return *digest;
}

InstallerFile FindInstaller() {
  InstallerFile installer;
  wchar_t temp[MAX_PATH + 1] = {};
  DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
  installer.path = std::wstring(temp, length > MAX_PATH ? 0 : length) +
                   L"VELTRIX-updates\\VELTRIX-VPN-Setup-x64-beta.exe";
  WIN32_FILE_ATTRIBUTE_DATA data{};
  std::optional<std::string> digest;
  if (::GetFileAttributesExW(installer.path.c_str(), GetFileExInfoStandard, &data) &&
      (digest = Sha256OfFile(installer.path))) {
    installer.size = static_cast<int64_t>(uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow);
    installer.sha256 = *digest;
  } else {
    // Nothing downloaded: ask anyway, so the host's refusal can be seen.
    installer.size = 1;
    installer.sha256 = std::string(64, '0');
  }
  return installer;
}

}  // namespace

DemoScreen::DemoScreen(EngineLink& link) : link_(link) {}

DemoScreen::~DemoScreen() {
  if (timerWindow_ != nullptr) ::DestroyWindow(timerWindow_);
  if (titleFont_ != nullptr) ::DeleteObject(titleFont_);
  if (textFont_ != nullptr) ::DeleteObject(textFont_);
}

void DemoScreen::Start() {
  view_ = link_.services()->viewWindow;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &TimerWindowProc;
  windowClass.hInstance = ModuleInstance();
  windowClass.lpszClassName = kTimerClass;
  ::RegisterClassExW(&windowClass);
  timerWindow_ = ::CreateWindowExW(0, kTimerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   ModuleInstance(), this);

  titleFont_ = ::CreateFontW(-28, 0, 0, 0, FW_SEMIBOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                             DEFAULT_PITCH | FF_SWISS, L"Segoe UI");
  textFont_ = ::CreateFontW(-15, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                            DEFAULT_PITCH | FF_SWISS, L"Segoe UI");
  if (view_ != nullptr) {
    CreateControls();
    link_.services()->setViewWindowHook(link_.services()->engine, &ViewHook, this);
  }
  link_.SetHandler(kDesktopChannelName,
                   [this](const uint8_t* message, size_t size, const VeltrixUiResponse* response) {
                     OnHostCall(message, size, response);
                   });
  // Greets the host once its message loop runs, not while it builds its
  // window.
  if (timerWindow_ != nullptr) ::PostMessageW(timerWindow_, kStartMessage, 0, 0);
}

void DemoScreen::Stop() {
  if (timerWindow_ != nullptr) {
    ::DestroyWindow(timerWindow_);
    timerWindow_ = nullptr;
  }
  // The view and its children go with the engine.
  view_ = nullptr;
}

LRESULT CALLBACK DemoScreen::TimerWindowProc(HWND window, UINT message, WPARAM wparam,
                                             LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* screen = reinterpret_cast<DemoScreen*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (screen != nullptr) {
    if (message == kStartMessage) {
      screen->Call("initialize", EncodableValue(), &DemoScreen::OnInitialized);
      screen->ReportConnection();
      return 0;
    }
    if (message == WM_TIMER && wparam == kConnectionTimer) {
      ::KillTimer(window, kConnectionTimer);
      screen->AdvanceConnection();
      return 0;
    }
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

bool DemoScreen::ViewHook(HWND, UINT message, WPARAM wparam, LPARAM, LRESULT* result, void* user) {
  auto* screen = static_cast<DemoScreen*>(user);
  switch (message) {
    case WM_ERASEBKGND:
      *result = 1;
      return true;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = ::BeginPaint(screen->view_, &paint);
      screen->Paint(dc);
      ::EndPaint(screen->view_, &paint);
      *result = 0;
      return true;
    }
    case WM_SIZE:
      screen->Layout();
      return false;
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED) {
        screen->OnCommand(LOWORD(wparam));
        *result = 0;
        return true;
      }
      return false;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      // Check boxes on the screen's own background.
      static HBRUSH background = ::CreateSolidBrush(kBackground);
      ::SetBkColor(reinterpret_cast<HDC>(wparam), kBackground);
      ::SetTextColor(reinterpret_cast<HDC>(wparam), kInk);
      *result = reinterpret_cast<LRESULT>(background);
      return true;
    }
    default:
      return false;
  }
}

void DemoScreen::CreateControls() {
  struct Control {
    int id;
    const wchar_t* text;
    DWORD style;
  } controls[] = {
      {kToggleId, L"Connect", BS_PUSHBUTTON},
      {kLoginId, L"Start at login", BS_AUTOCHECKBOX},
      {kTrayId, L"Close to tray", BS_AUTOCHECKBOX},
      {kSaveId, L"Save diagnostics…", BS_PUSHBUTTON},
      {kRepairId, L"Repair service", BS_PUSHBUTTON},
      {kUpdateId, L"Install update…", BS_PUSHBUTTON},
      {kQuitId, L"Quit", BS_PUSHBUTTON},
  };
  const auto makeButton = [this](int id, const wchar_t* text, DWORD style) {
    HWND button = ::CreateWindowExW(
        0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 0, 0, 10, 10, view_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleInstance(), nullptr);
    if (button != nullptr) {
      ::SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(textFont_), FALSE);
    }
    return button;
  };
  for (const Control& control : controls) {
    HWND button = makeButton(control.id, control.text, control.style);
    if (button == nullptr) continue;
    buttons_.push_back(button);
    if (control.id == kToggleId) toggleButton_ = button;
    if (control.id == kLoginId) loginBox_ = button;
    if (control.id == kTrayId) trayBox_ = button;
  }
  for (int i = 0; i < kLanguageCount; ++i) {
    HWND button = makeButton(kFirstLanguageId + i, kHostLanguages[i].label, BS_PUSHBUTTON);
    if (button != nullptr) languageButtons_.push_back(button);
  }
  // The host starts with close-to-tray on.
  if (trayBox_ != nullptr) ::SendMessageW(trayBox_, BM_SETCHECK, BST_CHECKED, 0);
  Layout();
}

void DemoScreen::Layout() {
  if (view_ == nullptr) return;
  constexpr int kLeft = 40;
  constexpr int kWidth = 220;
  constexpr int kHeight = 32;
  int top = 170;
  for (HWND button : buttons_) {
    ::MoveWindow(button, kLeft, top, kWidth, kHeight - 4, TRUE);
    top += kHeight + 6;
  }
  // A row of small buttons under its caption.
  languageTop_ = top + 6;
  constexpr int kLanguageWidth = 44;
  int left = kLeft;
  for (HWND button : languageButtons_) {
    ::MoveWindow(button, left, languageTop_ + 22, kLanguageWidth, kHeight - 4, TRUE);
    left += kLanguageWidth + 6;
  }
}

void DemoScreen::Paint(HDC dc) {
  RECT client{};
  ::GetClientRect(view_, &client);
  HBRUSH background = ::CreateSolidBrush(kBackground);
  ::FillRect(dc, &client, background);
  ::DeleteObject(background);
  ::SetBkMode(dc, TRANSPARENT);

  HGDIOBJ oldFont = ::SelectObject(dc, titleFont_);
  ::SetTextColor(dc, kInk);
  ::TextOutW(dc, 40, 28, kProductName, static_cast<int>(std::size(kProductName) - 1));

  // The state, behind a mark in its colour.
  HBRUSH mark = ::CreateSolidBrush(StateColour(connection_.state()));
  HGDIOBJ oldBrush = ::SelectObject(dc, mark);
  HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(NULL_PEN));
  ::Ellipse(dc, 40, 86, 58, 104);
  ::SelectObject(dc, oldPen);
  ::SelectObject(dc, oldBrush);
  ::DeleteObject(mark);
  ::SelectObject(dc, textFont_);
  std::wstring state = StateLabel(connection_.state());
  ::TextOutW(dc, 68, 86, state.c_str(), static_cast<int>(state.size()));

  ::SetTextColor(dc, kMutedInk);
  ::TextOutW(dc, 40, 118, startInfo_.c_str(), static_cast<int>(startInfo_.size()));
  if (!note_.empty()) {
    ::SetTextColor(dc, noteIsError_ ? kErrorInk : kMutedInk);
    ::TextOutW(dc, 40, 140, note_.c_str(), static_cast<int>(note_.size()));
  }
  if (!languageButtons_.empty()) {
    ::SetTextColor(dc, kMutedInk);
    ::TextOutW(dc, 40, languageTop_, kLanguageCaption,
               static_cast<int>(std::size(kLanguageCaption) - 1));
  }
  ::SelectObject(dc, oldFont);
}

void DemoScreen::Refresh() {
  if (toggleButton_ != nullptr) {
    bool active = connection_.state() == "connected" || connection_.state() == "connecting";
    ::SetWindowTextW(toggleButton_, active ? L"Disconnect" : L"Connect");
    ::EnableWindow(toggleButton_, connection_.state() != "disconnecting");
  }
  if (view_ != nullptr) ::InvalidateRect(view_, nullptr, FALSE);
}

void DemoScreen::SetNote(std::wstring note, bool isError) {
  note_ = std::move(note);
  noteIsError_ = isError;
  Refresh();
}

void DemoScreen::OnCommand(int id) {
  auto checked = [](HWND box) {
    return box != nullptr && ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
  };
  switch (id) {
    case kToggleId:
      Toggle();
      break;
    case kLoginId:
      Call("setRunAtLogin", EncodableValue(checked(loginBox_)));
      break;
    case kTrayId:
      Call("setCloseToTray", EncodableValue(checked(trayBox_)));
      break;
    case kSaveId: {
      EncodableValueMap fields;
      fields[EncodableValue("connectionState")] = EncodableValue(std::string(connection_.state()));
      fields[EncodableValue("appVersion")] = EncodableValue("1.0.0+1");
      Call("saveDiagnostics", EncodableValue(std::move(fields)), &DemoScreen::OnSaved);
      break;
    }
    case kRepairId:
      Call("repairService", EncodableValue());
      break;
    case kUpdateId:
      InstallUpdate();
      break;
    case kQuitId:
      Call("quit", EncodableValue());
      break;
    default:
      if (id >= kFirstLanguageId && id < kFirstLanguageId + kLanguageCount) {
        Call("setLanguage", EncodableValue(kHostLanguages[id - kFirstLanguageId].tag));
      }
      break;
  }
}

void DemoScreen::InstallUpdate() {
  InstallerFile installer = FindInstaller();
  EncodableValueMap request;
  request[EncodableValue("path")] = EncodableValue(Utf16ToUtf8(installer.path).value_or(""));
  request[EncodableValue("sha256")] = EncodableValue(installer.sha256);
  request[EncodableValue("size")] = EncodableValue(installer.size);
  Call("launchInstaller", EncodableValue(std::move(request)));
}

void DemoScreen::Toggle() {
  unsigned delay = connection_.Toggle();
  if (delay == 0) return;
  if (timerWindow_ != nullptr) ::SetTimer(timerWindow_, kConnectionTimer, delay, nullptr);
  ReportConnection();
}

void DemoScreen::AdvanceConnection() {
  if (connection_.Advance()) ReportConnection();
}

void DemoScreen::ReportConnection() {
  Call("updateConnection", EncodableValue(std::string(connection_.state())));
  Refresh();
}

void DemoScreen::Call(const std::string& method, EncodableValue arguments,
                      SuccessHandler onSuccess) {
  const flutter::StandardMethodCodec& codec = flutter::StandardMethodCodec::SharedInstance();
  flutter::MethodCall call(method, std::make_unique<EncodableValue>(std::move(arguments)));
  std::unique_ptr<std::vector<uint8_t>> message = codec.EncodeCall(call);
  link_.Send(kDesktopChannelName, *message,
             [this, method, onSuccess, &codec](const uint8_t* reply, size_t size) {
               ReplyReader reader;
               if (size == 0) {
                 reader.implemented = false;
               } else if (!codec.DecodeResponse(reply, size, &reader)) {
                 SetNote(L"Unreadable reply to " + Utf8ToUtf16(method).value_or(L"") + L".", true);
                 return;
               }
               if (!reader.implemented) {
                 SetNote(L"The host does not know " + Utf8ToUtf16(method).value_or(L"") + L".",
                         true);
               } else if (!reader.success) {
                 SetNote(Utf8ToUtf16(reader.code).value_or(L"") + L": " +
                             Utf8ToUtf16(reader.message).value_or(L""),
                         true);
               } else if (onSuccess != nullptr) {
                 (this->*onSuccess)(reader.value ? &*reader.value : nullptr);
               }
             });
}

void DemoScreen::OnInitialized(const EncodableValue* value) {
  auto flag = [value](const char* key) {
    const auto* map = value != nullptr ? std::get_if<EncodableValueMap>(value) : nullptr;
    if (map == nullptr) return false;
    auto it = map->find(EncodableValue(key));
    return it != map->end() && std::holds_alternative<bool>(it->second) &&
           std::get<bool>(it->second);
  };
  startInfo_ = std::wstring(flag("autostart") ? L"Started at login" : L"Started by hand") +
               (flag("trayAvailable") ? L" · tray icon shown" : L" · no tray icon");
  Refresh();
}

void DemoScreen::OnSaved(const EncodableValue* value) {
  const auto* path = value != nullptr ? std::get_if<std::string>(value) : nullptr;
  SetNote(path != nullptr ? L"Diagnostics saved to " + Utf8ToUtf16(*path).value_or(L"")
                          : L"Save cancelled.",
          false);
}

void DemoScreen::OnHostCall(const uint8_t* message, size_t size,
                            const VeltrixUiResponse* response) {
  const flutter::StandardMethodCodec& codec = flutter::StandardMethodCodec::SharedInstance();
  std::unique_ptr<flutter::MethodCall> call = codec.DecodeCall(message, size);
  if (!call) {
    link_.Respond(response, {});
    return;
  }
  const std::string& method = call->method_name();
  if (method == "open" || method == "toggle" || method == "quit") {
    link_.Respond(response, *codec.EncodeSuccess(nullptr));
    if (method == "toggle") {
      Toggle();
    } else if (method == "quit") {
      Call("quit", EncodableValue());
    }
    // "open": the host has already brought the window up.
    return;
  }
  link_.Respond(response, {});  // not implemented
}

}  // namespace veltrix
