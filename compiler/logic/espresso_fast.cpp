// Packed Espresso option. A cover's variables in use are renumbered densely
// in position order (so ties still go to the lowest position) and each cube
// becomes two 64-bit masks, its positive and its negative literals.
//
// Containment of packed cubes: a contains b when a's positive literals are
// among b's positive literals and a's negative among b's negative ones.
#include "compiler/logic/espresso_fast.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

#include "compiler/front/diagnostics.h"

namespace {

struct PCube {
    uint64_t pos;
    uint64_t neg;
};

inline bool Contains(const PCube& a, const PCube& b) { return (a.pos & ~b.pos) == 0 && (a.neg & ~b.neg) == 0; }
inline bool Same(const PCube& a, const PCube& b) { return a.pos == b.pos && a.neg == b.neg; }

// The slots 0..last of a cover: a cube and whether its slot holds one.
struct PCover {
    std::vector<PCube> cube;
    std::vector<uint8_t> live;
    int Last() const { return int(cube.size()) - 1; }
};

// Bitsets over the cubes of a cover, one bit per slot.
using Bits = std::vector<uint64_t>;

int MostBinate(const PCover& c, int vars) {
    int negCount[64] = {0};
    int posCount[64] = {0};
    for (size_t j = 0; j < c.cube.size(); ++j) {
        if (!c.live[j]) continue;
        for (uint64_t m = c.cube[j].pos; m; m &= m - 1) ++posCount[__builtin_ctzll(m)];
        for (uint64_t m = c.cube[j].neg; m; m &= m - 1) ++negCount[__builtin_ctzll(m)];
    }
    int best = -1;
    int bestSum = 0;
    for (int i = 0; i < vars; ++i)
        if (negCount[i] > 0 && posCount[i] > 0 && negCount[i] + posCount[i] > bestSum) {
            best = i;
            bestSum = negCount[i] + posCount[i];
        }
    return best;
}

// For i in slot order: the later cubes it contains (or equals) go, up to the
// first later cube that strictly contains it, which makes i go.
void RemoveContained(PCover& c) {
    const int last = c.Last();
    for (int i = 0; i < last; ++i) {
        if (!c.live[size_t(i)]) continue;
        const PCube ci = c.cube[size_t(i)];
        for (int j = i + 1; j <= last; ++j) {
            if (!c.live[size_t(j)]) continue;
            const PCube& cj = c.cube[size_t(j)];
            if (Contains(ci, cj)) {
                c.live[size_t(j)] = 0;
            } else if (Contains(cj, ci)) {
                c.live[size_t(i)] = 0;
                break;
            }
        }
    }
}

PCover Cofactor(const PCover& c, int v, bool positive) {
    PCover out;
    const uint64_t bit = uint64_t(1) << v;
    for (size_t j = 0; j < c.cube.size(); ++j) {
        if (!c.live[j]) continue;
        PCube q = c.cube[j];
        if (positive ? (q.neg & bit) : (q.pos & bit)) continue;
        q.pos &= ~bit;
        q.neg &= ~bit;
        out.cube.push_back(q);
    }
    out.live.assign(out.cube.size(), 1);
    return out;
}

// Index of the negative cofactor for the merge: for every variable, the
// cubes without a literal there, with the positive and with the negative one.
struct MergeIndex {
    int words = 0;
    std::vector<Bits> absent, positive, negative;
    Bits present;
};

void BuildIndex(const PCover& c0, int vars, MergeIndex& ix) {
    const int m = int(c0.cube.size());
    ix.words = (m + 63) / 64;
    ix.absent.assign(size_t(vars), Bits(size_t(ix.words), 0));
    ix.positive.assign(size_t(vars), Bits(size_t(ix.words), 0));
    ix.negative.assign(size_t(vars), Bits(size_t(ix.words), 0));
    ix.present.assign(size_t(ix.words), 0);
    for (int k = 0; k < m; ++k) {
        const uint64_t bit = uint64_t(1) << (k & 63);
        const size_t w = size_t(k >> 6);
        if (c0.live[size_t(k)]) ix.present[w] |= bit;
        const PCube& q = c0.cube[size_t(k)];
        for (int v = 0; v < vars; ++v) {
            uint64_t b = uint64_t(1) << v;
            if (q.pos & b) ix.positive[size_t(v)][w] |= bit;
            else if (q.neg & b) ix.negative[size_t(v)][w] |= bit;
            else ix.absent[size_t(v)][w] |= bit;
        }
    }
}

// Lifts, in the scan order of c1 outer and c0 inner: for cube j of c1, the
// cubes of c0 it strictly contains, up to the first cube of c0 that contains
// it or equals it, which lifts j (and goes too when equal).
void LiftPairs(PCover& c1, PCover& c0, int vars, PCover& g) {
    const int m1 = int(c1.cube.size());
    const int m0 = int(c0.cube.size());
    auto lift = [&g](const PCube& q) {
        g.cube.push_back(q);
        g.live.push_back(1);
    };
    if (int64_t(m1) * m0 <= 4096 || vars == 0) {
        for (int j = 0; j < m1; ++j) {
            for (int k = 0; k < m0; ++k) {
                if (!c1.live[size_t(j)]) break;
                if (!c0.live[size_t(k)]) continue;
                const PCube& a = c1.cube[size_t(j)];
                const PCube& b = c0.cube[size_t(k)];
                if (Contains(b, a)) {
                    lift(a);
                    c1.live[size_t(j)] = 0;
                    if (Same(a, b)) c0.live[size_t(k)] = 0;
                } else if (Contains(a, b)) {
                    lift(b);
                    c0.live[size_t(k)] = 0;
                }
            }
        }
        return;
    }
    MergeIndex ix;
    BuildIndex(c0, vars, ix);
    const int words = ix.words;
    Bits containing(static_cast<size_t>(words), 0);
    Bits contained(static_cast<size_t>(words), 0);
    for (int j = 0; j < m1; ++j) {
        if (!c1.live[size_t(j)]) continue;
        const PCube a = c1.cube[size_t(j)];
        for (int w = 0; w < words; ++w) containing[size_t(w)] = contained[size_t(w)] = ix.present[size_t(w)];
        for (int v = 0; v < vars; ++v) {
            const uint64_t b = uint64_t(1) << v;
            const Bits& abs = ix.absent[size_t(v)];
            if (a.pos & b) {
                const Bits& p = ix.positive[size_t(v)];
                for (int w = 0; w < words; ++w) {
                    containing[size_t(w)] &= abs[size_t(w)] | p[size_t(w)];
                    contained[size_t(w)] &= p[size_t(w)];
                }
            } else if (a.neg & b) {
                const Bits& q = ix.negative[size_t(v)];
                for (int w = 0; w < words; ++w) {
                    containing[size_t(w)] &= abs[size_t(w)] | q[size_t(w)];
                    contained[size_t(w)] &= q[size_t(w)];
                }
            } else {
                for (int w = 0; w < words; ++w) containing[size_t(w)] &= abs[size_t(w)];
            }
        }
        int first = m0;  // the first cube of c0 that contains j
        for (int w = 0; w < words; ++w)
            if (containing[size_t(w)]) {
                first = w * 64 + __builtin_ctzll(containing[size_t(w)]);
                break;
            }
        for (int w = 0; w < words && w * 64 < first; ++w) {
            uint64_t bits = contained[size_t(w)];
            while (bits) {
                int k = w * 64 + __builtin_ctzll(bits);
                bits &= bits - 1;
                if (k >= first) break;
                lift(c0.cube[size_t(k)]);
                c0.live[size_t(k)] = 0;
                ix.present[size_t(w)] &= ~(uint64_t(1) << (k & 63));
            }
        }
        if (first < m0) {
            lift(a);
            c1.live[size_t(j)] = 0;
            if (Same(a, c0.cube[size_t(first)])) {
                c0.live[size_t(first)] = 0;
                ix.present[size_t(first >> 6)] &= ~(uint64_t(1) << (first & 63));
            }
        }
    }
}

PCover Merge(PCover& c1, PCover& c0, int v, int vars) {
    PCover g;
    LiftPairs(c1, c0, vars, g);
    const uint64_t bit = uint64_t(1) << v;
    for (size_t j = 0; j < c1.cube.size(); ++j)
        if (c1.live[j]) g.cube.push_back({c1.cube[j].pos | bit, c1.cube[j].neg & ~bit});
    for (size_t k = 0; k < c0.cube.size(); ++k)
        if (c0.live[k]) g.cube.push_back({c0.cube[k].pos & ~bit, c0.cube[k].neg | bit});
    g.live.assign(g.cube.size(), 1);
    return g;
}

// Simplify on a packed cover; the cover is replaced by the merged one when
// that has no more slots. Returns whether it was replaced.
bool SimplifyPacked(PCover& c, int vars) {
    int v = MostBinate(c, vars);
    if (v < 0) {
        RemoveContained(c);
        return false;
    }
    PCover c1 = Cofactor(c, v, true);
    PCover c0 = Cofactor(c, v, false);
    SimplifyPacked(c1, vars);
    SimplifyPacked(c0, vars);
    PCover g = Merge(c1, c0, v, vars);
    if (g.Last() <= c.Last()) {
        c = std::move(g);
        return true;
    }
    return false;
}

}  // namespace

