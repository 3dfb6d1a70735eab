#include "diagnostics/save_diagnostics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "desktop/testing/recording_method_result.h"
#include "win32/unique_handle.h"
#include "win32/wide_to_utf8.h"

namespace veltrix {
namespace {

using flutter::EncodableValue;

// Runs `onSuccess` while the save is still answering.
class HookedResult : public RecordingMethodResult {
 public:
  using RecordingMethodResult::RecordingMethodResult;
  std::function<void()> onSuccess;

 protected:
  void OnSuccess(const EncodableValue* value) override {
    RecordingMethodResult::OnSuccess(value);
    if (onSuccess) onSuccess();
  }
};

EncodableValue Fields(std::vector<std::pair<std::string, std::string>> entries) {
  flutter::EncodableValueMap map;
  for (auto& [key, value] : entries) map.emplace(EncodableValue(key), EncodableValue(value));
  return EncodableValue(std::move(map));
}

const EncodableValue kAllFields = Fields({{"connectionState", "connected"},
                                          {"appVersion", "1.2.3+45"},
                                          {"failureCategory", "serverUnavailable"}});
const char kAllFieldsReport[] =
    "VELTRIX VPN diagnostics\r\nSchema: 1\r\nPlatform: Windows\r\nApp version: 1.2.3+45\r\n"
    "Connection: connected\r\nFailure category: serverUnavailable\r\n"
    "Saved at (UTC): 2025-01-02T03:04:05Z\r\n";

const HWND kOwner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x4242));

