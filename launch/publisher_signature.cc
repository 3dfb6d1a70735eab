#include "launch/publisher_signature.h"

#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <algorithm>
#include <optional>

#include "base/scope_exit.h"
#include "launch/file_digest.h"
#include "launch/publisher_keys.h"
#include "win32/unique_handle.h"

namespace veltrix {
namespace {

// The SHA-256 of the signing certificate's SubjectPublicKeyInfo, in DER as
// the certificate carries it. Hashed here: Wine offers no
// CERT_SHA256_HASH_PROP_ID.
std::optional<std::string> SignerKeyDigest(HANDLE trustState) {
  CRYPT_PROVIDER_DATA* provider = ::WTHelperProvDataFromStateData(trustState);
  CRYPT_PROVIDER_SGNR* signer =
      provider != nullptr ? ::WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0) : nullptr;
  CRYPT_PROVIDER_CERT* certificate =
      signer != nullptr ? ::WTHelperGetProvCertFromChain(signer, 0) : nullptr;
  if (certificate == nullptr || certificate->pCert == nullptr) return std::nullopt;

  UniqueLocalMemory encoded;
  DWORD size = 0;
  if (!::CryptEncodeObjectEx(X509_ASN_ENCODING, X509_PUBLIC_KEY_INFO,
                             &certificate->pCert->pCertInfo->SubjectPublicKeyInfo,
                             CRYPT_ENCODE_ALLOC_FLAG, nullptr, encoded.Receive(), &size)) {
    return std::nullopt;
  }
  Win32Result<Sha256> hash = Sha256::Start();
  if (!hash || !hash->Add({static_cast<const uint8_t*>(encoded.Get()), size})) return std::nullopt;
  const Win32Result<std::string> digest = hash->FinishHex();
  if (!digest) return std::nullopt;
  return *digest;
}

}  // namespace

bool IsSignedByOurPublisher(HANDLE file, const std::wstring& path) {
  WINTRUST_FILE_INFO fileInfo{};
  fileInfo.cbStruct = sizeof(fileInfo);
  fileInfo.pcwszFilePath = path.c_str();
  fileInfo.hFile = file;
  WINTRUST_DATA trust{};
  trust.cbStruct = sizeof(trust);
  trust.dwUIChoice = WTD_UI_NONE;
  trust.fdwRevocationChecks = WTD_REVOKE_WHOLECHAIN;
  trust.dwUnionChoice = WTD_CHOICE_FILE;
  trust.pFile = &fileInfo;
  trust.dwStateAction = WTD_STATEACTION_VERIFY;
  trust.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL;
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  const HWND noWindow = static_cast<HWND>(INVALID_HANDLE_VALUE);

  // On Windows the signature must also chain to a trusted root and be
  // unrevoked; Wine checks only that the signed digest matches the file.
  // Either way the pinned key is what tells our publisher from another with
  // the same name.
  const LONG verdict = ::WinVerifyTrust(noWindow, &action, &trust);
  const ScopeExit closeState([&] {
    trust.dwStateAction = WTD_STATEACTION_CLOSE;
    ::WinVerifyTrust(noWindow, &action, &trust);
  });
  if (verdict != ERROR_SUCCESS) return false;
  const std::optional<std::string> key = SignerKeyDigest(trust.hWVTStateData);
  return key && std::ranges::find(kPublisherKeys, *key) != std::end(kPublisherKeys);
}

}  // namespace veltrix
