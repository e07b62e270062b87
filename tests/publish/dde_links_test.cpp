// UpdateDDELinks and the text form of the DDE value table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/publication_fixture.h"

namespace tarvex {
namespace {

const QLocale kGerman(QLocale::German, QLocale::Germany);

TEST(DdeLinks, AWeightTextBecomesTheGeneralNumberFormWithTheRegionalSeparator) {
  struct Case {
    const char* text;  // the gross text SetVal publishes
    QLocale locale;
    std::string item;
  };
  const std::vector<Case> rows = {
      {"0012.50", QLocale::c(), "12.5"},
      {"-----", QLocale::c(), "0"},
      {"", QLocale::c(), "0"},
      {"-3", QLocale::c(), "-3"},
      {".25", QLocale::c(), "0.25"},
      {"-0", QLocale::c(), "0"},
      {"0.30000000000000004", QLocale::c(), "0.3"},
      {"123456789012345678", QLocale::c(), "1.23456789012346E+17"},
      {"1E20", QLocale::c(), "1E+20"},
      {"0.00001", QLocale::c(), "1E-05"},
      {"12.5", kGerman, "12,5"},
      {"1234567.25 kg", kGerman, "1234567,25"},
      {"1,5", kGerman, "1"},
  };
  for (const Case& row : rows) {
    SCOPED_TRACE(std::string(row.text) + " under " + row.locale.name().toStdString());
    PublicationFixture f;
    DdeLinks links(f.publication, f.topics, row.locale);
    f.config.Channels[4].DDEServerEnabled = true;
    f.publication.NewGross[4] = row.text;
    f.publication.PubGross[4] = ForcePublication;
    f.publisher.SetVal(1, 4);
    links.UpdateDDELinks(4);
    ASSERT_EQ(f.topics.calls.size(), 1u);
    EXPECT_EQ(f.topics.calls[0].texts[DDEItem::Gross], row.item);
  }
}

TEST(DdeLinks, IntegerAndEmptyEntriesKeepTheirPlainForm) {
  struct Case {
    DDEValue value;
    std::string text;
  };
  const std::vector<Case> rows = {
      {std::monostate{}, ""}, {int16_t{5}, "5"}, {int16_t{-1}, "-1"}, {int16_t{-32768}, "-32768"}, {2.0, "2"}};
  for (const Case& row : rows) {
    EXPECT_EQ(DDEValueText(row.value, kGerman), row.text);
  }
}

TEST(DdeLinks, OneCallSetsAllSevenItemsOfChannels0To31AndNothingElse) {
  struct Case {
    int32_t ch;
    bool served;
  };
  for (const Case& c : std::vector<Case>{{0, true}, {31, true}, {32, false}, {-1, false}, {33, false}}) {
    SCOPED_TRACE(c.ch);
    PublicationFixture f;
    if (c.served) {
      f.publication.DDEValues(DDEItem::Gross, c.ch) = 12.5;
      f.publication.DDEValues(DDEItem::Tare, c.ch) = 0.0;
      f.publication.DDEValues(DDEItem::Net, c.ch) = -3.0;
      f.publication.DDEValues(DDEItem::ScaleStat, c.ch) = int16_t{6};
    }
    EXPECT_EQ(ErrorOf([&] { f.dde.UpdateDDELinks(c.ch); }), 0);
    if (!c.served) {
      EXPECT_TRUE(f.topics.calls.empty());
      continue;
    }
    ASSERT_EQ(f.topics.calls.size(), 1u);
    EXPECT_EQ(f.topics.calls[0].topic, c.ch);
    // Nothing assigns Cmd, CmdParm and CmdStat: they stay empty.
    EXPECT_EQ(f.topics.calls[0].texts, (DDEItemTexts{"12.5", "0", "-3", "6", "", "", ""}));
  }
}

TEST(DdeTopicStore, EveryChannelHasItsTopicWhoseItemsKeepTheLastTexts) {
  PublicationFixture f;
  DdeTopicStore store;
  DdeLinks links(f.publication, store, QLocale::c());
  EXPECT_EQ(DDETopicName(0), "DDEForm0");
  EXPECT_EQ(DDETopicName(31), "DDEForm31");
  for (int32_t topic = 0; topic < 32; ++topic) {
    for (std::string_view item : DDEItemNames) EXPECT_EQ(store.ItemText(DDETopicName(topic), item), "");
  }

  f.publication.DDEValues(DDEItem::Net, 5) = 7.5;
  links.UpdateDDELinks(5);
  EXPECT_EQ(store.ItemText("DDEForm5", "Net"), "7.5");
  EXPECT_EQ(store.ItemText("DDEForm5", "CmdStat"), "");
  EXPECT_EQ(store.ItemText("DDEForm6", "Net"), "");
  // With DDE switched off nothing refreshes the topic: it answers as before.
  f.publication.DDEValues(DDEItem::Net, 5) = 1.0;
  EXPECT_EQ(store.ItemText("DDEForm5", "Net"), "7.5");

  EXPECT_EQ(ErrorOf([&] { store.ItemText("DDEForm32", "Net"); }), 9);
  EXPECT_EQ(ErrorOf([&] { store.ItemText("DDEForm5", "Weight"); }), 9);
  EXPECT_EQ(ErrorOf([&] { store.SetItems(32, DDEItemTexts{}); }), 9);
}

}  // namespace
}  // namespace tarvex
