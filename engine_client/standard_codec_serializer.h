#ifndef ENGINE_CLIENT_STANDARD_CODEC_SERIALIZER_H_
#define ENGINE_CLIENT_STANDARD_CODEC_SERIALIZER_H_

#include <cstddef>
#include <cstdint>

#include "engine_client/byte_streams.h"
#include "engine_client/encodable_value.h"

namespace flutter {

// Lists and maps nested deeper than this are refused while reading, so a
// small hostile message cannot exhaust the stack.
inline constexpr int kMaxNestingDepth = 128;

// Maps EncodableValue to the engine's standard binary message format and back.
class StandardCodecSerializer {
 public:
  StandardCodecSerializer() = default;
  virtual ~StandardCodecSerializer() = default;

  StandardCodecSerializer(const StandardCodecSerializer&) = delete;
  StandardCodecSerializer& operator=(const StandardCodecSerializer&) = delete;

  // The process-wide instance; never destroyed.
  static const StandardCodecSerializer& SharedInstance();

  // Reads through ReadValueOfType, so an extended serializer sees every
  // nested value too.
  EncodableValue ReadValue(ByteStreamReader* reader) const;
  virtual void WriteValue(const EncodableValue& value, ByteStreamWriter* writer) const;

 protected:
  virtual EncodableValue ReadValueOfType(uint8_t type, ByteStreamReader* reader) const;
  size_t ReadSize(ByteStreamReader* reader) const;
  // False, with nothing written, for a size the format cannot hold (2^32
  // or more).
  bool WriteSize(size_t size, ByteStreamWriter* writer) const;

 private:
  EncodableValue ReadContainer(uint8_t type, ByteStreamReader* reader) const;
  // The tag, then the size; a value too large for the format is written as
  // null instead, with a line, since a cut size would corrupt the message.
  bool WriteSizedTag(uint8_t tag, size_t size, ByteStreamWriter* writer) const;
};

}  // namespace flutter

#endif  // ENGINE_CLIENT_STANDARD_CODEC_SERIALIZER_H_
