#ifndef ENGINE_CLIENT_ENGINE_PROPERTIES_H_
#define ENGINE_CLIENT_ENGINE_PROPERTIES_H_

#include <vector>

#include "engine_client/engine_api.h"
#include "engine_client/engine_project.h"

namespace flutter {

// The engine's properties record for a project. It points into the project,
// which must outlive it, and into its own argument pointer array.
class EnginePropertiesRecord {
 public:
  explicit EnginePropertiesRecord(const EngineProject& project);

  EnginePropertiesRecord(const EnginePropertiesRecord&) = delete;
  EnginePropertiesRecord& operator=(const EnginePropertiesRecord&) = delete;

  const FlutterDesktopEngineProperties& record() const { return record_; }

 private:
  std::vector<const char*> arguments_;
  FlutterDesktopEngineProperties record_{};
};

}  // namespace flutter

#endif  // ENGINE_CLIENT_ENGINE_PROPERTIES_H_
