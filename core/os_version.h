#pragma once
#include <string>

#include "platform/os_version.h"

namespace tarvex {

// "95", "98", "NT3.51", "NT4", "2000", "Failed" or "" for the version triple.
std::string GetOSVersion(const OsVersionInfo& version);

// 31 on "2000" and "NT4", 7 on everything else.
int MaxChannelFor(const std::string& osVersion);

}  // namespace tarvex
