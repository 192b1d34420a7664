// The application object: the whole life of the process in one pass, from
// the host connection through the condition dialog and the export run to
// the closing message.
#pragma once
#include <memory>
#include <string>

#include "batch.h"
#include "exportreport.h"
#include "hostrecords.h"
#include "winframe.h"
#include "wintypes.h"

class ClSetData;

class ClControlVelor : public CWinApp {
 public:
  // How a run ended, for the process's exit status.
  enum RunOutcome {
    kOutcomeDone = 0,         // exported; the diagnostics log was deleted
    kOutcomeStopped = 1,      // refused, cancelled or failed (with a message)
    kOutcomeDiagnostics = 3,  // exported with diagnostics entries; log kept
    kOutcomeBadRequest = 2,   // a batch refused before writing anything
  };

  // An application object without a data-set object.
  ClControlVelor();
  ~ClControlVelor() override;

  // The whole run: connection, product check, data selection, dialog, export
  // run and closing message. TRUE after an export run, FALSE on every early
  // exit.
  BOOL InitInstance() override;
  // Closes the host connection (LogOut, Terminate, Release); returns the
  // framework's result.
  int ExitInstance() override;

  // The installed-product check. show non-zero: a refusal shows its message
  // through the host. TRUE when the installed product level is exactly 1.
  BOOL CheckEnvironment(int show);
  // The dialog's display texts of data: kind 0 the company name, kind 1 the
  // fiscal period; empty for another kind or a null data. Returns a static
  // buffer that the next call overwrites.
  static const char* GetDispText(short kind, const StDATAINFO* data);

  // How the last InitInstance ended.
  RunOutcome GetOutcome() const { return m_eOutcome; }

  // Makes every export write its report to the native path (UTF-8), put in
  // place in one step; "" for no report. A report that cannot be written
  // fails the run with a message.
  void SetReportPath(const std::string& native) { m_strReportPath = native; }
  // Makes InitInstance export the company data of request (velor
  // --companies) in place of the dialog and the single export.
  void SetBatch(const BatchRequest& request) { m_pBatch = std::make_unique<BatchRequest>(request); }
  // The report of the export of the last InitInstance; null when none ran.
  const ExportReport* GetReport() const { return m_pReport.get(); }

 private:
  // The export run over data to the dialog's path; sets m_eOutcome.
  void RunExport(class ClConditionEntry& dialog, StDATAINFO& data);
  // Writes the report to m_strReportPath when one is asked for; a failure
  // shows a message and fails the run.
  void WriteReport();
  // Shows format (code page 932, "%s" for the report's path and then for
  // why, a UTF-8 reason) as a message box about the report.
  void ShowReportProblem(const char* format, const std::string& why);

  ClSetData* m_pSetData = nullptr;  // the host's company-data list, not owned
  RunOutcome m_eOutcome = kOutcomeStopped;
  std::string m_strReportPath;             // see SetReportPath
  std::unique_ptr<ExportReport> m_pReport;  // see GetReport
  std::unique_ptr<BatchRequest> m_pBatch;   // see SetBatch
};
