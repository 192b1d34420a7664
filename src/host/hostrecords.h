// The accounting host's records: byte blocks exchanged with the host, packed
// without alignment so that every field lies at its fixed byte offset. Texts
// are NUL-terminated code page 932 and run from their offset to the next
// field; currency fields hold the amount times 10,000 (CY); dates are
// yyyymmdd. Unnamed gaps are padding the host keeps zero.
#pragma once
#include <cstddef>
#include <cstdint>

#include "wintypes.h"

#pragma pack(push, 1)

// One company data set of the host's data list.
struct StDATAINFO {
  char szDataID[16];        // data identifier, NUL-terminated ASCII
  LONG lDataNo;             // data number
  BYTE abPad20[4];
  char szDataName[260];     // company name
  LONG lTermStart;          // first day of the fiscal year
  LONG lTermEnd;            // last day of the fiscal year
  BYTE abPad292[34];
  int16_t nDataKind;        // data kind code; 99 is past-results data
  BYTE abPad328[16];
  BYTE bEntityKind;         // 0, 1 corporation; 3, 4 individual
  BYTE abPad345[1161];
};

// One fixed asset of the ledger.
struct StKOTEISHISANINFO {
  BYTE abPad0[16];
  BYTE abAssetKey[16];           // ledger key, unique per asset
  char szAssetCode[16];          // asset code
  LONG lKindCode;                // asset kind code
  char szAssetName[193];         // asset name
  char szQuantity[9];            // quantity and unit, e.g. "2台"
  char szMemo[82];               // memo
  int16_t nDisposalKind;         // 4 sold, 5 retired, other not disposed
  char szCapitalExpenditure[18]; // non-empty for a capital expenditure
  LONG lAcquiredDate;            // acquisition date
  LONG lServiceDate;             // date placed in service
  BYTE abPad364[4];
  CY cyAcquisitionCost;          // acquisition cost
  CY cyCompressionAmount;        // compressed-entry amount
  CY cyOpeningBookValue;         // book value at the start of the year
  int16_t nMethod;               // depreciation method code (4: lump sum)
  int16_t nUsefulLife;           // useful life in years
  LONG lRate;                    // depreciation rate in thousandths
  LONG lResidualRate;            // residual value rate
  BYTE bLimitByAmount;           // 0: cyLimit is a rate; 1: an amount
  BYTE abPad405[3];
  CY cyLimit;                    // depreciable limit
  BYTE abPad416[10];
  int16_t nBusinessRatio;        // business-use ratio, hundredths of a percent
  int16_t nSellingShare;         // selling/administrative share, percent
  int16_t nMonthCount;           // months figure of entered months
  int16_t nMonthDivisor;         // divisor of 12 of entered months
  BYTE abPad434[6];
  CY cyResidualValue;            // residual value
  CY cyDepreciationBase;         // amount depreciation is computed on
  CY cySellingExpense;           // depreciation to selling/administrative
  CY cyManufacturingCost;        // depreciation to manufacturing cost
  CY cyAccumulated;              // accumulated depreciation
  CY cyClosingBookValue;         // book value at the end of the year
  LONG lDisposalDate;            // disposal date
  BYTE abPad492[4];
  CY cySalePrice;                // sale price on disposal
  BYTE abPad504[24];
  int16_t nStatementLink;        // 2 real-estate, 3 agricultural income
  BYTE abPad530[3];
  BYTE bMonthsEntered;           // 1: depreciation months entered by hand
  BYTE abPad534[3];
  CY cyRevisedCost;              // revised acquisition cost
  BYTE bInherited;               // 1: taken over by inheritance or merger
  CY cyInheritedBookValue;       // book value taken over
};

// The figures of one asset for the fiscal year.
struct StKOTEINENINFO {
  BYTE abPad0[40];
  CY cyComputedDepreciation;    // ordinary depreciation of the year
  CY cySpecialDepreciation;     // special depreciation of the year
  CY cyAdditionalDepreciation;  // additional depreciation of the year
  CY cyEnteredDepreciation;     // depreciation entered by the user (0 none)
  BYTE abPad72[888];
};

// The monthly figures of one asset (delivered, not used by the exporter).
struct StKOTEITSUKIINFO {
  BYTE abData[1536];
};

// One breakdown line of a lump-sum asset.
struct StIKKATSUINFO {
  BYTE abPad0[48];
  char szBreakdownNo[13];    // breakdown number (the exporter numbers lines)
  char szBreakdownName[83];  // name of the line
  LONG lBreakdownDate;       // acquisition date
  BYTE abPad148[4];
  CY cyBreakdownCost;        // acquisition cost
  LONG lBreakdownQuantity;   // quantity in hundredths
  BYTE abPad164[92];
};

// One asset kind of the asset-kind master.
struct StSHISANKUBUNINFO {
  BYTE abPad0[16];
  LONG lKindNo;             // kind code
  char szKindName[82];      // kind name
  int16_t nKindMethod;      // method code of the kind
  LONG lKindResidualRate;   // residual ratio, 0 when not set
  BYTE abPad108[20];
};

#pragma pack(pop)

// A search filter of the rule object; the exporter always passes null.
struct StFINDINFO;

