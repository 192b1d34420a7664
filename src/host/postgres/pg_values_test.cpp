#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "pg_values.h"

namespace {

// A record of a four-byte text, an amount and a 2-byte integer.
struct Record {
  char text[4];
  int64_t wide;
  int16_t narrow;
};
const HostField kText{"text", HF_TEXT, 0, offsetof(Record, text), sizeof(Record::text)};
const HostField kWide{"wide", HF_CURRENCY, 0, offsetof(Record, wide), sizeof(Record::wide)};
const HostField kNarrow{"narrow", HF_INT16, 0, offsetof(Record, narrow), sizeof(Record::narrow)};

// Scans value (a copy row's field and what follows it) as field f into
// *record; the rest of value after the field, or "FAILED".
std::string Scan(const HostField& f, const std::string& value, Record* record) {
  void* records[1] = {record};
  const char* end = value.data() + value.size();
  const char* at = PgScanCopyField(f, value.data(), end, records);
  return at == nullptr ? "FAILED" : std::string(at, end);
}

TEST(PgCopyText, IntegersAndNullsAreReadUpToTheirDelimiter) {
  Record r{};
  EXPECT_EQ(Scan(kWide, "-9223372036854775807\tx", &r), "FAILED");  // 19 digits
  EXPECT_EQ(Scan(kWide, "-99999999999999999\t", &r), "\t");
  EXPECT_EQ(r.wide, -99999999999999999);
  EXPECT_EQ(Scan(kNarrow, "12\n", &r), "\n");
  EXPECT_EQ(r.narrow, 12);
  // NULL leaves the field as it was, whatever its type.
  EXPECT_EQ(Scan(kNarrow, "\\N\t", &r), "\t");
  EXPECT_EQ(Scan(kText, "\\N\n", &r), "\n");
  EXPECT_EQ(r.narrow, 12);
  for (const char* bad : {"", "-", "\t", "x1"}) EXPECT_EQ(Scan(kWide, bad, &r), "FAILED") << bad;
  // A field that is not all digits stops where the digits end, which the
  // caller finds is no delimiter.
  EXPECT_EQ(Scan(kWide, "12a\t", &r), "a\t");
}

TEST(PgCopyText, ByteaIsDecodedAndCutToItsField) {
  Record r{};
  // Tab, line feed and backslash come as hex, not as delimiters.
  EXPECT_EQ(Scan(kText, "\\\\x095C0a\n", &r), "\n");
  EXPECT_EQ(std::string(r.text), "\t\\\n");
  // Longer than the field: cut, with its NUL; the whole value is passed.
  EXPECT_EQ(Scan(kText, "\\\\x41424344\t", &r), "\t");
  EXPECT_EQ(std::string(r.text), "ABC");
  EXPECT_EQ(Scan(kText, "\\\\x\t", &r), "\t");
  EXPECT_EQ(std::string(r.text), "");
  for (const char* bad : {"\\x41\t", "41\t", "\\\\", "\\\\y41"})
    EXPECT_EQ(Scan(kText, bad, &r), "FAILED") << bad;
  // An odd digit or one that is no hex digit ends the value there.
  EXPECT_EQ(Scan(kText, "\\\\x414\n", &r), "4\n");
  EXPECT_EQ(Scan(kText, "\\\\x4g\n", &r), "4g\n");
  // A value that the row ends inside is read no further than the row.
  const std::string cut = "\\\\x4142";
  void* records[1] = {&r};
  EXPECT_EQ(PgScanCopyField(kText, cut.data(), cut.data() + 5, records), cut.data() + 5);
  EXPECT_EQ(std::string(r.text), "A");
}

}  // namespace
