// tarvex-host: places one TarvexDev on an (unshown) form, binds it to a
// channel of the manager with DoUpdate, optionally sending a command, and
// prints every Update as one line until it has printed enough or its time is
// up. Runs without a display with QT_QPA_PLATFORM=offscreen.
//
//   tarvex-host --channel N [--cmd C] [--parm P] [--stat S]
//               [--updates K] [--wait-ms T]
//
// Output, one line each:
//   Update Channel=3 Cmd=3 CmdStat=0 CmdParm=12.5 Gross=0 Tare=0 Net=0
//          ScaleStat=0 DeviceDesc="..." Changed=Gross,Tare,...   (one line)
//   DoUpdate 0              when DoUpdate returned
//   Error <number>: <description>   when a call failed (exit status 2); an
//                                   option that is not a number (13) or out
//                                   of range (6) fails before anything is bound
// --updates K ends after K updates printed since DoUpdate returned; --wait-ms
// ends after T milliseconds (default 10000) in any case.
#include <QApplication>
#include <QCommandLineParser>
#include <QRegularExpression>
#include <QStringList>
#include <QTimer>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "control/tarvex_dev.h"
#include "platform/run_time_error.h"

namespace {

void PrintLine(const QString& line) {
  std::fputs(line.toLocal8Bit().constData(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

QString Number(double value) { return QString::number(value, 'g', 15); }

// An option's number, checked before anything is bound: text that is not a
// number is error 13, a number the property cannot hold is error 6. (A plain
// conversion would turn both into 0 and send that to the scale.)
[[noreturn]] void RefuseOption(const QString& option, const QString& text, bool isNumber) {
  const int number = isNumber ? tarvex::ErrorNumber::Overflow : tarvex::ErrorNumber::TypeMismatch;
  throw tarvex::RunTimeError(number, tarvex::StandardErrorDescription(number) + " (--" + option.toStdString() + " " +
                                         text.left(80).toStdString() + ")");
}

std::int32_t WholeOption(const QString& option, const QString& text) {
  static const QRegularExpression whole(QStringLiteral("^\\s*[+-]?[0-9]+\\s*$"));
  bool ok = false;
  const std::int32_t value = text.trimmed().toInt(&ok);
  if (ok) return value;
  RefuseOption(option, text, whole.match(text).hasMatch());
}

double RealOption(const QString& option, const QString& text) {
  static const QRegularExpression real(
      QStringLiteral("^\\s*[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?\\s*$"));
  bool ok = false;
  const double value = text.trimmed().toDouble(&ok);
  if (ok && std::isfinite(value)) return value;
  RefuseOption(option, text, real.match(text).hasMatch());
}

void PrintError(const tarvex::RunTimeError& error) {
  PrintLine(QStringLiteral("Error %1: %2").arg(error.number()).arg(QString::fromLatin1(error.description().c_str())));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Follows one manager channel through TarvexDev."));
  parser.addHelpOption();
  const QCommandLineOption channelOption(QStringLiteral("channel"), QStringLiteral("Channel, 0 to 32."),
                                         QStringLiteral("N"));
  const QCommandLineOption cmdOption(QStringLiteral("cmd"), QStringLiteral("Command code to send."),
                                     QStringLiteral("C"));
  const QCommandLineOption parmOption(QStringLiteral("parm"), QStringLiteral("Command parameter."),
                                      QStringLiteral("P"));
  const QCommandLineOption statOption(QStringLiteral("stat"), QStringLiteral("Command status."),
                                      QStringLiteral("S"));
  const QCommandLineOption updatesOption(QStringLiteral("updates"),
                                         QStringLiteral("End after this many updates."),
                                         QStringLiteral("K"));
  const QCommandLineOption waitOption(QStringLiteral("wait-ms"), QStringLiteral("End after this long."),
                                      QStringLiteral("T"), QStringLiteral("10000"));
  parser.addOptions({channelOption, cmdOption, parmOption, statOption, updatesOption, waitOption});
  parser.process(app);
  if (!parser.isSet(channelOption)) {
    std::fputs("tarvex-host: --channel is required\n", stderr);
    return 1;
  }

  struct Values {
    std::int32_t channel = 0;
    std::optional<std::int32_t> cmd, stat;
    std::optional<double> parm;
    int updates = -1;
    int waitMs = 0;
  } values;
  try {
    values.channel = WholeOption(channelOption.names().first(), parser.value(channelOption));
    if (parser.isSet(cmdOption)) values.cmd = WholeOption(cmdOption.names().first(), parser.value(cmdOption));
    if (parser.isSet(parmOption)) values.parm = RealOption(parmOption.names().first(), parser.value(parmOption));
    if (parser.isSet(statOption)) values.stat = WholeOption(statOption.names().first(), parser.value(statOption));
    if (parser.isSet(updatesOption)) {
      values.updates = WholeOption(updatesOption.names().first(), parser.value(updatesOption));
    }
    values.waitMs = WholeOption(waitOption.names().first(), parser.value(waitOption));
  } catch (const tarvex::RunTimeError& error) {
    PrintError(error);
    return 2;
  }

  QWidget form;
  tarvex::TarvexDev dev(&form);
  QStringList changed;
  bool returned = false;
  int updatesAfterReturn = 0;
  const int updatesWanted = values.updates;

  QObject::connect(&dev, &tarvex::TarvexDev::PropertyChanged,
                   [&](const QString& name) { changed << name; });
  QObject::connect(&dev, &tarvex::TarvexDev::Update, [&] {
    PrintLine(QStringLiteral("Update Channel=%1 Cmd=%2 CmdStat=%3 CmdParm=%4 Gross=%5 Tare=%6 Net=%7 "
                             "ScaleStat=%8 DeviceDesc=\"%9\" Changed=%10")
                  .arg(dev.Channel())
                  .arg(dev.Cmd())
                  .arg(dev.CmdStat())
                  .arg(Number(dev.CmdParm()), Number(dev.Gross()), Number(dev.Tare()),
                       Number(dev.Net()))
                  .arg(dev.ScaleStat())
                  .arg(dev.DeviceDesc(), changed.join(QLatin1Char(','))));
    changed.clear();
    if (returned && ++updatesAfterReturn == updatesWanted) app.quit();
  });

  try {
    dev.SetChannel(values.channel);
    if (values.cmd) dev.SetCmd(*values.cmd);
    if (values.parm) dev.SetCmdParm(*values.parm);
    if (values.stat) dev.SetCmdStat(*values.stat);
    changed.clear();
    PrintLine(QStringLiteral("DoUpdate %1").arg(dev.DoUpdate()));
    returned = true;
  } catch (const tarvex::RunTimeError& error) {
    PrintError(error);
    return 2;
  }
  if (updatesWanted == 0) return 0;

  QTimer::singleShot(values.waitMs, &app, &QApplication::quit);
  return app.exec();
}
