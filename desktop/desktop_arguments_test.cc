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
  // The end-to-end suite sends a space, a number and "None"; these are the edges.
  for (const auto& [version, safe] : {std::pair{std::string(64, '9'), true},
                                      {"1.0.0-beta.2+AZaz", true},
                                      {std::string(65, '9'), false},
                                      {"", false},
                                      {"1_3", false},
                                      {"1/2", false},
                                      {"1\xc3\xa9", false}}) {
    EXPECT_EQ(IsSafeAppVersion(version), safe) << version;
  }
  EXPECT_TRUE(IsKnownFailureCategory("authenticationRequired"));
  EXPECT_FALSE(IsKnownFailureCategory("internalError "));
}

TEST(DesktopArgumentsTest, TheLargestInstallerIsAccepted) {
  // The end-to-end suite refuses one byte more.
  const EncodableValue largest(
      EncodableValueMap{{EncodableValue("path"), EncodableValue("C:\\x.exe")},
                        {EncodableValue("sha256"), EncodableValue(std::string(64, 'a'))},
                        {EncodableValue("size"), EncodableValue(int64_t{536870912})}});
  EXPECT_TRUE(InstallerArgument(&largest));
}

}  // namespace
}  // namespace veltrix
