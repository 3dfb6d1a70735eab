#include "launch/file_digest.h"

#include <algorithm>
#include <array>
#include <vector>

#include "base/hex.h"
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

// Declared in the order of creation so they are released in reverse: the
// hash handle before the object buffer it lives in, both before the provider.
struct Sha256::State {
  UniqueAlgorithmProvider provider;
  std::vector<UCHAR> hashObject;
  UniqueHash hash;
};

Sha256::Sha256(std::unique_ptr<State> state) : state_(std::move(state)) {}
Sha256::~Sha256() = default;
Sha256::Sha256(Sha256&&) noexcept = default;
Sha256& Sha256::operator=(Sha256&&) noexcept = default;

Win32Result<Sha256> Sha256::Start() {
  auto state = std::make_unique<State>();
  if (!Succeeded(::BCryptOpenAlgorithmProvider(state->provider.Receive(), BCRYPT_SHA256_ALGORITHM,
                                               nullptr, 0))) {
    return kHashFailed;
  }
  ULONG objectLength = 0;
  ULONG digestLength = 0;
  if (!GetUlongProperty(state->provider.Get(), BCRYPT_OBJECT_LENGTH, &objectLength) ||
      objectLength < 1 || objectLength > kMaxHashObjectBytes ||
      !GetUlongProperty(state->provider.Get(), BCRYPT_HASH_LENGTH, &digestLength) ||
      digestLength != kDigestBytes) {
    return kHashFailed;
  }
  state->hashObject.assign(objectLength, 0);
  if (!Succeeded(::BCryptCreateHash(state->provider.Get(), state->hash.Receive(),
                                    state->hashObject.data(), objectLength, nullptr, 0, 0))) {
    return kHashFailed;
  }
  return Sha256(std::move(state));
}

Win32Result<> Sha256::Add(std::span<const uint8_t> bytes) {
  if (!Succeeded(::BCryptHashData(state_->hash.Get(), const_cast<UCHAR*>(bytes.data()),
                                  static_cast<ULONG>(bytes.size()), 0))) {
    return kHashFailed;
  }
  return Done{};
}

Win32Result<std::string> Sha256::FinishHex() {
  std::array<UCHAR, kDigestBytes> digest{};
  if (!Succeeded(::BCryptFinishHash(state_->hash.Get(), digest.data(), kDigestBytes, 0))) {
    return kHashFailed;
  }
  return LowerHex(digest);
}

Win32Result<std::string> ReadWithSha256(HANDLE file, uint64_t size, const PieceSink& sink) {
  LARGE_INTEGER start{};
  if (!::SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return LastError();
  Win32Result<Sha256> hash = Sha256::Start();
  if (!hash) return hash.error();

  std::vector<uint8_t> buffer(kReadBufferBytes, 0);
  uint64_t total = 0;
  while (total < size) {
    const DWORD request = static_cast<DWORD>(std::min<uint64_t>(size - total, kReadBufferBytes));
    DWORD read = 0;
    if (!::ReadFile(file, buffer.data(), request, &read, nullptr)) return LastError();
    if (read == 0 || read > request) return Win32Error(ERROR_HANDLE_EOF);
    const std::span<uint8_t> piece(buffer.data(), read);
    if (sink) {
      if (const auto taken = sink(piece); !taken) return taken.error();
    }
    if (const auto added = hash->Add(piece); !added) return added.error();
    total += read;
  }
  return hash->FinishHex();
}

Win32Result<std::string> ReadWithSha256(HANDLE file, uint64_t size) {
  return ReadWithSha256(file, size, PieceSink());
}

}  // namespace veltrix
