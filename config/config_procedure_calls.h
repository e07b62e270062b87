#pragma once
// The one call that the setup dialog and the polling engine need of the
// configuration procedure: CfgProc(op, index), op one of CfgOp.
namespace tarvex {

class ConfigProcedureCalls {
public:
  virtual ~ConfigProcedureCalls() = default;
  virtual void CfgProc(int op, int index) = 0;
};

}  // namespace tarvex
