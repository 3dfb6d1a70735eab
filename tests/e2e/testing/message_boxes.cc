// Watches for the program's message boxes during a scenario: writes
// "message-box <text>" for each to OUTPUT and answers it with OK, until the
// file STOP exists. OUTPUT is made once Wine's desktop is up; the program is
// started after that, so that the two never start the desktop at once.
//
//   message_boxes.exe OUTPUT STOP
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

std::set<HWND> answered;
FILE* output = nullptr;

std::wstring Text(HWND window, bool wantClass = false) {
  wchar_t text[1024] = {};
  wantClass ? ::GetClassNameW(window, text, 1024) : ::GetWindowTextW(window, text, 1024);
  return text;
}

BOOL CALLBACK AnswerBox(HWND box, LPARAM) {
  if (!::IsWindowVisible(box) || Text(box, true) != L"#32770" || Text(box) != L"VELTRIX VPN" ||
      !answered.insert(box).second) {
    return TRUE;
  }
  // The message is the box's longest static text (its icon is one too).
  std::wstring message;
  ::EnumChildWindows(
      box,
      [](HWND child, LPARAM longest) {
        std::wstring& kept = *reinterpret_cast<std::wstring*>(longest);
        if (_wcsicmp(Text(child, true).c_str(), L"Static") == 0 &&
            Text(child).size() > kept.size()) {
          kept = Text(child);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&message));
  std::fprintf(output, "message-box %ls\n", message.c_str());
  std::fflush(output);
  ::PostMessageW(box, WM_COMMAND, IDOK, 0);
  return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3 || ::GetDesktopWindow() == nullptr) return 2;
  if ((output = _wfopen(argv[1], L"ab")) == nullptr) return 2;
  for (bool last = false; !last; ::Sleep(50)) {
    last = ::GetFileAttributesW(argv[2]) != INVALID_FILE_ATTRIBUTES;
    ::EnumWindows(AnswerBox, 0);
  }
  return 0;
}
