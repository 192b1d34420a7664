// The window framework under the names the system uses: the application
// object, dialogs with controls and data exchange, key-down messages, focus
// and edit messages. A dialog keeps the state of its controls here; the
// front end in use (frontend.h) shows that state and reports the user's
// input back through the CDialog "User..." calls.
#pragma once
#include <cstdint>
#include <map>
#include <string>

#include "frontend.h"
#include "wintypes.h"

#ifndef _WIN32
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef intptr_t INT_PTR;
typedef short SHORT;

#define WM_KEYDOWN 0x0100u
#define WM_CLOSE 0x0010u
#define WM_COMMAND 0x0111u
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_ESCAPE 0x1B
#define VK_TAB 0x09
#define VK_F12 0x7B
#define EM_SETSEL 0x00B1u
#define EM_SCROLLCARET 0x00B7u
#define EM_LIMITTEXT 0x00C5u

// One message as the message loop delivers it.
struct MSG {
  HWND hwnd;  // the window the message is for
  UINT message;
  WPARAM wParam;  // WM_KEYDOWN: the virtual-key code
  LPARAM lParam;
};
#else
// The framework's dialogs get their keys from the front end, with the
// modifiers it reports: the key state is theirs, not the keyboard's.
#define GetKeyState VelorGetKeyState
#endif

// The state of key vk while the current message is dispatched: negative
// (high bit set) when held. Knows VK_SHIFT, VK_CONTROL and VK_MENU.
SHORT GetKeyState(int vk);

// Modifier keys held with a key-down, as a front end reports them.
enum KeyModifier : unsigned { kModShift = 1u, kModCtrl = 2u, kModAlt = 4u };

// A text string (code page 932 bytes).
class CString {
 public:
  CString() = default;
  CString(const char* s) : s_(s ? s : "") {}  // NOLINT: converts like the framework's
  CString(const std::string& s) : s_(s) {}    // NOLINT
  CString& operator=(const char* s) {
    s_ = s ? s : "";
    return *this;
  }
  // The text, NUL-terminated; valid until the string changes.
  operator const char*() const { return s_.c_str(); }  // NOLINT
  // Length in bytes.
  int GetLength() const { return static_cast<int>(s_.size()); }
  // True when the string is empty.
  bool IsEmpty() const { return s_.empty(); }
  // Makes the string empty.
  void Empty() { s_.clear(); }
  // The bytes as a std::string.
  const std::string& str() const { return s_; }
  bool operator==(const char* s) const { return s_ == (s ? s : ""); }

 private:
  std::string s_;
};

class CDialog;
class CDataExchange;

// A window: here a dialog or one of its controls.
class CWnd {
 public:
  CWnd();
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  // The window handle; null while the window does not exist.
  HWND GetSafeHwnd() const { return m_hWnd; }
  // The control id (0 for a dialog).
  int GetDlgCtrlID() const { return id_; }
  // True when the window accepts input.
  BOOL IsWindowEnabled() const;
  // Enables or disables the window; returns TRUE when it was disabled.
  BOOL EnableWindow(BOOL enable = TRUE);
  // Gives the keyboard focus to this window; returns the window that had it
  // (null when none).
  CWnd* SetFocus();
  // Sets / reads the window's text.
  void SetWindowText(const char* text);
  void GetWindowText(CString& text) const;
  // Sends msg to the window. Edits know EM_LIMITTEXT (wParam: the limit in
  // bytes), EM_SETSEL (wParam..lParam; lParam -1: to the end) and
  // EM_SCROLLCARET. Returns 0.
  LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // The window of a handle; null when the handle names no live window.
  static CWnd* FromHandle(HWND hwnd);

  HWND m_hWnd = nullptr;

 protected:
  friend class CDialog;
  friend void DDX_Control(CDataExchange*, int, CWnd&);
  CDialog* dialog_ = nullptr;  // the dialog holding this control, or itself
  int id_ = 0;
};

// A push button or group box.
class CButton : public CWnd {};

