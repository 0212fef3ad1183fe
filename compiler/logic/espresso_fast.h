// The Espresso option on packed cubes: the same recursion, the same scan-order
// results as the cover-based version, with merging and containment found
// through literal-set bitsets instead of comparing every pair position by
// position.
#pragma once
#include "compiler/logic/cubes.h"

// Returns what Simplify returns and leaves *cover as Simplify leaves it.
// kSimplifyFastDeclined when the cover holds something the packed form does
// not carry (a code 2 in a variable position, more than 64 variables in use);
// then nothing was touched and the caller runs the cover-based version.
constexpr int kSimplifyFastDeclined = -100;
int SimplifyFast(int last, int n, Cover* cover);
