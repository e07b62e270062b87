#pragma once
// The channel file: one record of 34 fields per channel, in the program folder
// as "Tarvex-SCALE<n>.Cfg" (n is the channel number plus 1).
#include <string>
#include <string_view>

#include "config/channel_setup.h"
#include "platform/program_folder.h"

namespace tarvex {

constexpr int ChannelFileFields = 34;

// What one record of the file holds: the channel's setup and its audit-trail
// switch (field 18), which lives in the start-up state.
struct ChannelRecord {
  ChannelSetup Setup;
  bool ChannelLogEnabled = false;

  bool operator==(const ChannelRecord&) const = default;
};

// "\Tarvex-SCALE<n>.Cfg", for ProgramFolder::join.
std::string ChannelFileName(int channel);

// The defaults the channel is reset to; the weight log lies in the program
// folder.
ChannelRecord ChannelDefaults(int channel, const ProgramFolder& folder);

// The file's bytes: the record on one line ended by CR LF. A text holding a
// double quote raises error 380 naming path and field.
std::string FormatChannelFile(const ChannelRecord& record, const std::string& path);

// Reads every record of the file; the last one is returned. A damaged record
// raises the reader's error (path, record, field number).
ChannelRecord ParseChannelFile(std::string_view bytes, const std::string& path);

}  // namespace tarvex
