// Complete minimization on packed cubes: the same primes in the same slot
// order and the same cover choice as MinimizeComplete, with merge partners
// found by lookup, duplicates by hash and row sets derived from the cubes, so
// that memory grows with the implicants actually produced rather than with
// the slots a level could need. On success the progress counter advances by
// as many LiteralCount calls as the cover-based version makes, so the
// progress frames come out the same.
#pragma once
#include "compiler/logic/cubes.h"

// Returns what MinimizeComplete returns (the last slot index, or -1 after
// "Speicher voll") and leaves *cover as it leaves it, as far as the variable
// positions of slots 0..result are concerned; the result cover carries no row
// columns. kCompleteFastDeclined when the input is not a list of distinct
// rows over exactly nUsed variables (at most 64): then nothing was touched and
// the caller runs the cover-based version.
constexpr int kCompleteFastDeclined = -100;
int MinimizeCompleteFast(int slots, int last, int nUsed, int n, Cover* cover);

// 1 (default): the primes straight from the truth table where the rows allow
// it and the work stays within bounds; 0: always level by level. Tests
// compare the two beyond the sizes the cover-based version can do.
extern int CompletePrimesFromTable;
