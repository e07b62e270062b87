#include "run_time_error.h"

#include <string>

namespace tarvex {

std::string StandardErrorDescription(int number) {
  switch (number) {
    case ErrorNumber::Overflow: return "Overflow";
    case ErrorNumber::SubscriptOutOfRange: return "Subscript out of range";
    case ErrorNumber::TypeMismatch: return "Type mismatch";
    case ErrorNumber::BadFileNameOrNumber: return "Bad file name or number";
    case ErrorNumber::FileNotFound: return "File not found";
    case ErrorNumber::DeviceIOError: return "Device I/O error";
    case ErrorNumber::BadRecordLength: return "Bad record length";
    case ErrorNumber::InputPastEndOfFile: return "Input past end of file";
    case ErrorNumber::PermissionDenied: return "Permission denied";
    case ErrorNumber::PathFileAccessError: return "Path/File access error";
    case ErrorNumber::PathNotFound: return "Path not found";
    case ErrorNumber::InvalidPropertyValue: return "Invalid property value";
    case ErrorNumber::CantCreateObject: return "ActiveX component can't create object";
    case ErrorNumber::AutomationError: return "Automation error";
    case ErrorNumber::RemoteServerUnavailable:
      return "The remote server machine does not exist or is unavailable";
    case ErrorNumber::InvalidPortNumber: return "Invalid port number";
    case ErrorNumber::PortAlreadyOpen: return "Port already open";
    case ErrorNumber::PortNotOpen: return "Port is not open";
    default: return "Application-defined or object-defined error";
  }
}

RunTimeError::RunTimeError(int number) : RunTimeError(number, StandardErrorDescription(number)) {}

RunTimeError::RunTimeError(int number, std::string description)
    : std::runtime_error(std::to_string(number) + ": " + description),
      number_(number),
      description_(std::move(description)) {}

void CheckSubscript(long long index, long long lower, long long upper, const char* table) {
  if (index < lower || index > upper) {
    throw RunTimeError(ErrorNumber::SubscriptOutOfRange,
                       StandardErrorDescription(ErrorNumber::SubscriptOutOfRange) + " (" + table +
                           " index " + std::to_string(index) + ", bounds " + std::to_string(lower) +
                           " to " + std::to_string(upper) + ")");
  }
}

}  // namespace tarvex
