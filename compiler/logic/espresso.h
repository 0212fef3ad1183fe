// The Espresso option: unate recursive simplification of a cover.
#pragma once
#include "compiler/logic/cubes.h"

// The last index of the cover now in *cover, or -1 (empty input, or memory).
int Simplify(int last, int n, Cover* cover);
int MostBinateVariable(Cover cover, int last, int n);  // -1 none
void RemoveContainedCubes(Cover cover, int last, int n);
// polarity 1 positive, 3 negative. *lastOut is -1 for an empty cofactor.
Cover Cofactor(int polarity, Cover cover, int last, int n, int v, int* lastOut);
Cover MergeCofactors(Cover c1, int last1, Cover c0, int last0, int v, int n, int* lastG);
