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
//   Error <number>: <description>   when a call failed (exit status 2)
// --updates K ends after K updates printed since DoUpdate returned; --wait-ms
// ends after T milliseconds (default 10000) in any case.
#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>
#include <QTimer>
#include <cstdio>

#include "control/tarvex_dev.h"
#include "platform/run_time_error.h"

namespace {

void PrintLine(const QString& line) {
  std::fputs(line.toLocal8Bit().constData(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

QString Number(double value) { return QString::number(value, 'g', 15); }

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

  QWidget form;
  tarvex::TarvexDev dev(&form);
  QStringList changed;
  bool returned = false;
  int updatesAfterReturn = 0;
  const int updatesWanted = parser.isSet(updatesOption) ? parser.value(updatesOption).toInt() : -1;

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
    dev.SetChannel(parser.value(channelOption).toInt());
    if (parser.isSet(cmdOption)) dev.SetCmd(parser.value(cmdOption).toInt());
    if (parser.isSet(parmOption)) dev.SetCmdParm(parser.value(parmOption).toDouble());
    if (parser.isSet(statOption)) dev.SetCmdStat(parser.value(statOption).toInt());
    changed.clear();
    PrintLine(QStringLiteral("DoUpdate %1").arg(dev.DoUpdate()));
    returned = true;
  } catch (const tarvex::RunTimeError& error) {
    PrintLine(QStringLiteral("Error %1: %2")
                  .arg(error.number())
                  .arg(QString::fromLatin1(error.description().c_str())));
    return 2;
  }
  if (updatesWanted == 0) return 0;

  QTimer::singleShot(parser.value(waitOption).toInt(), &app, &QApplication::quit);
  return app.exec();
}
