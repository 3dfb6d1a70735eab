// Watches for the program's message boxes during a scenario: writes
// "message-box <text>" for each to OUTPUT and answers it with OK, until the
// file STOP exists.
//
//   message_boxes.exe OUTPUT STOP
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

std::set<HWND> answered;
FILE* output = nullptr;

std::wstring TextOf(HWND window) {
  wchar_t text[1024] = {};
  ::GetWindowTextW(window, text, 1024);
  return text;
}

// The message is the box's longest static text (the icon is one too).
BOOL CALLBACK LongestStatic(HWND child, LPARAM context) {
  wchar_t className[16] = {};
  ::GetClassNameW(child, className, 16);
  auto* longest = reinterpret_cast<std::wstring*>(context);
  const std::wstring text = TextOf(child);
  if (_wcsicmp(className, L"Static") == 0 && text.size() > longest->size()) *longest = text;
  return TRUE;
}

BOOL CALLBACK AnswerBox(HWND window, LPARAM) {
  wchar_t className[16] = {};
  ::GetClassNameW(window, className, 16);
  if (!::IsWindowVisible(window) || std::wstring(className) != L"#32770" ||
      TextOf(window) != L"VELTRIX VPN" || !answered.insert(window).second) {
    return TRUE;
  }
  std::wstring message;
  ::EnumChildWindows(window, LongestStatic, reinterpret_cast<LPARAM>(&message));
  char utf8[4096] = {};
  ::WideCharToMultiByte(CP_UTF8, 0, message.c_str(), -1, utf8, sizeof(utf8) - 1, nullptr, nullptr);
  std::fprintf(output, "message-box %s\n", utf8);
  std::fflush(output);
  ::PostMessageW(window, WM_COMMAND, IDOK, 0);
  return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3 || (output = _wfopen(argv[1], L"ab")) == nullptr) return 2;
  bool last = false;
  while (!last) {
    last = ::GetFileAttributesW(argv[2]) != INVALID_FILE_ATTRIBUTES;
    ::EnumWindows(AnswerBox, 0);
    ::Sleep(50);
  }
  return 0;
}
