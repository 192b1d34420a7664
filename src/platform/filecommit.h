// Files written beside their final names and put in place in one commit
// step: each is written to a temporary file of the program's own in the
// same folder, and only a complete set is renamed over the final names.
// Paths are Windows paths in code page 932, reached through the drive map.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "fs.h"

// One file of a commit: its temporary file and its final name.
struct FileCommit {
  std::string temp;            // written completely, closed
  std::string final;           // the name it takes
  bool dropWhenEmpty = false;  // an empty temp puts no file there: the final
                               // name is removed instead
};

// Forms in *temp a new name beside final_path: the same folder, then
// "~vel" with eight hexadecimal digits and ".tmp", not in use yet. FALSE
// (Fs::LastError() set) when the name would be longer than MAX_PATH or the
// folder cannot be reached.
bool FormTempPath(const char* final_path, std::string* temp);
// True when the bare file name is one that FormTempPath forms.
bool IsTempName(const std::string& name);
// Removes every file that FormTempPath's names name from the folder of
// path: the leftovers of a killed run. Requires the folder lock.
void RemoveStaleTemps(const char* path);
// Makes every temp of files durable and renames it over its final name (a
// file or symbolic link there is replaced, never followed). All or none: on
// a failure the names that were replaced get their previous files back.
// The temps are gone afterwards either way. The error of the failed step.
FsError CommitFiles(const std::vector<FileCommit>& files);
// Removes the temp files of a set that is not to be committed.
void DiscardFiles(const std::vector<FileCommit>& files);
