// Start-up after a manager that did not end cleanly: whatever lock file it
// left, only a lock a running process holds refuses the next start.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <fstream>
#include <memory>
#include <string>

#include "platform/instance_lock.h"

namespace tarvex {
namespace {

std::string LockPath(const QTemporaryDir& dir) {
  return dir.filePath(QStringLiteral("TarvexManager.lock")).toStdString();
}

std::string HostName() {
  char host[256] = {};
  ::gethostname(host, sizeof host - 1);
  return host;
}

TEST(StaleLockFile, aFileNobodyHoldsIsTakenOverWhateverItHolds) {
  const struct {
    const char* legend;
    std::string content;
  } cases[] = {
      {"empty, as a power loss leaves it", ""},
      {"garbage", "\x7f\x45\x4c\x46 not a lock \xff\n"},
      {"another host's", "4242\ntarvex\nweighbridge-pc\n"},
      {"this host's, naming a running process that holds no lock (its id reused after a restart)",
       std::to_string(::getppid()) + "\ntarvex\n" + HostName() + "\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    QTemporaryDir dir;
    const std::string path = LockPath(dir);
    std::ofstream(path, std::ios::binary) << c.content;
    InstanceLock lock(path);
    EXPECT_FALSE(lock.AnotherInstanceRunning());

    // Now it is held: another process is refused.
    const pid_t child = ::fork();
    if (child == 0) {
      InstanceLock second(path);
      ::_exit(second.AnotherInstanceRunning() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
}

TEST(StaleLockFile, aLockARunningProcessHoldsRefusesTheStartAndIsFreeWhenItEnds) {
  QTemporaryDir dir;
  const std::string path = LockPath(dir);
  int ready[2], release[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(release), 0);
  const pid_t holder = ::fork();
  if (holder == 0) {
    ::close(release[1]);  // so that the parent's close ends the read
    InstanceLock lock(path);
    const char held = lock.AnotherInstanceRunning() ? 'n' : 'y';
    (void)!::write(ready[1], &held, 1);
    char any;
    (void)!::read(release[0], &any, 1);
    ::_exit(0);  // ends without a word: the system lets the lock go
  }
  char held = 0;
  ASSERT_EQ(::read(ready[0], &held, 1), 1);
  ASSERT_EQ(held, 'y');
  {
    InstanceLock second(path);
    EXPECT_TRUE(second.AnotherInstanceRunning());
  }
  ::close(release[1]);
  int status = 0;
  ASSERT_EQ(::waitpid(holder, &status, 0), holder);
  InstanceLock next(path);
  EXPECT_FALSE(next.AnotherInstanceRunning());
  for (int fd : {ready[0], ready[1], release[0]}) ::close(fd);
}

// A program the manager starts (a helper, a shell) outlives it at times; it
// must not carry the lock with it, or no manager starts until it ends.
TEST(StaleLockFile, aProgramStartedByTheHolderDoesNotKeepTheLockAfterIt) {
  QTemporaryDir dir;
  const std::string path = LockPath(dir);
  auto lock = std::make_unique<InstanceLock>(path);
  ASSERT_FALSE(lock->AnotherInstanceRunning());

  // The program runs until its input closes.
  int input[2];
  ASSERT_EQ(::pipe2(input, O_CLOEXEC), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input[0], 0);
  char sh[] = "/bin/sh", dashC[] = "-c", script[] = "read -r line";
  char* argv[] = {sh, dashC, script, nullptr};
  pid_t program = 0;
  ASSERT_EQ(::posix_spawn(&program, sh, &actions, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  ::close(input[0]);

  lock.reset();  // the holder ends; its program runs on
  {
    InstanceLock next(path);
    EXPECT_FALSE(next.AnotherInstanceRunning());
  }
  ::close(input[1]);
  int status = 0;
  ASSERT_EQ(::waitpid(program, &status, 0), program);
}

}  // namespace
}  // namespace tarvex
