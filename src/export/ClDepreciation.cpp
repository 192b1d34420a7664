#include "ClDepreciation.h"

#include <cstring>
#include <new>

#include "ClDataMgr.h"
#include "ClLinkMgr.h"
#include "ClRuleGenkashokyaku.h"
#include "ClSetData.h"
#include "hostcodes.h"
#include "taskalloc.h"

ClDepreciation::ClDepreciation() = default;

// The members go in reverse order after the walk has ended: the files close,
// then the rule object is deleted, then the path freed.
ClDepreciation::~ClDepreciation() {
  if (m_pRule) m_pRule->MoveFinish();
}

BOOL ClDepreciation::EnsureRule(const StDATAINFO* data) {
  if (m_bWrongCompany) return FALSE;
  // The company the walk reads: the one given, else the host's selection.
  ClDataMgr* dataMgr = ClDataMgr::Inst(nullptr);
  const char* dataId = nullptr;
  if (m_bOwnCompany) {
    dataId = m_company.szDataID;
  } else if (ClSetData* setData = dataMgr->GetSetObject(5, 1)) {
    dataId = setData->GetSelectedInfo()->szDataID;
  }
  // The preamble comes from the record handed to the stages: a record of
  // another company would put its name over the assets of this one.
  if (data != nullptr && (dataId == nullptr || strncmp(dataId, data->szDataID, sizeof data->szDataID) != 0)) {
    m_bWrongCompany = TRUE;
    m_pRule.reset();
    return FALSE;
  }
  if (m_pRule) return TRUE;
  m_pRule.reset(new (std::nothrow) ClRuleGenkashokyaku);
  if (!m_pRule) return FALSE;
  m_pRule->AttachSetMgr(dataMgr->GetSetMgr());
  if (dataId != nullptr) m_pRule->SetCurDataID(dataId);
  m_pRule->AttachOptLink(ClLinkMgr::Inst()->GetOptLink());
  return TRUE;
}

void ClDepreciation::SetCompany(const StDATAINFO& data) {
  std::memcpy(&m_company, &data, sizeof m_company);
  m_bOwnCompany = true;
}

void ClDepreciation::SetObserver(ClExportObserver* observer) {
  m_pObserver = observer;
  m_clCSVEdit.SetObserver(observer);
}

int ClDepreciation::OutputPreamble(StDATAINFO* data) {
  if (m_pPrepared != nullptr) {
    m_clCSVEdit.BeginOutput(m_pPrepared);
  } else {
    m_clCSVEdit.BeginOutput(m_strOutputPath.c_str());
  }
  m_clCSVEdit.OpenOutput(ClCSVEdit::OF_LOG, m_strOutputPath.c_str());
  m_clCSVEdit.OpenOutput(ClCSVEdit::OF_ASSET, m_strOutputPath.c_str());
  m_clCSVEdit.WritePreamble(data);
  return 1;
}

