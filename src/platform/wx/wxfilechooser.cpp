#include "wxfilechooser.h"

#include <wx/filedlg.h>
#include <wx/cursor.h>
#include <wx/utils.h>

#include "choosertexts.h"
#include "drivemap.h"
#include "filedialog.h"
#include "messagebox.h"
#include "wxchooserrules.h"
#include "wxmessagebox.h"
#include "wxscreentext.h"
#include "desktoptrace.h"

bool ChooseDesktopFile(wxWindow* owner, const FileChooserRequest& request, std::string* path) {
  std::string folder;
  if (!request.initial_dir.empty() && !DriveMapToNative(request.initial_dir.c_str(), &folder)) {
    folder.clear();
  }
  long style = request.save_form ? wxFD_SAVE : wxFD_OPEN;
  if (request.flags & OFN_OVERWRITEPROMPT) style |= wxFD_OVERWRITE_PROMPT;
  // The chooser cannot demand an existing file in its save form.
  if (!request.save_form && (request.flags & OFN_FILEMUSTEXIST)) style |= wxFD_FILE_MUST_EXIST;
  wxString title = request.title.empty() ? wxString(wxFileSelectorPromptStr) : ScreenText(request.title);
  wxString wildcard = wxString::FromUTF8(WildcardFromFilter(request.filter));
  if (wildcard.empty()) wildcard = wxFileSelectorDefaultWildcardStr;
  wxFileDialog chooser(owner, title, wxString::FromUTF8(folder), ScreenText(request.file_name),
                       wildcard, style);
  DesktopTrace("chooser title=" + Utf8Of(title) + " folder=" + folder +
               " file=" + Utf8Of(ScreenText(request.file_name)) + " filter=" + Utf8Of(wildcard));
  wxBusyCursorSuspender arrow;
  if (chooser.ShowModal() != wxID_OK) {
    DesktopTrace("chooser cancelled");
    return false;
  }
  std::string native = AddDefaultExtension(Utf8Of(chooser.GetPath()), request.default_ext);
  std::string windows;
  if (!DriveMapToWindows(native, &windows)) {
    DesktopTrace("chooser refused " + native);
    ShowDesktopMessageBox(owner, kUnusableChoiceText, kUnusableChoiceCaption, MB_ICONEXCLAMATION);
    return false;
  }
  DesktopTrace("chooser chose " + native);
  *path = windows;
  return true;
}
