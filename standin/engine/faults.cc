#include "standin/engine/faults.h"

#include <atomic>
#include <cstdio>
#include <string>

#include "standin/engine/platform.h"

namespace veltrix::standin {
namespace {

std::atomic<size_t> faults{0};

}  // namespace

void ReportFault(std::string_view what) {
  faults.fetch_add(1);
  const std::string line = "fault " + std::string(what);
  std::fprintf(stderr, "stand-in engine: %s\n", line.c_str());
  std::fflush(stderr);
  AppendTranscriptLine(line);
}

size_t FaultCount() { return faults.load(); }

}  // namespace veltrix::standin
