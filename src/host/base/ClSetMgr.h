// The host's data-set manager; the rule object and the saved-settings
// object are attached to it. It carries no operations of its own here.
#pragma once

class ClSetMgr {
 public:
  // The one data-set manager of the process.
  static ClSetMgr* Inst();
};
