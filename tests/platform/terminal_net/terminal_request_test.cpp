// tools/terminal-sim acting as a terminal program: it submits database
// requests, takes packet groups and asks for dates, batch codes and the link
// test, against a small responder here that answers over the socket the way
// the manager's terminal request service does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/terminal_net/result_codes.h"
#include "platform/terminal_net/socket_terminal_net.h"
#include "tests/support/terminal_sim_process.h"

namespace tarvex {
namespace {

std::string Padded(std::string text, size_t width) {
  text.resize(width, ' ');
  return text;
}

std::string Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// Answers what node 5 leaves in lit01, one look per Step(). A SELECT of
// "Items" yields rowCount rows "Row 0", "Row 1", ...; of "Empty" none; any
// other table the database error reply.
class Responder {
public:
  explicit Responder(const std::string& socketPath, int rowCount)
      : net_(socketPath), rowCount_(rowCount) {
    EXPECT_EQ(net_.ZelRegisterProcess(125), ZEL_SUCCESS);
  }

  void Step() {
    const std::string request = Read(lit01_, 40);
    const std::string verb = request.substr(0, 5);
    if (verb == "SQL3:") {
      database = Read("/z5/lit02", 40);
      query.clear();
      for (int part = 1; part <= std::stoi(request.substr(5)); ++part)
        query += Read("/z5/ptp0" + std::to_string(part), 400);
      if (query.find("Items") != std::string::npos) {
        packetRow_ = 0;
        SendGroup(rowCount_);
      } else if (query.find("Empty") != std::string::npos) {
        Write(lit01_, "@");
      } else {
        Write(lit01_, "^ERROR 3078 no such table");
      }
    } else if (verb == "ACK1:") {
      packetRow_ += 15;
      if (packetRow_ >= rowCount_) Write(lit01_, "!");
      else SendGroup(0);
    } else if (verb == "DLOT:") {
      Write(lit01_, "PLOT:634314");
    } else if (verb == "TST1:") {
      std::string pattern = "!";
      for (int i = 0; i < 77; ++i) pattern.push_back(static_cast<char>('0' + (i + 1) % 10));
      const std::string buffer = Padded(pattern, 600);
      EXPECT_EQ(net_.ZelWrite(lit01_, 400, buffer), ZEL_SUCCESS);
    }
  }

  TerminalNet& Net() { return net_; }
  std::string database;
  std::string query;

private:
  std::string Read(const std::string& path, int16_t length) {
    std::string buffer(static_cast<size_t>(length), ' ');
    int16_t status = 0;
    if (net_.ZelRead(path, length, buffer, status) != ZEL_SUCCESS) return {};
    return Trimmed(buffer.substr(0, buffer.find('\0')));
  }
  void Write(const std::string& path, const std::string& text) {
    const std::string buffer = Padded(text, 40);
    EXPECT_EQ(net_.ZelWrite(path, 40, buffer), ZEL_SUCCESS);
  }
  void SendGroup(int recordCount) {
    for (int k = 1; k <= 3; ++k) {
      std::string packet;
      for (int slot = 0; slot < 5; ++slot) {
        const int row = packetRow_ + 5 * (k - 1) + slot;
        packet += Padded(row < rowCount_ ? "Row " + std::to_string(row) : "", 75);
      }
      packet += std::string(25, '-');
      EXPECT_EQ(net_.ZelWrite("/z5/ptp0" + std::to_string(k), 400, packet), ZEL_SUCCESS);
    }
    char header[41];
    std::snprintf(header, sizeof header, "****:%05d:%03d", recordCount, rowCount_);
    Write(lit01_, header);
    // The manager writes the first group's header twice in a row.
    if (packetRow_ == 0) Write(lit01_, header);
  }

  SocketTerminalNet net_;
  int rowCount_;
  int packetRow_ = 0;
  const std::string lit01_ = "/z5/lit01";
};

class TerminalRequests : public ::testing::Test {
protected:
  testing::SocketFolder folder_;
  std::string path_ = folder_.Path() + "/net.sock";
  testing::TerminalSimProcess sim_{path_, {"5"}};
};

TEST_F(TerminalRequests, aSelectComesBackInPacketGroupsUntilTheEndMarker) {
  ASSERT_TRUE(sim_.Listening());
  Responder responder(path_, 16);
  // Two parts: 399 bytes in ptp01, the rest in ptp02.
  const std::string query =
      "SELECT Name FROM Items WHERE Code IN ('" + std::string(380, 'A') + "','B')";
  ASSERT_EQ(sim_.Command("sql 5 stock.mdb " + query), std::vector<std::string>{"ok"});

  const auto lines = sim_.Command("collect 5 5000", [&] { responder.Step(); });

  std::vector<std::string> expected = {"header [****:00016:016]"};
  for (int row = 0; row < 15; ++row)
    expected.push_back("row " + std::to_string(row) + " [Row " + std::to_string(row) + "]");
  expected.push_back("header [****:00000:016]");
  expected.push_back("row 15 [Row 15]");
  expected.push_back("ok end [!]");
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(responder.database, "stock.mdb");
  EXPECT_EQ(responder.query, query);
}

TEST_F(TerminalRequests, aSelectWithoutRecordsOrWithAnErrorEndsWithItsMarker) {
  ASSERT_TRUE(sim_.Listening());
  Responder responder(path_, 0);
  ASSERT_EQ(sim_.Command("sql 5 stock.mdb SELECT * FROM Empty"), std::vector<std::string>{"ok"});
  EXPECT_EQ(sim_.Command("collect 5", [&] { responder.Step(); }),
            std::vector<std::string>{"ok end [@]"});
  ASSERT_EQ(sim_.Command("sql 5 stock.mdb SELECT * FROM Missing"), std::vector<std::string>{"ok"});
  EXPECT_EQ(sim_.Command("collect 5", [&] { responder.Step(); }),
            std::vector<std::string>{"ok end [^ERROR 3078 no such table]"});
}

TEST_F(TerminalRequests, aRequestNobodyAnswersTimesOut) {
  ASSERT_TRUE(sim_.Listening());
  ASSERT_EQ(sim_.Command("sql 5 stock.mdb SELECT * FROM Items"), std::vector<std::string>{"ok"});
  EXPECT_EQ(sim_.Command("collect 5 100"), std::vector<std::string>{"error timeout"});
  EXPECT_EQ(sim_.Command("echo still serving"), std::vector<std::string>{"ok still serving"});
}

TEST_F(TerminalRequests, askedRepliesAndReceivedKeystrokesAreShown) {
  ASSERT_TRUE(sim_.Listening());
  Responder responder(path_, 0);
  EXPECT_EQ(sim_.Command("ask 5 DLOT:", [&] { responder.Step(); }),
            std::vector<std::string>{"ok reply [PLOT:634314]"});
  EXPECT_EQ(sim_.Command("ask 5 TST1:", [&] { responder.Step(); }),
            std::vector<std::string>{"ok reply [!123456789012345678901234567890123456789]"});

  ASSERT_EQ(responder.Net().ZelSendKeystroke(5, 0, 55), ZEL_SUCCESS);
  ASSERT_EQ(responder.Net().ZelSendKeystroke(5, 1, 8), ZEL_SUCCESS);
  EXPECT_EQ(sim_.Command("keys"), (std::vector<std::string>{"key 5 0 55", "key 5 1 8", "ok"}));
}

}  // namespace
}  // namespace tarvex
