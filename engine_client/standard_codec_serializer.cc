#include "engine_client/standard_codec_serializer.h"

#include <cstdint>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace flutter {
namespace {

enum Tag : uint8_t {
  kNull = 0,
  kTrue = 1,
  kFalse = 2,
  kInt32 = 3,
  kInt64 = 4,
  kLargeInt = 5,
  kDouble = 6,
  kString = 7,
  kByteList = 8,
  kInt32List = 9,
  kInt64List = 10,
  kDoubleList = 11,
  kList = 12,
  kMap = 13,
  kFloatList = 14,
};

// A declared size that the rest of the message cannot hold, next to the
// elements the enclosing containers still expect, is a failed read: nothing
// is allocated for it and nothing more is read from the message. Sharing
// the bytes this way keeps the work linear in the message's size: nested
// containers cannot each claim the same bytes.
bool RefuseOversize(uint64_t needed, ByteStreamReader* reader) {
  const size_t promised = reader->nesting().promisedElements;
  if (promised <= reader->RemainingBytes() && needed <= reader->RemainingBytes() - promised) {
    return false;
  }
  std::cerr << "Invalid read in StandardCodecByteStreamReader" << std::endl;
  reader->Abandon();
  return true;
}

// The elements of a typed list, after its size: aligned to the element size.
template <typename T>
void WriteTypedElements(const EncodableValue& value, ByteStreamWriter* writer) {
  const std::vector<T>& list = std::get<std::vector<T>>(value);
  if (sizeof(T) > 1) writer->WriteAlignment(sizeof(T));
  writer->WriteBytes(reinterpret_cast<const uint8_t*>(list.data()), list.size() * sizeof(T));
}

template <typename T>
EncodableValue ReadTypedList(size_t count, ByteStreamReader* reader) {
  if (sizeof(T) > 1) reader->ReadAlignment(sizeof(T));
  // count fits in 32 bits, so the product cannot overflow a 64-bit size.
  if (RefuseOversize(static_cast<uint64_t>(count) * sizeof(T), reader)) {
    return EncodableValue(std::vector<T>());
  }
  std::vector<T> list(count);
  reader->ReadBytes(reinterpret_cast<uint8_t*>(list.data()), count * sizeof(T));
  return EncodableValue(std::move(list));
}

}  // namespace

const StandardCodecSerializer& StandardCodecSerializer::SharedInstance() {
  static const StandardCodecSerializer* const instance = new StandardCodecSerializer();
  return *instance;
}

EncodableValue StandardCodecSerializer::ReadValue(ByteStreamReader* reader) const {
  return ReadValueOfType(reader->ReadByte(), reader);
}

EncodableValue StandardCodecSerializer::ReadValueOfType(uint8_t type,
                                                        ByteStreamReader* reader) const {
  switch (type) {
    case kNull:
      return EncodableValue();
    case kTrue:
      return EncodableValue(true);
    case kFalse:
      return EncodableValue(false);
    case kInt32: {
      int32_t value = 0;
      reader->ReadBytes(reinterpret_cast<uint8_t*>(&value), sizeof(value));
      return EncodableValue(value);
    }
    case kInt64: {
      int64_t value = 0;
      reader->ReadBytes(reinterpret_cast<uint8_t*>(&value), sizeof(value));
      return EncodableValue(value);
    }
    case kDouble: {
      reader->ReadAlignment(8);
      double value = 0;
      reader->ReadBytes(reinterpret_cast<uint8_t*>(&value), sizeof(value));
      return EncodableValue(value);
    }
    case kLargeInt:
    case kString: {
      const size_t size = ReadSize(reader);
      if (RefuseOversize(size, reader)) return EncodableValue(std::string());
      std::string text(size, '\0');
      reader->ReadBytes(reinterpret_cast<uint8_t*>(text.data()), size);
      return EncodableValue(std::move(text));
    }
    case kByteList:
      return ReadTypedList<uint8_t>(ReadSize(reader), reader);
    case kInt32List:
      return ReadTypedList<int32_t>(ReadSize(reader), reader);
    case kInt64List:
      return ReadTypedList<int64_t>(ReadSize(reader), reader);
    case kDoubleList:
      return ReadTypedList<double>(ReadSize(reader), reader);
    case kFloatList:
      return ReadTypedList<float>(ReadSize(reader), reader);
    case kList:
    case kMap:
      return ReadContainer(type, reader);
  }
  std::cerr << "Unknown type in StandardCodecSerializer::ReadValueOfType: "
            << static_cast<unsigned>(type) << std::endl;
  return EncodableValue();
}

EncodableValue StandardCodecSerializer::ReadContainer(uint8_t type,
                                                      ByteStreamReader* reader) const {
  ByteStreamReader::Nesting& nesting = reader->nesting();
  if (nesting.depth >= kMaxNestingDepth) {
    std::cerr << "Nesting deeper than " << kMaxNestingDepth
              << " in StandardCodecSerializer::ReadValue; ignoring the rest of the message."
              << std::endl;
    reader->Abandon();
    return EncodableValue();
  }
  // Every list element takes at least its tag byte, every map entry two.
  const size_t count = ReadSize(reader);
  const uint64_t elements = type == kList ? count : uint64_t{2} * count;
  if (RefuseOversize(elements, reader)) {
    return type == kList ? EncodableValue(EncodableValueList())
                         : EncodableValue(EncodableValueMap());
  }
  nesting.promisedElements += elements;
  ++nesting.depth;
  // Each element is read for real as its turn comes.
  const auto next = [&] {
    --nesting.promisedElements;
    return ReadValue(reader);
  };
  EncodableValue value;
  if (type == kList) {
    EncodableValueList list;
    list.reserve(count);
    for (size_t i = 0; i < count; ++i) list.push_back(next());
    value = EncodableValue(std::move(list));
  } else {
    EncodableValueMap map;
    for (size_t i = 0; i < count; ++i) {
      EncodableValue key = next();
      // Of two equal keys on the wire, the first one wins.
      map.emplace(std::move(key), next());
    }
    value = EncodableValue(std::move(map));
  }
  --nesting.depth;
  return value;
}

