#include "frontend.h"

// A desktop is there when the process's window station is the interactive
// one (not a service's).
bool DisplayAvailable() {
  USEROBJECTFLAGS flags = {};
  HWINSTA station = GetProcessWindowStation();
  return station != nullptr &&
         GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr) &&
         (flags.dwFlags & WSF_VISIBLE) != 0;
}
