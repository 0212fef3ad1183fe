// The Espresso option: split on the most binate variable, simplify both
// cofactors, merge them back lifting out what holds under both values. A
// unate cover is only cleared of contained cubes.
#include "compiler/logic/espresso.h"

#include "compiler/front/work_memory.h"
#include "compiler/logic/algorithm_choice.h"
#include "compiler/logic/espresso_fast.h"

int MostBinateVariable(Cover cover, int last, int n) {
    int* negative = static_cast<int*>(AllocWork(size_t(n > 0 ? n : 0), 4));
    if (!negative) return kBinateNoMemory;
    int* positive = static_cast<int*>(AllocWork(size_t(n > 0 ? n : 0), 4));
    if (!positive) {
        FreeWork(negative);
        return kBinateNoMemory;
    }
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j <= last; ++j) {
            if (!cover[j]) continue;
            int c = GetCode(cover, j, i);
            if (c == CODE_NEG) ++negative[i];
            else if (c == CODE_POS) ++positive[i];
        }
    }
    int best = -1;
    int bestSum = 0;
    for (int i = 0; i < n; ++i) {
        if (negative[i] > 0 && positive[i] > 0 && negative[i] + positive[i] > bestSum) {
            best = i;
            bestSum = negative[i] + positive[i];
        }
    }
    FreeWork(positive);
    FreeWork(negative);
    return best;
}

void RemoveContainedCubes(Cover cover, int last, int n) {
    for (int i = 0; i < last; ++i) {
        for (int j = i + 1; j <= last; ++j) {
            CubeRelation r = CompareCubes(cover, i, cover, j, n);
            if (r.relation == 1) {
                cover[j] = nullptr;
            } else if (r.relation == 2) {
                cover[i] = nullptr;   // the rest of this i compares with nothing
            }
        }
    }
}

Cover Cofactor(int polarity, Cover cover, int last, int n, int v, int* lastOut) {
    *lastOut = -1;
    int slots = last + 1;
    Cover out = AllocCover(slots, 0, n);
    if (!out) return nullptr;
    int k = 0;
    for (int j = 0; j <= last; ++j) {
        if (!cover[j]) continue;
        int c = GetCode(cover, j, v);
        bool keep = c == CODE_ABSENT || (polarity == CODE_POS && c == CODE_POS) ||
                    (polarity == CODE_NEG && c == CODE_NEG);
        if (!keep) continue;
        out[k] = CubeAddress(out, slots, k, 0, n);
        CopyCube(cover, j, out, k, n);
        if (c != CODE_ABSENT) SetCode(out, k, v, CODE_ABSENT);
        ++k;
    }
    *lastOut = k - 1;
    return out;
}

Cover MergeCofactors(Cover c1, int last1, Cover c0, int last0, int v, int n, int* lastG) {
    *lastG = -1;
    int slots = last1 + last0 + 2;
    Cover g = AllocCover(slots, 0, n);
    if (!g) return nullptr;
    int i = 0;
    auto append = [&](Cover from, int row) {
        g[i] = CubeAddress(g, slots, i, 0, n);
        CopyCube(from, row, g, i, n);
        ++i;
    };
    // Lift what holds under both values of v.
    for (int j = 0; j <= last1; ++j) {
        for (int k = 0; k <= last0; ++k) {
            if (!c1[j]) break;
            if (!c0[k]) continue;
            CubeRelation r = CompareCubes(c1, j, c0, k, n);
            if (r.equal) {
                append(c1, j);
                c1[j] = nullptr;
                c0[k] = nullptr;
            } else if (r.relation == 2) {
                append(c1, j);
                c1[j] = nullptr;
            } else if (r.relation == 1) {
                append(c0, k);
                c0[k] = nullptr;
            }
        }
    }
    // The rest keeps v: positive from c1, negative from c0.
    for (int j = 0; j <= last1; ++j)
        if (c1[j]) SetCode(c1, j, v, CODE_POS);
    for (int k = 0; k <= last0; ++k)
        if (c0[k]) SetCode(c0, k, v, CODE_NEG);
    for (int j = 0; j <= last1; ++j)
        if (c1[j]) append(c1, j);
    for (int k = 0; k <= last0; ++k)
        if (c0[k]) append(c0, k);
    *lastG = i - 1;
    return g;
}

int Simplify(int last, int n, Cover* cover) {
    if (last < 0) return -1;
    if (!UseReferenceAlgorithms) {
        int fast = SimplifyFast(last, n, cover);
        if (fast != kSimplifyFastDeclined) return fast;
    }
    int v = MostBinateVariable(*cover, last, n);
    if (v == kBinateNoMemory) return -1;
    if (v < 0) {
        RemoveContainedCubes(*cover, last, n);
        return last;
    }
    int last1 = -1;
    int last0 = -1;
    Cover c1 = Cofactor(CODE_POS, *cover, last, n, v, &last1);
    if (!c1) return -1;
    Cover c0 = Cofactor(CODE_NEG, *cover, last, n, v, &last0);
    if (!c0) {
        FreeCover(c1);
        return -1;
    }
    // Both cofactors of a binate variable hold cubes, so -1 here is a failure.
    last1 = Simplify(last1, n, &c1);
    if (last1 >= 0) last0 = Simplify(last0, n, &c0);
    if (last1 < 0 || last0 < 0) {
        FreeCover(c1);
        FreeCover(c0);
        return -1;
    }
    int lastG = -1;
    Cover g = MergeCofactors(c1, last1, c0, last0, v, n, &lastG);
    FreeCover(c1);
    FreeCover(c0);
    if (!g) return -1;
    if (lastG <= last) {
        FreeCover(*cover);
        *cover = g;
        return lastG;
    }
    FreeCover(g);
    return last;
}