static_assert(sizeof(StDATAINFO) == 1506);
static_assert(offsetof(StDATAINFO, lDataNo) == 16);
static_assert(offsetof(StDATAINFO, szDataName) == 24);
static_assert(offsetof(StDATAINFO, lTermStart) == 284);
static_assert(offsetof(StDATAINFO, lTermEnd) == 288);
static_assert(offsetof(StDATAINFO, nDataKind) == 326);
static_assert(offsetof(StDATAINFO, bEntityKind) == 344);

static_assert(sizeof(StKOTEISHISANINFO) == 554);
static_assert(offsetof(StKOTEISHISANINFO, abAssetKey) == 16);
static_assert(offsetof(StKOTEISHISANINFO, szAssetCode) == 32);
static_assert(offsetof(StKOTEISHISANINFO, lKindCode) == 48);
static_assert(offsetof(StKOTEISHISANINFO, szAssetName) == 52);
static_assert(offsetof(StKOTEISHISANINFO, szQuantity) == 245);
static_assert(offsetof(StKOTEISHISANINFO, szMemo) == 254);
static_assert(offsetof(StKOTEISHISANINFO, nDisposalKind) == 336);
static_assert(offsetof(StKOTEISHISANINFO, szCapitalExpenditure) == 338);
static_assert(offsetof(StKOTEISHISANINFO, lAcquiredDate) == 356);
static_assert(offsetof(StKOTEISHISANINFO, lServiceDate) == 360);
static_assert(offsetof(StKOTEISHISANINFO, cyAcquisitionCost) == 368);
static_assert(offsetof(StKOTEISHISANINFO, cyCompressionAmount) == 376);
static_assert(offsetof(StKOTEISHISANINFO, cyOpeningBookValue) == 384);
static_assert(offsetof(StKOTEISHISANINFO, nMethod) == 392);
static_assert(offsetof(StKOTEISHISANINFO, nUsefulLife) == 394);
static_assert(offsetof(StKOTEISHISANINFO, lRate) == 396);
static_assert(offsetof(StKOTEISHISANINFO, lResidualRate) == 400);
static_assert(offsetof(StKOTEISHISANINFO, bLimitByAmount) == 404);
static_assert(offsetof(StKOTEISHISANINFO, cyLimit) == 408);
static_assert(offsetof(StKOTEISHISANINFO, nBusinessRatio) == 426);
static_assert(offsetof(StKOTEISHISANINFO, nSellingShare) == 428);
static_assert(offsetof(StKOTEISHISANINFO, nMonthCount) == 430);
static_assert(offsetof(StKOTEISHISANINFO, nMonthDivisor) == 432);
static_assert(offsetof(StKOTEISHISANINFO, cyResidualValue) == 440);
static_assert(offsetof(StKOTEISHISANINFO, cyDepreciationBase) == 448);
static_assert(offsetof(StKOTEISHISANINFO, cySellingExpense) == 456);
static_assert(offsetof(StKOTEISHISANINFO, cyManufacturingCost) == 464);
static_assert(offsetof(StKOTEISHISANINFO, cyAccumulated) == 472);
static_assert(offsetof(StKOTEISHISANINFO, cyClosingBookValue) == 480);
static_assert(offsetof(StKOTEISHISANINFO, lDisposalDate) == 488);
static_assert(offsetof(StKOTEISHISANINFO, cySalePrice) == 496);
static_assert(offsetof(StKOTEISHISANINFO, nStatementLink) == 528);
static_assert(offsetof(StKOTEISHISANINFO, bMonthsEntered) == 533);
static_assert(offsetof(StKOTEISHISANINFO, cyRevisedCost) == 537);
static_assert(offsetof(StKOTEISHISANINFO, bInherited) == 545);
static_assert(offsetof(StKOTEISHISANINFO, cyInheritedBookValue) == 546);

static_assert(sizeof(StKOTEINENINFO) == 960);
static_assert(offsetof(StKOTEINENINFO, cyComputedDepreciation) == 40);
static_assert(offsetof(StKOTEINENINFO, cySpecialDepreciation) == 48);
static_assert(offsetof(StKOTEINENINFO, cyAdditionalDepreciation) == 56);
static_assert(offsetof(StKOTEINENINFO, cyEnteredDepreciation) == 64);

static_assert(sizeof(StKOTEITSUKIINFO) == 1536);

static_assert(sizeof(StIKKATSUINFO) == 256);
static_assert(offsetof(StIKKATSUINFO, szBreakdownNo) == 48);
static_assert(offsetof(StIKKATSUINFO, szBreakdownName) == 61);
static_assert(offsetof(StIKKATSUINFO, lBreakdownDate) == 144);
static_assert(offsetof(StIKKATSUINFO, cyBreakdownCost) == 152);
static_assert(offsetof(StIKKATSUINFO, lBreakdownQuantity) == 160);

static_assert(sizeof(StSHISANKUBUNINFO) == 128);
static_assert(offsetof(StSHISANKUBUNINFO, lKindNo) == 16);
static_assert(offsetof(StSHISANKUBUNINFO, szKindName) == 20);
static_assert(offsetof(StSHISANKUBUNINFO, nKindMethod) == 102);
static_assert(offsetof(StSHISANKUBUNINFO, lKindResidualRate) == 104);
