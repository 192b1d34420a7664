#include "pseudoterminal.h"

#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

PseudoTerminal::PseudoTerminal() {
  int slave = -1;
  if (openpty(&master_, &slave, nullptr, nullptr, nullptr) != 0) {
    master_ = -1;
    return;
  }
  terminal_ = fdopen(slave, "w");
  if (terminal_ == nullptr) close(slave);
}

PseudoTerminal::~PseudoTerminal() {
  if (terminal_ != nullptr) std::fclose(terminal_);
  if (master_ >= 0) close(master_);
}

std::string PseudoTerminal::CloseAndRead() {
  std::string seen;
  if (terminal_ != nullptr) std::fclose(terminal_);
  terminal_ = nullptr;
  if (master_ < 0) return seen;
  // With the terminal side closed the reads end (EIO) after the last byte.
  char buffer[512];
  ssize_t n;
  while ((n = read(master_, buffer, sizeof buffer)) > 0) seen.append(buffer, static_cast<size_t>(n));
  close(master_);
  master_ = -1;
  return seen;
}

bool PseudoTerminal::SetColumns(int columns) {
  struct winsize size = {};
  size.ws_row = 24;
  size.ws_col = static_cast<unsigned short>(columns);
  return master_ >= 0 && ioctl(master_, TIOCSWINSZ, &size) == 0;
}
