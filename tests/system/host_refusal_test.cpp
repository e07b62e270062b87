// tarvex-host refuses option values that are not numbers (13) or that the
// control's properties cannot hold (6), before it binds anything: a typo must
// never become command 0 sent to channel 0.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <vector>

namespace {

struct Row {
  const char* legend;
  std::vector<const char*> arguments;
  const char* line;
};

TEST(HostRefusal, optionsThatAreNotNumbersOrOutOfRangeAreRefusedBeforeBinding) {
  int argc = 1;
  char name[] = "host_refusal_test";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  const Row rows[] = {
      {"channel not a number", {"--channel", "abc"}, "Error 13: Type mismatch (--channel abc)"},
      {"channel with a fraction", {"--channel", "3.5"}, "Error 13: Type mismatch (--channel 3.5)"},
      {"channel out of range", {"--channel", "99999999999"}, "Error 6: Overflow (--channel 99999999999)"},
      {"parameter not a number", {"--channel", "3", "--parm", "abc"}, "Error 13: Type mismatch (--parm abc)"},
      {"parameter out of range", {"--channel", "3", "--parm", "1e999"}, "Error 6: Overflow (--parm 1e999)"},
      {"overlong command", {"--channel", "3", "--cmd", "123456789012345678901234567890"},
       "Error 6: Overflow (--cmd 123456789012345678901234567890)"},
      {"status not a number", {"--channel", "3", "--stat", "x1"}, "Error 13: Type mismatch (--stat x1)"},
      {"empty wait", {"--channel", "3", "--wait-ms", ""}, "Error 13: Type mismatch (--wait-ms )"},
  };
  // No bus at all: anything that got as far as binding would fail otherwise.
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  for (const Row& row : rows) {
    SCOPED_TRACE(row.legend);
    QProcess host;
    host.setProcessEnvironment(env);
    QStringList arguments;
    for (const char* argument : row.arguments) arguments << QString::fromUtf8(argument);
    host.start(QStringLiteral(TARVEX_BUILD_DIR "/bin/tarvex-host"), arguments);
    ASSERT_TRUE(host.waitForFinished(15000));
    EXPECT_EQ(host.exitCode(), 2);
    EXPECT_EQ(host.readAllStandardOutput().trimmed().toStdString(), row.line);
  }
}

}  // namespace
