// Complete minimization: all prime implicants level by level, then the
// essential ones and a greedy choice for the rest.
//
// The cover's extra column n + j belongs to input row j: 1 the implicant
// covers the row, 2 the row is covered by an essential implicant, 3 by one
// chosen later.
#pragma once
#include <cstdint>

#include "compiler/logic/cubes.h"

// The last index of the minimized cover, or -1; *cover may be replaced. On -1
// *cover is still a valid cover owned by the caller and nothing else is held.
int MinimizeComplete(int slots, int last, int nUsed, int n, Cover* cover);
// The same for rows in slots 0..last of a cover without row columns or spare
// slots, as the packed version needs them; should that decline, the rows are
// moved into the written layout first.
int MinimizeCompleteOfRows(int last, int nUsed, int n, Cover* cover);
int CombineImplicants(int slots, int top, int n, int start, int last, Cover cover, int firstLevel);
int CompactCover(int top, int room, int m, int n, Cover* cover);
// The same with a room computed in 64 bits (refused as out of memory when the
// cover's size does not fit).
int CompactCoverWide(int top, uint64_t room, int m, int n, Cover* cover);
int SelectCover(int last, int count, int n, Cover cover);
