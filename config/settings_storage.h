#pragma once
// Where the settings files live and how they reach the disk.
//
// Files copied from Windows keep whatever letter case the copy gave them, so a
// name is looked up exactly first and then without regard to ASCII case; the
// file found is read and written back under its own name.
//
// A save must never leave half a file behind, whatever fails: the content goes
// to a temporary file in the same folder, is flushed, and is renamed over the
// old file in one step. On any failure the temporary file is removed and the
// old file is left byte for byte as it was. A settings file may be a symbolic
// link: the file it leads to is replaced, the link stays. A file the user may
// not write (or one without any write permission, a read-only file) is not
// replaced behind the user's back. The temporary files of a save that was
// killed are removed by the next save of the same file.
#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/program_folder.h"

namespace tarvex {

// The path of a settings file: folder.join(name) when that file exists, else
// the first entry of the folder (in byte order) whose name matches without
// regard to ASCII case, else folder.join(name).
std::string FindSettingsFile(const ProgramFolder& folder, std::string_view name);

// The whole content; nullopt when the file does not exist. A file that exists
// but cannot be read raises error 75 naming it.
std::optional<std::string> ReadSettingsFile(const std::string& path);

// Creates an empty file when none exists (the state a missing protocol file
// is left in); raises error 75 when it cannot.
void CreateEmptySettingsFile(const std::string& path);

// The write(2) the save uses; tests put a failing one in its place.
using FileWriteCall = std::function<ssize_t(int fd, const void* data, size_t size)>;

// Replaces the content of the file path leads to with bytes, keeping its mode.
// A failure raises error 75 (read-only file, cannot create or rename) or 57
// (cannot write), naming the file; the old file stays.
void SaveSettingsFile(const std::string& path, std::string_view bytes, const FileWriteCall& write = {});

}  // namespace tarvex
