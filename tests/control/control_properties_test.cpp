// The control's properties: defaults, setters and their notifications, the
// Channel rules and the saved properties in both kinds of bag.
#include <QSettings>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

#include "control/dev_control.h"
#include "control/property_bag.h"
#include "platform/message_box.h"
#include "platform/run_time_error.h"
#include "tests/control/fake_manager.h"

namespace tarvex {
namespace {

using test::FakeManager;

const QStringList kBagKeys = {
    QStringLiteral("DeviceDesc"), QStringLiteral("Gross"),   QStringLiteral("Tare"),
    QStringLiteral("Net"),        QStringLiteral("ScaleStat"), QStringLiteral("Cmd"),
    QStringLiteral("CmdStat"),    QStringLiteral("CmdParm"), QStringLiteral("Channel")};

// One value per property, in bag order, none equal to a default.
struct Snapshot {
  QString DeviceDesc;
  double Gross, Tare, Net;
  std::int32_t ScaleStat, Cmd, CmdStat;
  double CmdParm;
  std::int32_t Channel;

  static Snapshot Of(const DevControl& c) {
    return {c.DeviceDesc(), c.Gross(), c.Tare(), c.Net(), c.ScaleStat(),
            c.Cmd(),        c.CmdStat(), c.CmdParm(), c.Channel()};
  }
  // The value of the property at a bag position, as a variant.
  QVariant At(int index) const {
    switch (index) {
      case 0: return DeviceDesc;
      case 1: return Gross;
      case 2: return Tare;
      case 3: return Net;
      case 4: return ScaleStat;
      case 5: return Cmd;
      case 6: return CmdStat;
      case 7: return CmdParm;
      default: return Channel;
    }
  }
};

const Snapshot kSaved{QStringLiteral("Line 2, \"north\" scale"), 1234.5, -12.25, 1246.75, -32768,
                      70000, -3, 0.125, 31};

class ControlProperties : public ::testing::Test {
protected:
  FakeManager manager;
  RecordingMessageBox messages;
  DevControl control{manager, messages};
  QSignalSpy changes{&control, &DevControl::PropertyChanged};

