#pragma once
// The client-command step of the scan pass: commands that clients send to a
// channel's scale through its Device (ClientCmd, ClientCmdParm, ClientCmdStat)
// and through its OPC items CMD, CMDPARM and CMDSTAT (positions 4, 5, 6), and
// the periodic re-write of the channel's OPC items.
//
// What it must cope with: any client may write any command, parameter and
// status; the channel may not be on a serial port, or its port may be closed,
// hung up or not reading; the command table may hold a disabled entry for the
// command, or a placeholder too narrow for the parameter.
//
// Policy: at most one command per client kind per pass, Device first. The
// command text is written to the port first; the client hears "taken"
// (command + 100) only once the device has taken the text: at once when it
// does, else on the pass that finds the text gone from the port's output
// queue, and "not taken" (command + 1000) when the queue was dropped with it
// (the port's own report says why). Meanwhile no other command of that
// client kind is taken, so each command that the client leaves in its slot
// gets exactly one answer. A port whose
// output has not moved for CommandStallLimit refuses the command at once,
// with an error-log line. A channel not on a serial port, a parameter that
// does not fit and a write that fails are answered "not taken"; a failed
// write is then raised on to the pass (a closed port's 8012 only turns the
// error lamp off). On a database request channel a command waits, pending,
// while a reply is being paced out of TxBuffer, and goes behind it; no
// further request is served meanwhile (CommandWaitsForLine), so the replies
// already queued drain and the command is not held back for ever. A
// client that replaces or withdraws a held command is answered for what its
// slot holds now, never with the old command's answer. A
// disabled entry holds the command unanswered, looked up again on every pass.
// Every answer, and every held command, republishes the channel's weights and
// status in full.
#include <chrono>
#include <cstdint>
#include <string>

#include "config/protocol_definition.h"
#include "engine/commands/command_text.h"
#include "engine/engine_steps.h"
#include "engine/scan_surroundings.h"
#include "platform/opc/opc_item_store.h"

namespace tarvex {

// The OPC item positions of a channel's command handshake.
namespace OPCCommandItem {
constexpr int16_t Cmd = 4;
constexpr int16_t CmdParm = 5;
constexpr int16_t CmdStat = 6;
}  // namespace OPCCommandItem

// Output that has waited this long without the device taking a byte: the
// line is stalled, and a command is refused rather than queued.
inline constexpr std::chrono::milliseconds CommandStallLimit{500};

class ClientCommandStep final : public ChannelStep {
public:
  // items: the channel's OPC items, read for the command and written back.
  ClientCommandStep(ScanSurroundings& services, OpcItemStore& items) : s_(services), items_(items) {}

  void Serve(int32_t ch) override;

private:
  struct Answer;
  void DeviceStage(int32_t ch);
  void OPCStage(int32_t ch);
  Answer DeviceAnswer(int32_t ch);
  Answer OPCAnswer(int32_t ch);
  // Answers the stage's command whose bytes were waiting on the line, once
  // they have left; True while there was one (answered now or not). A held
  // command the client no longer has in its slot (command, status) is let go
  // unanswered.
  bool AnswerCommandOnTheLine(int32_t ch, const Answer& stage, double command, double status);
  // No reply is being paced out in front of where a command would go.
  bool LineFree(int32_t ch);
  // Runs a pending command through selection and answers it on the stage's
  // own targets.
  void TakeCommand(int32_t ch, double command, double parameter, const Answer& stage);
  // Refuses or sends a command whose entry is enabled, and answers it.
  void Deliver(int32_t ch, double command, const CommandDecision& decision, const Answer& stage);
  void Republish(int32_t ch);
  void SendToPort(int32_t ch, const std::string& bytes);
  void ShowSent(int32_t ch, const CommandDecision& decision);
  void TransmitIndicatorOff(int32_t ch);

  ScanSurroundings& s_;
  OpcItemStore& items_;
};

}  // namespace tarvex
