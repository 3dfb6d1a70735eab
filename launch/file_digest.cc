#include "launch/file_digest.h"

#include <algorithm>
#include <array>
#include <vector>

#include "base/hex.h"
#include "launch/launch_results.h"
#include "win32/bcrypt_handles.h"
#include "win32/last_error.h"

namespace veltrix {
namespace {

constexpr size_t kDigestBytes = 32;
constexpr size_t kReadBufferBytes = 65536;
constexpr ULONG kMaxHashObjectBytes = 0x100000;

bool Succeeded(NTSTATUS status) { return status >= 0; }

// The hash provider speaks NTSTATUS; a failure there has no Windows error
// code of its own.
constexpr Win32Error kHashFailed{Win32Error::kInternalError};

bool GetUlongProperty(BCRYPT_HANDLE object, const wchar_t* property, ULONG* value) {
  ULONG written = 0;
  *value = 0;
  return Succeeded(::BCryptGetProperty(object, property, reinterpret_cast<PUCHAR>(value),
                                       sizeof(*value), &written, 0));
}

}  // namespace

Win32Result<std::string> Sha256HexOfFile(HANDLE file, uint64_t size) {
  LARGE_INTEGER start{};
  if (!::SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return LastError();

  // Declared in the order of creation so they are released in reverse: the
  // hash handle before the object buffer it lives in, both before the provider.
  UniqueAlgorithmProvider provider;
  if (!Succeeded(
          ::BCryptOpenAlgorithmProvider(provider.Receive(), BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
    return kHashFailed;
  }
  ULONG objectLength = 0;
  ULONG digestLength = 0;
  if (!GetUlongProperty(provider.Get(), BCRYPT_OBJECT_LENGTH, &objectLength) || objectLength < 1 ||
      objectLength > kMaxHashObjectBytes ||
      !GetUlongProperty(provider.Get(), BCRYPT_HASH_LENGTH, &digestLength) ||
      digestLength != kDigestBytes) {
    return kHashFailed;
  }
  std::vector<UCHAR> hashObject(objectLength, 0);
  UniqueHash hash;
  if (!Succeeded(::BCryptCreateHash(provider.Get(), hash.Receive(), hashObject.data(), objectLength,
                                    nullptr, 0, 0))) {
    return kHashFailed;
  }

  std::vector<UCHAR> buffer(kReadBufferBytes, 0);
  uint64_t total = 0;
  while (total < size) {
    const DWORD request = static_cast<DWORD>(std::min<uint64_t>(size - total, kReadBufferBytes));
    DWORD read = 0;
    if (!::ReadFile(file, buffer.data(), request, &read, nullptr)) return LastError();
    if (read == 0 || read > request) return Win32Error(ERROR_HANDLE_EOF);
    if (!Succeeded(::BCryptHashData(hash.Get(), buffer.data(), read, 0))) return kHashFailed;
    total += read;
  }

  std::array<UCHAR, kDigestBytes> digest{};
  if (!Succeeded(::BCryptFinishHash(hash.Get(), digest.data(), kDigestBytes, 0))) {
    return kHashFailed;
  }
  return LowerHex(digest);
}

Win32Result<bool> FileMatchesSha256(HANDLE file, uint64_t expectedSize,
                                    std::string_view expectedSha256Hex) {
  if (!IsSha256Hex(expectedSha256Hex)) return false;
  if (expectedSize < 1 || expectedSize > kMaxInstallerSize) return false;

  LARGE_INTEGER fileSize{};
  if (!::GetFileSizeEx(file, &fileSize)) return LastError();
  if (fileSize.QuadPart < 0 || static_cast<uint64_t>(fileSize.QuadPart) != expectedSize) {
    return false;
  }
  const Win32Result<std::string> digest = Sha256HexOfFile(file, expectedSize);
  if (!digest) return digest.error();
  return *digest == expectedSha256Hex;
}

}  // namespace veltrix
