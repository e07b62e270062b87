// A signal written in the wire format must be byte for byte the message the
// bus library builds from the same arguments, and the library must take it.
#include "publish/bus/wire_signal.h"

#include <dbus/dbus.h>
#include <gtest/gtest.h>

#include <QString>
#include <cmath>
#include <limits>
#include <string>

#include "platform/ansi_text.h"

namespace tarvex::bus {
namespace {

struct Values {
  uint64_t sequence;
  std::string description;  // the manager's ANSI bytes
  int32_t id;
  double gross, tare, net;
  int16_t scaleStat, cmd;
  double cmdParm;
  int16_t cmdStat;
};

WireSignal Written(const Values& v) {
  WireSignal signal;
  signal.Uint64(v.sequence)
      .AnsiString(v.description)
      .Int32(v.id)
      .Double(v.gross)
      .Double(v.tare)
      .Double(v.net)
      .Int16(v.scaleStat)
      .Int16(v.cmd)
      .Double(v.cmdParm)
      .Int16(v.cmdStat);
  return signal;
}

// The library's own message for the same arguments, the text converted as
// QtDBus converts it (Latin-1 read, sent as UTF-8 up to a NUL).
std::string LibraryBytes(const char* path, const Values& v) {
  DBusMessage* message = dbus_message_new_signal(path, "org.tarvex.Device1", "CUpdate");
  const QByteArray utf8 = FromAnsi(v.description).toUtf8();
  const char* text = utf8.constData();
  dbus_uint64_t sequence = v.sequence;
  dbus_int32_t id = v.id;
  double gross = v.gross, tare = v.tare, net = v.net, cmdParm = v.cmdParm;
  dbus_int16_t scaleStat = v.scaleStat, cmd = v.cmd, cmdStat = v.cmdStat;
  EXPECT_TRUE(dbus_message_append_args(message, DBUS_TYPE_UINT64, &sequence, DBUS_TYPE_STRING, &text, DBUS_TYPE_INT32,
                                       &id, DBUS_TYPE_DOUBLE, &gross, DBUS_TYPE_DOUBLE, &tare, DBUS_TYPE_DOUBLE, &net,
                                       DBUS_TYPE_INT16, &scaleStat, DBUS_TYPE_INT16, &cmd, DBUS_TYPE_DOUBLE, &cmdParm,
                                       DBUS_TYPE_INT16, &cmdStat, DBUS_TYPE_INVALID));
  dbus_message_set_serial(message, 1);
  char* bytes = nullptr;
  int length = 0;
  EXPECT_TRUE(dbus_message_marshal(message, &bytes, &length));
  std::string copy(bytes, static_cast<size_t>(length));
  dbus_free(bytes);
  dbus_message_unref(message);
  return copy;
}

TEST(WireSignal, IsTheLibrarysOwnMessageByteForByte) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* legend;
    const char* path;
    Values values;
  };
  const Case cases[] = {
      {"a weight", "/Device/3", {17, "Simulated Scale", 3, 12.5, 2.25, 10.25, 0, 0, 0, 0}},
      {"empty description", "/Device/0", {0, "", 0, 0, 0, 0, 0, 0, 0, 0}},
      // Every length of text pads the next field differently.
      {"description of 1 byte", "/Device/10", {1, "A", 1, -1, 1, -2, 1, 1, 1, 1}},
      {"description of 2 bytes", "/Device/10", {1, "AB", 1, -1, 1, -2, 1, 1, 1, 1}},
      {"description of 3 bytes", "/Device/10", {1, "ABC", 1, -1, 1, -2, 1, 1, 1, 1}},
      {"description of 4 bytes", "/Device/10", {1, "ABCD", 1, -1, 1, -2, 1, 1, 1, 1}},
      {"Latin-1 bytes", "/Device/31", {99, "Waage \xC4\xD6\xDC \xB5g \xFF", 7, 1, 2, 3, 4, 5, 6, 7}},
      {"text cut at a NUL", "/Device/32", {5, std::string("Line\0Hidden", 11), 2, 1, 2, 3, 4, 5, 6, 7}},
      {"extremes",
       "/Device/32",
       {std::numeric_limits<uint64_t>::max(), std::string(300, 'x'), std::numeric_limits<int32_t>::min(), -0.0, inf,
        -inf, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max(), nan, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    EXPECT_EQ(Written(c.values).Bytes(c.path, "org.tarvex.Device1", "CUpdate"), LibraryBytes(c.path, c.values));
    EXPECT_EQ(Written(c.values).Signature(), "tsidddnndn");
  }
  // No argument: no signature field at all.
  DBusMessage* empty = dbus_message_new_signal("/Device/1", "org.tarvex.Device1", "CUpdate");
  dbus_message_set_serial(empty, 1);
  char* bytes = nullptr;
  int length = 0;
  ASSERT_TRUE(dbus_message_marshal(empty, &bytes, &length));
  EXPECT_EQ(WireSignal().Bytes("/Device/1", "org.tarvex.Device1", "CUpdate"),
            std::string(bytes, static_cast<size_t>(length)));
  dbus_free(bytes);
  dbus_message_unref(empty);
}

TEST(WireSignal, TheLibraryTakesItWithoutASerialAndReadsTheValuesBack) {
  const Values v{42, "Scale \xE9", -7, 1.5, 0.5, 1.0, 16, 3, 2.75, -2};
  DBusMessage* message = Written(v).NewMessage("/Device/12", "org.tarvex.Device1", "CUpdate");
  ASSERT_NE(message, nullptr);
  // The connection numbers it as it sends it.
  EXPECT_EQ(dbus_message_get_serial(message), 0u);
  EXPECT_EQ(dbus_message_get_type(message), DBUS_MESSAGE_TYPE_SIGNAL);
  EXPECT_TRUE(dbus_message_get_no_reply(message));
  EXPECT_STREQ(dbus_message_get_path(message), "/Device/12");
  EXPECT_STREQ(dbus_message_get_interface(message), "org.tarvex.Device1");
  EXPECT_STREQ(dbus_message_get_member(message), "CUpdate");

  dbus_uint64_t sequence = 0;
  const char* text = nullptr;
  dbus_int32_t id = 0;
  double gross = 0, tare = 0, net = 0, cmdParm = 0;
  dbus_int16_t scaleStat = 0, cmd = 0, cmdStat = 0;
  DBusError error;
  dbus_error_init(&error);
  ASSERT_TRUE(dbus_message_get_args(message, &error, DBUS_TYPE_UINT64, &sequence, DBUS_TYPE_STRING, &text,
                                    DBUS_TYPE_INT32, &id, DBUS_TYPE_DOUBLE, &gross, DBUS_TYPE_DOUBLE, &tare,
                                    DBUS_TYPE_DOUBLE, &net, DBUS_TYPE_INT16, &scaleStat, DBUS_TYPE_INT16, &cmd,
                                    DBUS_TYPE_DOUBLE, &cmdParm, DBUS_TYPE_INT16, &cmdStat, DBUS_TYPE_INVALID))
      << error.message;
  EXPECT_EQ(sequence, 42u);
  EXPECT_EQ(QString::fromUtf8(text), QStringLiteral("Scale \u00E9"));
  EXPECT_EQ(id, -7);
  EXPECT_EQ(gross, 1.5);
  EXPECT_EQ(tare, 0.5);
  EXPECT_EQ(net, 1.0);
  EXPECT_EQ(scaleStat, 16);
  EXPECT_EQ(cmd, 3);
  EXPECT_EQ(cmdParm, 2.75);
  EXPECT_EQ(cmdStat, -2);
  dbus_message_unref(message);
}

TEST(WireSignal, ANameTheBusWouldRefuseMakesNoMessage) {
  const WireSignal signal = Written({1, "x", 1, 1, 1, 1, 1, 1, 1, 1});
  EXPECT_EQ(signal.NewMessage("Device/1", "org.tarvex.Device1", "CUpdate"), nullptr);
  EXPECT_EQ(signal.NewMessage("/Device/1", "org..tarvex", "CUpdate"), nullptr);
  EXPECT_EQ(signal.NewMessage("/Device/1", "org.tarvex.Device1", "C-Update"), nullptr);
  // Text that is not UTF-8 is refused too, as the library refuses it.
  WireSignal raw;
  raw.String("\xFF\xFE");
  EXPECT_EQ(raw.NewMessage("/Device/1", "org.tarvex.Device1", "CUpdate"), nullptr);
}

}  // namespace
}  // namespace tarvex::bus
