#include "diagnostics/save_diagnostics.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "win32/unique_handle.h"
#include "win32/wide_to_utf8.h"

namespace veltrix {
namespace {

using flutter::EncodableValue;
using flutter::EncodableValueMap;

// What a save answered.
struct Answer {
  int count = 0;
  bool succeeded = false;
  std::optional<EncodableValue> value;  // absent: Success() without a value
  std::string code;
  std::string message;
  std::optional<EncodableValue> details;
};

class RecordingResult : public flutter::MethodResult {
 public:
  Answer answer;
  std::function<void()> onAnswer;  // runs while the save is still answering

 protected:
  void OnSuccess(const EncodableValue* result) override {
    ++answer.count;
    answer.succeeded = true;
    if (result) answer.value = *result;
    if (onAnswer) onAnswer();
  }
  void OnError(const std::string& code, const std::string& message,
               const EncodableValue* details) override {
    ++answer.count;
    answer.code = code;
    answer.message = message;
    if (details) answer.details = *details;
    if (onAnswer) onAnswer();
  }
  void OnNotImplemented() override { ++answer.count; }
};

SYSTEMTIME MakeTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
  SYSTEMTIME time{};
  time.wYear = year;
  time.wMonth = month;
  time.wDay = day;
  time.wHour = hour;
  time.wMinute = minute;
  time.wSecond = second;
  return time;
}

EncodableValue Fields(std::vector<std::pair<std::string, std::string>> entries) {
  EncodableValueMap map;
  for (auto& [key, value] : entries) map.emplace(EncodableValue(key), EncodableValue(value));
  return EncodableValue(std::move(map));
}

const EncodableValue kAllFields = Fields({{"connectionState", "connected"},
                                          {"appVersion", "1.2.3+45"},
                                          {"failureCategory", "serverUnavailable"}});
const char kAllFieldsReport[] =
    "VELTRIX VPN diagnostics\r\n"
    "Schema: 1\r\n"
    "Platform: Windows\r\n"
    "App version: 1.2.3+45\r\n"
    "Connection: connected\r\n"
    "Failure category: serverUnavailable\r\n"
    "Saved at (UTC): 2025-01-02T03:04:05Z\r\n";

const HWND kOwner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x4242));

std::string ReadWholeFile(const std::wstring& path) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return "<cannot open: " + std::to_string(GetLastError()) + ">";
  std::string content;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file.Get(), chunk, sizeof(chunk), &read, nullptr) && read > 0) {
    content.append(chunk, read);
  }
  return content;
}

