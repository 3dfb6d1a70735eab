// The argument grammars at their edges; the end-to-end suite sends the
// plain refusals through the real bundle.
#include "desktop/desktop_arguments.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace veltrix {
namespace {

using flutter::EncodableValue;
using flutter::EncodableValueMap;

TEST(DesktopArgumentsTest, DiagnosticsFieldGrammars) {
  EXPECT_TRUE(IsSafeAppVersion(std::string(64, '9')));
  for (const char* version : {"1.2.3+45", "1.0.0-beta.2", "Az"}) {
    EXPECT_TRUE(IsSafeAppVersion(version)) << version;
  }
  for (const std::string& version : {std::string(65, '9'), std::string(), std::string("1.2_3"),
                                     std::string("1/2"), std::string("1\xc3\xa9")}) {
    EXPECT_FALSE(IsSafeAppVersion(version)) << version;
  }
  EXPECT_TRUE(IsKnownFailureCategory("authenticationRequired"));
  for (const char* category : {"None", "timeout", "internalError ", ""}) {
    EXPECT_FALSE(IsKnownFailureCategory(category)) << category;
  }
}

}  // namespace
}  // namespace veltrix
