// Cubes and covers. A cube is a row of 2-bit codes packed 16 to a 32-bit word;
// a cover is one zero-filled AllocWork block: the slot pointers first, then the
// cubes' storage. A slot whose pointer is null is deleted.
//
// Position p of a cube stands for the symbol FirstUserSymbol + p; positions
// from n on are extra columns owned by the algorithm that made the cover. Code
// 2 at position 0 marks cube 0 as a constant: then positions 0..15 read 7
// (constant one, position 1 also 2) or 5 (constant zero).
#pragma once
#include <cstdint>

using CubeWord = uint32_t;
using Cube = CubeWord*;
using Cover = Cube*;   // the block; Cover[r] is slot r's pointer

enum { CODE_ABSENT = 0, CODE_POS = 1, CODE_TWO = 2, CODE_NEG = 3, MARK_ONE = 7, MARK_ZERO = 5 };

struct CubeRelation {
    int relation;  // 1 first contains second (or equal), 2 second strictly contains first, 0 neither
    int equal;
};

inline int CubeWords(int k) { return (k + 15) / 16; }
Cover AllocCover(int slots, int extra, int n);    // nullptr after reporting
// The same for a slot count computed in 64 bits: a size that does not fit is
// refused like an exhausted memory (reported by AllocWork and here).
Cover AllocCoverWide(uint64_t slots, int extra, int n);
Cube CubeAddress(Cover cover, int slots, int row, int extra, int n);
void FreeCover(Cover cover);

// Reading and writing codes; kept inline, every minimizer lives on them.
inline int RawCubeCode(const CubeWord* cube, int p) { return int((cube[p / 16] >> (2 * (p % 16))) & 3u); }
inline void RawSetCubeCode(CubeWord* cube, int p, int c) {
    int shift = 2 * (p % 16);
    cube[p / 16] = (cube[p / 16] & ~(CubeWord(3) << shift)) | (CubeWord(c & 3) << shift);
}
// 7 or 5 for positions 0..15 of a marked cube, else the stored code.
inline int GetCubeCode(const CubeWord* cube, int p) {
    if (p < 16 && (cube[0] & 3u) == CODE_TWO) return ((cube[0] >> 2) & 3u) == CODE_TWO ? MARK_ONE : MARK_ZERO;
    return RawCubeCode(cube, p);
}
// 7 and 5 write a marker (positions 0 and 1), any other c stores c mod 4.
inline void SetCubeCode(CubeWord* cube, int p, int c) {
    if (c == MARK_ONE) {
        RawSetCubeCode(cube, 0, CODE_TWO);
        RawSetCubeCode(cube, 1, CODE_TWO);
    } else if (c == MARK_ZERO) {
        RawSetCubeCode(cube, 0, CODE_TWO);
        RawSetCubeCode(cube, 1, CODE_ABSENT);
    } else {
        RawSetCubeCode(cube, p, c);
    }
}
inline int GetCode(Cover cover, int row, int p) { return GetCubeCode(cover[row], p); }
inline void SetCode(Cover cover, int row, int p, int c) { SetCubeCode(cover[row], p, c); }
int LiteralCount(Cover cover, int row, int n);    // also drives the progress frames
int LiveCubeCount(Cover cover, int last, int n);
bool SlotLive(Cover cover, int row, int n);
CubeRelation CompareCubes(Cover a, int rowA, Cover b, int rowB, int n);
void CopyCube(Cover src, int srcRow, Cover dst, int dstRow, int n);
int FindEqualCube(Cover cover, int from, int to, const CubeWord* cube, int n);
uint64_t Binomial(int n, int k);

// Deletes slot row: slot 0 by clearing its variable words (it keeps its
// storage for a marker), any other slot by dropping its pointer.
void DeleteSlotKeepingZero(Cover cover, int row, int n);

extern int LiteralCallCount;   // process-wide, modulo 64
