#include "app/engine_assembly.h"

namespace tarvex {

EngineAssembly::EngineAssembly(EngineParts p)
    : opc_(p.opcItems),
      publisher_(p.publication, p.window, p.config, p.seams.grid, p.opcItems, p.seams.detail, p.handshake),
      dde_(p.publication, p.topics),
      services_{p.engine,      p.config,     p.startup,     p.setup, p.publication, p.window,
                p.seams.grid,  publisher_,   dde_,          p.handshake, p.seams.icons, p.cfg,
                p.log,         p.speech,     p.ports,       p.net,   opc_,          clock_,
                pacing_,       p.seams.window, steps_,      errors_},
      clientCommands_(services_, p.opcItems),
      serialDBRequest_(services_, workspaces_.DefaultWorkspace, p.clock),
      terminalDBRequest_(services_, workspaces_.DefaultWorkspace, p.clock, p.seams.beeper),
      serialScaleData_(services_, p.opcItems, p.seams.detail, p.clock, p.folder),
      terminalScaleData_(services_),
      errors_(services_, p.messageBox, p.seams.grid, p.seams.beeper),
      transmit_(services_, p.seams.window),
      pass_(services_),
      engine_({pass_, p.engine, opc_, p.net, workspaces_, [this, &system = p.config.System] {
                 transmit_.TxTimer_Timer(system.TxInterval);
               }}) {}

}  // namespace tarvex
