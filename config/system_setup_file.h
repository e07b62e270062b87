#pragma once
// The system setup file "TarvexSysSetup.Cfg": the eight SystemSetup fields on
// one line.
#include <string>
#include <string_view>

#include "config/system_setup.h"

namespace tarvex {

inline constexpr std::string_view SystemSetupFileName = "/TarvexSysSetup.Cfg";

// 25, 2, 15, 0, 25, 1, True, True.
SystemSetup SystemSetupDefaults();

std::string FormatSystemSetupFile(const SystemSetup& setup, const std::string& path);

// The first record of the file; whatever follows it is not read. A damaged
// record raises an error naming path and field.
SystemSetup ParseSystemSetupFile(std::string_view bytes, const std::string& path);

}  // namespace tarvex
