// The terminal steps against the in-process terminal network: the gross
// weight read, the request verbs with their replies and the packet transfer.
#include <gtest/gtest.h>

#include "engine/database/terminal_packets.h"
#include "engine/terminal/terminal_fields.h"
#include "tests/support/terminal_fixture.h"

namespace tarvex {
namespace {

const std::string kNotResponding =
    "Attention!, A Tarvex error has repeatedly occured trying to read Channel 1's  ARC NET Zelvar. "
    "This Channel device I D is not responding  properly, and is probably slowing down the entire system. "
    "Channel 1 is being disabled. Please verify the Zelvar's ArcNet settings and retry the connection. "
    "Please contact Velmar Orinda Technical Support if you need additional assistance.";

std::string Blanks(size_t n) { return std::string(n, ' '); }

// ---------------------------------------------------------------- packets

TEST(TerminalPackets, everyFieldIsFourHundredCharactersEndingInTwentyFiveDashes) {
  ResultRowTable rows;
  rows[0] = "short";
  rows[1] = std::string(80, 'x');  // cut after 75
  rows[200] = "last row of the table";
  const std::string first = PacketField(rows, 0, 1);
  ASSERT_EQ(first.size(), 400u);
  EXPECT_EQ(first.substr(0, 75), "short" + Blanks(70));
  EXPECT_EQ(first.substr(75, 75), std::string(75, 'x'));
  EXPECT_EQ(first.substr(375), std::string(25, '-'));
  // A group running past row 200 reads no further and shows blank rows.
  const std::string past = PacketField(rows, 195, 2);
  ASSERT_EQ(past.size(), 400u);
  EXPECT_EQ(past.substr(0, 75), "last row of the table" + Blanks(54));
  EXPECT_EQ(past.substr(75, 300), Blanks(300));
}

TEST(TerminalPackets, headerCarriesRecordAndRowCountsWithLeadingZeros) {
  EXPECT_EQ(PacketHeader(1, 9), "****:00001:009");
  EXPECT_EQ(PacketHeader(0, 16), "****:00000:016");
  EXPECT_EQ(PacketHeader(123456, 1000), "****:123456:1000");
}

TEST(TerminalPackets, batchCodeIsYearDigitDayOfYearAndHour) {
  struct Case {
    QDateTime at;
    const char* code;
  } cases[] = {
      {QDateTime(QDate(2026, 12, 9), QTime(14, 5)), "634314"},
      {QDateTime(QDate(2027, 1, 1), QTime(0, 30)), "700100"},
      {QDateTime(QDate(2028, 12, 31), QTime(23, 59)), "836623"},  // leap year: day 366
  };
  for (const Case& c : cases) EXPECT_EQ(BatchCode(c.at), c.code) << c.code;
}

TEST(TerminalPackets, leadingCountReadsTheDigitsAfterTheVerb) {
  EXPECT_EQ(LeadingCount("2"), 2);
  EXPECT_EQ(LeadingCount(" 12x"), 12);
  EXPECT_EQ(LeadingCount(""), 0);
  EXPECT_EQ(LeadingCount("x3"), 0);
  EXPECT_EQ(LeadingCount("99999999999999"), INT32_MAX);
}

// ---------------------------------------------------------- scale data

TEST(TerminalScaleDataTest, weightIsCutAtTheNulThenTrimmed) {
  struct Case {
    std::string field;
    std::string gross;
  } cases[] = {
      {"  1234.5  ", "1234.5"},
      {std::string("  12.5\0 99kg", 12), "12.5"},
      {Blanks(12), ""},
      {"-0.25", "-0.25"},
  };
  for (const Case& c : cases) {
    TerminalFixture f;
    f.network.SetField("/z5/wt101", c.field);
    f.scaleData.Serve(0);
    EXPECT_EQ(f.publication.NewGross[0], c.gross);
    EXPECT_EQ(f.publication.PubGross[0], c.gross);
    EXPECT_EQ(f.publication.NewGross[0].find('\0'), std::string::npos);
    EXPECT_TRUE(f.window.DeviceDirty[0]);
    EXPECT_TRUE(f.engine.ChannelActive[0]);
  }
}

TEST(TerminalScaleDataTest, failedReadTakesTheChannelOutOfServiceAndSaysSo) {
  for (bool speech : {true, false}) {
    TerminalFixture f;
    f.startup.SpeechEnabled = speech;
    f.grid.SetIndicatorOn(0, Lamp::Enabled, true);
    f.publication.NewGross[0] = "7";
    f.network.SetNodeDown("5", true);
    f.scaleData.Serve(0);
    EXPECT_EQ(f.publication.StatusText[0], "Network ID Error...");
    EXPECT_TRUE(f.grid.IndicatorOn(0, Lamp::Error));
    EXPECT_FALSE(f.grid.IndicatorOn(0, Lamp::Enabled));
    EXPECT_FALSE(f.engine.ChannelActive[0]);
    EXPECT_FALSE(f.config.Channels[0].DeviceEnabled);
    EXPECT_EQ(f.publication.NewGross[0], "7");
    if (speech) {
      EXPECT_EQ(f.speech.sentences(), std::vector<std::string>{kNotResponding});
    } else {
      EXPECT_TRUE(f.speech.sentences().empty());
    }
  }
}

// ------------------------------------------------------ database requests

TEST(TerminalDBRequestTest, oneRecordGoesOutInOneGroupUnderItsHeader) {
  TerminalFixture f;
  test::RunOn(f.database, {"CREATE TABLE Wide (a,b,c,d,e,f,g)",
                           "INSERT INTO Wide VALUES ('A1','B2','C3','D4','E5','F6','G7')"});
  f.Sql("SELECT * FROM Wide");
  f.dbRequest.Serve(0);
  // Seven values, the date and the time: nine rows.
  EXPECT_EQ(f.Lit01(), "****:00001:009" + Blanks(26));
  const std::string ptp1 = f.Field("ptp01");
  ASSERT_EQ(ptp1.size(), 400u);
  EXPECT_EQ(ptp1.substr(0, 75), "A1" + Blanks(73));
  EXPECT_EQ(ptp1.substr(300, 75), "E5" + Blanks(73));
  const std::string ptp2 = f.Field("ptp02");
  EXPECT_EQ(ptp2.substr(75, 75), "G7" + Blanks(73));
  EXPECT_EQ(ptp2.substr(150, 75), "12/09/26" + Blanks(67));
  EXPECT_EQ(ptp2.substr(225, 75), "14:05:00" + Blanks(67));
  for (const char* name : {"ptp01", "ptp02", "ptp03"}) {
    const std::string field = f.Field(name);
    EXPECT_EQ(field.size(), 400u) << name;
    EXPECT_EQ(field.substr(375), std::string(25, '-')) << name;
  }
  EXPECT_EQ(f.publication.StatusText[0], "Ready...");
  EXPECT_TRUE(f.engine.DBName[0].empty());

  // The terminal takes the group: nothing is left, so the transfer ends.
  f.Request("ACK1:");
  f.dbRequest.Serve(0);
  EXPECT_EQ(f.Lit01(), "!" + Blanks(39));
  EXPECT_EQ(f.publication.StatusText[0], "Packet OK 15 ...");
  // Its own "!" read back is no request.
  f.dbRequest.Serve(0);
  EXPECT_EQ(f.Lit01(), "!" + Blanks(39));
}

TEST(TerminalDBRequestTest, theChannelLogRecordsTheQueryAndTheReplyItStandsFor) {
  TerminalFixture f;
  f.startup.ChannelLogEnabled[0] = true;
  test::RunOn(f.database, {"INSERT INTO Items VALUES ('A', 2), ('B', NULL)"});
  f.Sql("SELECT Code, Weight FROM Items");
  f.dbRequest.Serve(0);
  f.Sql("UPDATE Items SET Weight = 1");
  f.dbRequest.Serve(0);
  const std::string select = "SELECT Code, Weight FROM Items";
  const std::vector<test::RecordingLog::Line> expected = {
      {LogKind::Sql, "Opening: " + f.database + "..."},
      {LogKind::Sql, "Opening: " + select + "..."},
      {LogKind::Sql, "Record Count = 2"},
      {LogKind::Transmit, "!COUNT=2!A!2!B!!12/09/26!14:05:00!!!"},
      {LogKind::Sql, "Opening: " + f.database + "..."},
      {LogKind::Sql, "Executing: UPDATE Items SET Weight = 1..."},
      {LogKind::Sql, "Completed: UPDATE Items SET Weight = 1..."},
      {LogKind::Transmit, "!EXECUTED"},
  };
  EXPECT_EQ(f.log.lines, expected);
}

TEST(TerminalDBRequestTest, sixteenRowsTakeASecondGroupFromRowFifteen) {
  TerminalFixture f;
  f.Items(14);
  f.Sql("SELECT Code FROM Items");
  f.dbRequest.Serve(0);
  EXPECT_EQ(f.Lit01().substr(0, 14), "****:00014:016");

  f.Request("ACK1:");
  f.dbRequest.Serve(0);
  EXPECT_EQ(f.Lit01(), "****:00000:016" + Blanks(26));
  EXPECT_EQ(f.engine.PacketRow[0], 15);
  EXPECT_EQ(f.Field("ptp01").substr(0, 75), "14:05:00" + Blanks(67));  // row 15
  EXPECT_EQ(f.Field("ptp01").substr(75, 300), Blanks(300));

  f.Request("ACK1:");
  f.dbRequest.Serve(0);
  EXPECT_EQ(f.Lit01(), "!" + Blanks(39));

  f.Request("DONE:");
  f.dbRequest.Serve(0);
  EXPECT_EQ(f.Lit01(), Blanks(40));
  EXPECT_EQ(f.engine.PacketRow[0], 0);
  EXPECT_EQ(f.publication.StatusText[0], "Ready...");
}

TEST(TerminalDBRequestTest, aSelectWithoutRecordsAnswersAtSign) {
  TerminalFixture f;
  f.Sql("SELECT * FROM Items");
  f.dbRequest.Serve(0);
  EXPECT_EQ(f.Lit01(), "@" + Blanks(39));
  EXPECT_FALSE(f.engine.ResultFound[0]);
  EXPECT_EQ(f.engine.ResultRows[0][0], "NOT FOUND");
  f.Request("ACK1:");
  f.dbRequest.Serve(0);
  EXPECT_EQ(f.Lit01(), "@" + Blanks(39));
}

TEST(TerminalDBRequestTest, queryPartsAreTrimmedAndJoinedWithoutSeparator) {
  TerminalFixture f;
  test::RunOn(f.database, {"INSERT INTO Items VALUES ('A', 2)"});
  f.network.SetField("/z5/lit02", "  " + f.database + "  ");
  f.network.SetField("/z5/ptp01", "SELECT Code FROM It  ");
  f.network.SetField("/z5/ptp02", "  ems");
  f.Request("SQL3:2");
  f.dbRequest.Serve(0);
  EXPECT_EQ(f.Lit01().substr(0, 14), "****:00001:003");
}

TEST(TerminalDBRequestTest, anInsertWhoseReplyFailsRunsOnceAndItsReplyIsRetried) {
  TerminalFixture f;
  f.Sql("INSERT INTO Items VALUES ('X', 1)");
  f.zel.failingWrites["/z5/lit01"] = 1;
  f.dbRequest.Serve(0);
  EXPECT_EQ(f.beeper.beeps, 1);
  EXPECT_EQ(f.Lit01().substr(0, 6), "SQL3:1");
  EXPECT_EQ(test::ValueOn(f.database, "SELECT COUNT(*) FROM Items").toInt(), 1);

  f.dbRequest.Serve(0);  // the request is still there: only "!" goes again
  EXPECT_EQ(f.Lit01(), "!" + Blanks(39));
  EXPECT_EQ(test::ValueOn(f.database, "SELECT COUNT(*) FROM Items").toInt(), 1);

  // The same request sent anew after its reply is a new request.
  f.Sql("INSERT INTO Items VALUES ('X', 1)");
  f.dbRequest.Serve(0);
  EXPECT_EQ(test::ValueOn(f.database, "SELECT COUNT(*) FROM Items").toInt(), 2);
}

TEST(TerminalDBRequestTest, theSameInsertAfterTheTerminalClearedItsRequestRunsAgain) {
  TerminalFixture f;
  f.Sql("INSERT INTO Items VALUES ('X', 1)");
  f.zel.failingWrites["/z5/lit01"] = 1;
  f.dbRequest.Serve(0);
  ASSERT_EQ(test::ValueOn(f.database, "SELECT COUNT(*) FROM Items").toInt(), 1);

  // The terminal gives up on the reply and clears its request, then sends
  // the same insert again: a second record.
  f.Request("");
  f.dbRequest.Serve(0);
  f.Sql("INSERT INTO Items VALUES ('X', 1)");
  f.dbRequest.Serve(0);
  EXPECT_EQ(test::ValueOn(f.database, "SELECT COUNT(*) FROM Items").toInt(), 2);
  EXPECT_EQ(f.Lit01(), "!" + Blanks(39));
}

TEST(TerminalDBRequestTest, anUnansweredGroupIsSentAgainFromTheSameRowAfterTheTimeout) {
  TerminalFixture f;
  f.Items(20);
  f.Sql("SELECT Code FROM Items");
  f.dbRequest.Serve(0);
  f.Request("ACK1:");
  f.dbRequest.Serve(0);  // second group, rows 15 to 29
  ASSERT_EQ(f.engine.PacketRow[0], 15);

  f.scanClock.milliseconds += 50;  // within Timeout (50 ms)
  f.network.SetField("/z5/ptp01", "taken by the terminal");
  f.dbRequest.Serve(0);
  EXPECT_EQ(f.publication.StatusText[0], "Packet 15 Sent...");
  EXPECT_EQ(f.Field("ptp01"), "taken by the terminal");

  f.scanClock.milliseconds += 1;
  f.dbRequest.Serve(0);
  EXPECT_EQ(f.publication.StatusText[0], "Packet 15  Timeout...");
  EXPECT_EQ(f.engine.PacketRow[0], 15);
  EXPECT_EQ(f.Field("ptp01").substr(0, 75), "R15" + Blanks(72));
  EXPECT_EQ(f.Lit01(), "****:00000:022" + Blanks(26));

  f.dbRequest.Serve(0);  // the stamp was renewed: no second time-out at once
  EXPECT_EQ(f.publication.StatusText[0], "Packet 15 Sent...");

  f.Request("ACK1:");
  f.dbRequest.Serve(0);
  EXPECT_EQ(f.Lit01(), "!" + Blanks(39));
}

TEST(TerminalDBRequestTest, anAnswerGivenWhileTheGroupIsSentAgainIsKept) {
  TerminalFixture f;
  f.Items(20);
  f.Sql("SELECT Code FROM Items");
  f.dbRequest.Serve(0);
  f.scanClock.milliseconds += 51;  // past Timeout: the group goes again
  // The terminal takes the group it already had and answers meanwhile.
  f.zel.afterWrite = [&](std::string_view path) {
    if (path == "/z5/ptp03") f.Request("ACK1:");
  };
  f.dbRequest.Serve(0);
  f.zel.afterWrite = nullptr;
  EXPECT_EQ(f.publication.StatusText[0], "Packet 0  Timeout...");
  EXPECT_EQ(f.Lit01().substr(0, 5), "ACK1:");

  f.dbRequest.Serve(0);  // the answer brings the next group
  EXPECT_EQ(f.engine.PacketRow[0], 15);
  EXPECT_EQ(f.Field("ptp01").substr(0, 75), "R15" + Blanks(72));
}

TEST(TerminalDBRequestTest, aHeaderLeftFromAnEarlierRunIsNotAnsweredWithEmptyRows) {
  // The manager starts while the terminal still holds a header and packets of
  // the manager's last run: it has no rows of that transfer to send again.
  TerminalFixture f;
  f.network.SetField("/z5/ptp01", "rows of the last run");
  f.Request("****:00001:003");
  f.scanClock.milliseconds += 1000;  // well past Timeout
  f.network.ClearCallLog();
  f.dbRequest.Serve(0);
  EXPECT_EQ(f.publication.StatusText[0], "Packet 0  Timeout...");
  EXPECT_EQ(f.Field("ptp01"), "rows of the last run");
  EXPECT_EQ(f.network.CallLog().size(), 1u);  // the read only
}

TEST(TerminalDBRequestTest, aFailedHeaderAfterAckSendsTheSameGroupAtTheNextAck) {
  TerminalFixture f;
  f.Items(20);
  f.Sql("SELECT Code FROM Items");
  f.dbRequest.Serve(0);
  f.Request("ACK1:");
  f.zel.failingWrites["/z5/lit01"] = 1;
  f.dbRequest.Serve(0);
  EXPECT_EQ(f.publication.StatusText[0], "Packet Error");
  EXPECT_EQ(f.Lit01().substr(0, 5), "ACK1:");
  f.dbRequest.Serve(0);
  EXPECT_EQ(f.engine.PacketRow[0], 15);
  EXPECT_EQ(f.Lit01().substr(0, 14), "****:00000:022");
}

TEST(TerminalDBRequestTest, aWideResultStopsBeforeTheRecordThatDoesNotFit) {
  TerminalFixture f;
  // 60 records of 4 fields: 49 records fill 196 rows, the 50th would pass 199.
  test::RunOn(f.database, {"CREATE TABLE Four (a,b,c,d)",
                           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<60) "
                           "INSERT INTO Four SELECT i,i,i,i FROM n"});
  f.Sql("SELECT * FROM Four");
  f.dbRequest.Serve(0);
  EXPECT_EQ(f.engine.ResultRowCount[0], 198);
  EXPECT_EQ(f.engine.ResultRows[0][196], "12/09/26");
  EXPECT_EQ(f.Lit01().substr(0, 14), "****:00060:198");

