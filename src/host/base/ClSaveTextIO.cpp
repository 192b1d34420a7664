#include "ClSaveTextIO.h"

#include <cstring>

namespace {
ClSaveTextIOStore* g_store = nullptr;

// Whether the group name of info ends within its 10 bytes.
bool HasGroup(const StTEXTIOSAVEINFO* info) {
  return strnlen(info->szGroup, sizeof info->szGroup) < sizeof info->szGroup;
}
}  // namespace

ClSaveTextIO::ClSaveTextIO() = default;

ClSaveTextIO::~ClSaveTextIO() = default;

void ClSaveTextIO::SetStore(ClSaveTextIOStore* store) { g_store = store; }

void ClSaveTextIO::AttachSetMgr(ClSetMgr*) {}

void ClSaveTextIO::SetCurDataID(const unsigned char* dataId) {
  std::memset(dataId_, 0, sizeof dataId_);
  if (dataId == nullptr) return;
  const char* text = reinterpret_cast<const char*>(dataId);
  std::memcpy(dataId_, text, strnlen(text, sizeof dataId_ - 1));
}

long ClSaveTextIO::GetData(StTEXTIOSAVEINFO* info) {
  if (g_store == nullptr || info == nullptr || dataId_[0] == '\0' || !HasGroup(info)) return -1;
  return g_store->GetData(dataId_, info->szGroup, info);
}

long ClSaveTextIO::SetData(const StTEXTIOSAVEINFO* info) {
  if (g_store == nullptr || info == nullptr || dataId_[0] == '\0' || !HasGroup(info) ||
      info->nCount < 0 || info->nCount > 256) {
    return -1;
  }
  return g_store->SetData(dataId_, info->szGroup, info);
}
