#include "launch/file_digest.h"

#include <gtest/gtest.h>

#include <string>

#include "file_safety/pinned_open.h"
#include "file_safety/testing/file_test_support.h"

namespace veltrix {
namespace {

// Writes the bytes and opens them like the installer launch does.
UniqueKernelHandle PayloadWith(const test::ScratchFolder& folder, const std::string& bytes) {
  EXPECT_TRUE(test::WriteBytes(folder / L"payload.bin", bytes));
  auto opened = OpenPinned(folder / L"payload.bin", PinnedObject::InstallerFile);
  return opened ? std::move(*opened) : UniqueKernelHandle();
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
    UniqueKernelHandle file = PayloadWith(folder, v.message + "tail");
    // Read from the start, however the pointer stood, and never past the size.
    ::SetFilePointerEx(file.Get(), LARGE_INTEGER{{100, 0}}, nullptr, FILE_BEGIN);
    EXPECT_EQ(*ReadWithSha256(file.Get(), v.message.size()), v.digest);
  }
}

// That the sink sees every piece, and that what it left is hashed, the
// installer launch's copy and its attack test show.
TEST(FileDigestTest, FailsWithTheSinkOrOnAShortFile) {
  test::ScratchFolder folder;
  UniqueKernelHandle file = PayloadWith(folder, "abd");
  const auto refuse = [](std::span<uint8_t>) { return Win32Result<>(Win32Error(ERROR_DISK_FULL)); };
  EXPECT_EQ(ReadWithSha256(file.Get(), 3, refuse).error().code, uint32_t{ERROR_DISK_FULL});
  EXPECT_EQ(ReadWithSha256(file.Get(), 4).error().code, uint32_t{ERROR_HANDLE_EOF});
}

}  // namespace
}  // namespace veltrix
