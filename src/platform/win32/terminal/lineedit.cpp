// Line editing by the Windows console itself (cursor keys, Home/End and its
// own history of lines); the offered text is typed into the console's input
// before the line is read, so it stands ready to edit.
#include "lineedit.h"

#include <io.h>

#include <string>
#include <vector>

#include "win32/wide.h"

struct LineEditor::State {
  FILE* in;
  FILE* out;
};

LineEditor::LineEditor(FILE* in, FILE* out) : state_(std::make_unique<State>()) {
  state_->in = in;
  state_->out = out;
}

LineEditor::~LineEditor() = default;

namespace {
// The console handle of stream, or null when it is no console.
HANDLE ConsoleOf(FILE* stream) {
  auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}

// Puts text into the console input as if typed.
bool TypeInto(HANDLE input, const std::wstring& text) {
  std::vector<INPUT_RECORD> keys;
  for (wchar_t c : text) {
    INPUT_RECORD key = {};
    key.EventType = KEY_EVENT;
    key.Event.KeyEvent.wRepeatCount = 1;
    key.Event.KeyEvent.uChar.UnicodeChar = c;
    key.Event.KeyEvent.bKeyDown = TRUE;
    keys.push_back(key);
    key.Event.KeyEvent.bKeyDown = FALSE;
    keys.push_back(key);
  }
  DWORD written = 0;
  return keys.empty() || (WriteConsoleInputW(input, keys.data(), static_cast<DWORD>(keys.size()), &written) &&
                          written == keys.size());
}
}  // namespace

// remember is the console's own: it keeps every line entered.
bool LineEditor::ReadLine(const std::string& prompt, const std::string& offered, bool,
                          std::string* line) {
  HANDLE input = ConsoleOf(state_->in), output = ConsoleOf(state_->out);
  std::wstring wide_prompt, wide_offered;
  if (input == nullptr || output == nullptr || !Utf8ToWide(prompt, &wide_prompt) ||
      !Utf8ToWide(offered, &wide_offered)) {
    return false;
  }
  std::fflush(state_->out);
  DWORD wrote = 0;
  if (!wide_prompt.empty() &&
      !WriteConsoleW(output, wide_prompt.data(), static_cast<DWORD>(wide_prompt.size()), &wrote, nullptr)) {
    return false;
  }
  if (!TypeInto(input, wide_offered)) return false;
  std::wstring got;
  for (;;) {
    wchar_t buffer[1024];
    DWORD read = 0;
    if (!ReadConsoleW(input, buffer, 1024, &read, nullptr)) return false;
    if (read == 0) return false;
    got.append(buffer, read);
    if (got.back() == L'\n') break;
  }
  // Ctrl-Z at the start of the line is the end of input.
  if (!got.empty() && got[0] == 0x1A) return false;
  while (!got.empty() && (got.back() == L'\n' || got.back() == L'\r')) got.pop_back();
  *line = WideToUtf8(got);
  return true;
}
