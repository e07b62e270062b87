#pragma once
// Test support: the main window over the program's own polling engine (the
// engine assembly the program builds), with an in-process terminal network,
// so the window's timers run the real scan pass and its buttons reach the
// real port, OPC client and terminal registration.
#include "app/engine_assembly.h"
#include "platform/opc/opc_item_store.h"
#include "platform/terminal_net/terminal_simulator.h"
#include "publish/dde_topics.h"
#include "tests/support/main_window_fixture.h"

namespace tarvex::test {

class EngineWindowTest : public MainWindowTest {
protected:
  EngineWindowTest() {
    engine.through = &assembly.Engine();
    seams.window.Set(window.get());
  }
  ~EngineWindowTest() override { seams.window.Set(nullptr); }

  DdeTopicStore topics;
  OpcItemStore opcItems;
  TerminalSimulator network;
  SimulatedTerminalNet net{network};
  RecordingSpeech speech;
  WindowSeams seams;
  EngineAssembly assembly{{engineState, config, startup, handover, publication, state.Values, handshake, topics,
                           opcItems, cfg, log, boxes, clock, scratch.folder(), speech, ports, net, seams}};
};

}  // namespace tarvex::test
