#include "launch/file_digest.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "file_safety/pinned_open.h"
#include "file_safety/testing/file_test_support.h"
#include "launch/launch_results.h"

namespace veltrix {
namespace {

// Writes the bytes and opens them like the installer launch does.
UniqueKernelHandle PayloadWith(const test::ScratchFolder& folder, const std::string& bytes) {
  EXPECT_TRUE(test::WriteBytes(folder / L"payload.bin", bytes));
  auto opened = OpenPinned(folder / L"payload.bin", PinnedObject::InstallerFile);
  return opened ? std::move(*opened) : UniqueKernelHandle();
}

bool Matches(HANDLE file, uint64_t size, const std::string& digest) {
  const Win32Result<bool> matches = FileMatchesSha256(file, size, digest);
  return matches && *matches;
}

int64_t Position(HANDLE file) {
  LARGE_INTEGER position{};
  ::SetFilePointerEx(file, LARGE_INTEGER{}, &position, FILE_CURRENT);
  return position.QuadPart;
}

TEST(FileDigestTest, KnownDigestsAcrossTheReadBuffer) {
  const struct {
    std::string message;
    const char* digest;
  } vectors[] = {
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {std::string(65536, 'x'), "1f8745f0d2d1387ec1af2211a3cf417b2e9e885e853472649c1d979d0e9370e3"},
      {std::string(65537, 'y'), "8a4e5586e59d582e6bf723bfabc46c874a7b49a5cf067f7d3ecae754b3395806"},
  };
  for (const auto& v : vectors) {
    test::ScratchFolder folder;
    UniqueKernelHandle file = PayloadWith(folder, v.message);
    EXPECT_TRUE(Matches(file.Get(), v.message.size(), v.digest)) << v.message.size();
    EXPECT_EQ(Position(file.Get()), static_cast<int64_t>(v.message.size()));
    // The pointer is rewound first, so a second check gives the same answer.
    EXPECT_TRUE(Matches(file.Get(), v.message.size(), v.digest)) << v.message.size();
  }
}

TEST(FileDigestTest, RefusesOtherSizesAndOtherDigests) {
  test::ScratchFolder folder;
  const std::string bytes(65537, 'z');
  UniqueKernelHandle file = PayloadWith(folder, bytes);
  const std::string digest = "810c37bb91b70d110564f7739f88b79f6e2ad5b9553d5a7a8119bf3a376e87f9";
  // Nothing is read for a size that differs: the pointer stays where it was put.
  LARGE_INTEGER middle{};
  middle.QuadPart = 100;
  ASSERT_TRUE(::SetFilePointerEx(file.Get(), middle, nullptr, FILE_BEGIN));
  EXPECT_FALSE(Matches(file.Get(), bytes.size() - 1, digest));
  EXPECT_FALSE(Matches(file.Get(), bytes.size() + 1, digest));
  EXPECT_EQ(Position(file.Get()), 100);
  // A prefix of the file with the prefix's own digest is still refused.
  EXPECT_FALSE(Matches(file.Get(), 65536,
                       "d809b75df5a9b674736feaf68ee9939e1712b59b52228623eb61233f22707265"));
  EXPECT_FALSE(Matches(file.Get(), kMaxInstallerSize + 1, digest));

  std::string upper = digest;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::string changed = digest;
  changed[10] = changed[10] == '0' ? '1' : '0';
  EXPECT_FALSE(Matches(file.Get(), bytes.size(), upper));
  EXPECT_FALSE(Matches(file.Get(), bytes.size(), changed));
  EXPECT_TRUE(Matches(file.Get(), bytes.size(), digest));

  test::ScratchFolder emptyFolder;
  UniqueKernelHandle empty = PayloadWith(emptyFolder, "");
  EXPECT_FALSE(
      Matches(empty.Get(), 0, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"));
}

}  // namespace
}  // namespace veltrix
