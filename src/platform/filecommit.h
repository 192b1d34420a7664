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
// True when the bare file name is that of a backup CommitFiles makes
// ("~vel", eight hexadecimal digits, ".bak").
bool IsBackupName(const std::string& name);
// Clears what a killed run left in the folder of path: a commit cut off
// before its end is undone from its journal (the previous files come back
// from their backups, names that were new are removed), then temporary
// files and the backups of finished commits are removed. Requires the
// folder lock.
void RemoveStaleTemps(const char* path);
// Makes every temp of files (all in one folder) durable and renames it over
// its final name (a file or symbolic link there is replaced, never
// followed). All or none: first a journal, then every previous file moved
// to a backup, then the new ones in place; a failure puts the previous files
// back at once, a crash leaves the journal for RemoveStaleTemps. The temps
// are gone afterwards either way. The error of the failed step.
FsError CommitFiles(const std::vector<FileCommit>& files);
// Removes the temp files of a set that is not to be committed.
void DiscardFiles(const std::vector<FileCommit>& files);
