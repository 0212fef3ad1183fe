// Work memory of the compiler: zero-filled blocks in whole pages straight
// from the operating system (VirtualAlloc on Windows, mmap elsewhere).
#pragma once
#include <cstddef>

// A block of count * size zero-filled bytes, or nullptr. A refusal reports
// "Speicher voll" (error, no line prefix) before it returns.
void* AllocWork(size_t count, size_t size);
// Gives a block from AllocWork back whole; nullptr is ignored.
void FreeWork(void* block);

// Test hooks. Requests are counted from the last WorkMemoryResetCounters().
// WorkMemoryFailAt(k) refuses the k-th request (1-based) from then on; with
// failAfter also every later one. k = 0 switches the refusal off.
void WorkMemoryFailAt(long k, bool failAfter = false);
void WorkMemoryResetCounters();
long WorkMemoryRequestCount();     // requests since the reset, refused ones included
long WorkMemoryOutstandingBlocks(); // blocks handed out and not yet given back
// Upper bound for the sum of outstanding blocks (bytes); requests beyond it
// are refused like an exhausted system. Default 8 GiB.
void WorkMemorySetLimit(size_t bytes);
// The largest sum of outstanding blocks (bytes, whole pages) since the last
// WorkMemoryResetPeak(); for the benchmark's memory figures.
size_t WorkMemoryPeakBytes();
void WorkMemoryResetPeak();
