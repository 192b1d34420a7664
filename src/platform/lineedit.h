// Line editing on a terminal: cursor keys, Home/End, Ctrl-A/Ctrl-E and a
// history of the lines entered (libedit here).
#pragma once
#include <cstdio>
#include <memory>
#include <string>

class LineEditor {
 public:
  // Edits lines typed at in (a terminal), echoed to out. Both must outlive
  // the object.
  LineEditor(FILE* in, FILE* out);
  ~LineEditor();
  LineEditor(const LineEditor&) = delete;
  LineEditor& operator=(const LineEditor&) = delete;

  // Shows prompt (UTF-8) and reads one line (UTF-8, without its end) into
  // *line, with offered (UTF-8) already on the line, ready to edit. With
  // remember, a line that is not empty joins the history (Up and Down bring
  // it back). False at the end of input (Ctrl-D on an empty line) or when no
  // editing can start.
  bool ReadLine(const std::string& prompt, const std::string& offered, bool remember,
                std::string* line);

 private:
  struct State;
  std::unique_ptr<State> state_;
};
