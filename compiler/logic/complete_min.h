// Complete minimization: all prime implicants level by level, then the
// essential ones and a greedy choice for the rest.
#pragma once
#include "compiler/logic/cubes.h"

// The last index of the minimized cover, or -1; *cover may be replaced.
int MinimizeComplete(int slots, int last, int nUsed, int n, Cover* cover);
int CombineImplicants(int slots, int top, int n, int start, int last, Cover cover, int firstLevel);
int CompactCover(int top, int room, int m, int n, Cover* cover);
int SelectCover(int last, int count, int n, Cover cover);
