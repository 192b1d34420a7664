// Tests of exports of more than one company data: a ledger of two
// companies and a drive C: on a temporary folder.
#pragma once
#include <string>

#include <gtest/gtest.h>

#include "ClDataMgr.h"
#include "ClSetData.h"
#include "hostrecords.h"
#include "nativeos.h"
#include "tempdir.h"
#include "testdrives.h"

// Two companies; "sato" selects the first, "ito" the second.
inline std::u8string TwoCompanyLedger() {
  std::u8string company = u8R"("lTermStart": 20250401, "lTermEnd": 20260331, "bEntityKind": 1,
      "asset_kinds": [{"lKindNo": 5, "szKindName": "器具備品", "nKindMethod": 1}],
      "assets": [{"szAssetCode": "1", "lKindCode": 5, "szAssetName": "机", "lAcquiredDate": 20240510,
                  "lServiceDate": 20240601, "cyAcquisitionCost": "480000", "nMethod": 5,
                  "nUsefulLife": 5, "lRate": 400},
                 {"szAssetCode": "ABCDEFGHIJK", "lKindCode": 5, "szAssetName": "椅子",
                  "lAcquiredDate": 20240510, "lServiceDate": 20240601, "cyAcquisitionCost": "1000",
                  "nMethod": 5, "nUsefulLife": 5, "lRate": 400}]})";
  return u8R"({"format": "velor-ledger/1",
    "users": [{"user_id": "sato", "selected_data_no": 1}, {"user_id": "ito", "selected_data_no": 2}],
    "companies": [{"data_no": 1, "data_id": "D0001", "szDataName": "一番商事", )" + company +
         u8R"(, {"data_no": 2, "data_id": "D0002", "szDataName": "二番工業", )" + company + u8"]}";
}

// The company data of the connected store by data number.
inline StDATAINFO Company(long no) {
  ClSetData* list = ClDataMgr::Inst()->GetSetObject(5, 1);
  LONG cursor = 0;
  list->GetDatCursor(&cursor);
  list->ReadyDat(cursor, 0);
  StDATAINFO record{}, found{};
  while (list->WalkDat(&record, cursor) == 0) {
    if (record.lDataNo == no) found = record;
  }
  list->ReleaseDatCursor(cursor);
  return found;
}

// Drive C: on a temporary folder; the rest of the machine stays reachable.
class TwoCompanyTest : public ::testing::Test {
 protected:
  TwoCompanyTest() { drives_.Add("C:", dir_.path()); }
  // The bytes of the file at relative (native, below the folder of C:).
  std::string Bytes(const std::string& relative) const { return ReadFileBytes(dir_.Native(relative)); }
  // Makes the folder at relative with every missing level.
  void MakeFolder(const char* relative) { MakeNativeFolders(dir_.Native(relative)); }

  TempDir dir_;
  TestDrives drives_;
};

