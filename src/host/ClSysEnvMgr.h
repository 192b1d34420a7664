// The host's system environment manager; the system only passes its
// application type to the connection.
#pragma once

class ClSysEnvMgr {
 public:
  // The kind of application that connects to the host.
  enum _AppType {
    APPTYPE_STANDARD = 0,  // an ordinary application of the host
  };
};
