#include "ClRuleGenkashokyaku.h"

#include <cstring>
#include <vector>

#include "hostsession.h"
#include "taskalloc.h"

// The open walks of one rule object: the asset walk and the breakdown lines
// of one lump-sum asset. Its statements belong to the session it was opened on.
struct ClRuleGenkashokyaku::Walk : HostStatementOwner {
  explicit Walk(HostSession* s) : session(s) { session->Register(this); }
  ~Walk() override {
    if (session) session->Unregister(this);
  }
  void DropStatements() override {
    assets.Finalize();
    lineQuery.Finalize();
    session = nullptr;
  }

  HostSession* session;
  long long cid = 0;
  HostStmt assets;   // rows of the company from seq ?2 on, in ledger order
  HostRowTarget target;  // where a step of assets puts its row
  long count = 0;    // assets of the walk
  long next = -1;    // index the next step of assets delivers (-1: none)
  HostStmt lineQuery;  // breakdown lines of asset (?1, ?2), prepared on first use
  std::vector<StIKKATSUINFO> lines;  // breakdown lines prepared
};

ClRuleGenkashokyaku::ClRuleGenkashokyaku() = default;

ClRuleGenkashokyaku::~ClRuleGenkashokyaku() = default;

void ClRuleGenkashokyaku::AttachSetMgr(ClSetMgr* setMgr) { setMgr_ = setMgr; }

void ClRuleGenkashokyaku::AttachOptLink(ClOptLink* optLink) { optLink_ = optLink; }

void ClRuleGenkashokyaku::SetCurDataID(const char* dataId) {
  walk_.reset();
  std::memset(dataId_, 0, sizeof dataId_);
  if (dataId != nullptr) std::memcpy(dataId_, dataId, strnlen(dataId, sizeof dataId_ - 1));
}

long ClRuleGenkashokyaku::MoveReady(StFINDINFO* find, int sortType, int) {
  walk_.reset();
  HostSession* session = HostSession::Current();
  long long cid = 0;
  if (session == nullptr || find != nullptr || sortType != 0) return -1;
  if (session->FindCompany(dataId_, &cid) != 1) return -1;
  // The walk visits the rows the store holds; their numbers run from 0 up
  // without a gap, which Move checks step by step.
  HostStmt rows(session->db(), "SELECT count(*) FROM assets WHERE cid = ?");
  if (!rows.ok()) return -1;
  sqlite3_bind_int64(rows.get(), 1, cid);
  if (sqlite3_step(rows.get()) != SQLITE_ROW) return -1;
  long long held = sqlite3_column_int64(rows.get(), 0);
  if (held < 0 || held > kMaxAssetSeq + 1) return -1;
  auto walk = std::make_unique<Walk>(session);
  walk->cid = cid;
  walk->count = static_cast<long>(held);
  walk->assets = HostStmt(session->db(), "SELECT seq, " +
                                             HostRowColumn(3, kAssetFields, kAssetFieldCount) +
                                             " FROM assets WHERE cid = ?1 AND seq >= ?2 ORDER BY seq");
  walk->target.fields = kAssetFields;
  walk->target.count = kAssetFieldCount;
  if (!walk->assets.ok() || !BindHostRowTarget(walk->assets.get(), 3, &walk->target)) return -1;
  walk_ = std::move(walk);
  return 0;
}

long ClRuleGenkashokyaku::GetCount() { return walk_ && walk_->session ? walk_->count : 0; }

long ClRuleGenkashokyaku::Move(long index, StKOTEISHISANINFO* asset, StKOTEINENINFO* year,
                               StKOTEITSUKIINFO*) {
  if (!walk_ || walk_->session == nullptr || index < 0 || index >= walk_->count) return -1;
  sqlite3_stmt* stmt = walk_->assets.get();
  if (index != walk_->next) {
    sqlite3_reset(stmt);
    sqlite3_bind_int64(stmt, 1, walk_->cid);
    sqlite3_bind_int64(stmt, 2, index);
  }
  walk_->next = -1;
  // The step fills the records, from the row numbered index only.
  walk_->target.expected = index;
  walk_->target.records[0] = asset;
  walk_->target.records[1] = year;
  if (sqlite3_step(stmt) != SQLITE_ROW || sqlite3_column_int64(stmt, 0) != index ||
      sqlite3_column_int(stmt, 1) != 1) {
    sqlite3_reset(stmt);
    return -1;
  }
  if (asset != nullptr) MakeAssetKey(walk_->cid, index, asset->abAssetKey);
  walk_->next = index + 1;
  // The read ends after each stretch and after the last row, so that
  // another program can write the store in between; the next Move seeks.
  if ((index + 1) % kWalkRowsPerRead == 0 || index + 1 == walk_->count) {
    sqlite3_reset(stmt);
    walk_->next = -1;
  }
  return 0;
}

