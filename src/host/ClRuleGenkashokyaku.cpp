#include "ClRuleGenkashokyaku.h"

#include <cstring>
#include <vector>

#include "assetkey.h"
#include "hostsession.h"
#include "taskalloc.h"

// The open walks of one rule object: the asset walk and the breakdown lines
// of one lump-sum asset. Its walk belongs to the store of the session it was
// opened on.
struct ClRuleGenkashokyaku::Walk : HostStatementOwner {
  explicit Walk(HostSession* s) : session(s) { session->Register(this); }
  ~Walk() override {
    if (session) session->Unregister(this);
  }
  void DropStatements() override {
    assets.reset();
    session = nullptr;
  }

  HostSession* session;
  long long cid = 0;
  std::unique_ptr<AssetWalk> assets;  // open from index next on
  long count = 0;    // assets of the walk
  long next = -1;    // index the next step of assets delivers (-1: none)
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
  long held = 0;
  StoreError error = session->store()->CountAssets(cid, &held);
  session->NoteError(error);
  if (!error.ok() || held < 0 || held > kMaxAssetSeq + 1) return -1;
  auto walk = std::make_unique<Walk>(session);
  walk->cid = cid;
  walk->count = held;
  walk_ = std::move(walk);
  return 0;
}

long ClRuleGenkashokyaku::GetCount() { return walk_ && walk_->session ? walk_->count : 0; }

long ClRuleGenkashokyaku::Move(long index, StKOTEISHISANINFO* asset, StKOTEINENINFO* year,
                               StKOTEITSUKIINFO*) {
  if (!walk_ || walk_->session == nullptr || index < 0 || index >= walk_->count) return -1;
  HostSession* session = walk_->session;
  StoreError error;
  if (index != walk_->next || !walk_->assets) {
    walk_->assets.reset();
    error = session->store()->WalkAssets(walk_->cid, index, &walk_->assets);
  }
  walk_->next = -1;
  long long seq = -1;
  bool got = false;
  if (error.ok()) error = walk_->assets->Next(&seq, asset, year, &got);
  session->NoteError(error);
  if (!error.ok() || !got || seq != index) {
    walk_->assets.reset();
    return -1;
  }
  if (asset != nullptr) MakeAssetKey(walk_->cid, index, asset->abAssetKey);
  walk_->next = index + 1;
  // The walk ends after the last row, so that the store is not held open.
  if (index + 1 == walk_->count) walk_->assets.reset();
  return 0;
}

long ClRuleGenkashokyaku::MoveReadyIkkatsu(const BYTE key[16]) {
  HostSession* session = HostSession::Current();
  if (session == nullptr) return -1;
  if (!walk_ || walk_->session == nullptr) walk_ = std::make_unique<Walk>(session);
  walk_->lines.clear();
  long long cid = 0, seq = 0;
  if (key == nullptr || !ParseAssetKey(key, &cid, &seq)) return 0;
  StoreError error = session->store()->ReadBreakdowns(cid, seq, &walk_->lines);
  session->NoteError(error);
  return error.ok() ? 0 : -1;
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
  std::vector<StSHISANKUBUNINFO> found;
  StoreError error = session->store()->ReadKinds(cid, &found);
  session->NoteError(error);
  if (!error.ok()) return -1;
  if (found.empty()) return 0;
  void* block = CoTaskMemAlloc(found.size() * sizeof(StSHISANKUBUNINFO));
  if (block == nullptr) return -1;
  std::memcpy(block, found.data(), found.size() * sizeof(StSHISANKUBUNINFO));
  *array = static_cast<StSHISANKUBUNINFO*>(block);
  *count = static_cast<long>(found.size());
  return 0;
}
