#ifndef WIN32_BCRYPT_HANDLES_H_
#define WIN32_BCRYPT_HANDLES_H_

#include <windows.h>

#include <bcrypt.h>

#include "win32/unique_handle.h"

namespace veltrix {

inline void CloseAlgorithmProvider(BCRYPT_ALG_HANDLE provider) {
  ::BCryptCloseAlgorithmProvider(provider, 0);
}
inline void DestroyHash(BCRYPT_HASH_HANDLE hash) { ::BCryptDestroyHash(hash); }

using UniqueAlgorithmProvider = UniqueHandle<BCRYPT_ALG_HANDLE, CloseAlgorithmProvider>;
using UniqueHash = UniqueHandle<BCRYPT_HASH_HANDLE, DestroyHash>;

}  // namespace veltrix

#endif  // WIN32_BCRYPT_HANDLES_H_