long ClRuleGenkashokyaku::MoveReadyIkkatsu(const BYTE key[16]) {
  HostSession* session = HostSession::Current();
  if (session == nullptr) return -1;
  if (!walk_ || walk_->session == nullptr) walk_ = std::make_unique<Walk>(session);
  walk_->lines.clear();
  long long cid = 0, seq = 0;
  if (key == nullptr || !ParseAssetKey(key, &cid, &seq)) return 0;
  HostStmt& lines = walk_->lineQuery;
  if (!lines.ok()) {
    lines = HostStmt(session->db(), "SELECT " +
                                        HostFieldColumns(kBreakdownFields, kBreakdownFieldCount, "") +
                                        " FROM breakdowns WHERE cid = ?1 AND asset_seq = ?2 ORDER BY seq");
    if (!lines.ok()) return -1;
  }
  sqlite3_bind_int64(lines.get(), 1, cid);
  sqlite3_bind_int64(lines.get(), 2, seq);
  int rc;
  while ((rc = sqlite3_step(lines.get())) == SQLITE_ROW) {
    StIKKATSUINFO line{};
    void* const records[1] = {&line};
    ReadHostFields(lines.get(), 0, kBreakdownFields, kBreakdownFieldCount, records);
    walk_->lines.push_back(line);
  }
  lines.Reset();
  if (rc != SQLITE_DONE) {
    walk_->lines.clear();
    return -1;
  }
  return 0;
}

long ClRuleGenkashokyaku::GetIkkatsuCount(long* count) {
  if (count != nullptr) *count = walk_ ? static_cast<long>(walk_->lines.size()) : 0;
  return 0;
}

long ClRuleGenkashokyaku::MoveIkkatsu(long index, StIKKATSUINFO* line) {
  if (!walk_ || index < 0 || static_cast<size_t>(index) >= walk_->lines.size() || line == nullptr) {
    return -1;
  }
  const StIKKATSUINFO& from = walk_->lines[static_cast<size_t>(index)];
  char number[sizeof line->szBreakdownNo];
  std::memcpy(number, line->szBreakdownNo, sizeof number);
  *line = from;
  std::memcpy(line->szBreakdownNo, number, sizeof number);
  return 0;
}

long ClRuleGenkashokyaku::MoveFinishIkkatsu() {
  if (walk_) walk_->lines.clear();
  return 0;
}

long ClRuleGenkashokyaku::MoveFinish() {
  walk_.reset();
  return 0;
}

long ClRuleGenkashokyaku::LoadShisanKubunInfo(StSHISANKUBUNINFO** array, long* count) {
  if (array) *array = nullptr;
  if (count) *count = 0;
  HostSession* session = HostSession::Current();
  long long cid = 0;
  if (session == nullptr || array == nullptr || count == nullptr) return -1;
  int company = session->FindCompany(dataId_, &cid);
  if (company != 1) return company;
  HostStmt kinds(session->db(), "SELECT " + HostFieldColumns(kKindFields, kKindFieldCount, "") +
                                    " FROM asset_kinds WHERE cid = ? ORDER BY seq");
  if (!kinds.ok()) return -1;
  sqlite3_bind_int64(kinds.get(), 1, cid);
  std::vector<StSHISANKUBUNINFO> found;
  int rc;
  while ((rc = sqlite3_step(kinds.get())) == SQLITE_ROW) {
    StSHISANKUBUNINFO kind{};
    void* const records[1] = {&kind};
    ReadHostFields(kinds.get(), 0, kKindFields, kKindFieldCount, records);
    found.push_back(kind);
  }
  if (rc != SQLITE_DONE) return -1;
  if (found.empty()) return 0;
  void* block = CoTaskMemAlloc(found.size() * sizeof(StSHISANKUBUNINFO));
  if (block == nullptr) return -1;
  std::memcpy(block, found.data(), found.size() * sizeof(StSHISANKUBUNINFO));
  *array = static_cast<StSHISANKUBUNINFO*>(block);
  *count = static_cast<long>(found.size());
  return 0;
}