  QStringList changedNames() const {
    QStringList names;
    for (const auto& args : changes) names << args.at(0).toString();
    return names;
  }
};

TEST_F(ControlProperties, FreshControlReadsEmptyAndZeroEverywhere) {
  control.SetDeviceDesc(QStringLiteral("x"));
  control.SetGross(1);
  control.SetCmd(2);
  control.SetChannel(3);
  changes.clear();

  control.InitProperties();

  const DevControl fresh(manager, messages);
  for (const DevControl* c : {static_cast<const DevControl*>(&control), &fresh}) {
    EXPECT_EQ(c->DeviceDesc(), QString());
    EXPECT_EQ(c->Gross(), 0);
    EXPECT_EQ(c->Tare(), 0);
    EXPECT_EQ(c->Net(), 0);
    EXPECT_EQ(c->ScaleStat(), 0);
    EXPECT_EQ(c->Cmd(), 0);
    EXPECT_EQ(c->CmdStat(), 0);
    EXPECT_EQ(c->CmdParm(), 0);
    EXPECT_EQ(c->Channel(), 0);
  }
  EXPECT_TRUE(changes.isEmpty());
}

TEST_F(ControlProperties, EachSetterStoresItsValueThenReportsItsBagKey) {
  struct Row {
    QString key;
    std::function<void(DevControl&)> set;
    std::function<bool(const DevControl&)> holds;
  };
  const std::vector<Row> rows = {
      {QStringLiteral("DeviceDesc"), [](DevControl& c) { c.SetDeviceDesc(QStringLiteral("Dock")); },
       [](const DevControl& c) { return c.DeviceDesc() == QStringLiteral("Dock"); }},
      {QStringLiteral("Gross"), [](DevControl& c) { c.SetGross(-1.5); },
       [](const DevControl& c) { return c.Gross() == -1.5; }},
      {QStringLiteral("Tare"), [](DevControl& c) { c.SetTare(2.5); },
       [](const DevControl& c) { return c.Tare() == 2.5; }},
      {QStringLiteral("Net"), [](DevControl& c) { c.SetNet(1e9); },
       [](const DevControl& c) { return c.Net() == 1e9; }},
      // No range test on the fields the Device holds in 16 bits.
      {QStringLiteral("ScaleStat"), [](DevControl& c) { c.SetScaleStat(-100000); },
       [](const DevControl& c) { return c.ScaleStat() == -100000; }},
      {QStringLiteral("Cmd"), [](DevControl& c) { c.SetCmd(40000); },
       [](const DevControl& c) { return c.Cmd() == 40000; }},
      {QStringLiteral("CmdStat"), [](DevControl& c) { c.SetCmdStat(103); },
       [](const DevControl& c) { return c.CmdStat() == 103; }},
      {QStringLiteral("CmdParm"), [](DevControl& c) { c.SetCmdParm(12.5); },
       [](const DevControl& c) { return c.CmdParm() == 12.5; }},
      {QStringLiteral("Channel"), [](DevControl& c) { c.SetChannel(32); },
       [](const DevControl& c) { return c.Channel() == 32; }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.key.toStdString());
    changes.clear();
    bool storedBeforeNotice = false;
    const auto seen = QObject::connect(&control, &DevControl::PropertyChanged,
                                       [&] { storedBeforeNotice = row.holds(control); });
    row.set(control);
    QObject::disconnect(seen);
    EXPECT_TRUE(row.holds(control));
    EXPECT_TRUE(storedBeforeNotice);
    EXPECT_EQ(changedNames(), QStringList{row.key});
  }
  EXPECT_EQ(manager.creations, 0) << "a setter never contacts the manager";
}

TEST_F(ControlProperties, ChannelOutsideZeroTo32IsStoredAndReportedYetFailsWith9) {
  control.DoUpdate();  // bound to channel 0
  ASSERT_TRUE(control.Connected(0));
  for (const std::int32_t channel : {33, -1, 40000}) {
    SCOPED_TRACE(channel);
    changes.clear();
    try {
      control.SetChannel(channel);
      ADD_FAILURE() << "no error";
    } catch (const RunTimeError& error) {
      EXPECT_EQ(error.number(), ErrorNumber::SubscriptOutOfRange);
    }
    EXPECT_EQ(control.Channel(), channel);
    EXPECT_EQ(changedNames(), QStringList{QStringLiteral("Channel")});
    EXPECT_TRUE(control.Connected(0)) << "no flag changes";
  }
}

TEST_F(ControlProperties, SelectingAChannelClearsOnlyThatChannelsConnectedFlag) {
  control.SetChannel(4);
  for (int round = 0; round < 2; ++round) {
    control.DoUpdate();
    ASSERT_TRUE(control.Connected(4));
    control.SetChannel(4);  // the value it already holds
    EXPECT_FALSE(control.Connected(4)) << "round " << round;
  }
  control.DoUpdate();
  control.SetChannel(5);
  EXPECT_TRUE(control.Connected(4));
  EXPECT_FALSE(control.Connected(5));
  EXPECT_EQ(manager.creations, 3) << "the setter itself binds nothing";
}

// Both bags, each with the control writing into it and a fresh one reading back.
class BagBackends : public ControlProperties, public ::testing::WithParamInterface<const char*> {
protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    if (std::string(GetParam()) == "settings") {
      settings = std::make_unique<QSettings>(folder.filePath(QStringLiteral("form.ini")),
                                             QSettings::IniFormat);
      bag = std::make_unique<SettingsPropertyBag>(*settings, QStringLiteral("TarvexDev1"));
    } else {
      bag = std::make_unique<MemoryPropertyBag>();
    }
  }
  // The saved form as a later run of the host finds it.
  PropertyBag& reopened() {
    if (!settings) return *bag;
    settings->sync();
    settings = std::make_unique<QSettings>(folder.filePath(QStringLiteral("form.ini")),
                                           QSettings::IniFormat);
    bag = std::make_unique<SettingsPropertyBag>(*settings, QStringLiteral("TarvexDev1"));
    return *bag;
  }
  void SetAll(DevControl& c, const Snapshot& s) {
    c.SetDeviceDesc(s.DeviceDesc);
    c.SetGross(s.Gross);
    c.SetTare(s.Tare);
    c.SetNet(s.Net);
    c.SetScaleStat(s.ScaleStat);
    c.SetCmd(s.Cmd);
    c.SetCmdStat(s.CmdStat);
    c.SetCmdParm(s.CmdParm);
    c.SetChannel(s.Channel);
  }

