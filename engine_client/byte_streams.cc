#include "engine_client/byte_streams.h"

#include <cstring>
#include <iostream>

namespace flutter {
namespace {

void ReportInvalidRead() {
  std::cerr << "Invalid read in StandardCodecByteStreamReader" << std::endl;
}

}  // namespace

uint8_t ByteBufferStreamReader::ReadByte() {
  if (position_ < length_) return bytes_[position_++];
  ReportInvalidRead();
  return 0;
}

void ByteBufferStreamReader::ReadBytes(uint8_t* destination, size_t length) {
  if (position_ <= length_ && length <= length_ - position_) {
    if (length > 0) std::memcpy(destination, bytes_ + position_, length);
    position_ += length;
    return;
  }
  ReportInvalidRead();
}

void ByteBufferStreamReader::ReadAlignment(uint8_t alignment) {
  if (alignment == 0) return;
  const size_t mod = position_ % alignment;
  if (mod != 0) position_ += alignment - mod;
}

size_t ByteBufferStreamReader::RemainingBytes() const {
  return position_ < length_ ? length_ - position_ : 0;
}

void ByteBufferStreamReader::Abandon() { position_ = length_; }

void ByteBufferStreamWriter::WriteByte(uint8_t byte) { buffer_->push_back(byte); }

void ByteBufferStreamWriter::WriteBytes(const uint8_t* source, size_t length) {
  if (length > 0) buffer_->insert(buffer_->end(), source, source + length);
}

void ByteBufferStreamWriter::WriteAlignment(uint8_t alignment) {
  if (alignment == 0) return;
  const size_t mod = buffer_->size() % alignment;
  if (mod == 0) return;
  for (size_t i = 0; i < alignment - mod; ++i) WriteByte(0);
}

}  // namespace flutter
