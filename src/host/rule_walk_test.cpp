#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "ClAccConnect.h"
#include "ClDataMgr.h"
#include "ClRuleGenkashokyaku.h"
#include "ClSaveTextIO.h"
#include "ClSetData.h"
#include "assetkey.h"
#include "sqlite/sqlite_store.h"
#include "storesql.h"
#include "ledger_generate.h"
#include "ledger_store.h"
#include "taskalloc.h"

namespace {

const char8_t kLedger[] = u8R"({"format": "velor-ledger/1",
  "users": [{"user_id": "u", "selected_data_no": 1}],
  "companies": [
   {"data_no": 1, "data_id": "A",
    "asset_kinds": [{"lKindNo": 11, "szKindName": "土地"}, {"lKindNo": 2, "szKindName": "構築物", "nKindMethod": 2, "lKindResidualRate": 5}],
    "assets": [{"szAssetCode": "E"}, {"szAssetCode": "B"}, {"szAssetCode": "L", "nMethod": 4,
                "breakdowns": [{"szBreakdownName": "一"}, {"szBreakdownName": "二"}, {"szBreakdownName": "三"}]},
               {"szAssetCode": "A"}, {"szAssetCode": "C", "nMethod": 4}]},
   {"data_no": 2, "data_id": "B", "assets": [{"szAssetCode": "Z", "nMethod": 4, "breakdowns": [{"szBreakdownName": "z"}]}]}]})";

std::unique_ptr<ClRuleGenkashokyaku> Rule(const char* dataId) {
  auto rule = std::make_unique<ClRuleGenkashokyaku>();
  rule->AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
  rule->SetCurDataID(dataId);
  rule->AttachOptLink(ClLinkMgr::Inst()->GetOptLink());
  return rule;
}

std::string CodeAt(ClRuleGenkashokyaku* rule, long index) {
  StKOTEISHISANINFO asset{};
  StKOTEINENINFO year{};
  StKOTEITSUKIINFO months{};
  if (rule->Move(index, &asset, &year, &months) != 0) return "-";
  return asset.szAssetCode;
}

TEST(RuleWalk, DeliversLedgerOrderInSequenceAndAtAnyIndex) {
  LedgerStore store(kLedger, u8"u");
  ASSERT_TRUE(store.ok()) << store.error();
  auto rule = Rule("A");
  EXPECT_EQ(rule->GetCount(), 0) << "nothing before MoveReady";
  ASSERT_EQ(rule->MoveReady(nullptr, 0, 0), 0);
  ASSERT_EQ(rule->GetCount(), 5);
  std::string walk;
  for (long i = 0; i < 5; ++i) walk += CodeAt(rule.get(), i);
  EXPECT_EQ(walk, "EBLAC");
  EXPECT_EQ(CodeAt(rule.get(), 3) + CodeAt(rule.get(), 0) + CodeAt(rule.get(), 1) +
                CodeAt(rule.get(), 4) + CodeAt(rule.get(), 4),
            "AEBCC");
  EXPECT_EQ(CodeAt(rule.get(), 5), "-");
  EXPECT_EQ(CodeAt(rule.get(), -1), "-");
  EXPECT_EQ(CodeAt(rule.get(), 2), "L") << "a refused index leaves the walk usable";
  EXPECT_EQ(rule->MoveReady(nullptr, 1, 0), -1) << "only ledger order is known";
  EXPECT_EQ(rule->GetCount(), 0);

  auto none = Rule("NOPE");
  EXPECT_EQ(none->MoveReady(nullptr, 0, 0), -1);
  EXPECT_EQ(none->GetCount(), 0);
}

