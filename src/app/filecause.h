// The reason a file of an export could not be written, as the failure
// message states it.
#pragma once
#include "fs.h"

// The Japanese sentence (code page 932) that names error as the cause of a
// failed output file: disk full, access denied, I/O error, another export
// writing into the folder, and so on. Never null; "" for FsError::kNone.
const char* FileFailureCause(FsError error);
// The same for a failed save of the settings file: another run saving into
// it is named as such. Never null or "".
const char* SettingsFailureCause(FsError error);
