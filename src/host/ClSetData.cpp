#include "ClSetData.h"

#include "hostsession.h"

int ClSetData::GetDatCursor(LONG* cursor) {
  HostSession* session = HostSession::Current();
  if (cursor == nullptr) return -1;
  *cursor = 0;
  if (session == nullptr) return -1;
  HostSession::DataCursor walk;
  StoreError error = session->store()->ListCompanies(&walk.companies);
  session->NoteError(error);
  if (!error.ok()) return -1;
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
  it->second.next = 0;
  return 0;
}

int ClSetData::WalkDat(StDATAINFO* info, LONG cursor) {
  HostSession* session = HostSession::Current();
  if (session == nullptr || info == nullptr) return -1;
  auto it = session->cursors().find(cursor);
  if (it == session->cursors().end()) return -1;
  HostSession::DataCursor& walk = it->second;
  if (walk.next >= walk.companies.size()) return 1;
  *info = walk.companies[walk.next++];
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