bool WriteWholeFile(const std::wstring& path, const std::string& content) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file &&
         WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written,
                   nullptr) &&
         written == content.size();
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class SaveDiagnosticsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    ASSERT_GT(length, 0u);
    folder_ = std::wstring(temp, length) + L"veltrix-diagnostics-test-" +
              std::to_wstring(GetCurrentProcessId());
    RemoveFolder();
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr)) << GetLastError();
  }

  void TearDown() override { RemoveFolder(); }

  void RemoveFolder() {
    WIN32_FIND_DATAW entry{};
    HANDLE find = FindFirstFileW((folder_ + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") DeleteFileW(PathOf(name).c_str());
      } while (FindNextFileW(find, &entry));
      FindClose(find);
    }
    RemoveDirectoryW(folder_.c_str());
  }

  std::wstring PathOf(std::wstring_view name) const { return folder_ + L"\\" + std::wstring(name); }

  // The person at the dialog: types `choice_` (unless cancelling) and takes
  // `dialogDelay_` seconds to do it.
  DiagnosticsEnvironment Environment() {
    return {
        [this] {
          ++clockReads_;
          return clock_;
        },
        [this](OPENFILENAMEW& dialog) {
          ++dialogShows_;
          seenDialog_ = dialog;
          seenFileText_ = dialog.lpstrFile;
          clock_.wMinute = static_cast<WORD>(clock_.wMinute + dialogDelayMinutes_);
          if (outcome_.chosen) {
            EXPECT_LT(choice_.size(), dialog.nMaxFile);
            std::memcpy(dialog.lpstrFile, choice_.c_str(), (choice_.size() + 1) * sizeof(wchar_t));
          }
          return outcome_;
        },
    };
  }

  Answer Save(const EncodableValue* arguments, std::wstring choice,
              std::function<void()> onAnswer = nullptr) {
    choice_ = std::move(choice);
    RecordingResult result;
    result.onAnswer = std::move(onAnswer);
    SaveDiagnosticsWith(kOwner, arguments, result, Environment());
    EXPECT_EQ(result.answer.count, 1);
    return result.answer;
  }

  static void ExpectError(const Answer& result, std::string_view code, std::string_view message) {
    EXPECT_FALSE(result.succeeded);
    EXPECT_EQ(result.code, code);
    EXPECT_EQ(result.message, message);
    EXPECT_FALSE(result.details.has_value());
  }

  static void ExpectWin32Error(const Answer& result, std::string_view code,
                               std::string_view message, int64_t details) {
    EXPECT_FALSE(result.succeeded);
    EXPECT_EQ(result.code, code);
    EXPECT_EQ(result.message, message);
    ASSERT_TRUE(result.details.has_value());
    ASSERT_TRUE(std::holds_alternative<int64_t>(*result.details));
    EXPECT_EQ(std::get<int64_t>(*result.details), details);
  }

  static void ExpectSavedAs(const Answer& result, const std::string& utf8Path) {
    ASSERT_TRUE(result.succeeded) << result.code << ": " << result.message;
    ASSERT_TRUE(result.value.has_value());
    ASSERT_TRUE(std::holds_alternative<std::string>(*result.value));
    EXPECT_EQ(std::get<std::string>(*result.value), utf8Path);
  }

  std::wstring folder_;
  SYSTEMTIME clock_ = MakeTime(2025, 1, 2, 3, 4, 5);
  int dialogDelayMinutes_ = 0;
  int clockReads_ = 0;
  int dialogShows_ = 0;
  SaveDialogOutcome outcome_{true, 0};
  std::wstring choice_;
  OPENFILENAMEW seenDialog_{};
  std::wstring seenFileText_;
};

