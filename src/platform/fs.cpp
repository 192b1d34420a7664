#include "fs.h"

namespace {
Fs* g_current = nullptr;
thread_local FsError g_last_error = FsError::kNone;
}  // namespace

Fs* Fs::Default() { return g_current != nullptr ? g_current : System(); }

FsError Fs::LastError() { return g_last_error; }

void Fs::SetLastError(FsError error) { g_last_error = error; }

ScopedFs::ScopedFs(Fs* fs) : previous_(g_current) { g_current = fs; }

ScopedFs::~ScopedFs() { g_current = previous_; }
