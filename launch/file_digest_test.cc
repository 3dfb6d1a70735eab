#include "launch/file_digest.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "launch/file_identity.h"
#include "launch/launch_test_support.h"

namespace veltrix {
namespace {

using test::ScratchFolder;

// Opens like the installer launch does and verifies through that handle.
class DigestFile {
 public:
  DigestFile(const ScratchFolder& folder, const std::string& bytes)
      : path_(folder / L"payload.bin") {
    EXPECT_TRUE(test::WriteBytes(path_, bytes));
    handle_ = OpenPinned(path_, PinnedObject::InstallerFile);
    EXPECT_TRUE(handle_);
  }
  HANDLE handle() const { return handle_.Get(); }

  // Where the file pointer stands.
  int64_t Position() const {
    LARGE_INTEGER zero{};
    LARGE_INTEGER position{};
    ::SetFilePointerEx(handle_.Get(), zero, &position, FILE_CURRENT);
    return position.QuadPart;
  }

 private:
  std::wstring path_;
  UniqueFile handle_;
};

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
  struct Vector {
    std::string message;
    const char* digest;
  };
  const Vector vectors[] = {
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const Vector& v : vectors) {
    ScratchFolder folder;
    DigestFile file(folder, v.message);
    EXPECT_TRUE(VerifyFileSha256(file.handle(), v.message.size(), v.digest)) << v.digest;
  }
}

TEST(VerifyFileSha256Test, SizesAroundTheReadBuffer) {
  for (size_t size : {size_t{1}, size_t{65535}, size_t{65536}, size_t{65537}, size_t{131072},
                      size_t{5} * 1024 * 1024 + 3}) {
    ScratchFolder folder;
    const std::string bytes = Pattern(size);
    DigestFile file(folder, bytes);
    const std::string digest = test::Sha256Hex(bytes);
    EXPECT_TRUE(VerifyFileSha256(file.handle(), size, digest)) << size;
    EXPECT_EQ(file.Position(), static_cast<int64_t>(size)) << size;
    // The pointer is rewound first, so a second check gives the same answer.
    EXPECT_TRUE(VerifyFileSha256(file.handle(), size, digest)) << size;
  }
}

TEST(VerifyFileSha256Test, SizeOffByOneFailsBeforeReading) {
  ScratchFolder folder;
  const std::string bytes = Pattern(65537);
  DigestFile file(folder, bytes);
  const std::string digest = test::Sha256Hex(bytes);
  // Prove that nothing is read: the pointer stays where it was put.
  LARGE_INTEGER middle{};
  middle.QuadPart = 100;
  ASSERT_TRUE(::SetFilePointerEx(file.handle(), middle, nullptr, FILE_BEGIN));
  EXPECT_FALSE(VerifyFileSha256(file.handle(), bytes.size() - 1, digest));
  EXPECT_FALSE(VerifyFileSha256(file.handle(), bytes.size() + 1, digest));
  EXPECT_EQ(file.Position(), 100);
  // A prefix of the file with the prefix's own digest is still refused.
  EXPECT_FALSE(VerifyFileSha256(file.handle(), 65536, test::Sha256Hex(bytes.substr(0, 65536))));
}

TEST(VerifyFileSha256Test, DigestTextMustBeExactLowerCaseHex) {
  ScratchFolder folder;
  const std::string bytes = Pattern(1000);
  DigestFile file(folder, bytes);
  const std::string digest = test::Sha256Hex(bytes);
  ASSERT_TRUE(VerifyFileSha256(file.handle(), bytes.size(), digest));

  std::string upper = digest;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  ASSERT_NE(upper, digest);
  std::string oneUpper = digest;
  for (char& c : oneUpper) {
    if (c >= 'a' && c <= 'f') {
      c = static_cast<char>(c - 'a' + 'A');
      break;
    }
  }
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
      digest.substr(0, 63) + " ",
      " " + digest.substr(1),
      withNul,
      changedDigit,
      "",
  };
  for (const std::string& text : refused) {
    EXPECT_FALSE(VerifyFileSha256(file.handle(), bytes.size(), text)) << text;
  }
}

TEST(VerifyFileSha256Test, OneChangedByteFails) {
  ScratchFolder folder;
  std::string bytes = Pattern(70000);
  const std::string digest = test::Sha256Hex(bytes);
  bytes[69999] ^= 1;
  DigestFile file(folder, bytes);
  EXPECT_FALSE(VerifyFileSha256(file.handle(), bytes.size(), digest));
}

TEST(VerifyFileSha256Test, SizeOutsideTheAcceptedRangeFailsWithoutTouchingTheHandle) {
  const std::string digest(64, 'a');
  // An invalid handle would fail too; these fail on the size alone, even for
  // a handle that could be read.
  ScratchFolder folder;
  DigestFile file(folder, "");
  EXPECT_FALSE(VerifyFileSha256(file.handle(), 0, test::Sha256Hex("")));
  EXPECT_FALSE(VerifyFileSha256(file.handle(), kMaxVerifiedFileSize + 1, digest));
  EXPECT_FALSE(VerifyFileSha256(INVALID_HANDLE_VALUE, 10, digest));
}

TEST(VerifyFileSha256Test, HandleWithoutReadAccessFails) {
  ScratchFolder folder;
  const std::wstring path = folder / L"payload.bin";
  ASSERT_TRUE(test::WriteBytes(path, "abc"));
  UniqueFile attributesOnly(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(attributesOnly);
  EXPECT_FALSE(VerifyFileSha256(
      attributesOnly.Get(), 3, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
}

}  // namespace
}  // namespace veltrix
