// Encode and decode costs of the standard codec, each beside a memcpy of
// the same number of bytes measured in the same run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine_client/byte_streams.h"
#include "engine_client/standard_codec_serializer.h"
#include "engine_client/standard_method_codec.h"

namespace {

using flutter::EncodableValue;

std::vector<uint8_t> Encode(const EncodableValue& value) {
  std::vector<uint8_t> bytes;
  flutter::ByteBufferStreamWriter writer(&bytes);
  flutter::StandardCodecSerializer::SharedInstance().WriteValue(value, &writer);
  return bytes;
}

EncodableValue ByteList() { return EncodableValue(std::vector<uint8_t>(1 << 20, 0x5A)); }

EncodableValue StringKeyMap(int64_t entries) {
  flutter::EncodableValueMap map;
  for (int64_t i = 0; i < entries; ++i) {
    map.emplace(EncodableValue("key-" + std::to_string(i)),
                EncodableValue(static_cast<int32_t>(i)));
  }
  return EncodableValue(std::move(map));
}

flutter::MethodCall LaunchInstallerCall() {
  flutter::EncodableValueMap arguments{
      {EncodableValue("path"),
       EncodableValue("C:\\Users\\u\\AppData\\Local\\Temp\\VELTRIX-updates\\"
                      "VELTRIX-VPN-Setup-x64-beta.exe")},
      {EncodableValue("sha256"), EncodableValue(std::string(64, 'a'))},
      {EncodableValue("size"), EncodableValue(int64_t{52428800})},
  };
  return flutter::MethodCall("launchInstaller",
                             std::make_unique<EncodableValue>(std::move(arguments)));
}

void Encoding(benchmark::State& state, const EncodableValue& value) {
  size_t bytes = 0;
  for (auto _ : state) {
    std::vector<uint8_t> encoded = Encode(value);
    bytes = encoded.size();
    benchmark::DoNotOptimize(encoded.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void Decoding(benchmark::State& state, const EncodableValue& value) {
  const std::vector<uint8_t> encoded = Encode(value);
  for (auto _ : state) {
    flutter::ByteBufferStreamReader reader(encoded.data(), encoded.size());
    EncodableValue decoded = flutter::StandardCodecSerializer::SharedInstance().ReadValue(&reader);
    benchmark::DoNotOptimize(&decoded);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * encoded.size()));
}

// A copy into a fresh vector, like encode and decode make.
void Memcpy(benchmark::State& state, const EncodableValue& value) {
  const std::vector<uint8_t> encoded = Encode(value);
  for (auto _ : state) {
    std::vector<uint8_t> copy(encoded.size());
    std::memcpy(copy.data(), encoded.data(), encoded.size());
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * encoded.size()));
}

void BM_ByteListEncode(benchmark::State& state) { Encoding(state, ByteList()); }
void BM_ByteListDecode(benchmark::State& state) { Decoding(state, ByteList()); }
void BM_ByteListMemcpy(benchmark::State& state) { Memcpy(state, ByteList()); }
void BM_MapEncode(benchmark::State& state) { Encoding(state, StringKeyMap(state.range(0))); }
void BM_MapDecode(benchmark::State& state) { Decoding(state, StringKeyMap(state.range(0))); }
void BM_MapMemcpy(benchmark::State& state) { Memcpy(state, StringKeyMap(state.range(0))); }

void BM_LaunchInstallerEncode(benchmark::State& state) {
  const flutter::MethodCall call = LaunchInstallerCall();
  const auto& codec = flutter::StandardMethodCodec::SharedInstance();
  for (auto _ : state) benchmark::DoNotOptimize(codec.EncodeCall(call));
}

void BM_LaunchInstallerDecode(benchmark::State& state) {
  const auto& codec = flutter::StandardMethodCodec::SharedInstance();
  const auto encoded = codec.EncodeCall(LaunchInstallerCall());
  for (auto _ : state) benchmark::DoNotOptimize(codec.DecodeCall(encoded->data(), encoded->size()));
}

}  // namespace

BENCHMARK(BM_ByteListEncode);
BENCHMARK(BM_ByteListDecode);
BENCHMARK(BM_ByteListMemcpy);
BENCHMARK(BM_MapEncode)->Arg(4096)->Arg(16384)->Arg(32768)->Arg(65536)->Arg(131072);
BENCHMARK(BM_MapDecode)->Arg(4096)->Arg(16384)->Arg(65536);
BENCHMARK(BM_MapMemcpy)->Arg(4096)->Arg(16384)->Arg(65536);
BENCHMARK(BM_LaunchInstallerEncode);
BENCHMARK(BM_LaunchInstallerDecode);

BENCHMARK_MAIN();
