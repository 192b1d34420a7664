// The desktop toolkit's own warnings (settings it cannot save, themes it
// cannot find) kept off the user's terminal.
#pragma once

// Before the toolkit starts: without a session bus, settings are kept in
// memory (they could not be saved anyway), and the toolkit's warnings and
// lesser messages go to the desktop trace when it is on, else nowhere;
// critical messages and errors still reach the standard error.
void KeepToolkitWarningsOffTerminal();
