#include "programstart.h"

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

// A terminal shows UTF-8 as it is.
void PrepareConsole() {}
