// Test helper: a pseudo-terminal, for code that writes differently to a
// terminal than to a file.
#pragma once
#include <cstdio>
#include <string>

class PseudoTerminal {
 public:
  // Opens the pair; ok() tells whether that succeeded.
  PseudoTerminal();
  // Closes what is still open.
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  bool ok() const { return terminal_ != nullptr; }
  // A stream that writes to the terminal side; null when !ok().
  FILE* terminal() const { return terminal_; }
  // Makes the terminal columns wide; false when it cannot.
  bool SetColumns(int columns);
  // Closes the terminal side and returns all bytes written to it.
  std::string CloseAndRead();

 private:
  int master_ = -1;
  FILE* terminal_ = nullptr;
};
