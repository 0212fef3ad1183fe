// Cubes and covers: the encoding, the block layout and the primitives that
// every minimizer and the writer share.
#include "compiler/logic/cubes.h"

#include <cstddef>
#include <cstring>

#include "compiler/front/diagnostics.h"
#include "compiler/front/work_memory.h"

int LiteralCallCount = 0;

namespace {
// Words of cube storage per slot. A cover always gets at least one word per
// cube so that a constant marker can be written even for zero positions.
int StrideWords(int extra, int n) {
    int w = CubeWords(extra + n);
    return w > 0 ? w : 1;
}
}  // namespace

Cover AllocCoverWide(uint64_t slots, int extra, int n) {
    uint64_t stride = sizeof(Cube) + uint64_t(StrideWords(extra, n)) * sizeof(CubeWord);
    size_t count;
    if (slots > uint64_t(INT32_MAX) || slots > uint64_t(SIZE_MAX) / stride)
        count = SIZE_MAX;  // cannot be had: AllocWork refuses it and reports
    else
        count = size_t(slots * stride);
    void* block = AllocWork(count, 1);
    if (!block) {
        Report(MSG_SPEICHER_VOLL, 0);
        return nullptr;
    }
    return static_cast<Cover>(block);
}

Cover AllocCover(int slots, int extra, int n) {
    return AllocCoverWide(slots > 0 ? uint64_t(slots) : 0, extra, n);
}

Cube CubeAddress(Cover cover, int slots, int row, int extra, int n) {
    CubeWord* storage = reinterpret_cast<CubeWord*>(cover + slots);
    return storage + size_t(StrideWords(extra, n)) * size_t(row);
}

void FreeCover(Cover cover) { FreeWork(cover); }

int LiteralCount(Cover cover, int row, int n) {
    LiteralCallCount = (LiteralCallCount + 1) % 64;
    if (LiteralCallCount == 0) StepProgress();
    const CubeWord* cube = cover[row];
    if (n > 0 && (cube[0] & 3u) == CODE_TWO) {
        // A marked cube reads 7 or 5 at its first sixteen positions.
        int count = 0;
        for (int p = 0; p < n; ++p)
            if (GetCode(cover, row, p) != CODE_ABSENT) ++count;
        return count;
    }
    // A code is present when either of its two bits is set.
    int count = 0;
    for (int w = 0; w * 16 < n; ++w) {
        CubeWord x = (cube[w] | (cube[w] >> 1)) & 0x55555555u;
        int inWord = n - w * 16;
        if (inWord < 16) x &= (CubeWord(1) << (2 * inWord)) - 1;
        count += __builtin_popcount(x);
    }
    return count;
}

bool SlotLive(Cover cover, int row, int n) {
    if (!cover[row]) return false;
    if (row > 0) return true;
    return LiteralCount(cover, 0, n) >= 1;
}

int LiveCubeCount(Cover cover, int last, int n) {
    int live = 0;
    for (int r = 0; r <= last; ++r)
        if (SlotLive(cover, r, n)) ++live;
    return live;
}

void DeleteSlotKeepingZero(Cover cover, int row, int n) {
    if (row == 0) {
        if (cover[0]) std::memset(cover[0], 0, size_t(CubeWords(n)) * sizeof(CubeWord));
    } else {
        cover[row] = nullptr;
    }
}

CubeRelation CompareCubes(Cover a, int rowA, Cover b, int rowB, int n) {
    if (!a[rowA] || !b[rowB]) return {0, 0};
    int relation = 0;
    int equal = 1;
    for (int i = 0; i < n; ++i) {
        int ca = GetCode(a, rowA, i);
        int cb = GetCode(b, rowB, i);
        if (ca == cb) continue;
        if (ca == CODE_ABSENT && (cb == CODE_POS || cb == CODE_NEG) && (relation == 0 || relation == 1)) {
            relation = 1;
            equal = 0;
        } else if (cb == CODE_ABSENT && (ca == CODE_POS || ca == CODE_NEG) && (relation == 0 || relation == 2)) {
            relation = 2;
            equal = 0;
        } else {
            return {0, 0};
        }
    }
    if (equal) return {1, 1};
    return {relation, 0};
}

void CopyCube(Cover src, int srcRow, Cover dst, int dstRow, int n) {
    const CubeWord* from = src[srcRow];
    if (n > 0 && (from[0] & 3u) == CODE_TWO) {
        // A marker is copied as a marker: positions 0 and 1 only.
        for (int p = 0; p < n; ++p) SetCode(dst, dstRow, p, GetCode(src, srcRow, p));
        return;
    }
    // Positions 0..n-1 word by word; the destination's extra columns stay.
    CubeWord* to = dst[dstRow];
    for (int w = 0; w * 16 < n; ++w) {
        int inWord = n - w * 16;
        CubeWord mask = inWord >= 16 ? ~CubeWord(0) : (CubeWord(1) << (2 * inWord)) - 1;
        to[w] = (to[w] & ~mask) | (from[w] & mask);
    }
}

int FindEqualCube(Cover cover, int from, int to, const CubeWord* cube, int n) {
    for (int r = from; r <= to; ++r) {
        if (!cover[r]) continue;
        int p = 0;
        while (p < n && GetCode(cover, r, p) == GetCubeCode(cube, p)) ++p;
        if (p == n) return 1;
    }
    return 0;
}

uint64_t Binomial(int n, int k) {
    if (k < 0 || n < 0 || k > n) return 0;
    if (k > n - k) k = n - k;
    uint64_t result = 1;
    // Each partial product result * (n - k + i) / i is itself a binomial
    // coefficient, so the division is exact.
    for (int i = 1; i <= k; ++i) result = result * uint64_t(n - k + i) / uint64_t(i);
    return result;
}
