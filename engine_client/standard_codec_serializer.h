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

  EncodableValue ReadValue(ByteStreamReader* reader) const;
  virtual void WriteValue(const EncodableValue& value, ByteStreamWriter* writer) const;

 protected:
  virtual EncodableValue ReadValueOfType(uint8_t type, ByteStreamReader* reader) const;
  size_t ReadSize(ByteStreamReader* reader) const;
  void WriteSize(size_t size, ByteStreamWriter* writer) const;

 private:
  EncodableValue ReadValueAtDepth(ByteStreamReader* reader, int depth) const;
  EncodableValue ReadValueOfTypeAtDepth(uint8_t type, ByteStreamReader* reader, int depth) const;
};

}  // namespace flutter

#endif  // ENGINE_CLIENT_STANDARD_CODEC_SERIALIZER_H_
