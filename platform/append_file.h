#pragma once
// Appending a record to a text file that is opened, written and closed for
// every record, so the record is on disk when the call returns and no
// descriptor stays open.
#include <string>
#include <string_view>

namespace tarvex {

// Appends bytes to the file at path, creating it when missing. what names the
// file in the error ("log", "weight log"): error 75 when it cannot be opened,
// 57 when it cannot be written or closed. A record that cannot be written
// whole leaves the file as it was.
void AppendToFile(const std::string& path, std::string_view bytes, std::string_view what);

}  // namespace tarvex
