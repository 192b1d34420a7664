#include "ClSaveTextIO.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// A store that remembers what reached it.
class RecordingStore : public ClSaveTextIOStore {
 public:
  long GetData(const char* dataId, const char* group, StTEXTIOSAVEINFO* info) override {
    seen = std::string(dataId) + "/" + group;
    info->nCount = 1;
    info->alEntries[0] = 7;
    return 0;
  }
  long SetData(const char* dataId, const char* group, const StTEXTIOSAVEINFO* info) override {
    seen = std::string(dataId) + "/" + group + "/" + std::to_string(info->nCount);
    return 0;
  }
  std::string seen;
};

// Sets store for the test's life.
class SaveTextIOTest : public ::testing::Test {
 protected:
  SaveTextIOTest() { ClSaveTextIO::SetStore(&store_); }
  ~SaveTextIOTest() override { ClSaveTextIO::SetStore(nullptr); }
  RecordingStore store_;
};

StTEXTIOSAVEINFO Info(const char* group, int16_t count) {
  StTEXTIOSAVEINFO info = {};
  std::memcpy(info.szGroup, group, std::strlen(group));
  info.nCount = count;
  return info;
}

TEST(SaveTextIO, WithoutAStoreEveryCallFails) {
  ClSaveTextIO settings;
  settings.SetCurDataID(reinterpret_cast<const unsigned char*>("S0007"));
  StTEXTIOSAVEINFO info = Info("G_INFO", 1);
  EXPECT_EQ(settings.GetData(&info), -1);
  EXPECT_EQ(settings.SetData(&info), -1);
  EXPECT_EQ(info.nCount, 1);
}

TEST_F(SaveTextIOTest, ForwardsToTheStoreWithDataIdAndGroup) {
  ClSaveTextIO settings;
  settings.AttachSetMgr(ClSetMgr::Inst());
  // The data identifier keeps 15 bytes.
  settings.SetCurDataID(reinterpret_cast<const unsigned char*>("ABCDEFGHIJKLMNOPQ"));
  StTEXTIOSAVEINFO info = Info("G_INFO", 2);
  EXPECT_EQ(settings.SetData(&info), 0);
  EXPECT_EQ(store_.seen, "ABCDEFGHIJKLMNO/G_INFO/2");
  EXPECT_EQ(settings.GetData(&info), 0);
  EXPECT_EQ(store_.seen, "ABCDEFGHIJKLMNO/G_INFO");
  EXPECT_EQ(info.nCount, 1);
  EXPECT_EQ(info.alEntries[0], 7);
}

TEST_F(SaveTextIOTest, RefusesWhatTheStoreMustNotSee) {
  ClSaveTextIO settings;
  StTEXTIOSAVEINFO info = Info("G_INFO", 1);
  EXPECT_EQ(settings.GetData(&info), -1);  // no data set selected
  settings.SetCurDataID(reinterpret_cast<const unsigned char*>("S0007"));
  settings.SetCurDataID(nullptr);
  EXPECT_EQ(settings.SetData(&info), -1);
  settings.SetCurDataID(reinterpret_cast<const unsigned char*>("S0007"));
  EXPECT_EQ(settings.GetData(nullptr), -1);
  StTEXTIOSAVEINFO unended = Info("G_TENBYTES", 1);  // no NUL within 10 bytes
  EXPECT_EQ(settings.GetData(&unended), -1);
  EXPECT_EQ(settings.SetData(&unended), -1);
  StTEXTIOSAVEINFO tooMany = Info("G_INFO", 257);
  EXPECT_EQ(settings.SetData(&tooMany), -1);
  StTEXTIOSAVEINFO negative = Info("G_INFO", -1);
  EXPECT_EQ(settings.SetData(&negative), -1);
  EXPECT_EQ(store_.seen, "");
  StTEXTIOSAVEINFO full = Info("G_INFO", 256);
  EXPECT_EQ(settings.SetData(&full), 0);
  EXPECT_EQ(store_.seen, "S0007/G_INFO/256");
}

}  // namespace
