// ClDepreciation is the export engine: it writes the asset file, the
// diagnostics log and the asset-kind file of the selected company data in
// three stages, which the caller runs once each and in order after setting
// the output path.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "ClCSVEdit.h"
#include "exportobserver.h"
#include "hostrecords.h"
#include "wintypes.h"

class ClRuleGenkashokyaku;

class ClDepreciation {
 public:
  // The asset file's full Windows path (code page 932, at most 260 bytes),
  // set by the caller before stage 1. The other files lie in its folder.
  std::string m_strOutputPath;

  // Bits of GetFileFailures, one per ClCSVEdit::OutputFile.
  static constexpr unsigned kFailedAsset = 1u << ClCSVEdit::OF_ASSET;
  static constexpr unsigned kFailedKind = 1u << ClCSVEdit::OF_KIND;
  static constexpr unsigned kFailedLog = 1u << ClCSVEdit::OF_LOG;
  // Bits of GetHostFailures, one per kind of host data the stages read.
  static constexpr unsigned kHostLedger = 1u;      // the assets with their year figures
  static constexpr unsigned kHostBreakdowns = 2u;  // the breakdown lines of lump-sum assets
  static constexpr unsigned kHostKinds = 4u;       // the asset-kind master

  // What the stages run so far have read and written.
  struct Tally {
    long assets = 0;          // assets read from the ledger
    long rows = 0;            // data rows of the asset file, breakdown rows included
    long breakdown_rows = 0;  // rows of breakdown lines of lump-sum assets
    long kinds = 0;           // rows of the asset-kind file
  };

  // Empty output path, no rule object.
  ClDepreciation();
  // Ends the host's asset walk, closes the files still open, then deletes
  // the rule object.
  virtual ~ClDepreciation();
  // Not copyable: it owns the host's rule object and open files.
  ClDepreciation(const ClDepreciation&) = delete;
  ClDepreciation& operator=(const ClDepreciation&) = delete;

  // Stage 1: locks the output folder against other exports (waiting a few
  // seconds), opens the log, then the asset file, and writes the preamble
  // and the column-title line. Always 1; a refused lock fails every file.
  int OutputPreamble(StDATAINFO* data);
  // Makes the walk of stages 2 and 3 take its company from data (copied)
  // instead of the host's selection, which stays as it is. Without it the
  // walk takes the host's selection, and a record handed to a stage that
  // names another company data fails the export (see WrongCompany).
  void SetCompany(const StDATAINFO& data);
  // Makes observer (null: none) hear of every diagnostics entry and of the
  // walk's progress, where it may cancel the export. It must outlive the
  // stages.
  void SetObserver(ClExportObserver* observer);

  // Makes stage 1 take its folder as prepared (which must stay until then
  // and be made for m_strOutputPath) instead of preparing it itself.
  void SetPreparedOutput(ClCSVEdit::PreparedOutput* prepared) { m_pPrepared = prepared; }

  // Stage 2: writes one row per asset and breakdown line, then closes the
  // asset file (the log stays open for the entries of stage 3). 1, or 0 when the host's rule object cannot be
  // created (no rows; the files stay open). A decimal overflow, host data
  // that cannot be read (see GetHostFailures), a failed write to the asset
  // file or a cancel of the observer stops the rows there; the files are
  // closed all the same, and after a cancel the asset file and the log count
  // as failed (see WasCancelled); CommitOutput closes the log then.
  int OutputAssets(StDATAINFO* data);
  // Stage 3: writes the asset-kind file, then closes it and the log. 1, or 0
  // when the rule object cannot be created (the file then holds its header
  // only and stays open). A
  // decimal overflow or a master the host cannot deliver counts as a failed
  // kind file. After a cancelled stage 2 it does nothing and returns 1.
  int OutputAssetKinds(StDATAINFO* data);

  // Stage 4: puts the three files in place at once when all were written
  // completely (an empty log removes the log there instead); otherwise (also
  // after an overflow or without the rule object) the previous files stay
  // and the new ones are removed. Gives up the folder lock. 1 put in place,
  // 0 not.
  int CommitOutput();
  // Ends the host's walk and deletes the rule object, remembering whether
  // there was one: CommitOutput then reaches the host no more and may run
  // on another thread than the stages.
  void EndHostWork();

  // The files that are missing or incomplete after the stages run so far:
  // kFailed* bits for each file whose open was refused or failed, or whose
  // close found a failed write or close (and kFailedKind when stage 3
  // stopped on the decimal overflow). Host data that could not be read
  // fails the file it belongs in. 0 when all went well.
  unsigned GetFileFailures() const;
  // The host data that the stages run so far could not read in full:
  // kHost* bits. 0 when the host delivered everything.
  unsigned GetHostFailures() const { return m_uHostFailures; }
  // Why the file of the kFailed* bit failed (FsError::kNone when it did not;
  // kOther for a decimal overflow of the kind file).
  FsError GetFailureCause(unsigned bit) const;
  // TRUE when stage 2 stopped on the decimal overflow failure: the rows
  // after the asset concerned are missing and the asset file is incomplete.
  BOOL StoppedOnOverflow() const { return m_bOverflow; }
  // TRUE when a stage was handed the record of another company data than
  // the host's selection (without SetCompany): nothing was read and nothing
  // is put in place.
  BOOL WrongCompany() const { return m_bWrongCompany; }
  // TRUE when the observer cancelled the export during stage 2.
  BOOL WasCancelled() const { return m_bCancelled; }
  // The counts of the stages run so far.
  const Tally& GetTally() const { return m_tally; }
  // What CommitOutput left in the folder: see ClCSVEdit::GetLeftFiles.
  const std::vector<LeftFile>& GetLeftFiles() const { return m_clCSVEdit.GetLeftFiles(); }

 private:
  // Creates and connects the rule object for the company of data unless it
  // exists; FALSE when it cannot be created or data names another company
  // than the one the walk would read.
  BOOL EnsureRule(const StDATAINFO* data);

  std::unique_ptr<ClRuleGenkashokyaku> m_pRule;  // created by stage 2 or 3
  ClCSVEdit m_clCSVEdit;
  BOOL m_bOverflow = FALSE;      // stage 2 stopped on the decimal overflow
  BOOL m_bKindOverflow = FALSE;  // stage 3 stopped on the decimal overflow
  unsigned m_uHostFailures = 0;  // see GetHostFailures
  BOOL m_bCancelled = FALSE;     // see WasCancelled
  BOOL m_bWrongCompany = FALSE;  // see WrongCompany
  bool m_bHadRule = false;       // EndHostWork deleted a rule object
  ClCSVEdit::PreparedOutput* m_pPrepared = nullptr;  // see SetPreparedOutput
  bool m_bOwnCompany = false;    // the walk's company is m_company (SetCompany)
  StDATAINFO m_company{};        // see SetCompany
  ClExportObserver* m_pObserver = nullptr;  // see SetObserver
  Tally m_tally;                            // see GetTally
};
