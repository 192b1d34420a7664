// The front end: what shows the program's windows and message boxes to a
// person (or to a test) and brings that person's input back. The framework
// classes of winframe.h keep the state of a dialog and its controls; a front
// end only presents that state and reports what the user does through the
// CDialog "User..." calls. One front end serves the whole process.
//
// All text that crosses this interface is code page 932, as everywhere in the
// system; a front end converts at its own edge (screen, terminal).
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "wintypes.h"

class CDialog;

// Kinds of controls a dialog template holds.
enum class ControlKind { kStatic, kGroupBox, kEdit, kPushButton };

// Control styles a front end may honour (bits of ControlTemplate::style).
enum ControlStyle : unsigned {
  kStyleGroup = 1u << 0,          // starts a group
  kStyleTabStop = 1u << 1,        // reachable with Tab
  kStyleCenterVertical = 1u << 2, // text centred vertically
  kStyleRight = 1u << 3,          // text right-aligned
  kStyleBorder = 1u << 4,         // a border (edits)
  kStyleAutoHScroll = 1u << 5,    // an edit scrolls horizontally as typed into
  kStyleClientEdge = 1u << 6,     // sunken client edge
  kStyleStaticEdge = 1u << 7,     // static edge
};

// One control of a dialog template; position and size in dialog units.
struct ControlTemplate {
  int id;            // control id; -1 for static texts that nothing addresses
  ControlKind kind;
  const char* text;  // initial text (code page 932); "" for none
  unsigned style;    // ControlStyle bits
  int x, y, cx, cy;
};

// A dialog template: the caption, size, font and controls in template order,
// which is also the tab order.
struct DialogTemplate {
  unsigned id;
  const char* caption;
  int cx, cy;           // dialog units
  const char* font;     // face name
  int point_size;
  std::vector<ControlTemplate> controls;
};

// What the save-form file chooser is asked to show (CFileDialog::DoModal).
struct FileChooserRequest {
  HWND owner;               // the owner window; null for none
  bool save_form;           // true: the save form of the chooser
  std::string title;        // "" for the front end's default
  std::string initial_dir;  // Windows form; "" for the front end's choice
  std::string file_name;    // initial file name
  std::string default_ext;  // without the dot, e.g. "CSV"
  std::string filter;       // "Name (*.x)|*.x||" pairs
  DWORD flags;              // OFN_* flags
};

// The interface every front end implements.
class FrontEnd {
 public:
  virtual ~FrontEnd() = default;

  // Shows a message box: text under caption with the buttons and icon of
  // type (MB_*), owned by owner (null: none). Returns IDOK, IDYES or IDNO.
  virtual int MessageBox(HWND owner, const std::string& text, const std::string& caption,
                         UINT type) = 0;

  // Presents dlg (already initialised, not yet ended) and feeds the user's
  // input to it through dlg.User...() until dlg.IsEnded(); then returns. The
  // dialog's template, control texts, enabled states, focus and selection
  // are read through dlg.Template() and dlg.Control(); ControlChanged tells
  // when the program changed them while the dialog is shown. A front end that
  // runs out of input must end the dialog, normally through dlg.UserClosed().
  virtual void RunModal(CDialog& dlg) = 0;

  // The program changed control id of dlg (text, enabled, focus, selection,
  // limit) while dlg is shown. The default does nothing.
  virtual void ControlChanged(CDialog& dlg, int id);

  // Shows the file chooser of request. Returns true and the chosen full path
  // (Windows form, code page 932) in *path when the user confirmed; false
  // when the user cancelled.
  virtual bool ChooseFile(const FileChooserRequest& request, std::string* path) = 0;

  // Shows (on) or takes away (off) the wait cursor. Calls nest: the cursor
  // is shown while more on than off calls have been made. Default: nothing.
  virtual void SetWaitCursor(bool on);

  // Shows how far a running export has come: done of total assets, at rate
  // assets a second. Called from about half a second into an export on,
  // a few times a second. Returns false when the user asks to cancel.
  // Default: shows nothing and returns true.
  virtual bool ShowProgress(long done, long total, long rate);
  // Shows how far a batch of exports has come: done of total companies, at
  // rate assets a second; called like ShowProgress, which it replaces for
  // the batch. Returns false when the user asks to cancel. Default: calls
  // ShowProgress with the companies.
  virtual bool ShowBatchProgress(long done, long total, long rate);
  // Takes away what ShowProgress showed (nothing when it was not called).
  // Default: nothing.
  virtual void EndProgress();

  // True when the front end runs on a graphical desktop, so that a viewer can
  // be started as a program of its own (xdg-open). Default: false.
  virtual bool OnDesktop() const;

  // Shows the text of a file (code page 932 bytes, a native path) to the
  // user in place of a viewer program. Returns false when it cannot.
  // Default: false.
  virtual bool ShowTextFile(const std::string& native_path);
};

// The process's front end, or null before one is set. Not owned.
FrontEnd* CurrentFrontEnd();
// Makes front_end (may be null) the process's front end; returns the one
// that was current.
FrontEnd* SetCurrentFrontEnd(FrontEnd* front_end);

// Makes a front end current for the life of the object, then restores the
// previous one.
class ScopedFrontEnd {
 public:
  explicit ScopedFrontEnd(FrontEnd* front_end) : previous_(SetCurrentFrontEnd(front_end)) {}
  ~ScopedFrontEnd() { SetCurrentFrontEnd(previous_); }
  ScopedFrontEnd(const ScopedFrontEnd&) = delete;
  ScopedFrontEnd& operator=(const ScopedFrontEnd&) = delete;

 private:
  FrontEnd* previous_;
};

// True when a display for desktop windows is there (DISPLAY or
// WAYLAND_DISPLAY set and not empty here).
bool DisplayAvailable();

// The desktop front end, defined by the desktop library when it is built and
// by a stand-in returning null otherwise. Returns null with a one-line reason
// (UTF-8) in *why when no desktop front end can run (not built, no display).
std::unique_ptr<FrontEnd> CreateDesktopFrontEnd(std::string* why);
