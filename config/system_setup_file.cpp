#include "system_setup_file.h"

#include "config/settings_file.h"

namespace tarvex {

namespace {

template <typename Setup, typename Visitor>
void VisitFields(Setup& s, Visitor&& v) {
  v.Long(s.RxInterval, "RxInterval");
  v.Long(s.RxIdle, "RxIdle");
  v.Long(s.TxInterval, "TxInterval");
  v.Long(s.TxIdle, "TxIdle");
  v.Long(s.GDIInterval, "GDIInterval");
  v.Long(s.GDIIdle, "GDIIdle");
  v.Boolean(s.CmdHandshake, "CmdHandshake");
  v.Boolean(s.AutoStart, "AutoStart");
}

}  // namespace

SystemSetup SystemSetupDefaults() {
  SystemSetup s;
  s.RxInterval = 25;
  s.RxIdle = 2;
  s.TxInterval = 15;
  s.TxIdle = 0;
  s.GDIInterval = 25;
  s.GDIIdle = 1;
  s.CmdHandshake = true;
  s.AutoStart = true;
  return s;
}

std::string FormatSystemSetupFile(const SystemSetup& setup, const std::string& path) {
  SettingsWriter writer(path);
  VisitFields(setup, WritingVisitor{writer});
  writer.EndLine();
  return writer.bytes();
}

SystemSetup ParseSystemSetupFile(std::string_view bytes, const std::string& path) {
  SettingsReader reader(path, bytes);
  SystemSetup setup;
  VisitFields(setup, ReadingVisitor{reader});
  return setup;
}

}  // namespace tarvex
