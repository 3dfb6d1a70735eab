// The demo user interface: a small VPN screen in the engine's view, so that
// a person can try the host here. It pretends to connect, keeps the host
// informed of the state, and offers every desktop service as a button.
#ifndef STANDIN_UI_DEMO_SCREEN_H_
#define STANDIN_UI_DEMO_SCREEN_H_

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine_client/encodable_value.h"
#include "standin/ui/demo_connection.h"
#include "standin/ui/engine_link.h"

namespace veltrix {

class DemoScreen {
 public:
  explicit DemoScreen(EngineLink& link);
  ~DemoScreen();

  DemoScreen(const DemoScreen&) = delete;
  DemoScreen& operator=(const DemoScreen&) = delete;

  void Start();
  void Stop();

 private:
  static LRESULT CALLBACK TimerWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  static bool ViewHook(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result,
                       void* user);

  void CreateControls();
  void Layout();
  void Paint(HDC dc);
  void OnCommand(int id);
  void OnHostCall(const uint8_t* message, size_t size, const VeltrixUiResponse* response);

  // Calls a method on the desktop channel; `onSuccess` gets the result.
  using SuccessHandler = void (DemoScreen::*)(const flutter::EncodableValue* value);
  void Call(const std::string& method, flutter::EncodableValue arguments,
            SuccessHandler onSuccess = nullptr);
  void OnInitialized(const flutter::EncodableValue* value);
  void OnSaved(const flutter::EncodableValue* value);

  void Toggle();
  void AdvanceConnection();
  void ReportConnection();
  void InstallUpdate();
  void SetNote(std::wstring note, bool isError);
  void Refresh();

  EngineLink& link_;
  HWND view_ = nullptr;
  HWND timerWindow_ = nullptr;
  HWND toggleButton_ = nullptr;
  HWND loginBox_ = nullptr;
  HWND trayBox_ = nullptr;
  std::vector<HWND> buttons_;
  std::vector<HWND> languageButtons_;
  int languageTop_ = 0;
  HFONT titleFont_ = nullptr;
  HFONT textFont_ = nullptr;
  DemoConnection connection_;
  std::wstring startInfo_ = L"Waiting for the host…";
  std::wstring note_;
  bool noteIsError_ = false;
};

}  // namespace veltrix

#endif  // STANDIN_UI_DEMO_SCREEN_H_