// An edit control.
class CEdit : public CWnd {
 public:
  // Limits the text to limit bytes.
  void SetLimitText(UINT limit) { SendMessage(EM_LIMITTEXT, limit, 0); }
  // Selects bytes start..end (end -1: to the end of the text).
  void SetSel(int start, int end) {
    SendMessage(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
  }
};

// The direction of one data exchange (UpdateData).
class CDataExchange {
 public:
  CDataExchange(CDialog* dialog, BOOL save) : m_pDlgWnd(dialog), m_bSaveAndValidate(save) {}
  CDialog* m_pDlgWnd;
  BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
};

// Binds control to the dialog's control id (once; later calls do nothing).
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
// Moves the text of control id into value (saving) or value into it.
void DDX_Text(CDataExchange* dx, int id, CString& value);

// What a dialog knows of one of its controls.
struct ControlState {
  const ControlTemplate* tmpl = nullptr;
  std::string text;
  bool enabled = true;
  UINT limit = 0;        // EM_LIMITTEXT; 0: none
  int sel_start = 0;     // EM_SETSEL, clamped to the text
  int sel_end = 0;
  bool caret_scrolled = false;  // EM_SCROLLCARET since the last change
};

// Registers the template that CDialog(id) uses; tmpl must outlive every
// dialog built on it.
void RegisterDialogTemplate(const DialogTemplate* tmpl);

// A modal dialog built on a registered template.
class CDialog : public CWnd {
 public:
  // A dialog on template id, owned by parent (null: none).
  explicit CDialog(UINT template_id, CWnd* parent = nullptr);
  ~CDialog() override;

  // Creates the controls, calls OnInitDialog and, unless the dialog already
  // ended, has the current front end run it. Returns the end code, or -1
  // when the template is not registered or no front end is set.
  virtual INT_PTR DoModal();
  // Ends the dialog with result (DoModal returns it).
  void EndDialog(int result);
  // Moves members to controls (FALSE) or controls to members (TRUE) through
  // DoDataExchange. Returns TRUE.
  BOOL UpdateData(BOOL save_and_validate = TRUE);
  // The control id, or null when the dialog has none of that id.
  CWnd* GetDlgItem(int id) const;
  // Gives the focus to control.
  void GotoDlgCtrl(CWnd* control);

  // --- for front ends ---
  // The template; null before DoModal.
  const DialogTemplate* Template() const { return tmpl_; }
  // The state of control id; null when there is none.
  const ControlState* Control(int id) const;
  // The control holding the focus, 0 when none.
  int FocusId() const { return focus_id_; }
  // True once EndDialog was called; EndCode() is its result.
  bool IsEnded() const { return ended_; }
  int EndCode() const { return end_code_; }
  // The user changed the text of edit id to text (no-op for other kinds;
  // cut to the edit's limit). False when the text had to be cut.
  bool UserTyped(int id, const std::string& text);
  // The user moved the focus to control id.
  void UserFocused(int id);
  // The user pressed key vk in control id (0: the focused one) with the
  // modifiers held. Goes through PreTranslateMessage, then the default
  // processing: Esc cancels; Enter on a push button clicks it; Tab moves the
  // focus to the next (Shift: previous) enabled tab stop.
  void UserKeyDown(int id, int vk, unsigned modifiers = 0);
  // The user clicked button id: its command handler runs.
  void UserClicked(int id);
  // The user closed the dialog with the close box: OnCancel runs.
  void UserClosed();

 protected:
  // Binds controls and exchanges data; called by UpdateData.
  virtual void DoDataExchange(CDataExchange* dx);
  // Sets the focus to the first tab stop; TRUE to leave it there.
  virtual BOOL OnInitDialog();
  // Sees a message before the default processing; TRUE when handled.
  virtual BOOL PreTranslateMessage(MSG* msg);
  // Ends the dialog with IDCANCEL.
  virtual void OnCancel();
  // The command map: runs the handler of button id; FALSE when none.
  virtual BOOL OnCommand(int id);

 private:
  friend class CWnd;
  friend void DDX_Control(CDataExchange*, int, CWnd&);
  void Notify(int id);
  void DefaultKeyDown(const MSG& msg, int id);
  CWnd* Window(int id);

  UINT template_id_;
  const DialogTemplate* tmpl_ = nullptr;
  std::map<int, ControlState> controls_;
  std::map<int, CWnd*> bound_;  // controls bound by DDX_Control, else own stand-ins
  std::map<int, CWnd*> own_;
  int focus_id_ = 0;
  bool ended_ = false;
  bool running_ = false;  // shown by the front end
  int end_code_ = 0;
};

// The application object: one per process, built before start-up.
class CWinApp {
 public:
  // An application object; the name is not used.
  explicit CWinApp(const char* app_name = nullptr);
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // The whole run; TRUE to enter a message loop (none is entered here).
  virtual BOOL InitInstance();
  // Runs once at the end; returns the exit code (0).
  virtual int ExitInstance();
};

// Runs app: InitInstance, then ExitInstance. Returns ExitInstance's result.
int RunWinApp(CWinApp& app);
