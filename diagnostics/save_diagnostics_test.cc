// The save with the clock and the person at the dialog replaced. The
// end-to-end suite answers the real Save As dialog (a new file, a replaced
// one, a cancel); these cases reach refused paths, links, files in use and a
// failing dialog.
#include "diagnostics/save_diagnostics.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include "base/testing/ended.h"
#include "file_safety/testing/file_test_support.h"
#include "win32/unique_handle.h"

namespace veltrix {
namespace {

const DiagnosticsFields kAllFields{"connected", "1.2.3+45", "serverUnavailable"};
const char kAllFieldsReport[] =
    "VELTRIX VPN diagnostics\r\nSchema: 1\r\nPlatform: Windows\r\nApp version: 1.2.3+45\r\n"
    "Connection: connected\r\nFailure category: serverUnavailable\r\n"
    "Saved at (UTC): 2025-01-02T03:04:05Z\r\n";

using test::ReadBytes;
using test::WriteBytes;

class SaveDiagnosticsTest : public ::testing::Test {
 protected:
  std::wstring PathOf(const std::wstring& name) const { return folder_ / name; }

  // The person at the dialog types `choice` unless `dialog_` says otherwise,
  // and takes half an hour over it: the report carries the time of the call.
  DiagnosticsSave Save(const std::wstring& choice) {
    SYSTEMTIME clock{2025, 1, 0, 2, 3, 4, 5, 0};
    const DiagnosticsEnvironment environment{
        [&] { return clock; },
        [&](OPENFILENAMEW& dialog) {
          clock.wMinute += 30;
          flags_ = dialog.Flags;
          title_ = dialog.lpstrTitle;
          filter_.assign(dialog.lpstrFilter, std::wstring_view(dialog.lpstrFilter).size() + 8);
          if (dialog_ && *dialog_) {
            std::memcpy(dialog.lpstrFile, choice.c_str(), (choice.size() + 1) * sizeof(wchar_t));
          }
          return dialog_;
        },
    };
    return SaveDiagnostics(nullptr, kAllFields, TextsFor(language_), environment);
  }

  test::ScratchFolder folder_;
  Win32Result<bool> dialog_ = true;
  Language language_ = Language::kEnglish;
  DWORD flags_ = 0;
  std::wstring title_;
  std::wstring filter_;
};

TEST_F(SaveDiagnosticsTest, WritesExactlyTheReportAndAnswersThePath) {
  for (const wchar_t* name : {L"UPPER.TXT", L"diagnostika-\u00e9\u20ac\xD83D\xDE00.txt"}) {
    const std::wstring path = PathOf(name);
    SCOPED_TRACE(test::Utf8(path));
    // An older, longer file is cut to the report.
    WriteBytes(path, std::string(10 * 1024, 'x'));
    const DiagnosticsSave result = Save(path);
    ASSERT_TRUE(result && *result) << test::Ended(result).second;
    EXPECT_EQ(**result, test::Utf8(path));
    EXPECT_EQ(ReadBytes(path), kAllFieldsReport);
  }
  // The dialog speaks the user's language; the pattern stays.
  language_ = Language::kGerman;
  ASSERT_TRUE(Save(PathOf(L"de.txt")));
  EXPECT_EQ(title_, TextsFor(Language::kGerman).saveDialogTitle);
  EXPECT_EQ(filter_, std::wstring_view(L"Textdateien (*.txt)\0*.txt\0", 27));
}

// Streams, devices, relative and odd paths: IsSafeLocalPath's own table.
TEST_F(SaveDiagnosticsTest, RefusesPathsThatAreNotLocalTextFiles) {
  for (const std::wstring& path :
       {PathOf(L"report.txt.log"), std::wstring(L"\\\\server\\share\\report.txt")}) {
    SCOPED_TRACE(test::Utf8(path));
    EXPECT_EQ(test::Ended(Save(path)).first, SaveRefusal::kPathInvalid);
    EXPECT_EQ(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
  }
}

TEST_F(SaveDiagnosticsTest, LeavesFilesItMayNotReplaceAlone) {
  const std::wstring original = PathOf(L"linked.txt");
  const std::wstring link = PathOf(L"second-name.txt");
  WriteBytes(original, "keep me");
  ASSERT_TRUE(::CreateHardLinkW(link.c_str(), original.c_str(), nullptr));
  for (const std::wstring& path : {original, link}) {
    EXPECT_EQ(test::Ended(Save(path)).first, SaveRefusal::kNotRegularFile);
    EXPECT_EQ(ReadBytes(path), "keep me");
  }

  // No sharing: a file another program holds is not written.
  const std::wstring busy = PathOf(L"busy.txt");
  WriteBytes(busy, "in use");
  UniqueKernelHandle holder(
      ::CreateFileW(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  EXPECT_EQ(test::Ended(Save(busy)),
            test::Ending(SaveRefusal::kSaveFailed, ERROR_SHARING_VIOLATION));
  holder.Reset();
  EXPECT_EQ(ReadBytes(busy), "in use");
}

// The report goes into the file the user chose, not where a shortcut or a
// link swapped in after the dialog points.
TEST_F(SaveDiagnosticsTest, WritesOnlyTheFileChosen) {
  const std::wstring shortcut = PathOf(L"report.txt.lnk");
  WriteBytes(shortcut, "shortcut");
  EXPECT_EQ(test::Ended(Save(shortcut)).first, SaveRefusal::kPathInvalid);
  EXPECT_NE(flags_ & OFN_NODEREFERENCELINKS, 0u);
  EXPECT_EQ(ReadBytes(shortcut), "shortcut");

  const std::wstring elsewhere = PathOf(L"elsewhere");
  ASSERT_TRUE(::CreateDirectoryW(elsewhere.c_str(), nullptr));
  WriteBytes(elsewhere + L"\\kept.txt", "kept");
  if (!test::MakeSymbolicLink(PathOf(L"swapped"), elsewhere, true)) {
    GTEST_SKIP() << "no symbolic links here";
  }
  for (const wchar_t* name : {L"\\new.txt", L"\\kept.txt"}) {
    EXPECT_EQ(test::Ended(Save(PathOf(L"swapped") + name)).first, SaveRefusal::kPathInvalid);
  }
  EXPECT_EQ(::GetFileAttributesW((elsewhere + L"\\new.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(ReadBytes(elsewhere + L"\\kept.txt"), "kept");
}

TEST_F(SaveDiagnosticsTest, AFailedDialogCarriesItsCode) {
  dialog_ = Win32Error(0x3003);  // FNERR_BUFFERTOOSMALL
  EXPECT_EQ(test::Ended(Save(L"")), test::Ending(SaveRefusal::kDialogFailed, 0x3003));
}

}  // namespace
}  // namespace veltrix
