#include "ClSetData.h"

#include "hostsession.h"

int ClSetData::GetDatCursor(LONG* cursor) {
  HostSession* session = HostSession::Current();
  if (cursor == nullptr) return -1;
  *cursor = 0;
  if (session == nullptr) return -1;
  HostStmt walk(session->db(), std::string("SELECT ") + kDataInfoColumns +
                                   " FROM companies WHERE data_no IS NOT NULL ORDER BY data_no");
  if (!walk.ok()) return -1;
  LONG handle = session->NewCursorHandle();
  session->cursors().emplace(handle, std::move(walk));
  *cursor = handle;
  return 0;
}

int ClSetData::ReadyDat(LONG cursor, int) {
  HostSession* session = HostSession::Current();
  if (session == nullptr) return -1;
  auto it = session->cursors().find(cursor);
  if (it == session->cursors().end()) return -1;
  it->second.Reset();
  return 0;
}

int ClSetData::WalkDat(StDATAINFO* info, LONG cursor) {
  HostSession* session = HostSession::Current();
  if (session == nullptr || info == nullptr) return -1;
  auto it = session->cursors().find(cursor);
  if (it == session->cursors().end()) return -1;
  int rc = sqlite3_step(it->second.get());
  if (rc != SQLITE_ROW) return rc == SQLITE_DONE ? 1 : -1;
  FillDataInfo(it->second.get(), 0, info);
  return 0;
}

int ClSetData::ReleaseDatCursor(LONG cursor) {
  HostSession* session = HostSession::Current();
  if (session != nullptr) session->cursors().erase(cursor);
  return 0;
}

StDATAINFO* ClSetData::GetSelectedInfo() {
  static StDATAINFO none;
  HostSession* session = HostSession::Current();
  if (session == nullptr) {
    none = StDATAINFO{};
    return &none;
  }
  return session->selected();
}
