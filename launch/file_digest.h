#ifndef LAUNCH_FILE_DIGEST_H_
#define LAUNCH_FILE_DIGEST_H_

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "base/expected.h"

namespace veltrix {

// A SHA-256 over bytes given piece by piece.
class Sha256 {
 public:
  static Win32Result<Sha256> Start();
  ~Sha256();
  Sha256(Sha256&&) noexcept;
  Sha256& operator=(Sha256&&) noexcept;

  [[nodiscard]] Win32Result<> Add(std::span<const uint8_t> bytes);
  // The digest in lower-case hexadecimal; nothing may be added afterwards.
  Win32Result<std::string> FinishHex();

 private:
  struct State;
  explicit Sha256(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

// Each piece read, handed on before it is hashed (to be written elsewhere,
// say); it may still change the piece.
using PieceSink = std::function<Win32Result<>(std::span<uint8_t> piece)>;

// Reads exactly `size` bytes from the start of `file` through the handle,
// at most 64 KiB at a time, hands each piece to `sink` and gives the SHA-256,
// in lower-case hexadecimal, of the pieces as the sink left them. The file
// pointer is left after the last byte read. A file that ends early is an
// error (ERROR_HANDLE_EOF).
Win32Result<std::string> ReadWithSha256(HANDLE file, uint64_t size, const PieceSink& sink);
// The same, with the pieces handed to nobody.
Win32Result<std::string> ReadWithSha256(HANDLE file, uint64_t size);

}  // namespace veltrix

#endif  // LAUNCH_FILE_DIGEST_H_
