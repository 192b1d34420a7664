#include "savedsettings.h"

#include <cstring>

#include "ClSaveTextIO.h"
#include "hostsession.h"

namespace {

class HostSavedSettings : public ClSaveTextIOStore {
 public:
  long GetData(const char* dataId, const char* group, StTEXTIOSAVEINFO* info) override;
  long SetData(const char* dataId, const char* group, const StTEXTIOSAVEINFO* info) override;
};

long HostSavedSettings::GetData(const char* dataId, const char* group, StTEXTIOSAVEINFO* info) {
  HostSession* session = HostSession::Current();
  if (session == nullptr) return -1;
  HostStmt find(session->db(),
                "SELECT entries FROM text_orders WHERE data_id = ? AND group_name = ?");
  if (!find.ok()) return -1;
  sqlite3_bind_text(find.get(), 1, dataId, -1, SQLITE_STATIC);
  sqlite3_bind_blob(find.get(), 2, group, static_cast<int>(std::strlen(group)), SQLITE_STATIC);
  if (sqlite3_step(find.get()) != SQLITE_ROW) return -1;
  size_t bytes = static_cast<size_t>(sqlite3_column_bytes(find.get(), 0));
  if (bytes % sizeof(int32_t) != 0 || bytes > sizeof info->alEntries) return -1;
  if (bytes > 0) std::memcpy(info->alEntries, sqlite3_column_blob(find.get(), 0), bytes);
  info->nCount = static_cast<int16_t>(bytes / sizeof(int32_t));
  return 0;
}

long HostSavedSettings::SetData(const char* dataId, const char* group,
                                const StTEXTIOSAVEINFO* info) {
  HostSession* session = HostSession::Current();
  if (session == nullptr) return -1;
  // The session reads only; a save opens the store for writing just for it.
  sqlite3* db = nullptr;
  std::string detail;
  if (OpenHostStore(session->path(), true, &db, &detail) != HOST_OPEN_OK) return -1;
  long result = -1;
  {
    HostStmt put(db, "INSERT OR REPLACE INTO text_orders VALUES(?, ?, ?)");
    if (put.ok()) {
      sqlite3_bind_text(put.get(), 1, dataId, -1, SQLITE_STATIC);
      sqlite3_bind_blob(put.get(), 2, group, static_cast<int>(std::strlen(group)), SQLITE_STATIC);
      sqlite3_bind_blob(put.get(), 3, info->alEntries,
                        static_cast<int>(info->nCount * sizeof(int32_t)), SQLITE_STATIC);
      if (sqlite3_step(put.get()) == SQLITE_DONE) result = 0;
    }
  }
  sqlite3_close(db);
  return result;
}

}  // namespace

void UseHostSavedSettings() {
  static HostSavedSettings store;
  ClSaveTextIO::SetStore(&store);
}
