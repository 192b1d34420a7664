// The columns of the asset file's data row that the row writers fill, by
// their numbers (1 to 156; item column - 1 of ClG_INFO).
#pragma once

enum InfoColumn : long {
  IC_CODE = 1,                // ;資産コード
  IC_KIND_CODE = 3,           // 資産種類コード
  IC_METHOD = 5,              // 償却方法
  IC_CAPITAL = 6,             // 資本的支出区分
  IC_STATEMENT = 10,          // 決算書連動先
  IC_NAME = 11,               // 資産名称
  IC_ACQUIRED = 14,           // 取得年月日
  IC_SERVICE = 15,            // 供用年月日
  IC_QUANTITY = 16,           // 数量
  IC_UNIT = 17,               // 単位
  IC_LIFE = 18,               // 耐用年数
  IC_RATE = 22,               // 償却率
  IC_TRANSITION = 23,         // 経過措置
  IC_PERIOD_MONTHS = 24,      // 償却期間の月数
  IC_COST = 25,               // 取得価額
  IC_COMPRESSION = 27,        // 圧縮記帳額
  IC_RESIDUAL_RATE = 31,      // 残存価額 率
  IC_RESIDUAL = 33,           // 残存価額
  IC_LIMIT_RATE = 36,         // 償却可能限度額 率
  IC_LIMIT_ENTERED = 37,      // 償却可能限度額(入力)
  IC_LIMIT = 38,              // 償却可能限度額
  IC_MONTHS_ENTERED = 41,     // 償却月数(入力)
  IC_MONTHS = 42,             // 償却月数
  IC_INHERITED = 43,          // 相続合併(入力フラグ)
  IC_OPENING = 44,            // 期首帳簿価額
  IC_REVISED_ENTERED = 49,    // 改定取得価額(入力)
  IC_REVISED = 50,            // 改定取得価額
  IC_BASE = 53,               // 償却計算の基礎となる額
  IC_COMPUTED_ENTERED = 54,   // 算出償却額(入力)
  IC_COMPUTED = 55,           // 算出償却額
  IC_ADDITIONAL_ENTERED = 58, // 増加償却額(入力)
  IC_ADDITIONAL = 59,         // 増加償却額
  IC_SPECIAL_KIND = 60,       // 特別償却区分
  IC_SPECIAL_ENTERED = 64,    // 特別償却金額(入力)
  IC_SPECIAL = 65,            // 特別償却金額
  IC_SPECIAL_BOOKING = 66,    // 経理処理区分
  IC_YEAR_ENTERED = 68,       // 当期償却額(入力)
  IC_YEAR = 69,               // 当期償却額
  IC_APPLIED_RATE = 71,       // 償却実施率
  IC_BUSINESS_NUM = 72,       // 事業専用割合(分子)
  IC_BUSINESS_DEN = 73,       // 事業専用割合(分母)
  IC_DISPOSAL_DATE = 74,      // 除却年月日
  IC_DISPOSAL_RULE = 75,      // 除却時の計算方法
  IC_DISPOSAL_KIND = 76,      // 除却区分
  IC_SALE_PRICE = 77,         // 除売却価額
  IC_CLOSING = 83,            // 期末帳簿価額
  IC_ACCUMULATED = 85,        // 償却累計額
  IC_SELLING_NUM = 86,        // 販売管理費(分子)
  IC_SELLING_DEN = 87,        // 販売管理費(分母)
  IC_SELLING = 88,            // 販売管理費
  IC_MAKING_NUM = 89,         // 製造原価(分子)
  IC_MAKING_DEN = 90,         // 製造原価(分母)
  IC_MAKING = 91,             // 製造原価
  IC_DECLARED_KIND = 95,      // 償却資産種類
  IC_MEMO_UPPER = 155,        // メモ欄上段
  IC_MEMO_LOWER = 156,        // メモ欄下段
};
