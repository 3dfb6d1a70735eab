#include "launch/file_digest.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "launch/file_identity.h"
#include "launch/launch_test_support.h"

namespace veltrix {
namespace {

// Writes the bytes and opens them like the installer launch does.
UniqueFile PayloadWith(const test::ScratchFolder& folder, const std::string& bytes) {
  EXPECT_TRUE(test::WriteBytes(folder / L"payload.bin", bytes));
  return OpenPinned(folder / L"payload.bin", PinnedObject::InstallerFile);
}

int64_t Position(HANDLE file) {
  LARGE_INTEGER position{};
  ::SetFilePointerEx(file, LARGE_INTEGER{}, &position, FILE_CURRENT);
  return position.QuadPart;
}

std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  uint32_t state = 0x12345678;
  for (char& byte : bytes) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<char>(state >> 24);
  }
  return bytes;
}

TEST(VerifyFileSha256Test, StandardVectors) {
  const struct {
    std::string message;
    const char* digest;
  } vectors[] = {
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& v : vectors) {
    test::ScratchFolder folder;
    UniqueFile file = PayloadWith(folder, v.message);
    EXPECT_TRUE(VerifyFileSha256(file.Get(), v.message.size(), v.digest)) << v.digest;
  }
}

TEST(VerifyFileSha256Test, SizesAroundTheReadBuffer) {
  for (size_t size : {size_t{65535}, size_t{65536}, size_t{65537}, size_t{5} * 1024 * 1024 + 3}) {
    test::ScratchFolder folder;
    const std::string bytes = Pattern(size);
    UniqueFile file = PayloadWith(folder, bytes);
    const std::string digest = test::Sha256Hex(bytes);
    EXPECT_TRUE(VerifyFileSha256(file.Get(), size, digest)) << size;
    EXPECT_EQ(Position(file.Get()), static_cast<int64_t>(size)) << size;
    // The pointer is rewound first, so a second check gives the same answer.
    EXPECT_TRUE(VerifyFileSha256(file.Get(), size, digest)) << size;
  }
}

TEST(VerifyFileSha256Test, SizeMustMatchExactly) {
  test::ScratchFolder folder;
  const std::string bytes = Pattern(65537);
  UniqueFile file = PayloadWith(folder, bytes);
  const std::string digest = test::Sha256Hex(bytes);
  // Nothing is read: the pointer stays where it was put.
  LARGE_INTEGER middle{};
  middle.QuadPart = 100;
  ASSERT_TRUE(::SetFilePointerEx(file.Get(), middle, nullptr, FILE_BEGIN));
  EXPECT_FALSE(VerifyFileSha256(file.Get(), bytes.size() - 1, digest));
  EXPECT_FALSE(VerifyFileSha256(file.Get(), bytes.size() + 1, digest));
  EXPECT_EQ(Position(file.Get()), 100);
  // A prefix of the file with the prefix's own digest is still refused.
  EXPECT_FALSE(VerifyFileSha256(file.Get(), 65536, test::Sha256Hex(bytes.substr(0, 65536))));
  // Sizes outside the accepted range fail even for a readable handle.
  EXPECT_FALSE(VerifyFileSha256(file.Get(), kMaxVerifiedFileSize + 1, digest));
  test::ScratchFolder emptyFolder;
  UniqueFile empty = PayloadWith(emptyFolder, "");
  EXPECT_FALSE(VerifyFileSha256(empty.Get(), 0, test::Sha256Hex("")));
}

TEST(VerifyFileSha256Test, DigestTextMustBeExactLowerCaseHex) {
  test::ScratchFolder folder;
  const std::string bytes = Pattern(1000);
  UniqueFile file = PayloadWith(folder, bytes);
  const std::string digest = test::Sha256Hex(bytes);
  ASSERT_TRUE(VerifyFileSha256(file.Get(), bytes.size(), digest));

  std::string upper = digest;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::string oneUpper = digest;
  const size_t letter = oneUpper.find_first_of("abcdef");
  oneUpper[letter] = static_cast<char>(std::toupper(oneUpper[letter]));
  std::string changedDigit = digest;
  changedDigit[10] = changedDigit[10] == '0' ? '1' : '0';
  std::string withNul = digest;
  withNul[63] = '\0';

  const std::string refused[] = {
      upper,
      oneUpper,
      digest.substr(0, 63),
      digest + "0",
      digest.substr(0, 63) + "g",
      withNul,
      changedDigit,
      "",
  };
  for (const std::string& text : refused) {
    EXPECT_FALSE(VerifyFileSha256(file.Get(), bytes.size(), text)) << text;
  }
}

}  // namespace
}  // namespace veltrix