TEST(RuleWalk, TwoWalksAtOnceEachFillTheirOwnRecords) {
  LedgerStore store(kLedger, u8"u");
  ASSERT_TRUE(store.ok()) << store.error();
  auto a = Rule("A"), b = Rule("B"), again = Rule("A");
  ASSERT_EQ(a->MoveReady(nullptr, 0, 0), 0);
  ASSERT_EQ(b->MoveReady(nullptr, 0, 0), 0);
  std::string codes = CodeAt(a.get(), 0) + CodeAt(b.get(), 0);
  ASSERT_EQ(again->MoveReady(nullptr, 0, 0), 0) << "a walk prepared while others are open";
  codes += CodeAt(again.get(), 3) + CodeAt(a.get(), 1) + CodeAt(b.get(), 1) + CodeAt(again.get(), 4);
  EXPECT_EQ(codes, "EZAB-C");
}

TEST(RuleWalk, BreakdownLinesFollowTheAssetKey) {
  LedgerStore store(kLedger, u8"u");
  ASSERT_TRUE(store.ok()) << store.error();
  auto rule = Rule("A");
  ASSERT_EQ(rule->MoveReady(nullptr, 0, 0), 0);
  StKOTEISHISANINFO lump{}, empty{}, plain{};
  rule->Move(2, &lump, nullptr, nullptr);
  rule->Move(4, &empty, nullptr, nullptr);
  rule->Move(0, &plain, nullptr, nullptr);
  EXPECT_NE(std::memcmp(lump.abAssetKey, empty.abAssetKey, 16), 0);

  ASSERT_EQ(rule->MoveReadyIkkatsu(lump.abAssetKey), 0);
  long count = 0;
  rule->GetIkkatsuCount(&count);
  ASSERT_EQ(count, 3);
  std::string names;
  for (long i = 0; i < count; ++i) {
    StIKKATSUINFO line{};
    std::strcpy(line.szBreakdownNo, "7");
    ASSERT_EQ(rule->MoveIkkatsu(i, &line), 0);
    EXPECT_STREQ(line.szBreakdownNo, "7") << "the number is the caller's";
    names += line.szBreakdownName;
  }
  EXPECT_EQ(names, std::string("一二三"));
  StIKKATSUINFO line{};
  EXPECT_EQ(rule->MoveIkkatsu(3, &line), -1);
  rule->MoveFinishIkkatsu();
  rule->GetIkkatsuCount(&count);
  EXPECT_EQ(count, 0);

  for (const StKOTEISHISANINFO* a : {&empty, &plain}) {
    count = -1;
    rule->MoveReadyIkkatsu(a->abAssetKey);
    rule->GetIkkatsuCount(&count);
    EXPECT_EQ(count, 0);
  }
  const BYTE garbage[16] = {'x', 'y'};
  rule->MoveReadyIkkatsu(garbage);
  rule->GetIkkatsuCount(&count);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(CodeAt(rule.get(), 1), "B") << "breakdown walks leave the asset walk alone";
}

TEST(RuleWalk, AssetKindsComeInMasterOrderInATaskMemoryArray) {
  LedgerStore store(kLedger, u8"u");
  ASSERT_TRUE(store.ok()) << store.error();
  StSHISANKUBUNINFO* kinds = reinterpret_cast<StSHISANKUBUNINFO*>(1);
  long count = -1;
  ASSERT_EQ(Rule("A")->LoadShisanKubunInfo(&kinds, &count), 0);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(kinds[0].lKindNo, 11);
  EXPECT_EQ(std::string(kinds[0].szKindName), "土地");
  EXPECT_EQ(kinds[1].lKindNo, 2);
  EXPECT_EQ(kinds[1].nKindMethod, 2);
  EXPECT_EQ(kinds[1].lKindResidualRate, 5);
  const StSHISANKUBUNINFO zero{};
  EXPECT_EQ(std::memcmp(kinds[1].abPad108, zero.abPad108, sizeof zero.abPad108), 0);
  CoTaskMemFree(kinds);  // the sanitizer build checks that this is the allocator's block

  ASSERT_EQ(Rule("B")->LoadShisanKubunInfo(&kinds, &count), 0);
  EXPECT_EQ(kinds, nullptr);
  EXPECT_EQ(count, 0);
  CoTaskMemFree(kinds);
}

