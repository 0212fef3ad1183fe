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
#include <deque>
#include <new>
#include <queue>
#include <unordered_map>
#include <utility>
#include <vector>

#include "compiler/front/diagnostics.h"

namespace {

// Work units (table words and cube containment tests) the truth-table primes
// may take before the level-by-level generation is used instead.
constexpr uint64_t kTableBudget = 60000000;

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

// Primes straight from the truth table, for functions whose implicants are
// far too many to enumerate level by level (a control term of two literals
// over eighteen variables has 3^16 implicants).
//
// The level-by-level order has a closed form when the rows are listed in
// ascending order of a row value that gives each variable its own power of
// two: a level's implicants then stand in the lexicographic order of their
// ascending minterm lists, that is by lowest minterm and then by the lowest
// free variable weight in which two cubes differ, the cube that has it free
// first. Primes come level after level, the fewest free variables first.
namespace table_primes {

struct TCube {
    uint32_t care;  // row-value bits fixed by the cube
    uint32_t val;   // their values (only care bits set)
};

class Generator {
public:
    explicit Generator(uint64_t budget) : budget_(budget) {}

    // The primes of the function over m variables, table bit r = value of
    // row r. False when the budget ran out.
    bool Run(const std::vector<uint64_t>& table, int m, std::vector<TCube>* primes) {
        try {
            const std::vector<TCube>& p =
                m <= 6 ? Small(table.empty() ? 0 : table[0], m) : Large(table.data(), m);
            *primes = p;
        } catch (const OutOfBudget&) {
            return false;
        }
        return true;
    }

private:
    struct OutOfBudget {};
    struct WordsHash {
        size_t operator()(const std::vector<uint64_t>& w) const {
            uint64_t h = 0x243f6a8885a308d3ULL;
            for (uint64_t x : w) h = Mix(h ^ x) + 0x9e3779b97f4a7c15ULL;
            return size_t(h);
        }
    };

    void Spend(uint64_t work) {
        if (work > budget_) throw OutOfBudget{};
        budget_ -= work;
    }

    // P(f) = P(f0 f1), and x' p for p in P(f0), x p for p in P(f1), where p
    // is no implicant of f0 f1 (else p is an implicant of both cofactors).
    // That test reads the table of f0 f1 (`both`, m - 1 variables) for a
    // small cube and compares with the primes of f0 f1 for a large one.
    void Combine(const std::vector<TCube>& p0, const std::vector<TCube>& p1, const std::vector<TCube>& primesBoth,
                 const uint64_t* both, int m, std::vector<TCube>* out) {
        const uint32_t top = uint32_t(1) << (m - 1);
        const uint32_t all = top - 1;
        *out = primesBoth;
        auto implicant = [&](const TCube& p) {
            const uint32_t free = all & ~p.care;
            const uint64_t minterms = uint64_t(1) << __builtin_popcount(free);
            if (minterms <= primesBoth.size() + 1) {
                Spend(minterms);
                uint32_t sub = 0;
                for (;;) {
                    const uint32_t r = p.val | sub;
                    if (!((both[r >> 6] >> (r & 63)) & 1u)) return false;
                    if (sub == free) return true;
                    sub = (sub - free) & free;
                }
            }
            Spend(primesBoth.size() + 1);
            for (const TCube& q : primesBoth)
                if ((q.care & ~p.care) == 0 && ((p.val ^ q.val) & q.care) == 0) return true;
            return false;
        };
        for (const TCube& p : p0)
            if (!implicant(p)) out->push_back(TCube{p.care | top, p.val});
        for (const TCube& p : p1)
            if (!implicant(p)) out->push_back(TCube{p.care | top, p.val | top});
    }

