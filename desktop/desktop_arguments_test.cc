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

EncodableValue Installer(EncodableValue size,
                         EncodableValue digest = EncodableValue(std::string(64, 'f'))) {
  return EncodableValue(EncodableValueMap{{EncodableValue("path"), EncodableValue("C:\\a.exe")},
                                          {EncodableValue("sha256"), std::move(digest)},
                                          {EncodableValue("size"), std::move(size)}});
}

TEST(DesktopArgumentsTest, InstallerSizeAndDigest) {
  const struct {
    EncodableValue arguments;
    bool accepted;
  } cases[] = {
      {Installer(EncodableValue(int64_t{536870912})), true},
      {Installer(EncodableValue(int32_t{1})), true},
      {Installer(EncodableValue(int32_t{536870913})), false},
      {Installer(EncodableValue(std::numeric_limits<int64_t>::min())), false},
      {Installer(EncodableValue("1024")), false},
      {Installer(EncodableValue(int32_t{1}), EncodableValue(std::vector<uint8_t>(32, 0xab))),
       false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(InstallerArgument(&c.arguments).has_value(), c.accepted) << &c - cases;
  }
}

TEST(DesktopArgumentsTest, DigestIsExactly64LowerCaseHexDigits) {
  EXPECT_TRUE(IsSha256Hex(std::string(32, '0') + std::string(32, 'f')));
  for (const std::string& text : {std::string(63, 'a'), std::string(65, 'a')}) {
    EXPECT_FALSE(IsSha256Hex(text)) << text.size();
  }
  // Just outside 0-9 and a-f, upper case, and a zero byte.
  for (char c : std::string("/:`gA \0", 7)) {
    EXPECT_FALSE(IsSha256Hex(std::string(63, 'a') + c)) << c;
  }
}

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

TEST(DesktopArgumentsTest, DiagnosticsFieldsKeepWhatWasGiven) {
  const EncodableValue arguments(
      EncodableValueMap{{EncodableValue("connectionState"), EncodableValue("disconnecting")},
                        {EncodableValue("failureCategory"), EncodableValue("connectionTimeout")}});
  const auto checked = DiagnosticsArgument(&arguments);
  const auto* fields = std::get_if<DiagnosticsFields>(&checked);
  ASSERT_NE(fields, nullptr);
  EXPECT_EQ(fields->connection, ConnectionState::Disconnecting);
  EXPECT_EQ(fields->appVersion, std::nullopt);
  EXPECT_EQ(fields->failureCategory, "connectionTimeout");
}

}  // namespace
}  // namespace veltrix
