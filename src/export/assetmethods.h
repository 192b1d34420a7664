// The host's depreciation method codes (nMethod of an asset record).
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
