#pragma once
// The names under which the manager serves its channels on the session bus.
// They are the contract with every client: the interface files beside this
// header describe each interface.
#include <QLatin1StringView>

namespace tarvex::bus {

inline constexpr QLatin1StringView ServiceName{"org.tarvex.Manager"};

inline constexpr QLatin1StringView ConnectorPath{"/Connector"};
inline constexpr QLatin1StringView ConnectorInterface{"org.tarvex.Connector1"};

// Device objects live at DevicePath + "/" + channel, 0 to 32.
inline constexpr QLatin1StringView DevicePath{"/Device"};
inline constexpr QLatin1StringView DeviceInterface{"org.tarvex.Device1"};

// Topics live at DdePath + "/" + "DDEForm" + channel, 0 to 31.
inline constexpr QLatin1StringView DdePath{"/DDE"};
inline constexpr QLatin1StringView DdeTopicPrefix{"DDEForm"};
inline constexpr QLatin1StringView DdeTopicInterface{"org.tarvex.DdeTopic1"};

// Error 9 of the manager: an index outside its table.
inline constexpr QLatin1StringView SubscriptOutOfRangeError{"org.tarvex.Error.SubscriptOutOfRange"};
// Any other run-time error; the message begins with its number.
inline constexpr QLatin1StringView RunTimeErrorName{"org.tarvex.Error.RunTimeError"};

}  // namespace tarvex::bus
