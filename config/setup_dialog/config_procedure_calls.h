#pragma once
// The dialog runs every configuration step through CfgProc(op, index). This is
// the one call it needs of the configuration procedure.
namespace tarvex {

class ConfigProcedureCalls {
public:
  virtual ~ConfigProcedureCalls() = default;
  virtual void CfgProc(int op, int index) = 0;
};

}  // namespace tarvex
