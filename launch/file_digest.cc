#include "launch/file_digest.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "desktop/desktop_arguments.h"
#include "win32/bcrypt_handles.h"

namespace veltrix {
namespace {

constexpr size_t kDigestBytes = 32;
constexpr size_t kReadBufferBytes = 65536;
constexpr ULONG kMaxHashObjectBytes = 0x100000;
constexpr char kHexDigits[] = "0123456789abcdef";

bool Succeeded(NTSTATUS status) { return status >= 0; }

bool GetUlongProperty(BCRYPT_HANDLE object, const wchar_t* property, ULONG* value) {
  ULONG written = 0;
  *value = 0;
  return Succeeded(::BCryptGetProperty(object, property, reinterpret_cast<PUCHAR>(value),
                                       sizeof(*value), &written, 0));
}

}  // namespace

bool VerifyFileSha256(HANDLE file, uint64_t expectedSize, std::string_view expectedSha256Hex) {
  if (!IsSha256Hex(expectedSha256Hex)) return false;
  if (expectedSize < 1 || expectedSize > kMaxInstallerSize) return false;

  LARGE_INTEGER fileSize{};
  if (!::GetFileSizeEx(file, &fileSize) || fileSize.QuadPart < 0 ||
      static_cast<uint64_t>(fileSize.QuadPart) != expectedSize) {
    return false;
  }
  LARGE_INTEGER start{};
  if (!::SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return false;

  // Declared in the order of creation so they are released in reverse: the
  // hash handle before the object buffer it lives in, both before the provider.
  UniqueAlgorithmProvider provider;
  if (!Succeeded(
          ::BCryptOpenAlgorithmProvider(provider.Receive(), BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
    return false;
  }
  ULONG objectLength = 0;
  if (!GetUlongProperty(provider.Get(), BCRYPT_OBJECT_LENGTH, &objectLength) || objectLength < 1 ||
      objectLength > kMaxHashObjectBytes) {
    return false;
  }
  ULONG digestLength = 0;
  if (!GetUlongProperty(provider.Get(), BCRYPT_HASH_LENGTH, &digestLength) ||
      digestLength != kDigestBytes) {
    return false;
  }
  std::vector<UCHAR> hashObject(objectLength, 0);
  UniqueHash hash;
  if (!Succeeded(::BCryptCreateHash(provider.Get(), hash.Receive(), hashObject.data(), objectLength,
                                    nullptr, 0, 0))) {
    return false;
  }

  std::vector<UCHAR> buffer(kReadBufferBytes, 0);
  uint64_t total = 0;
  while (total < expectedSize) {
    const DWORD request =
        static_cast<DWORD>(std::min<uint64_t>(expectedSize - total, kReadBufferBytes));
    DWORD read = 0;
    if (!::ReadFile(file, buffer.data(), request, &read, nullptr) || read == 0 || read > request) {
      return false;
    }
    if (!Succeeded(::BCryptHashData(hash.Get(), buffer.data(), read, 0))) return false;
    total += read;
  }

  std::array<UCHAR, kDigestBytes> digest{};
  if (!Succeeded(::BCryptFinishHash(hash.Get(), digest.data(), kDigestBytes, 0))) return false;

  std::string encoded;
  encoded.reserve(2 * kDigestBytes);
  for (UCHAR byte : digest) {
    encoded.push_back(kHexDigits[byte >> 4]);
    encoded.push_back(kHexDigits[byte & 0x0F]);
  }
  return encoded == expectedSha256Hex;
}

}  // namespace veltrix
