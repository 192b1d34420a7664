#include "frontend.h"
#include "winenv.h"

bool DisplayAvailable() {
  char value[2];
  return GetEnvironmentVariableA("DISPLAY", value, sizeof value) != 0 ||
         GetEnvironmentVariableA("WAYLAND_DISPLAY", value, sizeof value) != 0;
}
