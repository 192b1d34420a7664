// ClCSVEdit writes the lines of an export: it owns the record formats of the
// three files, the three text files and the register of written asset codes.
// The files are the asset file (the path the user chose), the asset-kind file
// "syurui.SSC" and the diagnostics log "VelrixSysErr.txt" beside it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ClG_HEAD.h"
#include "ClG_HEADER.h"
#include "ClG_INFO.h"
#include "ClG_SSC.h"
#include "TextFile.h"
#include "coderegister.h"
#include "exportobserver.h"
#include "filecommit.h"
#include "fs.h"
#include "hostrecords.h"
#include "wintypes.h"

class ClRuleGenkashokyaku;

class ClCSVEdit {
 public:
  // The three output files.
  enum OutputFile { OF_ASSET = 0, OF_KIND = 1, OF_LOG = 2 };
  static const int kFileCount = 3;  // number of OutputFile values

  // The four formats set to comma lines without quotes, the files closed,
  // the register empty.
  ClCSVEdit();
  // Closes the files still open (ignoring failures), removes the temporary
  // files not put in place and frees the register.
  virtual ~ClCSVEdit();
  ClCSVEdit(const ClCSVEdit&) = delete;
  ClCSVEdit& operator=(const ClCSVEdit&) = delete;

  // --- Files -----------------------------------------------------------
  // How long BeginOutput waits for another export into the folder to end.
  static const int kFolderLockWaitMs = 5000;

  // The folder of an export made ready ahead of it, on any thread: its lock
  // (held while the object lives), the clean-up done, the temporary names of
  // the three files set aside. Destroying it unused gives all of it up.
  class PreparedOutput {
   public:
    // Prepares the folder of outputPath (the asset file's path).
    explicit PreparedOutput(const char* outputPath);
    ~PreparedOutput();
    PreparedOutput(const PreparedOutput&) = delete;
    PreparedOutput& operator=(const PreparedOutput&) = delete;

   private:
    friend class ClCSVEdit;
    std::string m_strPath;                  // the asset file's path
    std::unique_ptr<FsLock> m_pLock;        // the folder's lock
    FsError m_eRefused = FsError::kNone;    // why the folder cannot be had
    std::vector<std::string> m_vTemps;      // the names set aside, by OutputFile
    std::string m_strList;                  // the list naming them
  };

  // Locks the folder of outputPath (the asset file's path) against other
  // exports and removes the temporary files a killed export left there.
  // 1 locked; 0 refused (another export holds it, or it cannot be had):
  // every file then counts as failed and OpenOutput opens nothing.
  int BeginOutput(const char* outputPath);
  // BeginOutput with the folder prepared ahead (taken over from prepared,
  // which must have been made for the same path).
  int BeginOutput(PreparedOutput* prepared);
  // Derives the path of file from outputPath (the asset file's path) and
  // opens a new temporary file beside it that CommitOutput puts in its
  // place. 1 opened; 0 the open failed, the derived path was refused (see
  // outputpaths.h) or BeginOutput was refused; 1 and nothing done for any
  // other file value.
  int OpenOutput(OutputFile file, const char* outputPath);
  // Closes file; always 1 (nothing for a file never opened or another value).
  int CloseOutput(OutputFile file);
  // Closes the files and puts those opened since BeginOutput in place at
  // once, when complete is TRUE and none has failed (an empty log removes
  // the log there instead); then gives up the folder lock. 1 done; 0
  // nothing was put in place (the temporary files are gone): incomplete,
  // an earlier failure, or one of this step, which then counts for every
  // file.
  int CommitOutput(BOOL complete);
  // TRUE when the last OpenOutput of file failed, a write to it has failed,
  // its CloseOutput found a failed close, or MarkFailed was called: the file
  // is missing or incomplete. FALSE for a file not yet opened and for any
  // other value.
  BOOL HasFileFailed(OutputFile file) const;
  // Counts file as incomplete (its content is not what it must hold) until
  // its next OpenOutput. Nothing for any other value.
  void MarkFailed(OutputFile file);
  // What CommitOutput left in the folder: after a good commit the files it
  // could not remove (previous files under their backup names, an empty
  // log's temporary file); after a failed one the previous files it could
  // not put back, under their backup names.
  const std::vector<LeftFile>& GetLeftFiles() const { return m_vLeftFiles; }
  // Why file failed: kNone when it has not; kBusy when another export held
  // the folder; kOther for a refused path or a failure of unknown cause.
  FsError GetFailureCause(OutputFile file) const;

