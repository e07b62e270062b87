#include <gtest/gtest.h>

#include "core/os_version.h"

namespace tarvex {
namespace {

struct VersionRow {
  OsVersionInfo version;
  const char* osVersion;
  int maxChannel;
};

TEST(OsVersion, versionTripleGivesNameAndChannelCount) {
  const VersionRow rows[] = {
      {{1, 4, 0}, "95", 7},      {{1, 4, 10}, "98", 7},    {{1, 4, 90}, "", 7},
      {{2, 3, 51}, "NT3.51", 7}, {{2, 4, 0}, "NT4", 31},   {{2, 5, 0}, "2000", 31},
      {{2, 5, 1}, "2000", 31},   {{2, 5, 2}, "2000", 31},  {{2, 6, 0}, "", 7},
      {{2, 10, 0}, "", 7},       {{0, 5, 0}, "Failed", 7}, {{3, 5, 0}, "Failed", 7},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.version.platformId << "." << row.version.majorVersion << "."
                                    << row.version.minorVersion);
    const std::string name = GetOSVersion(row.version);
    EXPECT_EQ(name, row.osVersion);
    EXPECT_EQ(MaxChannelFor(name), row.maxChannel);
  }
}

TEST(OsVersion, linuxReportsAnNt5System) {
  const OsVersionInfo v = LinuxOsVersion().GetVersionEx();
  EXPECT_EQ(v.platformId, 2);
  EXPECT_EQ(v.majorVersion, 5);
  EXPECT_EQ(GetOSVersion(v), "2000");
}

}  // namespace
}  // namespace tarvex
