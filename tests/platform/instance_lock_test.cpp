#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <fstream>

#include "platform/instance_lock.h"

namespace tarvex {
namespace {

TEST(InstanceLock, secondHolderIsRefusedWhileTheFirstRuns) {
  QTemporaryDir dir;
  const std::string path = dir.filePath(QStringLiteral("TarvexManager.lock")).toStdString();
  InstanceLock first(path);
  ASSERT_FALSE(first.AnotherInstanceRunning());

  // The lock is held by this process; a second process must be refused.
  const pid_t child = fork();
  if (child == 0) {
    InstanceLock second(path);
    _exit(second.AnotherInstanceRunning() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(InstanceLock, lockLeftByAProcessThatEndedIsTakenOver) {
  QTemporaryDir dir;
  const std::string path = dir.filePath(QStringLiteral("TarvexManager.lock")).toStdString();
  const pid_t child = fork();
  if (child == 0) {
    InstanceLock holder(path);
    const bool acquired = !holder.AnotherInstanceRunning();
    _exit(acquired ? 0 : 1);  // ends without releasing: the file stays behind
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_TRUE(std::ifstream(path).good()) << "the stale lock file should remain";

  InstanceLock next(path);
  EXPECT_FALSE(next.AnotherInstanceRunning());
}

}  // namespace
}  // namespace tarvex