int SimplifyFast(int last, int n, Cover* cover) {
    if (last < 0) return -1;
    Cover in = *cover;
    // The variables in use, densely renumbered in position order.
    std::vector<int> posOf;
    try {
        std::vector<int> index(size_t(n > 0 ? n : 0), -1);
        for (int j = 0; j <= last; ++j) {
            if (!in[j]) continue;
            for (int p = 0; p < n; ++p) {
                int c = RawCubeCode(in[j], p);
                if (c == CODE_TWO) return kSimplifyFastDeclined;
                if (c != CODE_ABSENT && index[size_t(p)] < 0) index[size_t(p)] = 0;
            }
        }
        for (int p = 0; p < n; ++p)
            if (index[size_t(p)] == 0) {
                index[size_t(p)] = int(posOf.size());
                posOf.push_back(p);
            }
        if (posOf.size() > 64) return kSimplifyFastDeclined;
        const int vars = int(posOf.size());

        PCover c;
        c.cube.resize(size_t(last) + 1, PCube{0, 0});
        c.live.resize(size_t(last) + 1, 0);
        for (int j = 0; j <= last; ++j) {
            if (!in[j]) continue;
            c.live[size_t(j)] = 1;
            for (int k = 0; k < vars; ++k) {
                int code = RawCubeCode(in[j], posOf[size_t(k)]);
                if (code == CODE_POS) c.cube[size_t(j)].pos |= uint64_t(1) << k;
                else if (code == CODE_NEG) c.cube[size_t(j)].neg |= uint64_t(1) << k;
            }
        }
        if (!SimplifyPacked(c, vars)) {
            // Unchanged, or only contained cubes deleted in place.
            for (int j = 0; j <= last; ++j)
                if (!c.live[size_t(j)]) in[j] = nullptr;
            return last;
        }
        const int lastG = c.Last();
        const int slots = lastG + 1 > 0 ? lastG + 1 : 1;
        Cover g = AllocCover(slots, 0, n);
        if (!g) return -1;
        for (int i = 0; i <= lastG; ++i) {
            g[i] = CubeAddress(g, slots, i, 0, n);
            for (int k = 0; k < vars; ++k) {
                uint64_t b = uint64_t(1) << k;
                if (c.cube[size_t(i)].pos & b) RawSetCubeCode(g[i], posOf[size_t(k)], CODE_POS);
                else if (c.cube[size_t(i)].neg & b) RawSetCubeCode(g[i], posOf[size_t(k)], CODE_NEG);
            }
        }
        FreeCover(in);
        *cover = g;
        return lastG;
    } catch (const std::bad_alloc&) {
        Report(MSG_SPEICHER_VOLL, 0);
        return -1;
    }
}
