#include "userfolders.h"

#include <gtest/gtest.h>

#include "tempdir.h"

namespace {

TEST(UserDataFilePath, FollowsXdgDataHomeThenHome) {
  ScopedEnv home("HOME", "/home/me");
  {
    ScopedEnv data("XDG_DATA_HOME", "/data/me");
    EXPECT_EQ(UserDataFilePath("velor", "host.sqlite"), "/data/me/velor/host.sqlite");
  }
  {
    ScopedEnv data("XDG_DATA_HOME", "");
    EXPECT_EQ(UserDataFilePath("velor", "host.sqlite"), "/home/me/.local/share/velor/host.sqlite");
  }
}

TEST(UserDataFilePath, EmptyWhenTheEnvironmentNamesNoFolder) {
  ScopedEnv data("XDG_DATA_HOME", "");
  ScopedEnv home("HOME", "");
  EXPECT_EQ(UserDataFilePath("velor", "host.sqlite"), "");
}

// The default of velor-host's output folder.
TEST(UserFolders, HomeFollowsTheEnvironment) {
  ScopedEnv home("HOME", "/home/me");
  EXPECT_EQ(UserHomeFolder(), "/home/me/");
  ScopedEnv no_home("HOME", "");
  EXPECT_EQ(UserHomeFolder(), "");
}

}  // namespace
