// The desktop front end is not part of this build.
#include "frontend.h"
#include "messages.h"

std::unique_ptr<FrontEnd> CreateDesktopFrontEnd(std::string* why) {
  if (why != nullptr) *why = Tr("this velor was built without the desktop front end (VELOR_DESKTOP=OFF)");
  return nullptr;
}
