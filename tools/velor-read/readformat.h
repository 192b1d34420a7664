// The format file of velor-read: the layout, quote, comment settings and the
// item table of the lines to read, checked so that reading can never reach
// outside the record buffer the tool allocates.
#pragma once
#include <string>
#include <vector>

#include "textaccessor.h"

struct ReadFormat {
  ClTextAccessor::_Delimiter layout = ClTextAccessor::DLM_COMMA;
  ClTextAccessor::_Quote quote = ClTextAccessor::QUOTE_NONE;
  bool hasComment = false;
  std::string comment;  // code page 932
  bool skipComments = true;
  bool spaceFlag = false;
  long headerLines = 0;  // refusals among the first headerLines lines are expected
  std::vector<StTAFORMAT> items;
  long recordSize = 0;  // bytes the items take in the record buffer
};

// Parses and checks the JSON text of a format file into *format. Returns ""
// when it is sound, else a message (UTF-8) naming what is wrong.
std::string ParseReadFormat(const std::string& json, ReadFormat* format);
