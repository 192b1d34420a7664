#include "ClSaveTextIO.h"

#include <cstring>

#include "hostsession.h"

namespace {
// The group name of info when it ends within its 10 bytes; else false.
bool GroupOf(const StTEXTIOSAVEINFO* info, std::string* group) {
  size_t n = strnlen(info->szGroup, sizeof info->szGroup);
  if (n == sizeof info->szGroup) return false;
  group->assign(info->szGroup, n);
  return true;
}
}  // namespace

ClSaveTextIO::ClSaveTextIO() = default;

ClSaveTextIO::~ClSaveTextIO() = default;

void ClSaveTextIO::AttachSetMgr(ClSetMgr*) {}

void ClSaveTextIO::SetCurDataID(const unsigned char* dataId) {
  std::memset(dataId_, 0, sizeof dataId_);
  if (dataId == nullptr) return;
  const char* text = reinterpret_cast<const char*>(dataId);
  std::memcpy(dataId_, text, strnlen(text, sizeof dataId_ - 1));
}

long ClSaveTextIO::GetData(StTEXTIOSAVEINFO* info) {
  HostSession* session = HostSession::Current();
  std::string group;
  if (session == nullptr || info == nullptr || dataId_[0] == '\0' || !GroupOf(info, &group)) {
    return -1;
  }
  HostStmt find(session->db(),
                "SELECT entries FROM text_orders WHERE data_id = ? AND group_name = ?");
  if (!find.ok()) return -1;
  sqlite3_bind_text(find.get(), 1, dataId_, -1, SQLITE_STATIC);
  sqlite3_bind_blob(find.get(), 2, group.data(), static_cast<int>(group.size()), SQLITE_STATIC);
  if (sqlite3_step(find.get()) != SQLITE_ROW) return -1;
  size_t bytes = static_cast<size_t>(sqlite3_column_bytes(find.get(), 0));
  if (bytes % sizeof(int32_t) != 0 || bytes > sizeof info->alEntries) return -1;
  if (bytes > 0) std::memcpy(info->alEntries, sqlite3_column_blob(find.get(), 0), bytes);
  info->nCount = static_cast<int16_t>(bytes / sizeof(int32_t));
  return 0;
}

long ClSaveTextIO::SetData(const StTEXTIOSAVEINFO* info) {
  HostSession* session = HostSession::Current();
  std::string group;
  if (session == nullptr || info == nullptr || dataId_[0] == '\0' || !GroupOf(info, &group) ||
      info->nCount < 0 || info->nCount > 256) {
    return -1;
  }
  // The session reads only; a save opens the store for writing just for it.
  sqlite3* db = nullptr;
  std::string detail;
  if (OpenHostStore(session->path(), true, &db, &detail) != HOST_OPEN_OK) return -1;
  long result = -1;
  {
    HostStmt put(db, "INSERT OR REPLACE INTO text_orders VALUES(?, ?, ?)");
    if (put.ok()) {
      sqlite3_bind_text(put.get(), 1, dataId_, -1, SQLITE_STATIC);
      sqlite3_bind_blob(put.get(), 2, group.data(), static_cast<int>(group.size()), SQLITE_STATIC);
      sqlite3_bind_blob(put.get(), 3, info->alEntries,
                        static_cast<int>(info->nCount * sizeof(int32_t)), SQLITE_STATIC);
      if (sqlite3_step(put.get()) == SQLITE_DONE) result = 0;
    }
  }
  sqlite3_close(db);
  return result;
}
