// Packed complete minimization. The variables in use are renumbered densely in
// position order; a cube is two 64-bit masks, its positive and its negative
// literals. Every cube of a level list has all its literals among the used
// variables, so the rows an implicant covers are exactly the minterms inside
// it: row sets are enumerated from the primes once, for the cover choice, and
// never stored while the levels are built.
//
// Slot order follows the level-by-level version: the primes of each level
// (the cubes that merged with nothing) in list order, level after level, and
// a level's new implicants in the order of their first pair (b, r), b then r
// ascending.
#include "compiler/logic/complete_min_fast.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <queue>
#include <unordered_map>
#include <utility>
#include <vector>

#include "compiler/front/diagnostics.h"

namespace {

struct PCube {
    uint64_t pos;
    uint64_t neg;
};

inline uint64_t Mix(uint64_t x) {
    x ^= x >> 31;
    x *= 0x7fb5d329728ea185ULL;
    x ^= x >> 27;
    x *= 0x81dadef4bc2dd44dULL;
    x ^= x >> 33;
    return x;
}

// Open-addressing index from a cube to its position in a list.
class CubeIndex {
public:
    explicit CubeIndex(size_t expected) {
        size_t cap = 16;
        while (cap < expected * 2) cap <<= 1;
        keys_.resize(cap);
        values_.assign(cap, -1);
        mask_ = cap - 1;
    }
    // The stored index, or -1.
    int Find(const PCube& c) const {
        for (size_t h = Hash(c);; h = (h + 1) & mask_) {
            if (values_[h] < 0) return -1;
            if (keys_[h].pos == c.pos && keys_[h].neg == c.neg) return values_[h];
        }
    }
    // False when the cube is there already.
    bool Insert(const PCube& c, int value) {
        if ((count_ + 1) * 2 > keys_.size()) Grow();
        size_t h = Hash(c);
        for (;; h = (h + 1) & mask_) {
            if (values_[h] < 0) break;
            if (keys_[h].pos == c.pos && keys_[h].neg == c.neg) return false;
        }
        keys_[h] = c;
        values_[h] = value;
        ++count_;
        return true;
    }

private:
    size_t Hash(const PCube& c) const { return size_t(Mix(c.pos * 0x9e3779b97f4a7c15ULL ^ Mix(c.neg))) & mask_; }
    void Grow() {
        std::vector<PCube> keys;
        std::vector<int> values;
        keys.swap(keys_);
        values.swap(values_);
        keys_.resize(keys.size() * 2);
        values_.assign(keys.size() * 2, -1);
        mask_ = keys_.size() - 1;
        count_ = 0;
        for (size_t i = 0; i < keys.size(); ++i)
            if (values[i] >= 0) Insert(keys[i], values[i]);
    }
    std::vector<PCube> keys_;
    std::vector<int> values_;
    size_t mask_ = 0;
    size_t count_ = 0;
};

// The row index of a minterm (bit v set: dense variable v true).
class RowIndex {
public:
    RowIndex(int vars, const std::vector<PCube>& rows) : dense_(vars <= 22) {
        if (dense_) {
            table_.assign(size_t(1) << vars, -1);
            for (size_t j = 0; j < rows.size(); ++j) table_[size_t(rows[j].pos)] = int(j);
        } else {
            map_.reserve(rows.size());
            for (size_t j = 0; j < rows.size(); ++j) map_.emplace(rows[j].pos, int(j));
        }
    }
    int Find(uint64_t minterm) const {
        if (dense_) return table_[size_t(minterm)];
        auto it = map_.find(minterm);
        return it == map_.end() ? -1 : it->second;
    }

private:
    bool dense_;
    std::vector<int> table_;
    std::unordered_map<uint64_t, int> map_;
};

// All primes in slot order. The number of merging passes is the one the
// level-by-level version makes: one for the rows, then one for each level
// k = nUsed - 2 down to 1 while the previous level produced implicants.
//
// *literalCalls gets the liveness tests the level-by-level version makes on
// slot 0 meanwhile: one when a merging pass starts at slot 0 with at least
// two cubes, two for each compaction between passes.
std::vector<PCube> GeneratePrimes(const std::vector<PCube>& rows, int nUsed, long* literalCalls) {
    std::vector<PCube> primes;
    std::vector<PCube> list = rows;
    int passes = nUsed >= 2 ? nUsed - 1 : 0;
    std::vector<std::pair<int, int>> partners;
    for (int pass = 0; pass < passes && !list.empty(); ++pass) {
        if (pass > 0) *literalCalls += 2;
        if (primes.empty() && list.size() >= 2) ++*literalCalls;
        CubeIndex index(list.size());
        for (size_t i = 0; i < list.size(); ++i) index.Insert(list[i], int(i));
        std::vector<uint8_t> merged(list.size(), 0);
        std::vector<PCube> next;
        CubeIndex nextIndex(list.size());
        for (size_t b = 0; b < list.size(); ++b) {
            const PCube cb = list[b];
            partners.clear();
            for (uint64_t lits = cb.pos | cb.neg; lits; lits &= lits - 1) {
                uint64_t bit = lits & (~lits + 1);
                PCube flipped{cb.pos ^ bit, cb.neg ^ bit};
                int r = index.Find(flipped);
                if (r > int(b)) partners.emplace_back(r, __builtin_ctzll(bit));
            }
            if (partners.empty()) continue;
            std::sort(partners.begin(), partners.end());
            merged[b] = 1;
            for (const auto& pr : partners) {
                merged[size_t(pr.first)] = 1;
                uint64_t bit = uint64_t(1) << pr.second;
                PCube cand{cb.pos & ~bit, cb.neg & ~bit};
                if (nextIndex.Insert(cand, int(next.size()))) next.push_back(cand);
            }
        }
        for (size_t i = 0; i < list.size(); ++i)
            if (!merged[i]) primes.push_back(list[i]);
        list.swap(next);
    }
    primes.insert(primes.end(), list.begin(), list.end());
    return primes;
}

// Essential primes, then greedily the prime with the most rows still open,
// the lowest slot on a tie. Fills the chosen flags; false when a prime covers
// a minterm that is no row (not a list of rows after all). *literalCalls gets
// the liveness tests of slot 0 the cover-based selection makes: one per row
// among the essentials, then one per scan while slot 0 is not chosen.
bool ChooseCover(const std::vector<PCube>& primes, const std::vector<PCube>& rows, int vars, uint64_t used,
                 std::vector<uint8_t>* chosenOut, long* literalCalls) {
    const size_t count = primes.size();
    const size_t m = rows.size();
    RowIndex rowOf(vars, rows);
    // Rows of each prime, flat.
    std::vector<size_t> start(count + 1, 0);
    std::vector<int> rowsOf;
    for (size_t s = 0; s < count; ++s) {
        start[s] = rowsOf.size();
        uint64_t fixed = primes[s].pos;
        uint64_t free = used & ~(primes[s].pos | primes[s].neg);
        uint64_t sub = 0;
        for (;;) {
            int j = rowOf.Find(fixed | sub);
            if (j < 0) return false;
            rowsOf.push_back(j);
            if (sub == free) break;
            sub = (sub - free) & free;
        }
    }
    start[count] = rowsOf.size();
    // The primes of each row.
    std::vector<size_t> holderStart(m + 1, 0);
    for (int j : rowsOf) ++holderStart[size_t(j) + 1];
    for (size_t j = 0; j < m; ++j) holderStart[j + 1] += holderStart[j];
    std::vector<int> holders(rowsOf.size());
    {
        std::vector<size_t> fill(holderStart.begin(), holderStart.end() - 1);
        for (size_t s = 0; s < count; ++s)
            for (size_t k = start[s]; k < start[s + 1]; ++k) holders[fill[size_t(rowsOf[k])]++] = int(s);
    }
    std::vector<uint8_t>& chosen = *chosenOut;
    chosen.assign(count, 0);
    for (size_t j = 0; j < m; ++j)
        if (holderStart[j + 1] - holderStart[j] == 1) chosen[size_t(holders[holderStart[j]])] = 1;
    std::vector<uint8_t> open(m, 1);
    for (size_t s = 0; s < count; ++s)
        if (chosen[s])
            for (size_t k = start[s]; k < start[s + 1]; ++k) open[size_t(rowsOf[k])] = 0;
    long calls = long(m);
    bool zeroChosen = chosen[0] != 0;
    if (!zeroChosen) ++calls;   // the deletion scan after the essentials
    int choices = 0;
    std::vector<int> openCount(count, 0);
    using Entry = std::pair<int, int>;  // open rows, negated slot: the largest is the one to take
    std::priority_queue<Entry> queue;
    for (size_t s = 0; s < count; ++s) {
        if (chosen[s]) continue;
        int c = 0;
        for (size_t k = start[s]; k < start[s + 1]; ++k) c += open[size_t(rowsOf[k])];
        openCount[s] = c;
        if (c > 0) queue.emplace(c, -int(s));
    }
    while (!queue.empty()) {
        Entry top = queue.top();
        queue.pop();
        size_t s = size_t(-top.second);
        if (chosen[s] || openCount[s] != top.first) continue;
        chosen[s] = 1;
        ++choices;
        if (!zeroChosen) calls += 2;   // counting and picking
        if (s == 0) zeroChosen = true;
        if (!zeroChosen) calls += 2;   // marking and deleting
        for (size_t k = start[s]; k < start[s + 1]; ++k) {
            size_t j = size_t(rowsOf[k]);
            if (!open[j]) continue;
            open[j] = 0;
            for (size_t h = holderStart[j]; h < holderStart[j + 1]; ++h) {
                size_t t = size_t(holders[h]);
                if (chosen[t]) continue;
                if (--openCount[t] > 0) queue.emplace(openCount[t], -int(t));
            }
        }
    }
    if (choices == 0 && !zeroChosen) calls += 2;   // one round that finds nothing to pick
    *literalCalls += calls;
    return true;
}

// Advances the progress counter as that many LiteralCount calls would.
void CountLiteralCalls(long calls) {
    for (long k = 0; k < calls; ++k) {
        LiteralCallCount = (LiteralCallCount + 1) % 64;
        if (LiteralCallCount == 0) StepProgress();
    }
}

}  // namespace

