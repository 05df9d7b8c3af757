// Heap allocations made by the benchmark's process: the counting operator new
// lives in allocation_counter.cpp, linked into the benchmarks that use it.
#pragma once

long long AllocationCount();
