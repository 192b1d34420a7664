#include "filedialog.h"

#include "messagebox.h"

CFileDialog::CFileDialog(BOOL open, const char* def_ext, const char* file_name, DWORD flags,
                         const char* filter, CWnd* parent, DWORD, BOOL)
    : m_ofn(),
      open_(open),
      def_ext_(def_ext ? def_ext : ""),
      file_name_(file_name ? file_name : ""),
      filter_(filter ? filter : ""),
      parent_(parent) {
  m_ofn.Flags = flags;
}

INT_PTR CFileDialog::DoModal() {
  FrontEnd* fe = CurrentFrontEnd();
  if (fe == nullptr) return IDCANCEL;
  FileChooserRequest request;
  request.owner = parent_ ? parent_->GetSafeHwnd() : nullptr;
  request.save_form = !open_;
  request.title = m_ofn.lpstrTitle ? m_ofn.lpstrTitle : "";
  request.initial_dir = m_ofn.lpstrInitialDir ? m_ofn.lpstrInitialDir : "";
  request.file_name = file_name_;
  request.default_ext = def_ext_;
  request.filter = filter_;
  request.flags = m_ofn.Flags;
  std::string chosen;
  if (!fe->ChooseFile(request, &chosen)) return IDCANCEL;
  path_ = chosen;
  return IDOK;
}
