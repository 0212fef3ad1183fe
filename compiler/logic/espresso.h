// The Espresso option: unate recursive simplification of a cover.
#pragma once
#include "compiler/logic/cubes.h"

// The last index of the cover now in *cover, or -1 (empty input, or memory).
// On -1 *cover is still the caller's cover, unchanged, and nothing is held.
int Simplify(int last, int n, Cover* cover);
// The most binate position, -1 none, kBinateNoMemory when its counting
// arrays could not be had.
constexpr int kBinateNoMemory = -2;
int MostBinateVariable(Cover cover, int last, int n);
void RemoveContainedCubes(Cover cover, int last, int n);
// polarity 1 positive, 3 negative. *lastOut is -1 for an empty cofactor.
// nullptr when the cover could not be had.
Cover Cofactor(int polarity, Cover cover, int last, int n, int v, int* lastOut);
Cover MergeCofactors(Cover c1, int last1, Cover c0, int last0, int v, int n, int* lastG);