    // Tables of up to 64 rows.
    const std::vector<TCube>& Small(uint64_t t, int m) {
        const uint64_t full = m == 6 ? ~uint64_t(0) : (uint64_t(1) << (1 << m)) - 1;
        t &= full;
        if (t == 0) return none_;
        if (t == full) return one_;
        auto& memo = small_[size_t(m)];
        auto it = memo.find(t);
        if (it != memo.end()) return store_[it->second];
        Spend(1);
        const int half = 1 << (m - 1);
        const uint64_t lowMask = (uint64_t(1) << half) - 1;
        const uint64_t t0 = t & lowMask;
        const uint64_t t1 = (t >> half) & lowMask;
        const uint64_t t01 = t0 & t1;
        const std::vector<TCube>& p0 = Small(t0, m - 1);
        const std::vector<TCube>& p1 = Small(t1, m - 1);
        const std::vector<TCube>& both = Small(t01, m - 1);
        std::vector<TCube> out;
        Combine(p0, p1, both, &t01, m, &out);
        store_.push_back(std::move(out));
        memo.emplace(t, store_.size() - 1);
        return store_.back();
    }

    // Tables of 128 rows and more, 2^(m-6) words.
    const std::vector<TCube>& Large(const uint64_t* words, int m) {
        const size_t count = size_t(1) << (m - 6);
        bool zero = true;
        bool ones = true;
        for (size_t i = 0; i < count; ++i) {
            zero = zero && words[i] == 0;
            ones = ones && words[i] == ~uint64_t(0);
        }
        if (zero) return none_;
        if (ones) return one_;
        Spend(count);
        std::vector<uint64_t> key(words, words + count);
        auto& memo = large_[size_t(m)];
        auto it = memo.find(key);
        if (it != memo.end()) return store_[it->second];
        const size_t half = count / 2;
        std::vector<uint64_t> both(half);
        for (size_t i = 0; i < half; ++i) both[i] = words[i] & words[half + i];
        const std::vector<TCube>& p0 = m - 1 <= 6 ? Small(words[0], m - 1) : Large(words, m - 1);
        const std::vector<TCube>& p1 = m - 1 <= 6 ? Small(words[half], m - 1) : Large(words + half, m - 1);
        const std::vector<TCube>& pb = m - 1 <= 6 ? Small(both[0], m - 1) : Large(both.data(), m - 1);
        std::vector<TCube> out;
        Combine(p0, p1, pb, both.data(), m, &out);
        store_.push_back(std::move(out));
        memo.emplace(std::move(key), store_.size() - 1);
        return store_.back();
    }