int MinimizeCompleteFast(int slots, int last, int nUsed, int n, Cover* cover) {
    (void)slots;
    if (last <= 0) return 0;
    Cover in = *cover;
    const int m = last + 1;
    // The used positions, from row 0; every row must have a literal at
    // exactly these positions and nothing else.
    std::vector<int> position;
    if (!in[0]) return kCompleteFastDeclined;
    for (int p = 0; p < n; ++p) {
        int c = GetCode(in, 0, p);
        if (c == CODE_POS || c == CODE_NEG) position.push_back(p);
        else if (c != CODE_ABSENT) return kCompleteFastDeclined;
    }
    const int vars = int(position.size());
    if (vars != nUsed || vars > 62 || vars < 1) return kCompleteFastDeclined;
    const uint64_t used = (uint64_t(1) << vars) - 1;
    int count = 0;
    std::vector<uint8_t> chosen;
    std::vector<PCube> primes;
    long literalCalls = 0;
    try {
        std::vector<PCube> rows(size_t(m), PCube{0, 0});
        for (int r = 0; r < m; ++r) {
            if (!in[r]) return kCompleteFastDeclined;
            int v = 0;
            int literals = 0;
            for (int p = 0; p < n; ++p) {
                int c = GetCode(in, r, p);
                if (c == CODE_ABSENT) continue;
                if (v >= vars || position[size_t(v)] != p) return kCompleteFastDeclined;
                if (c == CODE_POS)
                    rows[size_t(r)].pos |= uint64_t(1) << v;
                else if (c == CODE_NEG)
                    rows[size_t(r)].neg |= uint64_t(1) << v;
                else
                    return kCompleteFastDeclined;
                ++v;
                ++literals;
            }
            if (literals != vars) return kCompleteFastDeclined;
        }
        {
            CubeIndex distinct(rows.size());
            for (size_t r = 0; r < rows.size(); ++r)
                if (!distinct.Insert(rows[r], int(r))) return kCompleteFastDeclined;
        }
        primes = GeneratePrimes(rows, nUsed, &literalCalls);
        literalCalls += 2;   // the final compaction
        count = int(primes.size()) - 1;
        if (count > 0) {
            if (!ChooseCover(primes, rows, vars, used, &chosen, &literalCalls)) return kCompleteFastDeclined;
            ++literalCalls;   // the scan for repeated primes
        } else {
            chosen.assign(1, 1);
        }
    } catch (const std::bad_alloc&) {
        Report(MSG_SPEICHER_VOLL, 0);
        return -1;
    }
    const int outSlots = count + 1;
    Cover fresh = AllocCover(outSlots, 0, n);
    if (!fresh) return -1;
    for (int s = 0; s < outSlots; ++s) {
        if (!chosen[size_t(s)] && s > 0) continue;
        fresh[s] = CubeAddress(fresh, outSlots, s, 0, n);
        if (!chosen[size_t(s)]) continue;
        const PCube& c = primes[size_t(s)];
        for (int v = 0; v < vars; ++v) {
            uint64_t bit = uint64_t(1) << v;
            if (c.pos & bit)
                SetCode(fresh, s, position[size_t(v)], CODE_POS);
            else if (c.neg & bit)
                SetCode(fresh, s, position[size_t(v)], CODE_NEG);
        }
    }
    FreeCover(in);
    *cover = fresh;
    CountLiteralCalls(literalCalls);
    return count;
}