  QTemporaryDir folder;
  std::unique_ptr<QSettings> settings;
  std::unique_ptr<PropertyBag> bag;
};

TEST_P(BagBackends, SavedPropertiesComeBackWithoutNoticeOrBinding) {
  SetAll(control, kSaved);
  control.WriteProperties(*bag);

  DevControl loaded(manager, messages);
  QSignalSpy loadedChanges(&loaded, &DevControl::PropertyChanged);
  const int creationsBefore = manager.creations;
  loaded.ReadProperties(reopened());

  const Snapshot back = Snapshot::Of(loaded);
  for (int i = 0; i < kBagKeys.size(); ++i) {
    EXPECT_EQ(back.At(i), kSaved.At(i)) << kBagKeys[i].toStdString();
  }
  EXPECT_TRUE(loadedChanges.isEmpty());
  EXPECT_EQ(manager.creations, creationsBefore);
  EXPECT_FALSE(loaded.Connected(kSaved.Channel)) << "a loaded control binds at its first DoUpdate";
}

TEST_P(BagBackends, ValuesEqualToTheirDefaultsAreLeftOutAndReadBackAsDefaults) {
  SetAll(control, kSaved);
  control.WriteProperties(*bag);
  control.InitProperties();
  control.WriteProperties(*bag);

  DevControl loaded(manager, messages);
  SetAll(loaded, kSaved);
  loaded.ReadProperties(reopened());

  for (const QString& key : kBagKeys) {
    EXPECT_EQ(bag->ReadProperty(key, QStringLiteral("absent")), QStringLiteral("absent"))
        << key.toStdString();
  }
  EXPECT_EQ(loaded.DeviceDesc(), QString());
  EXPECT_EQ(loaded.Gross(), 0);
  EXPECT_EQ(loaded.Cmd(), 0);
  EXPECT_EQ(loaded.Channel(), 0);
}

INSTANTIATE_TEST_SUITE_P(Control, BagBackends, ::testing::Values("memory", "settings"));

TEST_F(ControlProperties, ValueOfAWrongTypeFailsWith13AfterTheEarlierPropertiesWereRead) {
  struct Row {
    int badIndex;
    QVariant bad;
  };
  const std::vector<Row> rows = {
      {0, QStringList{QStringLiteral("a"), QStringLiteral("b")}},
      {1, QStringLiteral("heavy")},
      {4, QStringLiteral("")},
      {7, QStringLiteral("12.5kg")},
      {8, QVariantMap{}},
  };
  const Snapshot before{QStringLiteral("old"), 1, 2, 3, 4, 5, 6, 7, 8};
  for (const Row& row : rows) {
    SCOPED_TRACE(kBagKeys[row.badIndex].toStdString());
    MemoryPropertyBag bag;
    for (int i = 0; i < kBagKeys.size(); ++i) bag.values()[kBagKeys[i]] = kSaved.At(i);
    bag.values()[kBagKeys[row.badIndex]] = row.bad;
    MemoryPropertyBag oldBag;
    for (int i = 0; i < kBagKeys.size(); ++i) oldBag.values()[kBagKeys[i]] = before.At(i);
    control.ReadProperties(oldBag);

    try {
      control.ReadProperties(bag);
      ADD_FAILURE() << "no error";
    } catch (const RunTimeError& error) {
      EXPECT_EQ(error.number(), ErrorNumber::TypeMismatch);
    }
    const Snapshot after = Snapshot::Of(control);
    for (int i = 0; i < kBagKeys.size(); ++i) {
      EXPECT_EQ(after.At(i), i < row.badIndex ? kSaved.At(i) : before.At(i))
          << kBagKeys[i].toStdString();
    }
  }
  EXPECT_TRUE(changes.isEmpty());
}

// A form saved by hand or by another tool: every value is text in the file.
TEST_F(ControlProperties, TextValuesOfASavedFormConvertToThePropertyTypes) {
  QSettings form(QStringLiteral(TARVEX_TEST_DATA "/control/saved-form.ini"), QSettings::IniFormat);
  SettingsPropertyBag bag(form, QStringLiteral("Form1.TarvexDev1"));
  control.ReadProperties(bag);

  EXPECT_EQ(control.DeviceDesc(), QStringLiteral("Truck scale, gate 2"));
  EXPECT_EQ(control.Gross(), 15020.5);
  EXPECT_EQ(control.Tare(), 0) << "absent: the default";
  EXPECT_EQ(control.Net(), -7.25);
  EXPECT_EQ(control.ScaleStat(), 20);
  EXPECT_EQ(control.Cmd(), 2) << "2.5 rounds half to even";
  EXPECT_EQ(control.CmdStat(), 4) << "3.5 rounds half to even";
  EXPECT_EQ(control.CmdParm(), 0.001);
  EXPECT_EQ(control.Channel(), 12);
}

}  // namespace
}  // namespace tarvex
