// A small ledger for tests of whole runs, and UTF-8 literals as strings.
#pragma once
#include <string>

// The bytes of a u8"" literal as a std::string (UTF-8; narrow literals of
// the system are code page 932).
inline std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

// Users "sato" (selects 7, a corporation with one asset and no diagnostics),
// "kako" (selects 8, past-results data) and "nobody" (selects 99, which names
// no company data).
inline constexpr char8_t kSmallLedger[] = u8R"({
  "format": "velor-ledger/1",
  "users": [{"user_id": "sato", "selected_data_no": 7},
            {"user_id": "kako", "selected_data_no": 8},
            {"user_id": "nobody", "selected_data_no": 99}],
  "companies": [
    {"data_no": 7, "data_id": "S0007", "szDataName": "佐藤商事株式会社", "lTermStart": 20250401,
     "lTermEnd": 20260331, "data_kind": 0, "bEntityKind": 1,
     "asset_kinds": [{"lKindNo": 1, "szKindName": "建物", "nKindMethod": 2, "lKindResidualRate": 10}],
     "assets": [{"szAssetCode": "1", "lKindCode": 1, "szAssetName": "倉庫", "lAcquiredDate": 20200401,
                 "lServiceDate": 20200401, "cyAcquisitionCost": "1000000", "nMethod": 2,
                 "nUsefulLife": 10, "nBusinessRatio": 10000, "nSellingShare": 100}]},
    {"data_no": 8, "data_id": "K0008", "szDataName": "過去の会社", "lTermStart": 20200101,
     "lTermEnd": 20201231, "data_kind": 99, "bEntityKind": 1, "asset_kinds": [], "assets": []}
  ]
})";
