#include "consolectrl.h"

#include <csignal>

namespace {

PHANDLER_ROUTINE g_handler = nullptr;
struct sigaction g_previous;

void OnInterrupt(int) {
  PHANDLER_ROUTINE handler = g_handler;
  if (handler == nullptr || !handler(CTRL_C_EVENT)) {
    // Not handled: Ctrl-C ends the process as it would have.
    signal(SIGINT, SIG_DFL);
    raise(SIGINT);
  }
}

}  // namespace

BOOL SetConsoleCtrlHandler(PHANDLER_ROUTINE handler, BOOL add) {
  if (add) {
    if (g_handler != nullptr || handler == nullptr) return FALSE;
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // Reads and writes go on after the handler has set its flag.
    action.sa_flags = SA_RESTART;
    if (sigaction(SIGINT, &action, &g_previous) != 0) return FALSE;
    g_handler = handler;
    return TRUE;
  }
  if (handler != g_handler || handler == nullptr) return FALSE;
  if (sigaction(SIGINT, &g_previous, nullptr) != 0) return FALSE;
  g_handler = nullptr;
  return TRUE;
}
