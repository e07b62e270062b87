#include "settings_storage.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/run_time_error.h"

namespace tarvex {

namespace {

[[noreturn]] void Raise(int number, const std::string& what, const std::string& path, int error) {
  throw RunTimeError(number, StandardErrorDescription(number) + ": " + what + " " + path + ": " + std::strerror(error));
}

// Closes a descriptor and removes the temporary file unless released.
class TemporaryFile {
public:
  explicit TemporaryFile(std::string pattern) : path_(std::move(pattern)) {
    fd_ = ::mkstemp(path_.data());
  }
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!kept_) ::unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  int fd() const { return fd_; }
  const std::string& path() const { return path_; }
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
  }
  void Keep() { kept_ = true; }

private:
  std::string path_;
  int fd_ = -1;
  bool kept_ = false;
};

// A save's temporary file: the file's name, a mark no user's own copy bears,
// then mkstemp's six letters or digits. Only names of this shape are litter:
// "Tarvex-SCALE1.Cfg.backup" is a user's file.
constexpr std::string_view TemporaryMark = ".tarvex-save-";
constexpr std::string_view TemporarySuffix = ".tarvex-save-XXXXXX";

bool IsTemporaryNameOf(std::string_view entry, std::string_view base) {
  if (entry.size() != base.size() + TemporarySuffix.size() || entry.substr(0, base.size()) != base) return false;
  if (entry.substr(base.size(), TemporaryMark.size()) != TemporaryMark) return false;
  for (const char c : entry.substr(base.size() + TemporaryMark.size())) {
    if (!std::isalnum(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// A save that was killed leaves its temporary file behind; the next save of
// the same file removes it. Only one manager runs per folder, so no other
// save of this file is under way.
void RemoveStaleTemporaryFiles(const std::string& path) {
  const std::string base = path.substr(path.rfind('/') + 1);
  const std::string dir = path.substr(0, path.rfind('/'));
  DIR* listing = ::opendir(dir.empty() ? "/" : dir.c_str());
  if (listing == nullptr) return;
  std::vector<std::string> stale;
  while (const dirent* entry = ::readdir(listing)) {
    if (IsTemporaryNameOf(entry->d_name, base)) stale.emplace_back(dir + "/" + entry->d_name);
  }
  ::closedir(listing);
  for (const auto& file : stale) {
    struct stat st {};
    if (::lstat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(file.c_str());
  }
}

// The file a path finally names: a settings file may be a symbolic link to
// one kept elsewhere, and the save must replace that file, not the link.
std::string FollowLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string target(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n < 0 || static_cast<size_t>(n) >= target.size()) return path;
    target.resize(static_cast<size_t>(n));
    path = target.front() == '/' ? target : path.substr(0, path.rfind('/') + 1) + target;
  }
  Raise(ErrorNumber::PathFileAccessError, "cannot follow the links of", path, ELOOP);
}

}  // namespace

std::string FindSettingsFile(const ProgramFolder& folder, std::string_view name) { return folder.find(name); }

std::optional<std::string> ReadSettingsFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return std::nullopt;
    Raise(ErrorNumber::PathFileAccessError, "cannot open", path, errno);
  }
  std::string content;
  char buffer[8192];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int saved = errno;
      ::close(fd);
      Raise(ErrorNumber::DeviceIOError, "cannot read", path, saved);
    }
    if (n == 0) break;
    content.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return content;
}

void CreateEmptySettingsFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) Raise(ErrorNumber::PathFileAccessError, "cannot create", path, errno);
  ::close(fd);
}

void SaveSettingsFile(const std::string& linkPath, std::string_view bytes, const FileWriteCall& write) {
  const std::string path = FollowLinks(linkPath);
  const std::string dir = path.substr(0, path.rfind('/'));

  // A file the user may not write is left alone. The check is the file's own
  // (the rename below needs only the folder's permission), and a file without
  // any write permission counts as read-only for root too.
  struct stat old {};
  const bool exists = ::stat(path.c_str(), &old) == 0;
  if (exists && (::access(path.c_str(), W_OK) != 0 || (old.st_mode & 0222) == 0)) {
    Raise(ErrorNumber::PathFileAccessError, "cannot write the read-only file", path, EACCES);
  }

  RemoveStaleTemporaryFiles(path);
  TemporaryFile temporary(path + std::string(TemporarySuffix));
  if (temporary.fd() < 0) Raise(ErrorNumber::PathFileAccessError, "cannot create a temporary file for", path, errno);

  // The new file keeps the old one's permissions.
  ::fchmod(temporary.fd(), exists ? (old.st_mode & 07777) : 0644);

  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write ? write(temporary.fd(), bytes.data() + done, bytes.size() - done)
                            : ::write(temporary.fd(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Raise(ErrorNumber::DeviceIOError, "cannot write", path, n < 0 ? errno : EIO);
    done += static_cast<size_t>(n);
  }
  if (::fsync(temporary.fd()) != 0) Raise(ErrorNumber::DeviceIOError, "cannot write", path, errno);
  if (temporary.Close() != 0) Raise(ErrorNumber::DeviceIOError, "cannot write", path, errno);
  if (::rename(temporary.path().c_str(), path.c_str()) != 0) {
    Raise(ErrorNumber::PathFileAccessError, "cannot replace", path, errno);
  }
  temporary.Keep();

  // Make the rename itself durable.
  const int dirFd = ::open(dir.empty() ? "/" : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
}

}  // namespace tarvex