std::string ReadWholeFile(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteWholeFile(const std::wstring& path, const std::string& content) {
  std::ofstream(std::filesystem::path(path), std::ios::binary) << content;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void ExpectError(const RecordedReply& reply, const char* code, const char* message,
                 std::optional<EncodableValue> details = std::nullopt) {
  EXPECT_TRUE(reply.IsError());
  EXPECT_EQ(reply.code, code);
  EXPECT_EQ(reply.message, message);
  EXPECT_EQ(reply.value, details);
}

class SaveDiagnosticsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = (std::filesystem::temp_directory_path() /
               ("veltrix-diagnostics-test-" + std::to_string(GetCurrentProcessId())))
                  .wstring();
    std::filesystem::remove_all(folder_);
    ASSERT_TRUE(std::filesystem::create_directory(folder_));
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  std::wstring PathOf(const std::wstring& name) const { return folder_ + L"\\" + name; }

  // The person at the dialog types `choice` unless `outcome_` says otherwise,
  // and takes half an hour over it: the report carries the time of the call.
  RecordedReply Save(const EncodableValue* arguments, const std::wstring& choice,
                     std::function<void()> onSuccess = nullptr) {
    SYSTEMTIME clock{2025, 1, 0, 2, 3, 4, 5, 0};
    const DiagnosticsEnvironment environment{
        [&] {
          ++clockReads_;
          return clock;
        },
        [&](OPENFILENAMEW& dialog) {
          seenDialog_ = dialog;
          seenBuffer_.assign(dialog.lpstrFile, dialog.lpstrFile + dialog.nMaxFile);
          clock.wMinute += 30;
          if (outcome_.chosen) {
            std::memcpy(dialog.lpstrFile, choice.c_str(), (choice.size() + 1) * sizeof(wchar_t));
          }
          return outcome_;
        },
    };
    RecordedReply reply;  // the result fails the test unless answered exactly once
    HookedResult result(&reply);
    result.onSuccess = std::move(onSuccess);
    SaveDiagnosticsWith(kOwner, arguments, result, environment);
    return reply;
  }

  std::wstring folder_;
  int clockReads_ = 0;
  SaveDialogOutcome outcome_{true, 0};
  OPENFILENAMEW seenDialog_{};
  std::vector<wchar_t> seenBuffer_;
};

TEST_F(SaveDiagnosticsTest, WritesTheReportHeldUnsharedUntilAnswered) {
  const struct {
    const wchar_t* name;
    const char* utf8Name;
    bool replacesLongerFile;
  } cases[] = {
      {L"new.txt", "new.txt", false},
      {L"old.txt", "old.txt", true},
      {L"UPPER.TXT", "UPPER.TXT", false},
      {L"diagnostika-\u00e9\u20ac\xD83D\xDE00.txt",
       "diagnostika-\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80.txt", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.utf8Name);
    const std::wstring path = PathOf(c.name);
    if (c.replacesLongerFile) WriteWholeFile(path, std::string(10 * 1024, 'x'));
    DWORD openErrorWhileAnswering = 0;
    const RecordedReply reply = Save(&kAllFields, path, [&] {
      UniqueFile reader(CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
      openErrorWhileAnswering = reader ? 0 : GetLastError();
    });

    ASSERT_TRUE(reply.IsSuccess()) << reply.code << ": " << reply.message;
    EXPECT_EQ(reply.value, EncodableValue(WideToUtf8(folder_.c_str()) + "\\" + c.utf8Name));
    EXPECT_EQ(openErrorWhileAnswering, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(ReadWholeFile(path), kAllFieldsReport);
    // Closed once the save has returned.
    EXPECT_TRUE(UniqueFile(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
  }
  EXPECT_EQ(clockReads_, 4);
}

TEST_F(SaveDiagnosticsTest, RefusesPathsThatAreNotLocalTextFiles) {
  for (const std::wstring& path :
       {PathOf(L"report.log"), PathOf(L"report.txt.log"),
        std::wstring(L"\\\\server\\share\\report.txt"), PathOf(L"folder.\\report.txt"),
        PathOf(L"folder \\report.txt"), PathOf(L"report.txt:hidden.txt"),
        std::wstring(L"report.txt"), std::wstring()}) {
    SCOPED_TRACE(WideToUtf8(path.c_str()));
    ExpectError(Save(&kAllFields, path), "invalid_diagnostics_path", "Choose a local .txt file.");
    EXPECT_TRUE(path.empty() || !Exists(path));
  }
}

TEST_F(SaveDiagnosticsTest, LeavesFilesItMayNotReplaceAlone) {
  const std::wstring original = PathOf(L"linked.txt");
  const std::wstring link = PathOf(L"second-name.txt");
  WriteWholeFile(original, "keep me");
  ASSERT_TRUE(CreateHardLinkW(link.c_str(), original.c_str(), nullptr)) << GetLastError();
  for (const std::wstring& path : {original, link}) {
    ExpectError(Save(&kAllFields, path), "invalid_diagnostics_path",
                "Choose a regular local .txt file.");
    EXPECT_EQ(ReadWholeFile(path), "keep me");
  }

  const std::wstring busy = PathOf(L"busy.txt");
  WriteWholeFile(busy, "in use");
  UniqueFile holder(CreateFileW(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  ExpectError(Save(&kAllFields, busy), "diagnostics_save_failed", "Could not save diagnostics.",
              EncodableValue(int64_t{ERROR_SHARING_VIOLATION}));
  holder.Reset();
  EXPECT_EQ(ReadWholeFile(busy), "in use");

  const std::wstring folder = PathOf(L"looks-like.txt");
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  EXPECT_TRUE(Save(&kAllFields, folder).IsError());
}

TEST_F(SaveDiagnosticsTest, ArgumentErrorsNeitherReadTheClockNorShowTheDialog) {
  const EncodableValue unknownKey = Fields({{"connectionState", "connected"}, {"user", "me"}});
  const EncodableValue badState = Fields({{"connectionState", "online"}});
  const std::pair<const EncodableValue*, const char*> cases[] = {
      {nullptr, "Expected safe diagnostic fields."},
      {&unknownKey, "Unsupported diagnostic field."},
      {&badState, "Invalid diagnostic field value."},
  };
  for (const auto& [arguments, message] : cases) {
    ExpectError(Save(arguments, PathOf(L"never.txt")), "invalid_arguments", message);
  }
  EXPECT_EQ(clockReads_, 0);
  EXPECT_TRUE(seenBuffer_.empty()) << "the dialog was shown";
  EXPECT_FALSE(Exists(PathOf(L"never.txt")));
}

TEST_F(SaveDiagnosticsTest, PreparesTheSaveAsDialogAndAnswersItsOutcome) {
  outcome_ = {false, 0x3003};  // FNERR_BUFFERTOOSMALL
  ExpectError(Save(&kAllFields, L""), "diagnostics_dialog_failed", "Could not open Save As.",
              EncodableValue(int64_t{0x3003}));

  outcome_ = {false, 0};  // cancelled
  const RecordedReply cancelled = Save(&kAllFields, L"");
  EXPECT_TRUE(cancelled.IsSuccess());
  EXPECT_FALSE(cancelled.value.has_value());
  EXPECT_FALSE(Exists(PathOf(L"VELTRIX-diagnostics.txt")));

  const OPENFILENAMEW& d = seenDialog_;
  EXPECT_EQ(d.lStructSize, 152u);
  EXPECT_EQ(d.hwndOwner, kOwner);
  static const wchar_t kFilter[] = L"Text files (*.txt)\0*.txt\0\0";
  ASSERT_NE(d.lpstrFilter, nullptr);
  EXPECT_EQ(std::memcmp(d.lpstrFilter, kFilter, sizeof(kFilter)), 0);
  EXPECT_STREQ(d.lpstrTitle, L"Save VELTRIX diagnostics");
  EXPECT_EQ(d.Flags, 0x8080Au);
  EXPECT_STREQ(d.lpstrDefExt, L"txt");
  const auto unused = std::make_tuple(
      d.hInstance, d.lpstrCustomFilter, d.nMaxCustFilter, d.nFilterIndex, d.lpstrFileTitle,
      d.nMaxFileTitle, d.lpstrInitialDir, d.nFileOffset, d.nFileExtension, d.lCustData, d.lpfnHook,
      d.lpTemplateName, d.pvReserved, d.dwReserved, d.FlagsEx);
  EXPECT_EQ(unused, decltype(unused){});

  // A fresh buffer of 32768 units: the default name, then only zeros, so
  // whatever the dialog writes is terminated.
  ASSERT_EQ(seenBuffer_.size(), 32768u);
  const std::wstring_view name = L"VELTRIX-diagnostics.txt";
  EXPECT_EQ(std::wstring_view(seenBuffer_.data(), name.size()), name);
  EXPECT_EQ(std::count(seenBuffer_.begin() + name.size(), seenBuffer_.end(), L'\0'),
            static_cast<std::ptrdiff_t>(seenBuffer_.size() - name.size()));
}

}  // namespace
}  // namespace veltrix
