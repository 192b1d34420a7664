// A synthetic company data set for benchmarks and trials, written straight
// into the host store.
#pragma once
#include <cstdint>
#include <string>

#include "storesql.h"

// What GenerateCompany made.
struct GeneratedCompany {
  long dataNo = 0;       // data number of the new company data set
  std::string dataId;    // its data identifier ("GEN" and the data number)
  long lumpSums = 0;     // lump-sum assets among the assets
  long breakdowns = 0;   // breakdown lines of those
};

// Adds to the writable store sql, in one transaction, a company data set with
// the next free data number and `assets` assets (every method code, lump-sum
// assets with breakdown lines, double-byte names, amounts that fit the
// exporter's columns), drawn from seed, and makes the user "bench" (added
// when missing) select it. False with *error (UTF-8) and nothing added.
bool GenerateCompany(StoreSql* sql, long assets, uint32_t seed, GeneratedCompany* made,
                     std::string* error);