    uint64_t budget_;
    const std::vector<TCube> none_;
    const std::vector<TCube> one_{TCube{0, 0}};
    std::deque<std::vector<TCube>> store_;   // stable references
    std::unordered_map<uint64_t, size_t> small_[7];
    std::unordered_map<std::vector<uint64_t>, size_t, WordsHash> large_[33];
};

// The level-by-level slot order of primes (see above).
bool SlotOrder(const TCube& a, const TCube& b, uint32_t all) {
    const uint32_t fa = all & ~a.care;
    const uint32_t fb = all & ~b.care;
    const int ca = __builtin_popcount(fa);
    const int cb = __builtin_popcount(fb);
    if (ca != cb) return ca < cb;
    if (a.val != b.val) return a.val < b.val;
    const uint32_t d = fa ^ fb;
    return d != 0 && (fa & (d & (~d + 1))) != 0;
}

}  // namespace table_primes

// The rows' order as the closed form needs it: ascending row values with
// dense variable v at bit vars-1-v (as the equation step lists a truth
// table) or at bit v. 0 when neither holds.
int RowValueOrder(const std::vector<PCube>& rows, int vars) {
    for (int order = 1; order <= 2; ++order) {
        uint64_t previous = 0;
        bool ascending = true;
        for (size_t j = 0; j < rows.size() && ascending; ++j) {
            uint64_t value = 0;
            for (int v = 0; v < vars; ++v)
                if ((rows[j].pos >> v) & 1u) value |= uint64_t(1) << (order == 1 ? vars - 1 - v : v);
            if (j > 0 && value <= previous) ascending = false;
            previous = value;
        }
        if (ascending) return order;
    }
    return 0;
}

// All primes in slot order from the truth table (rows in RowValueOrder's
// `order`), with the liveness tests the level-by-level version makes
// meanwhile (as GeneratePrimes counts them).
// False when the closed form does not apply or the work would exceed the
// budget; then nothing is set.
bool PrimesFromTable(const std::vector<PCube>& rows, int nUsed, int order, uint64_t budget,
                     std::vector<PCube>* primesOut, long* literalCalls) {
    const int vars = nUsed;
    if (order == 0 || vars < 2 || vars > 24 || rows.size() >= (size_t(1) << vars)) return false;
    auto bitOf = [&](int v) { return order == 1 ? vars - 1 - v : v; };
    std::vector<uint64_t> table(vars <= 6 ? 1 : size_t(1) << (vars - 6), 0);
    for (const PCube& r : rows) {
        uint64_t value = 0;
        for (int v = 0; v < vars; ++v)
            if ((r.pos >> v) & 1u) value |= uint64_t(1) << bitOf(v);
        table[size_t(value >> 6)] |= uint64_t(1) << (value & 63);
    }
    std::vector<table_primes::TCube> found;
    table_primes::Generator generator(budget);
    if (!generator.Run(table, vars, &found)) return false;
    const uint32_t all = uint32_t((uint64_t(1) << vars) - 1);
    std::sort(found.begin(), found.end(),
              [all](const table_primes::TCube& a, const table_primes::TCube& b) {
                  return table_primes::SlotOrder(a, b, all);
              });
    std::vector<PCube> primes;
    primes.reserve(found.size());
    std::vector<int> freeCount;
    freeCount.reserve(found.size());
    for (const table_primes::TCube& c : found) {
        PCube p{0, 0};
        for (int v = 0; v < vars; ++v) {
            const uint32_t bit = uint32_t(1) << bitOf(v);
            if (!(c.care & bit)) continue;
            if (c.val & bit)
                p.pos |= uint64_t(1) << v;
            else
                p.neg |= uint64_t(1) << v;
        }
        primes.push_back(p);
        freeCount.push_back(__builtin_popcount(all & ~c.care));
    }
    // The merging passes: pass k works on the implicants with k free
    // variables; there are some while a prime has k or more, and at least two
    // unless a single prime has k or more and exactly k.
    long calls = 0;
    const int passes = nUsed - 1;
    for (int pass = 0; pass < passes; ++pass) {
        int atLeast = 0;
        int exactly = 0;
        int fewer = 0;
        for (int f : freeCount) {
            if (f >= pass) ++atLeast;
            if (f == pass) ++exactly;
            if (f < pass) ++fewer;
        }
        if (atLeast == 0) break;
        if (pass > 0) calls += 2;
        const bool single = atLeast == 1 && exactly == 1;
        if (fewer == 0 && !single) ++calls;
    }
    *literalCalls += calls;
    primesOut->swap(primes);
    return true;
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
        if (chosen[s]) continue;
        // Counts only fall: an entry that is too high goes back with the
        // present count; one that is right is the largest, the lowest slot
        // among equals.
        if (openCount[s] != top.first) {
            if (openCount[s] > 0) queue.emplace(openCount[s], -int(s));
            continue;
        }
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
                --openCount[t];
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

int CompletePrimesFromTable = 1;

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
        // Rows in strictly ascending order of a row value are distinct.
        const int order = RowValueOrder(rows, vars);
        if (order == 0) {
            CubeIndex distinct(rows.size());
            for (size_t r = 0; r < rows.size(); ++r)
                if (!distinct.Insert(rows[r], int(r))) return kCompleteFastDeclined;
        }
        if (!CompletePrimesFromTable || !PrimesFromTable(rows, nUsed, order, kTableBudget, &primes, &literalCalls))
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