  // A second select loads in full: no count is carried over.
  f.Sql("SELECT a FROM Four WHERE a <= 3");
  f.dbRequest.Serve(0);
  EXPECT_EQ(f.engine.ResultRowCount[0], 5);
}

TEST(TerminalDBRequestTest, dateBatchCodeAndLinkTestReplies) {
  TerminalFixture f;
  f.Request("DLOT:");
  f.dbRequest.Serve(0);
  EXPECT_EQ(f.Lit01(), "PLOT:634314" + Blanks(29));
  EXPECT_EQ(f.publication.StatusText[0], "Ready...");

  f.wall.set(QDateTime(QDate(2027, 1, 1), QTime(0, 30)));
  f.Request("DLOT:");
  f.dbRequest.Serve(0);
  EXPECT_EQ(f.Lit01().substr(0, 11), "PLOT:700100");

  f.wall.set(QDateTime(QDate(2026, 12, 9), QTime(14, 5)));
  f.Request("DADD:5");
  f.dbRequest.Serve(0);
  const QDateTime then(QDate(2026, 12, 14), QTime(14, 5));
  EXPECT_EQ(f.Lit01(), FieldText("PADD:" + GeneralDateTimeText(then) + "12/14/26", 40));
  EXPECT_EQ(f.engine.ReplyValue[0].substr(0, GeneralDateTimeText(then).size()), GeneralDateTimeText(then));

  f.Request("DADD:99999999999");  // past the last date: the error reply
  f.network.ClearCallLog();
  EXPECT_NO_THROW(f.dbRequest.Serve(0));
  EXPECT_EQ(f.Lit01(), FieldText("^ERROR", 40));
  EXPECT_EQ(f.publication.StatusText[0], "Date Add Error...");

  f.network.ClearCallLog();
  f.Request("TST1:");
  f.dbRequest.Serve(0);
  const TerminalNetCall& write = f.network.CallLog().back();
  EXPECT_EQ(write.operation, "write");
  EXPECT_EQ(write.length, 400);
  EXPECT_EQ(write.bytes, "!" + std::string("1234567890123456789012345678901234567890123456789012345678901234567890") +
                             "1234567" + Blanks(322));
}

TEST(TerminalDBRequestTest, failedRepliesShowTheirStatus) {
  struct Case {
    const char* request;
    const char* status;
  } cases[] = {
      {"DADD:1", "ZelAPI > Date Add Error"},
      {"DLOT:", "ZelAPI > Lot # Error"},
      {"TST1:", "Error Writing Var..."},
      {"DONE:", "Packet Error"},
  };
  for (const Case& c : cases) {
    TerminalFixture f;
    f.Request(c.request);
    f.zel.failingWrites["/z5/lit01"] = 1;
    f.dbRequest.Serve(0);
    EXPECT_EQ(f.publication.StatusText[0], c.status) << c.request;
  }
}

TEST(TerminalDBRequestTest, requestsThatAreNotVerbsGetNoReply) {
  for (const char* request : {"FMT1:abc", "sql3:1", "HELLO", "PLOT:634314"}) {
    TerminalFixture f;
    f.Request(request);
    f.network.ClearCallLog();
    f.dbRequest.Serve(0);
    EXPECT_EQ(f.network.CallLog().size(), 1u) << request;  // the read only
    EXPECT_EQ(f.publication.StatusText[0], request);
  }
}

TEST(TerminalDBRequestTest, aFailedRequestReadTakesTheChannelOutOfService) {
  TerminalFixture f;
  f.startup.SpeechEnabled = true;
  f.network.FailNextCalls("/z5/lit01", 1, 10064);
  f.dbRequest.Serve(0);
  EXPECT_EQ(f.publication.StatusText[0], "Network ID Error...");
  EXPECT_TRUE(f.grid.IndicatorOn(0, Lamp::Error));
  EXPECT_FALSE(f.engine.ChannelActive[0]);
  EXPECT_FALSE(f.config.Channels[0].DeviceEnabled);
  EXPECT_EQ(f.speech.sentences(), std::vector<std::string>{kNotResponding});
}

TEST(TerminalDBRequestTest, aBadQueryLeavesAsADatabaseError) {
  TerminalFixture f;
  f.Sql("SELECT * FROM Missing");
  try {
    f.dbRequest.Serve(0);
    FAIL() << "no error";
  } catch (const RunTimeError& error) {
    EXPECT_EQ(error.number(), ErrorNumber::SqlError);
  }
}

}  // namespace
}  // namespace tarvex
