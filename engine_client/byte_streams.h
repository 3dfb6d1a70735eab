#ifndef ENGINE_CLIENT_BYTE_STREAMS_H_
#define ENGINE_CLIENT_BYTE_STREAMS_H_

#include <cstddef>
#include <cstdint>
#include <vector>

namespace flutter {

class ByteStreamReader {
 public:
  // What the enclosing containers of the value being read still expect,
  // kept with the message so that nested reads share it: how deep the value
  // is nested, and how many elements the enclosing containers have yet to
  // read (each takes at least one of the remaining bytes).
  struct Nesting {
    int depth = 0;
    size_t promisedElements = 0;
  };

  virtual ~ByteStreamReader() = default;
  virtual uint8_t ReadByte() = 0;
  virtual void ReadBytes(uint8_t* destination, size_t length) = 0;
  virtual void ReadAlignment(uint8_t alignment) = 0;
  // Bytes left before the end; used to refuse sizes that cannot fit.
  virtual size_t RemainingBytes() const = 0;
  // Gives up on the rest of the message: every later read fails.
  virtual void Abandon() = 0;

  Nesting& nesting() { return nesting_; }

 private:
  Nesting nesting_;
};

class ByteStreamWriter {
 public:
  virtual ~ByteStreamWriter() = default;
  virtual void WriteByte(uint8_t byte) = 0;
  virtual void WriteBytes(const uint8_t* source, size_t length) = 0;
  virtual void WriteAlignment(uint8_t alignment) = 0;
};

// Reads a received buffer that outlives the reader.
class ByteBufferStreamReader : public ByteStreamReader {
 public:
  ByteBufferStreamReader(const uint8_t* bytes, size_t length) : bytes_(bytes), length_(length) {}

  uint8_t ReadByte() override;
  void ReadBytes(uint8_t* destination, size_t length) override;
  void ReadAlignment(uint8_t alignment) override;
  size_t RemainingBytes() const override;
  void Abandon() override;

  size_t position() const { return position_; }

 private:
  const uint8_t* bytes_;
  size_t length_;
  size_t position_ = 0;
};

// Appends to a byte vector owned by the caller.
class ByteBufferStreamWriter : public ByteStreamWriter {
 public:
  explicit ByteBufferStreamWriter(std::vector<uint8_t>* buffer) : buffer_(buffer) {}

  void WriteByte(uint8_t byte) override;
  void WriteBytes(const uint8_t* source, size_t length) override;
  void WriteAlignment(uint8_t alignment) override;

 private:
  std::vector<uint8_t>* buffer_;
};

}  // namespace flutter

#endif  // ENGINE_CLIENT_BYTE_STREAMS_H_
