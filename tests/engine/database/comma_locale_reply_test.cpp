// A device's replies are the same bytes whatever the machine's locale: this
// program runs under de_DE.UTF-8, whose decimal separator is the comma, set
// before the application starts as a user's session would set it.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

#include "tests/support/database_fixture.h"
#include "tests/support/serial_db_request_step_fixture.h"

namespace tarvex {
namespace {

using test::DatabaseFolder;
using test::RunOn;

class CommaLocaleReplies : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    ::setenv("LC_ALL", "de_DE.UTF-8", 1);
    ::setenv("LANG", "de_DE.UTF-8", 1);
    TestApplication();
  }
  void SetUp() override {
    ASSERT_STREQ(std::localeconv()->decimal_point, ",") << "is de_DE.UTF-8 installed (locale -a)?";
    ASSERT_TRUE(f.pty.ok());
    file = folder.Path("weights.db");
    RunOn(file, {"CREATE TABLE tickets (id INTEGER PRIMARY KEY, truck TEXT, gross REAL, tare REAL)",
                 "INSERT INTO tickets VALUES (7, 'TRK-7', 12340.5, 1234567.25)"});
  }
  DatabaseFolder folder;
  std::string file;
  SerialDBFixture f;
};

TEST_F(CommaLocaleReplies, ASelectsNumbersReachTheDeviceWithAPointOverEveryDriver) {
  const std::string reply =
      "\"COUNT=1\"\n\"7\"\n\"TRK-7\"\n\"12340.5\"\n\"1234567.25\"\n\"12/09/26\"\n\"14:05:03\"\n\"!\"\n";
  for (int32_t driver : {0, 1}) {
    SCOPED_TRACE(driver);
    f.config.Channels[0].DBDriver = driver;
    const std::string name = driver == kSqliteDriver ? file : DatabaseFolder::OdbcConnection(file);
    f.DeviceSends("/DBNAME=" + name + "!/QUERY=SELECT * FROM tickets WHERE id = 7!\r\n");
    f.dbPass.Timer1_Timer();
    EXPECT_EQ(f.Transmitted(reply.size()), reply);
  }
}

}  // namespace
}  // namespace tarvex