TEST(RuleWalk, TerminateEndsOpenWalksAndANewStoreStartsClean) {
  auto rule = std::make_unique<ClRuleGenkashokyaku>();
  LONG cursor = 0;
  {
    LedgerStore first(kLedger, u8"u");
    ASSERT_TRUE(first.ok()) << first.error();
    rule->SetCurDataID("A");
    ASSERT_EQ(rule->MoveReady(nullptr, 0, 0), 0);
    EXPECT_EQ(CodeAt(rule.get(), 0), "E");
    ClDataMgr::Inst()->GetSetObject(5, 1)->GetDatCursor(&cursor);
  }
  EXPECT_EQ(CodeAt(rule.get(), 1), "-") << "the store has gone";
  EXPECT_EQ(rule->GetCount(), 0);
  StDATAINFO info{};
  EXPECT_NE(ClDataMgr::Inst()->GetSetObject(5, 1)->WalkDat(&info, cursor), 0);

  for (int round = 0; round < 3; ++round) {
    LedgerStore next(R"({"format": "velor-ledger/1", "users": [{"user_id": "v", "selected_data_no": 5}],
        "companies": [{"data_no": 5, "data_id": "A", "assets": [{"szAssetCode": "N)" +
                         std::to_string(round) + R"("}]}]})",
                     "v");
    ASSERT_TRUE(next.ok()) << next.error();
    EXPECT_EQ(ClDataMgr::Inst()->GetSetObject(5, 1)->GetSelectedInfo()->lDataNo, 5);
    EXPECT_EQ(rule->MoveReady(nullptr, 0, 0), 0);
    EXPECT_EQ(CodeAt(rule.get(), 0), "N" + std::to_string(round));
  }
  rule.reset();
}

// Changes the store at path with the host disconnected meanwhile.
void ChangeStore(const std::string& path, const char* sql) {
  ClAccConnect::Inst()->Terminate();
  std::unique_ptr<StoreSql> store;
  ASSERT_TRUE(OpenStoreSql(path, true, &store).ok());
  StoreError error = store->Exec(sql);
  EXPECT_TRUE(error.ok()) << error.detail;
  store.reset();
  ASSERT_EQ(ClAccConnect::Inst()->Initiate(), 0);
}

TEST(RuleWalk, CountsTheRowsHeldAndDeliversNoRecordForAGap) {
  LedgerStore store(kLedger, u8"u");
  ASSERT_TRUE(store.ok()) << store.error();
  ChangeStore(store.path(), "DELETE FROM assets WHERE cid = 1 AND seq = 1");
  ASSERT_FALSE(HasFatalFailure());
  auto rule = Rule("A");
  ASSERT_EQ(rule->MoveReady(nullptr, 0, 0), 0);
  ASSERT_EQ(rule->GetCount(), 4);
  EXPECT_EQ(CodeAt(rule.get(), 0), "E");
  EXPECT_EQ(CodeAt(rule.get(), 1), "-") << "the gap";
  StKOTEISHISANINFO kept{};
  std::strcpy(kept.szAssetCode, "kept");
  StKOTEINENINFO year{};
  year.cyEnteredDepreciation.int64 = 7;
  EXPECT_EQ(rule->Move(1, &kept, &year, nullptr), -1);
  EXPECT_STREQ(kept.szAssetCode, "kept") << "the row after the gap is not delivered as asset 1";
  EXPECT_EQ(year.cyEnteredDepreciation.int64, 7);
  EXPECT_EQ(CodeAt(rule.get(), 3), "A") << "a seek past the gap finds the asset numbered 3";

  // A number far beyond the count neither grows the walk nor is reached.
  ChangeStore(store.path(), "UPDATE assets SET seq = 2000000000 WHERE cid = 1 AND seq = 4");
  ASSERT_EQ(rule->MoveReady(nullptr, 0, 0), 0);
  ASSERT_EQ(rule->GetCount(), 4);
  EXPECT_EQ(CodeAt(rule.get(), 3), "A");
}

