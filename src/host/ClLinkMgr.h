// The host's link manager and its option link, which the rule object takes.
#pragma once

// The host's link options; carries no operations of its own here.
class ClOptLink {};

class ClLinkMgr {
 public:
  // The one link manager of the process.
  static ClLinkMgr* Inst();
  // The option link; belongs to the host, never null.
  ClOptLink* GetOptLink();

 private:
  ClOptLink optLink_;
};
