// Counts the allocations of a test program: linking this helper (by calling
// AllocationCount) replaces the global operator new and delete with counting
// forms over malloc and free.
#pragma once

// The number of operator new calls (all forms) the program has made so far.
long AllocationCount();
