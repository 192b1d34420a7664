#include "ClG_SSC.h"

namespace {
const int32_t S = ClTextAccessor::TAT_STRING;
const int32_t N = ClTextAccessor::TAT_NUMBER;
}  // namespace

// Items 7 and 8 are 32-bit integers, items 10 to 15 currency values.
const StTAFORMAT ClG_SSC::s_aFormat[kItems] = {
    {"資産種類コード文字", 2, 0, 0, 3, S, 0},
    {"資産種類名", 12, 0, 3, 13, S, 0},
    {"資産分類区分", 12, 0, 16, 13, S, 0},
    {"償却区分", 10, 0, 29, 11, S, 0},
    {"償却方法", 10, 0, 40, 11, S, 0},
    {"除却方法", 14, 0, 51, 15, S, 0},
    {"残存割合", 2, 0, 66, 4, N, 1},
    {"償却可能限度割合", 2, 0, 70, 4, N, 1},
    {"償却資産申告の種類名称", 16, 0, 74, 17, S, 0},
    {"経費按分割合1分子", 6, 2, 91, 8, N, 1},
    {"経費按分割合1分母", 6, 2, 99, 8, N, 1},
    {"経費按分割合2分子", 6, 2, 107, 8, N, 1},
    {"経費按分割合2分母", 6, 2, 115, 8, N, 1},
    {"経費按分割合3分子", 6, 2, 123, 8, N, 1},
    {"経費按分割合3分母", 6, 2, 131, 8, N, 1},
    {"生物区分", 10, 0, 139, 11, S, 0},
};

ClG_SSC::ClG_SSC() : ClTextAccessor("G_SSC", s_aFormat, kItems, m_abRecord), m_abRecord{} {}

ClG_SSC::~ClG_SSC() = default;
