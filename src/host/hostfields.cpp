#include "hostfields.h"

#include <cstring>

#include "hostrecords.h"

#define ASSET(type, name) {#name, type, 0, offsetof(StKOTEISHISANINFO, name), sizeof(StKOTEISHISANINFO::name)}
#define YEAR(name) {#name, HF_CURRENCY, 1, offsetof(StKOTEINENINFO, name), sizeof(CY)}

const HostField kAssetFields[] = {
    ASSET(HF_TEXT, szAssetCode),
    ASSET(HF_INT32, lKindCode),
    ASSET(HF_TEXT, szAssetName),
    ASSET(HF_TEXT, szQuantity),
    ASSET(HF_TEXT, szMemo),
    ASSET(HF_INT16, nDisposalKind),
    ASSET(HF_TEXT, szCapitalExpenditure),
    ASSET(HF_INT32, lAcquiredDate),
    ASSET(HF_INT32, lServiceDate),
    ASSET(HF_CURRENCY, cyAcquisitionCost),
    ASSET(HF_CURRENCY, cyCompressionAmount),
    ASSET(HF_CURRENCY, cyOpeningBookValue),
    ASSET(HF_INT16, nMethod),
    ASSET(HF_INT16, nUsefulLife),
    ASSET(HF_INT32, lRate),
    ASSET(HF_INT32, lResidualRate),
    ASSET(HF_BYTE, bLimitByAmount),
    ASSET(HF_CURRENCY, cyLimit),
    ASSET(HF_INT16, nBusinessRatio),
    ASSET(HF_INT16, nSellingShare),
    ASSET(HF_INT16, nMonthCount),
    ASSET(HF_INT16, nMonthDivisor),
    ASSET(HF_CURRENCY, cyResidualValue),
    ASSET(HF_CURRENCY, cyDepreciationBase),
    ASSET(HF_CURRENCY, cySellingExpense),
    ASSET(HF_CURRENCY, cyManufacturingCost),
    ASSET(HF_CURRENCY, cyAccumulated),
    ASSET(HF_CURRENCY, cyClosingBookValue),
    ASSET(HF_INT32, lDisposalDate),
    ASSET(HF_CURRENCY, cySalePrice),
    ASSET(HF_INT16, nStatementLink),
    ASSET(HF_BYTE, bMonthsEntered),
    ASSET(HF_CURRENCY, cyRevisedCost),
    ASSET(HF_BYTE, bInherited),
    ASSET(HF_CURRENCY, cyInheritedBookValue),
    YEAR(cyComputedDepreciation),
    YEAR(cySpecialDepreciation),
    YEAR(cyAdditionalDepreciation),
    YEAR(cyEnteredDepreciation),
};
const size_t kAssetFieldCount = sizeof(kAssetFields) / sizeof(kAssetFields[0]);

#define LINE(type, name) {#name, type, 0, offsetof(StIKKATSUINFO, name), sizeof(StIKKATSUINFO::name)}
const HostField kBreakdownFields[] = {
    LINE(HF_TEXT, szBreakdownName),
    LINE(HF_INT32, lBreakdownDate),
    LINE(HF_CURRENCY, cyBreakdownCost),
    LINE(HF_INT32, lBreakdownQuantity),
};
const size_t kBreakdownFieldCount = sizeof(kBreakdownFields) / sizeof(kBreakdownFields[0]);

#define KIND(type, name) {#name, type, 0, offsetof(StSHISANKUBUNINFO, name), sizeof(StSHISANKUBUNINFO::name)}
const HostField kKindFields[] = {
    KIND(HF_INT32, lKindNo),
    KIND(HF_TEXT, szKindName),
    KIND(HF_INT16, nKindMethod),
    KIND(HF_INT32, lKindResidualRate),
};
const size_t kKindFieldCount = sizeof(kKindFields) / sizeof(kKindFields[0]);

const HostField* FindHostField(const HostField* fields, size_t count, const char* name) {
  for (size_t i = 0; i < count; ++i) {
    if (std::strcmp(fields[i].name, name) == 0) return &fields[i];
  }
  return nullptr;
}