TEST(AssetKey, HoldsCompanyAndSequenceInHexAndReadsBack) {
  unsigned char key[16];
  MakeAssetKey(0x1A2B3C4D, 0xABCDEF1, key);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(key)), "1A2B3C4DABCDEF1");
  long long cid = 0, seq = 0;
  ASSERT_TRUE(ParseAssetKey(key, &cid, &seq));
  EXPECT_EQ(cid, 0x1A2B3C4D);
  EXPECT_EQ(seq, 0xABCDEF1);
  MakeAssetKey(1, kMaxAssetSeq, key);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(key)), "00000001FFFFFFF");
  key[3] = 'g';
  EXPECT_FALSE(ParseAssetKey(key, &cid, &seq));
}

TEST(RuleWalk, AnExportOnlyReadsTheStore) {
  LedgerStore store(kLedger, u8"u");
  ASSERT_TRUE(store.ok()) << store.error();
  const std::string before = ReadFileBytes(store.path());
  auto rule = Rule("A");
  rule->MoveReady(nullptr, 0, 0);
  for (long i = 0; i < rule->GetCount(); ++i) CodeAt(rule.get(), i);
  StSHISANKUBUNINFO* kinds = nullptr;
  long count = 0;
  rule->LoadShisanKubunInfo(&kinds, &count);
  CoTaskMemFree(kinds);
  rule->MoveFinish();
  ClAccConnect::Inst()->LogOut();
  ClAccConnect::Inst()->Terminate();
  EXPECT_EQ(ReadFileBytes(store.path()), before);
}

TEST(SaveTextIO, KeepsOrdersPerDataSetAndGroup) {
  LedgerStore store(kLedger, u8"u");
  ASSERT_TRUE(store.ok()) << store.error();
  StTEXTIOSAVEINFO info{};
  std::strcpy(info.szGroup, "G_INFO");
  info.nCount = 3;
  info.alEntries[0] = 2;
  info.alEntries[1] = 0;
  info.alEntries[2] = 2;
  {
    ClSaveTextIO save;
    save.AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
    save.SetCurDataID(reinterpret_cast<const unsigned char*>("A"));
    EXPECT_EQ(save.GetData(&info), -1) << "nothing saved yet";
    EXPECT_EQ(info.nCount, 3);
    EXPECT_EQ(save.SetData(&info), 0);
    StTEXTIOSAVEINFO tooMany = info;
    tooMany.nCount = 257;
    EXPECT_EQ(save.SetData(&tooMany), -1);
    StTEXTIOSAVEINFO unterminated = info;
    std::memset(unterminated.szGroup, 'g', sizeof unterminated.szGroup);
    EXPECT_EQ(save.SetData(&unterminated), -1);
    EXPECT_EQ(save.GetData(&unterminated), -1);
  }
  ClAccConnect::Inst()->Terminate();
  ASSERT_EQ(ClAccConnect::Inst()->Initiate(), 0);
  ClSaveTextIO load;
  load.SetCurDataID(reinterpret_cast<const unsigned char*>("A"));
  StTEXTIOSAVEINFO got{};
  std::strcpy(got.szGroup, "G_INFO");
  ASSERT_EQ(load.GetData(&got), 0);
  EXPECT_EQ(got.nCount, 3);
  EXPECT_EQ(got.alEntries[0], 2);
  EXPECT_EQ(got.alEntries[1], 0);
  EXPECT_EQ(got.alEntries[2], 2);
  std::strcpy(got.szGroup, "G_SSC");
  EXPECT_EQ(load.GetData(&got), -1);
  load.SetCurDataID(reinterpret_cast<const unsigned char*>("B"));
  std::strcpy(got.szGroup, "G_INFO");
  EXPECT_EQ(load.GetData(&got), -1);
}