void StandardCodecSerializer::WriteValue(const EncodableValue& value,
                                         ByteStreamWriter* writer) const {
  switch (value.index()) {
    case 0:
      writer->WriteByte(kNull);
      return;
    case 1:
      writer->WriteByte(std::get<bool>(value) ? kTrue : kFalse);
      return;
    case 2: {
      writer->WriteByte(kInt32);
      const int32_t number = std::get<int32_t>(value);
      writer->WriteBytes(reinterpret_cast<const uint8_t*>(&number), sizeof(number));
      return;
    }
    case 3: {
      writer->WriteByte(kInt64);
      const int64_t number = std::get<int64_t>(value);
      writer->WriteBytes(reinterpret_cast<const uint8_t*>(&number), sizeof(number));
      return;
    }
    case 4: {
      writer->WriteByte(kDouble);
      writer->WriteAlignment(8);
      const double number = std::get<double>(value);
      writer->WriteBytes(reinterpret_cast<const uint8_t*>(&number), sizeof(number));
      return;
    }
    case 5: {
      const std::string& text = std::get<std::string>(value);
      if (!WriteSizedTag(kString, text.size(), writer)) return;
      writer->WriteBytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
      return;
    }
    case 6:
      if (WriteSizedTag(kByteList, std::get<std::vector<uint8_t>>(value).size(), writer)) {
        WriteTypedElements<uint8_t>(value, writer);
      }
      return;
    case 7:
      if (WriteSizedTag(kInt32List, std::get<std::vector<int32_t>>(value).size(), writer)) {
        WriteTypedElements<int32_t>(value, writer);
      }
      return;
    case 8:
      if (WriteSizedTag(kInt64List, std::get<std::vector<int64_t>>(value).size(), writer)) {
        WriteTypedElements<int64_t>(value, writer);
      }
      return;
    case 9:
      if (WriteSizedTag(kDoubleList, std::get<std::vector<double>>(value).size(), writer)) {
        WriteTypedElements<double>(value, writer);
      }
      return;
    case 10: {
      const EncodableValueList& list = std::get<EncodableValueList>(value);
      if (!WriteSizedTag(kList, list.size(), writer)) return;
      for (const EncodableValue& element : list) WriteValue(element, writer);
      return;
    }
    case 11: {
      const EncodableValueMap& map = std::get<EncodableValueMap>(value);
      if (!WriteSizedTag(kMap, map.size(), writer)) return;
      for (const auto& [key, entry] : map) {
        WriteValue(key, writer);
        WriteValue(entry, writer);
      }
      return;
    }
    case 12:
      writer->WriteByte(kNull);
      std::cerr << "Unhandled custom type in StandardCodecSerializer::WriteValue. "
                << "Custom types require codec extensions." << std::endl;
      return;
    case 13:
      if (WriteSizedTag(kFloatList, std::get<std::vector<float>>(value).size(), writer)) {
        WriteTypedElements<float>(value, writer);
      }
      return;
  }
  // A value left without an alternative carries nothing; the receiver sees null.
  writer->WriteByte(kNull);
}

size_t StandardCodecSerializer::ReadSize(ByteStreamReader* reader) const {
  const uint8_t first = reader->ReadByte();
  if (first < 254) return first;
  if (first == 254) {
    uint16_t size = 0;
    reader->ReadBytes(reinterpret_cast<uint8_t*>(&size), sizeof(size));
    return size;
  }
  uint32_t size = 0;
  reader->ReadBytes(reinterpret_cast<uint8_t*>(&size), sizeof(size));
  return size;
}

bool StandardCodecSerializer::WriteSizedTag(uint8_t tag, size_t size,
                                            ByteStreamWriter* writer) const {
  if (size > UINT32_MAX) {
    writer->WriteByte(kNull);
    std::cerr << "Size " << size << " too large for StandardCodecSerializer::WriteValue; "
              << "writing null." << std::endl;
    return false;
  }
  writer->WriteByte(tag);
  return WriteSize(size, writer);
}

bool StandardCodecSerializer::WriteSize(size_t size, ByteStreamWriter* writer) const {
  if (size > UINT32_MAX) return false;
  if (size < 254) {
    writer->WriteByte(static_cast<uint8_t>(size));
  } else if (size <= 0xFFFF) {
    writer->WriteByte(254);
    const uint16_t value = static_cast<uint16_t>(size);
    writer->WriteBytes(reinterpret_cast<const uint8_t*>(&value), sizeof(value));
  } else {
    writer->WriteByte(255);
    const uint32_t value = static_cast<uint32_t>(size);
    writer->WriteBytes(reinterpret_cast<const uint8_t*>(&value), sizeof(value));
  }
  return true;
}

}  // namespace flutter
