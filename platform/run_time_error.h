#pragma once
// The one run-time error of the manager.
//
// Every layer reports a failure by throwing RunTimeError with the numeric code that
// the error handlers classify by (9 subscript out of range, 380 invalid property
// value, 8002 invalid port, ...) and a description an operator can read. The place
// (a file and field, a port and channel) is part of the description.
#include <stdexcept>
#include <string>

namespace tarvex {

namespace ErrorNumber {
constexpr int Overflow = 6;
constexpr int SubscriptOutOfRange = 9;
constexpr int TypeMismatch = 13;
constexpr int BadFileNameOrNumber = 52;
constexpr int FileNotFound = 53;
constexpr int DeviceIOError = 57;
constexpr int BadRecordLength = 59;
constexpr int InputPastEndOfFile = 62;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccessError = 75;
constexpr int PathNotFound = 76;
constexpr int InvalidPropertyValue = 380;
constexpr int CantCreateObject = 429;
constexpr int AutomationError = 440;
constexpr int RemoteServerUnavailable = 462;
constexpr int InvalidPortNumber = 8002;
constexpr int PortAlreadyOpen = 8005;
constexpr int PortNotOpen = 8012;
}  // namespace ErrorNumber

// The standard description of an error number ("Subscript out of range" for 9),
// or "Application-defined or object-defined error" for numbers without one.
std::string StandardErrorDescription(int number);

class RunTimeError : public std::runtime_error {
public:
  // With the standard description of the number.
  explicit RunTimeError(int number);
  RunTimeError(int number, std::string description);

  int number() const noexcept { return number_; }
  const std::string& description() const noexcept { return description_; }

private:
  int number_;
  std::string description_;
};

// Raises error 9 unless lower <= index <= upper: the guard of every table look-up.
void CheckSubscript(long long index, long long lower, long long upper, const char* table);

}  // namespace tarvex
