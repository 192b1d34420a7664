// The host's codes that the records carry: depreciation methods (nMethod of
// an asset record, nKindMethod of an asset kind) and the asset kinds with
// rules of their own (lKindCode of an asset, lKindNo of an asset kind).
#pragma once
#include <cstdint>

const int16_t kMethodOldDeclining = 1;
const int16_t kMethodOldStraight = 2;
const int16_t kMethodEqual = 3;
const int16_t kMethodLumpSum = 4;  // a lump-sum asset: its breakdown lines are the rows
const int16_t kMethodDeclining = 5;
const int16_t kMethodStraight = 6;
const int16_t kMethodSmall = 7;
const int16_t kMethodDeclining2012 = 8;

const int32_t kKindDeferred = 9;          // deferred assets
const int32_t kKindLimitIsResidual = 10;  // the depreciable limit is the residual value
const int32_t kKindNonDepreciable = 11;   // not depreciated (land)
