// Measures ReadWithSha256 on one file: throughput and the process's peak
// working set. Usage: digest_bench FILE SIZE SHA256
// Prints "ok=1 bytes=N seconds=S mib_per_s=R peak_working_set_kib=K".

#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "launch/file_digest.h"
#include "win32/unique_handle.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: digest_bench FILE SIZE SHA256\n");
    return 2;
  }
  const uint64_t size = std::wcstoull(argv[2], nullptr, 10);
  std::string digest;
  for (const wchar_t* c = argv[3]; *c != L'\0'; ++c) digest.push_back(static_cast<char>(*c));

  // The installer's own opening rule: read, shared for reading only.
  veltrix::UniqueKernelHandle file(::CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                 OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT,
                                                 nullptr));
  if (!file) {
    std::fprintf(stderr, "cannot open: %lu\n", ::GetLastError());
    return 1;
  }

  LARGE_INTEGER frequency;
  LARGE_INTEGER start;
  LARGE_INTEGER end;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  const veltrix::Win32Result<std::string> read = veltrix::ReadWithSha256(file.Get(), size);
  const bool ok = read && *read == digest;
  ::QueryPerformanceCounter(&end);

  const double seconds =
      static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
  std::printf("ok=%d bytes=%llu seconds=%.3f mib_per_s=%.1f peak_working_set_kib=%llu\n",
              ok ? 1 : 0, static_cast<unsigned long long>(size), seconds,
              seconds > 0 ? static_cast<double>(size) / (1024.0 * 1024.0) / seconds : 0.0,
              static_cast<unsigned long long>(counters.PeakWorkingSetSize / 1024));
  return ok ? 0 : 1;
}
