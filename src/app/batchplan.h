// The plan of an export of many company data at once: which data numbers
// the command line names, and the asset file of each company from a path
// pattern. Paths are Windows paths in code page 932.
#pragma once
#include <string>
#include <vector>

#include "hostrecords.h"

// The company data a batch exports: every one of the store, or the data
// numbers of a list.
struct CompanySelection {
  bool all = false;
  // Inclusive ranges of data numbers; a single number is a range of one.
  std::vector<std::pair<long, long>> ranges;

  // True when the data number no is selected.
  bool Selects(long no) const;
};

// Parses "all" or a list of data numbers and ranges ("1,3-7,12") into
// *selection. False with *error (UTF-8, one line) for anything else: an
// empty item, a range that runs backwards, a number out of range.
bool ParseCompanySelection(const std::string& text, CompanySelection* selection,
                           std::string* error);

// Checks a path pattern (code page 932): its placeholders are {no}, {id}
// and {name}, and at least one of them is there, so that each company gets
// its own path. False with *error (UTF-8, one line) otherwise.
bool CheckOutputPattern(const std::string& pattern, std::string* error);

// The pattern (checked by CheckOutputPattern) with its placeholders filled
// from data: {no} the data number, {id} the data ID, {name} the company name
// made safe for a file name (see SafeFileName).
std::string ExpandOutputPattern(const std::string& pattern, const StDATAINFO& data);

// name (code page 932) as one level of a path: every character that the
// path check refuses, a backslash and a control character replaced by "_",
// as are trailing dots and spaces (which Windows drops); cut to at most
// kSafeNameMax bytes at a whole character; "_" for an empty name.
std::string SafeFileName(const std::string& name);
constexpr size_t kSafeNameMax = 64;

// Finds two of the asset paths whose folders are the same folder (compared
// without regard to ASCII case): true with their indexes in *first and
// *second (first < second), false when every folder is its own.
bool FindSharedFolder(const std::vector<std::string>& paths, size_t* first, size_t* second);
