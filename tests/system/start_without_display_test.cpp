// The manager started where no display can be reached (the usual case when the
// session bus starts it with a bare activation environment): one clear line on
// stderr and in the error log and a non-zero exit, where Qt alone aborts.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/display_check.h"

namespace tarvex {
namespace {

struct DisplayRow {
  const char* legend;
  const char* platform;
  const char* display;
  const char* wayland;
  const char* missing;  // nullptr: a display can be reached
};

TEST(MissingDisplay, namesWhatThePlatformsToTryNeed) {
  const DisplayRow rows[] = {
      {"X display", nullptr, ":0", nullptr, nullptr},
      {"nothing set", nullptr, nullptr, nullptr, "neither DISPLAY nor WAYLAND_DISPLAY is set"},
      {"Wayland session", nullptr, nullptr, "wayland-0", nullptr},
      {"empty DISPLAY", "", "", nullptr, "neither DISPLAY nor WAYLAND_DISPLAY is set"},
      {"xcb with options", "xcb:nomitshm", nullptr, nullptr, "DISPLAY is set"},
      {"wayland only", "wayland", ":0", nullptr, "WAYLAND_DISPLAY is set"},
      {"wayland, then xcb", "wayland;xcb", nullptr, nullptr, "neither WAYLAND_DISPLAY nor DISPLAY is set"},
      {"wayland, then xcb, with X", "wayland;xcb", ":1", nullptr, nullptr},
      {"wayland-egl", "wayland-egl", nullptr, "wayland-0", nullptr},
      {"offscreen", "offscreen", nullptr, nullptr, nullptr},
      {"vnc", "vnc:size=800x600", nullptr, nullptr, nullptr},
  };
  for (const DisplayRow& row : rows) {
    SCOPED_TRACE(row.legend);
    const std::string result = MissingDisplay([&](const char* name) -> const char* {
      if (std::string_view(name) == "QT_QPA_PLATFORM") return row.platform;
      if (std::string_view(name) == "DISPLAY") return row.display;
      if (std::string_view(name) == "WAYLAND_DISPLAY") return row.wayland;
      return nullptr;
    });
    if (row.missing == nullptr) {
      EXPECT_EQ(result, "");
    } else {
      EXPECT_EQ(result.rfind(std::string("no display to show the windows on: ") + row.missing + " (", 0), 0u)
          << result;
      EXPECT_NE(result.find("dbus-update-activation-environment DISPLAY XAUTHORITY"), std::string::npos);
    }
  }
}

TEST(StartWithoutDisplay, endsWithOneLineOnStderrAndInTheErrorLog) {
  int argc = 1;
  char name[] = "start_without_display_test";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  QTemporaryDir home;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "TARVEX_MESSAGE_BOXES"}) {
    env.remove(QString::fromLatin1(variable));
  }
  env.insert(QStringLiteral("TARVEX_HOME"), home.path());
  env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));
  QProcess manager;
  manager.setProcessEnvironment(env);
  manager.start(QStringLiteral(TARVEX_BUILD_DIR "/bin/tarvex"), {});
  ASSERT_TRUE(manager.waitForFinished(15000));
  EXPECT_EQ(manager.exitStatus(), QProcess::NormalExit);
  EXPECT_NE(manager.exitCode(), 0);

  const std::string err = manager.readAllStandardError().toStdString();
  EXPECT_EQ(err.rfind("tarvex: no display to show the windows on: neither DISPLAY nor WAYLAND_DISPLAY is set (", 0),
            0u)
      << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;

  std::ifstream log(home.filePath(QStringLiteral("ErrorLog-Velmar Orinda Tarvex.txt")).toStdString(),
                    std::ios::binary);
  std::stringstream read;
  read << log.rdbuf();
  const std::string lines = read.str();
  EXPECT_EQ(lines.rfind("no display to show the windows on: neither DISPLAY nor WAYLAND_DISPLAY is set (", 0), 0u)
      << lines;
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1) << lines;
}

}  // namespace
}  // namespace tarvex
