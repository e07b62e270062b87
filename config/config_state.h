#pragma once
// Everything the configuration subsystem owns for the whole run: the channel
// records, the protocol definitions and the system setup. Other subsystems read
// it by reference.
#include "config/channel_setup.h"
#include "config/protocol_definition.h"
#include "config/system_setup.h"

namespace tarvex {

struct ConfigState {
  ChannelTable Channels;
  ProtocolTable Protocols;
  SystemSetup System;

  bool operator==(const ConfigState&) const = default;
};

}  // namespace tarvex