  // --- Diagnostics log and codes ---------------------------------------
  // Appends text as one entry line to the log: its first 152 bytes (cut
  // back to the last whole character), then CR LF, and hands the entry with
  // the current asset, column (0: none) and the value it quotes to the
  // observer. Always 1.
  int WriteLog(const char* text, long column = 0, std::string_view value = {});
  // Makes observer (null: none) receive every entry WriteLog writes; it must
  // outlive the writes.
  void SetObserver(ClExportObserver* observer) { m_pObserver = observer; }
  // The asset whose rows are being written, named in the entries they raise;
  // null for none. The record must stay until the next call.
  void SetCurrentAsset(const StKOTEISHISANINFO* asset) {
    m_pAsset = asset;
    m_pLine = nullptr;
  }
  // The breakdown line being written (null: the asset's own row); the
  // record must stay until the next call.
  void SetCurrentBreakdown(const StIKKATSUINFO* line) { m_pLine = line; }
  // The data rows written to the asset file so far, breakdown rows included.
  long GetRowsWritten() const { return m_clInfo.GetRowsWritten(); }
  // 1 when every byte of code passes the test of mode (2: ASCII letters;
  // 3: ASCII letters and digits; other modes: any byte), else 0.
  int CheckCodeChars(int16_t mode, const char* code);
  // Registers an asset code: 0 new (now registered), 1 already registered,
  // 2 longer than 6 bytes with its first 6 bytes registered.
  int16_t RegisterCode(const char* code);

  // --- Writers of the stages -------------------------------------------
  // Writes the six preamble lines of the selected company data and the
  // column-title line to the asset file. Always 1.
  int WritePreamble(StDATAINFO* data);
  // Writes the data row of one ordinary asset (zero or one row). Always 1.
  // May throw the decimal overflow failure (an int, _CDecimal.h).
  int WriteAssetRow(StKOTEISHISANINFO* asset, StKOTEINENINFO* year, StKOTEITSUKIINFO* months,
                    StIKKATSUINFO* line, StDATAINFO* data);
  // Walks the breakdown lines of the lump-sum asset through rule and writes
  // one breakdown row each. 1, or 0 when the host could not deliver the
  // lines (the rows written before stay). May throw the decimal overflow
  // failure.
  int WriteBreakdownRows(ClRuleGenkashokyaku* rule, StKOTEISHISANINFO* asset);
  // Writes the header lines of the asset-kind file. Always 1.
  int WriteKindHeader(StDATAINFO* data);
  // Writes the row of one asset kind to the asset-kind file. Always 1.
  int WriteKindRow(StSHISANKUBUNINFO* kind);

  // --- Amounts ---------------------------------------------------------
  // Bytes of the buffer that AmountText fills.
  static const size_t kAmountTextSize = 32;
  // The whole-unit text of a currency value for the 12-byte amount column
  // column, written into out (kAmountTextSize bytes) and returned: empty for
  // 0, "************" (and an ERROR entry on column) beyond 99,999,999,999
  // or below -9,999,999,999.
  const char* AmountText(int64_t value, long column, char* out);
  // Splits the NUL-terminated quantity text into number and unit: fills
  // columns 16 (quantity, two decimals) and 17 (unit) of the data record;
  // a quantity of 1,000,000 or more raises a WARNING entry. Always 1. May
  // throw the decimal overflow failure.
  int SetQuantity(const char* text);

 protected:
  ClG_INFO m_clInfo;      // data rows of the asset file
  ClG_HEAD m_clHead;      // column-title line of the asset file
  ClG_HEADER m_clHeader;  // preamble lines, kind-file header lines, log entries
  ClG_SSC m_clSsc;        // rows of the asset-kind file
  ClTextFile m_aclFile[kFileCount];  // indexed by OutputFile
  ClCodeRegister m_clCodes;          // asset codes written so far

 private:
  // Marks file failed for cause (the first cause stays).
  void SetFailed(OutputFile file, FsError cause);
  // Sets aside temporary names beside path for the files of mask (bit 1 <<
  // file), recorded so that a killed run's files are known as its own. The
  // error when that failed.
  FsError ReserveTemps(const char* path, unsigned mask);
  // Removes the temporary files not put in place and the lists of them;
  // adds those that stay to *undeleted when it is not null.
  void DropTemps(std::vector<FileCommit> left, std::vector<LeftFile>* undeleted = nullptr);

  BOOL m_abFailed[kFileCount] = {};          // see HasFileFailed
  FsError m_aeCause[kFileCount] = {};        // see GetFailureCause
  std::string m_astrFinal[kFileCount];       // final path of each opened file
  std::string m_astrTemp[kFileCount];        // its temporary file, until put in place
  std::string m_astrReserved[kFileCount];    // the temporary name set aside for it
  std::vector<std::string> m_vTempLists;     // the lists naming those names
  std::vector<LeftFile> m_vLeftFiles;         // see GetLeftFiles
  std::unique_ptr<FsLock> m_pFolderLock;     // held from BeginOutput to CommitOutput
  FsError m_eRefused = FsError::kNone;       // why BeginOutput was refused
  ClExportObserver* m_pObserver = nullptr;   // see SetObserver
  const StKOTEISHISANINFO* m_pAsset = nullptr;  // see SetCurrentAsset
  const StIKKATSUINFO* m_pLine = nullptr;       // see SetCurrentBreakdown
};