TEST(Generate, MakesEveryMethodWithBreakdownsForUserBench) {
  TempDir dir;
  std::string error;
  std::unique_ptr<StoreSql> sql;
  ASSERT_TRUE(CreateStoreSql(dir.Native("g.sqlite"), "C:\\", "C:\\s\\", &sql).ok());
  GeneratedCompany made;
  ASSERT_TRUE(GenerateCompany(sql.get(), 400, 3, &made, &error)) << error;
  sql.reset();
  EXPECT_EQ(made.dataNo, 1);
  EXPECT_EQ(made.lumpSums, 10);
  EXPECT_GE(made.breakdowns, 10);

  ClAccConnect::SetStoreOptions(dir.Native("g.sqlite").c_str(), "bench");
  ASSERT_EQ(ClAccConnect::Inst()->Initiate(), 0);
  StDATAINFO* selected = ClDataMgr::Inst()->GetSetObject(5, 1)->GetSelectedInfo();
  EXPECT_EQ(selected->lDataNo, 1);
  auto rule = Rule(selected->szDataID);
  ASSERT_EQ(rule->MoveReady(nullptr, 0, 0), 0);
  ASSERT_EQ(rule->GetCount(), 400);
  bool method[9] = {};
  long lines = 0;
  for (long i = 0; i < 400; ++i) {
    StKOTEISHISANINFO a{};
    ASSERT_EQ(rule->Move(i, &a, nullptr, nullptr), 0);
    ASSERT_GE(a.nMethod, 1);
    ASSERT_LE(a.nMethod, 8);
    method[a.nMethod] = true;
    EXPECT_LE(std::strlen(a.szAssetName), 32u);
    EXPECT_LT(a.cyAcquisitionCost.int64, 100000000000LL * 10000);
    long count = 0;
    rule->MoveReadyIkkatsu(a.abAssetKey);
    rule->GetIkkatsuCount(&count);
    EXPECT_EQ(count > 0, a.nMethod == 4);
    lines += count;
  }
  for (int m = 1; m <= 8; ++m) EXPECT_TRUE(method[m]) << m;
  EXPECT_EQ(lines, made.breakdowns);
  rule.reset();
  ClAccConnect::Inst()->Release();
}

}  // namespace

// Another program writing the store commits between two stretches of an
// export's walk and after its last row, without waiting for the walk to end;
// the walk goes on with every row.
TEST(RuleWalk, AWriterCommitsBetweenStretchesOfTheWalk) {
  TempDir dir;
  const std::string path = dir.Native("w.sqlite");
  const long assets = kWalkRowsPerRead + 100;
  std::string error;
  std::unique_ptr<StoreSql> writer;
  ASSERT_TRUE(CreateStoreSql(path, "C:\\", "C:\\s\\", &writer).ok());
  GeneratedCompany made;
  ASSERT_TRUE(GenerateCompany(writer.get(), assets, 3, &made, &error)) << error;
  ASSERT_TRUE(writer->Exec("PRAGMA busy_timeout = 0").ok());
  auto write = [&] {
    StoreError failed = writer->Exec("UPDATE users SET first_selection = first_selection + 1");
    error = failed.detail;
    return failed.ok();
  };

  ClAccConnect::SetStoreOptions(path.c_str(), "bench");
  ASSERT_EQ(ClAccConnect::Inst()->Initiate(), 0);
  auto rule = Rule(ClDataMgr::Inst()->GetSetObject(5, 1)->GetSelectedInfo()->szDataID);
  ASSERT_EQ(rule->MoveReady(nullptr, 0, 0), 0);
  ASSERT_EQ(rule->GetCount(), assets);
  StKOTEISHISANINFO asset{};
  for (long i = 0; i < 10; ++i) ASSERT_EQ(rule->Move(i, &asset, nullptr, nullptr), 0);
  // Inside a stretch the walk's read holds the store.
  EXPECT_FALSE(write());
  EXPECT_NE(error.find("another program is reading or writing the store"), std::string::npos) << error;
  for (long i = 10; i < kWalkRowsPerRead; ++i) ASSERT_EQ(rule->Move(i, &asset, nullptr, nullptr), 0);
  EXPECT_TRUE(write()) << error;
  for (long i = kWalkRowsPerRead; i < assets; ++i) {
    ASSERT_EQ(rule->Move(i, &asset, nullptr, nullptr), 0) << i;
  }
  EXPECT_TRUE(write()) << error;
  rule->MoveFinish();
  writer.reset();
  ClAccConnect::Inst()->LogOut();
  ClAccConnect::Inst()->Terminate();
}