TEST_F(SaveDiagnosticsTest, WritesNewFileHeldUnsharedUntilAnswered) {
  const std::wstring path = PathOf(L"new.txt");
  DWORD openErrorWhileAnswering = 0;
  const Answer result = Save(&kAllFields, path, [&] {
    UniqueFile reader(CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    openErrorWhileAnswering = reader ? 0 : GetLastError();
  });

  ExpectSavedAs(result, WideToUtf8(path.c_str()));
  EXPECT_EQ(openErrorWhileAnswering, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(ReadWholeFile(path), kAllFieldsReport);
  // Closed once the save has returned.
  UniqueFile exclusive(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_TRUE(exclusive) << GetLastError();
}

TEST_F(SaveDiagnosticsTest, ReplacesLongerFileWithExactlyTheReport) {
  const std::wstring path = PathOf(L"old.txt");
  ASSERT_TRUE(WriteWholeFile(path, std::string(10 * 1024, 'x')));

  ExpectSavedAs(Save(&kAllFields, path), WideToUtf8(path.c_str()));
  EXPECT_EQ(ReadWholeFile(path), kAllFieldsReport);
}

TEST_F(SaveDiagnosticsTest, AcceptsExtensionInAnyCase) {
  for (const wchar_t* name : {L"UPPER.TXT", L"mixed.TxT"}) {
    const std::wstring path = PathOf(name);
    ExpectSavedAs(Save(&kAllFields, path), WideToUtf8(path.c_str()));
    EXPECT_EQ(ReadWholeFile(path), kAllFieldsReport);
  }
}

TEST_F(SaveDiagnosticsTest, AnswersWithTheChosenPathInUtf8) {
  const std::wstring path = PathOf(L"diagnostika-\u00e9\u20ac\xD83D\xDE00.txt");
  const Answer result = Save(&kAllFields, path);

  ExpectSavedAs(result, WideToUtf8(folder_.c_str()) +
                            "\\diagnostika-\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80.txt");
  EXPECT_EQ(ReadWholeFile(path), kAllFieldsReport);
}

TEST_F(SaveDiagnosticsTest, RefusesPathsThatAreNotLocalTextFiles) {
  const std::wstring cases[] = {
      PathOf(L"report.log"),
      PathOf(L"report.txt.log"),
      L"\\\\server\\share\\report.txt",
      PathOf(L"folder.\\report.txt"),
      PathOf(L"folder \\report.txt"),
      PathOf(L"report.txt:hidden.txt"),
      L"report.txt",
      L"",
  };
  for (const std::wstring& path : cases) {
    ExpectError(Save(&kAllFields, path), "invalid_diagnostics_path", "Choose a local .txt file.");
    if (!path.empty()) {
      EXPECT_FALSE(Exists(path));
    }
  }
}

TEST_F(SaveDiagnosticsTest, RefusesFileWithSecondHardLinkAndLeavesItAlone) {
  const std::wstring original = PathOf(L"linked.txt");
  const std::wstring link = PathOf(L"second-name.txt");
  const std::string content = "keep me\r\nexactly as I am";
  ASSERT_TRUE(WriteWholeFile(original, content));
  ASSERT_TRUE(CreateHardLinkW(link.c_str(), original.c_str(), nullptr)) << GetLastError();

  for (const std::wstring& path : {original, link}) {
    ExpectError(Save(&kAllFields, path), "invalid_diagnostics_path",
                "Choose a regular local .txt file.");
    EXPECT_EQ(ReadWholeFile(path), content);
  }
}

TEST_F(SaveDiagnosticsTest, FileOpenElsewhereIsASharingViolation) {
  const std::wstring path = PathOf(L"busy.txt");
  ASSERT_TRUE(WriteWholeFile(path, "in use"));
  UniqueFile holder(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);

  ExpectWin32Error(Save(&kAllFields, path), "diagnostics_save_failed",
                   "Could not save diagnostics.", ERROR_SHARING_VIOLATION);
  holder.Reset();
  EXPECT_EQ(ReadWholeFile(path), "in use");
}

TEST_F(SaveDiagnosticsTest, FolderIsNotWritten) {
  const std::wstring path = PathOf(L"looks-like.txt");
  ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
  const Answer result = Save(&kAllFields, path);
  EXPECT_FALSE(result.succeeded);
  EXPECT_FALSE(result.code.empty());
  RemoveDirectoryW(path.c_str());
}

TEST_F(SaveDiagnosticsTest, CancelIsSuccessWithoutValue) {
  outcome_ = {false, 0};
  const Answer result = Save(&kAllFields, L"");

  EXPECT_TRUE(result.succeeded);
  EXPECT_FALSE(result.value.has_value());
  EXPECT_FALSE(Exists(PathOf(L"VELTRIX-diagnostics.txt")));
}

TEST_F(SaveDiagnosticsTest, DialogFailureCarriesItsCode) {
  outcome_ = {false, 0x3003};  // FNERR_BUFFERTOOSMALL
  ExpectWin32Error(Save(&kAllFields, L""), "diagnostics_dialog_failed", "Could not open Save As.",
                   0x3003);
}

TEST_F(SaveDiagnosticsTest, TimeIsTakenWhenTheCallArrives) {
  dialogDelayMinutes_ = 30;  // the user leaves the dialog open for half an hour
  const EncodableValue stateOnly = Fields({{"connectionState", "error"}});
  const std::wstring path = PathOf(L"slow.txt");
  ExpectSavedAs(Save(&stateOnly, path), WideToUtf8(path.c_str()));

  EXPECT_EQ(clockReads_, 1);
  EXPECT_EQ(ReadWholeFile(path),
            "VELTRIX VPN diagnostics\r\n"
            "Schema: 1\r\n"
            "Platform: Windows\r\n"
            "App version: unknown\r\n"
            "Connection: error\r\n"
            "Failure category: none\r\n"
            "Saved at (UTC): 2025-01-02T03:04:05Z\r\n");
}

TEST_F(SaveDiagnosticsTest, ArgumentErrorsNeitherReadTheClockNorShowTheDialog) {
  const EncodableValue empty{EncodableValueMap{}};
  const EncodableValue unknownKey = Fields({{"connectionState", "connected"}, {"user", "me"}});
  const EncodableValue badState = Fields({{"connectionState", "online"}});
  const struct {
    const EncodableValue* arguments;
    const char* message;
  } cases[] = {
      {nullptr, "Expected safe diagnostic fields."},
      {&empty, "Expected safe diagnostic fields."},
      {&unknownKey, "Unsupported diagnostic field."},
      {&badState, "Invalid diagnostic field value."},
  };
  for (const auto& c : cases) {
    ExpectError(Save(c.arguments, PathOf(L"never.txt")), "invalid_arguments", c.message);
  }
  EXPECT_EQ(clockReads_, 0);
  EXPECT_EQ(dialogShows_, 0);
  EXPECT_FALSE(Exists(PathOf(L"never.txt")));
}

TEST_F(SaveDiagnosticsTest, PreparesTheSaveAsDialog) {
  outcome_ = {false, 0};
  Save(&kAllFields, L"");
  ASSERT_EQ(dialogShows_, 1);
  const OPENFILENAMEW& d = seenDialog_;

  EXPECT_EQ(d.lStructSize, 152u);
  EXPECT_EQ(d.hwndOwner, kOwner);
  EXPECT_EQ(d.hInstance, nullptr);
  static const wchar_t kFilter[] = L"Text files (*.txt)\0*.txt\0\0";
  ASSERT_NE(d.lpstrFilter, nullptr);
  EXPECT_EQ(std::memcmp(d.lpstrFilter, kFilter, sizeof(kFilter)), 0);
  EXPECT_EQ(d.lpstrCustomFilter, nullptr);
  EXPECT_EQ(d.nMaxCustFilter, 0u);
  EXPECT_EQ(d.nFilterIndex, 0u);
  EXPECT_EQ(seenFileText_, L"VELTRIX-diagnostics.txt");
  EXPECT_EQ(d.nMaxFile, 32768u);
  EXPECT_EQ(d.lpstrFileTitle, nullptr);
  EXPECT_EQ(d.nMaxFileTitle, 0u);
  EXPECT_EQ(d.lpstrInitialDir, nullptr);
  ASSERT_NE(d.lpstrTitle, nullptr);
  EXPECT_STREQ(d.lpstrTitle, L"Save VELTRIX diagnostics");
  EXPECT_EQ(d.Flags, 0x8080Au);
  EXPECT_EQ(d.nFileOffset, 0);
  EXPECT_EQ(d.nFileExtension, 0);
  ASSERT_NE(d.lpstrDefExt, nullptr);
  EXPECT_STREQ(d.lpstrDefExt, L"txt");
  EXPECT_EQ(d.lCustData, 0);
  EXPECT_EQ(d.lpfnHook, nullptr);
  EXPECT_EQ(d.lpTemplateName, nullptr);
  EXPECT_EQ(d.pvReserved, nullptr);
  EXPECT_EQ(d.dwReserved, 0u);
  EXPECT_EQ(d.FlagsEx, 0u);
}

TEST_F(SaveDiagnosticsTest, DialogGetsAFreshZeroFilledBuffer) {
  // Every unit after the default name is zero, so whatever the dialog writes
  // is terminated.
  std::vector<wchar_t> seen;
  DiagnosticsEnvironment environment = Environment();
  environment.showSaveDialog = [&](OPENFILENAMEW& dialog) {
    seen.assign(dialog.lpstrFile, dialog.lpstrFile + dialog.nMaxFile);
    return SaveDialogOutcome{false, 0};
  };
  RecordingResult result;
  SaveDiagnosticsWith(kOwner, &kAllFields, result, environment);
  ASSERT_EQ(seen.size(), 32768u);
  const std::wstring_view name = L"VELTRIX-diagnostics.txt";
  EXPECT_EQ(std::wstring_view(seen.data(), name.size()), name);
  for (size_t i = name.size(); i < seen.size(); ++i) ASSERT_EQ(seen[i], L'\0') << i;
}

}  // namespace
}  // namespace veltrix
