#pragma once

#include "shell/services.h"

#include <memory>

namespace brindle {

class frmMain;

// Start-up: creates the shared connection and command, resets the
// process-wide variables, shows the main window, runs the connection dialog,
// opens the first document, fills the table list and shows the connected
// data source. A failure is shown in the error box and ends start-up at that
// step; windows already shown stay. Returns the main window, or nothing when
// it could not be created.
std::unique_ptr<frmMain> Main(const Services& services);

} // namespace brindle