int ClDepreciation::OutputAssets(StDATAINFO* data) {
  if (!EnsureRule(data)) return 0;
  try {
    // A record the host cannot deliver ends the walk: a row of it would be
    // wrong, and the rows after it would go without it. So does a failed
    // write, which the rest of the rows would not reach.
    long count = m_pRule->MoveReady(nullptr, 0, 0) == 0 ? m_pRule->GetCount() : -1;
    if (count < 0) m_uHostFailures |= kHostLedger;
    StKOTEISHISANINFO asset;
    StKOTEINENINFO year;
    StKOTEITSUKIINFO months;
    StIKKATSUINFO line;
    m_bCancelled = m_pObserver != nullptr && !m_pObserver->OnAssetsDone(0, count);
    for (long i = 0; i < count && !m_bCancelled && !m_clCSVEdit.HasFileFailed(ClCSVEdit::OF_ASSET);
         ++i) {
      std::memset(&asset, 0, sizeof asset);
      std::memset(&year, 0, sizeof year);
      std::memset(&months, 0, sizeof months);
      if (m_pRule->Move(i, &asset, &year, &months) != 0) {
        m_uHostFailures |= kHostLedger;
        break;
      }
      ++m_tally.assets;
      m_clCSVEdit.SetCurrentAsset(&asset);
      if (asset.nMethod == kMethodLumpSum) {
        long before = m_clCSVEdit.GetRowsWritten();
        BOOL read = m_clCSVEdit.WriteBreakdownRows(m_pRule.get(), &asset);
        m_tally.breakdown_rows += m_clCSVEdit.GetRowsWritten() - before;
        if (!read) {
          m_uHostFailures |= kHostBreakdowns;
          break;
        }
      } else {
        std::memset(&line, 0, sizeof line);
        m_clCSVEdit.WriteAssetRow(&asset, &year, &months, &line, data);
      }
      m_bCancelled = m_pObserver != nullptr && !m_pObserver->OnAssetsDone(i + 1, count);
    }
  } catch (int) {
    // The decimal overflow failure: no further rows; the files close below.
    m_bOverflow = TRUE;
  }
  if (m_uHostFailures != 0) m_clCSVEdit.MarkFailed(ClCSVEdit::OF_ASSET);
  m_clCSVEdit.SetCurrentAsset(nullptr);
  m_tally.rows = m_clCSVEdit.GetRowsWritten();
  if (m_bCancelled) {
    // A cancelled export leaves its files as a failed one does: incomplete,
    // so nothing of it takes the place of an earlier export.
    m_clCSVEdit.MarkFailed(ClCSVEdit::OF_ASSET);
    m_clCSVEdit.MarkFailed(ClCSVEdit::OF_LOG);
  }
  m_clCSVEdit.CloseOutput(ClCSVEdit::OF_ASSET);
  return 1;
}

int ClDepreciation::OutputAssetKinds(StDATAINFO* data) {
  if (m_bCancelled) return 1;
  m_clCSVEdit.OpenOutput(ClCSVEdit::OF_KIND, m_strOutputPath.c_str());
  m_clCSVEdit.WriteKindHeader(data);
  if (!EnsureRule(data)) return 0;
  StSHISANKUBUNINFO* kinds = nullptr;
  long count = 0;
  if (m_pRule->LoadShisanKubunInfo(&kinds, &count) != 0) {
    m_uHostFailures |= kHostKinds;
    m_clCSVEdit.MarkFailed(ClCSVEdit::OF_KIND);
  }
  try {
    for (long i = 0; kinds != nullptr && i < count; ++i) {
      m_clCSVEdit.WriteKindRow(&kinds[i]);
      ++m_tally.kinds;
    }
  } catch (int) {
    // The decimal overflow failure: the file lacks the rows from here on.
    m_bKindOverflow = TRUE;
  }
  m_clCSVEdit.CloseOutput(ClCSVEdit::OF_KIND);
  m_clCSVEdit.CloseOutput(ClCSVEdit::OF_LOG);
  if (kinds != nullptr) CoTaskMemFree(kinds);
  return 1;
}

int ClDepreciation::CommitOutput() {
  // Rows missing after an overflow, a cancel or without the rule object:
  // nothing goes in place.
  return m_clCSVEdit.CommitOutput(!m_bOverflow && !m_bKindOverflow && !m_bCancelled &&
                                  (m_pRule != nullptr || m_bHadRule));
}

void ClDepreciation::EndHostWork() {
  if (!m_pRule) return;
  m_pRule->MoveFinish();
  m_pRule.reset();
  m_bHadRule = true;
}

FsError ClDepreciation::GetFailureCause(unsigned bit) const {
  for (int file = ClCSVEdit::OF_ASSET; file <= ClCSVEdit::OF_LOG; ++file) {
    if (bit != 1u << file) continue;
    FsError cause = m_clCSVEdit.GetFailureCause(static_cast<ClCSVEdit::OutputFile>(file));
    if (cause == FsError::kNone && bit == kFailedKind && m_bKindOverflow) cause = FsError::kOther;
    return cause;
  }
  return FsError::kNone;
}

unsigned ClDepreciation::GetFileFailures() const {
  unsigned failures = m_bKindOverflow ? kFailedKind : 0;
  for (int file = ClCSVEdit::OF_ASSET; file <= ClCSVEdit::OF_LOG; ++file) {
    if (m_clCSVEdit.HasFileFailed(static_cast<ClCSVEdit::OutputFile>(file))) failures |= 1u << file;
  }
  return failures;
}
