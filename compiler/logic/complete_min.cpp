// Complete minimization in the manner of Quine and McCluskey: implicants that
// differ in one variable merge, level by level, until only primes are left;
// then the essential primes, then greedily the prime that covers the most rows
// still uncovered. Each implicant carries its set of rows in its extra columns.
#include "compiler/logic/complete_min.h"

#include <cstring>

#include "compiler/front/diagnostics.h"
#include "compiler/front/work_memory.h"
#include "compiler/logic/algorithm_choice.h"
#include "compiler/logic/complete_min_fast.h"

int CombineImplicants(int slots, int top, int n, int start, int last, Cover cover, int firstLevel) {
    // partners[r] holds r + 1 once cube r was merged as the second of a pair.
    int* partners = static_cast<int*>(AllocWork(size_t(top + 1), 4));
    if (!partners) return -1;
    const int extra = last + 1;
    const int width = n + last + 1;
    int i = 0;
    for (int b = start; b <= top - 1; ++b) {
        if (!cover[b]) continue;
        if (b == 0 && LiteralCount(cover, 0, n) < 1) continue;
        int merged = 0;
        for (int r = b + 1; r <= top; ++r) {
            if (!cover[r]) continue;
            int opposite = 0;
            int e = -1;
            bool mergeable = true;
            for (int p = 0; p < n; ++p) {
                int s = GetCode(cover, b, p) + GetCode(cover, r, p);
                if (s == 1 || s == 3) {
                    mergeable = false;
                    break;
                }
                if (s == 4) {
                    ++opposite;
                    e = p;
                }
            }
            if (!mergeable || opposite != 1) continue;
            merged = 1;
            partners[r] = r + 1;
            CubeWord* candidate = static_cast<CubeWord*>(AllocWork(size_t(CubeWords(width)), sizeof(CubeWord)));
            if (!candidate) {
                FreeWork(partners);
                Report(MSG_SPEICHER_VOLL, 0);
                return -1;
            }
            for (int p = 0; p < n; ++p) SetCubeCode(candidate, p, p == e ? CODE_ABSENT : GetCode(cover, b, p));
            if (FindEqualCube(cover, top + 1, top + i, candidate, n)) {
                FreeWork(candidate);
                continue;
            }
            for (int j = 0; j <= last; ++j) {
                int c;
                if (firstLevel)
                    c = (j == b || j == r) ? CODE_POS : CODE_ABSENT;
                else
                    c = (GetCode(cover, b, n + j) == CODE_POS || GetCode(cover, r, n + j) == CODE_POS) ? CODE_POS
                                                                                                   : CODE_ABSENT;
                SetCubeCode(candidate, n + j, c);
            }
            if (top + i + 1 >= slots) {
                // More implicants than the level can hold: only a malformed
                // input gets here; refuse it like an exhausted memory.
                FreeWork(candidate);
                FreeWork(partners);
                Report(MSG_SPEICHER_VOLL, 0);
                return -1;
            }
            ++i;
            cover[top + i] = CubeAddress(cover, slots, top + i, extra, n);
            for (int p = 0; p < width; ++p) SetCode(cover, top + i, p, GetCubeCode(candidate, p));
            FreeWork(candidate);
        }
        if (cover[b]) {
            if (merged || partners[b] == b + 1)
                DeleteSlotKeepingZero(cover, b, n);
            else if (firstLevel)
                SetCode(cover, b, n + b, CODE_POS);
        }
    }
    if (top >= 0 && cover[top]) {
        if (partners[top] == top + 1)
            DeleteSlotKeepingZero(cover, top, n);
        else if (firstLevel)
            SetCode(cover, top, n + top, CODE_POS);
    }
    FreeWork(partners);
    return i;
}

int CompactCoverWide(int top, uint64_t room, int m, int n, Cover* cover) {
    int live = LiveCubeCount(*cover, top, n);
    uint64_t slots = room + uint64_t(live > 0 ? live : 1);
    Cover fresh = AllocCoverWide(slots, m, n);
    if (!fresh) return -1;
    const size_t words = size_t(CubeWords(n + m));
    int k = 0;
    for (int r = 0; r <= top; ++r) {
        if (!SlotLive(*cover, r, n)) continue;
        fresh[k] = CubeAddress(fresh, int(slots), k, m, n);
        std::memcpy(fresh[k], (*cover)[r], words * sizeof(CubeWord));
        ++k;
    }
    FreeCover(*cover);
    *cover = fresh;
    return live > 0 ? live - 1 : 0;
}

int CompactCover(int top, int room, int m, int n, Cover* cover) {
    return CompactCoverWide(top, room > 0 ? uint64_t(room) : 0, m, n, cover);
}

namespace {
bool HasOpenRow(Cover cover, int s, int n, int last) {
    for (int j = 0; j <= last; ++j)
        if (GetCode(cover, s, n + j) == CODE_POS) return true;
    return false;
}
}  // namespace

int SelectCover(int last, int count, int n, Cover cover) {
    int* chosen = static_cast<int*>(AllocWork(size_t(count + 1), 4));
    if (!chosen) return -1;
    // Essential primes: the only one that covers some row.
    for (int j = 0; j <= last; ++j) {
        int holders = 0;
        int holder = -1;
        for (int s = 0; s <= count; ++s) {
            if (!SlotLive(cover, s, n)) continue;
            if (GetCode(cover, s, n + j) == CODE_POS) {
                ++holders;
                holder = s;
            }
        }
        if (holders == 1) chosen[holder] = 1;
    }
    for (int c = 0; c <= count; ++c) {
        if (!chosen[c]) continue;
        for (int j = 0; j <= last; ++j) {
            if (GetCode(cover, c, n + j) != CODE_POS) continue;
            for (int s = 0; s <= count; ++s)
                if (!chosen[s] && cover[s]) SetCode(cover, s, n + j, CODE_TWO);
        }
    }
    for (int s = 0; s <= count; ++s)
        if (!chosen[s] && SlotLive(cover, s, n) && !HasOpenRow(cover, s, n, last)) DeleteSlotKeepingZero(cover, s, n);

    int* counts = static_cast<int*>(AllocWork(size_t(count + 1), 4));
    if (!counts) {
        FreeWork(chosen);
        Report(MSG_SPEICHER_VOLL, 0);
        return -1;
    }
    // Greedy: the prime with the most open rows, the lowest slot on a tie.
    for (;;) {
        for (int s = 0; s <= count; ++s) {
            counts[s] = 0;
            if (chosen[s] || !SlotLive(cover, s, n)) continue;
            for (int j = 0; j <= last; ++j)
                if (GetCode(cover, s, n + j) == CODE_POS) ++counts[s];
        }
        int best = -1;
        int bestCount = 0;
        for (int s = 0; s <= count; ++s) {
            if (chosen[s] || !SlotLive(cover, s, n)) continue;
            if (counts[s] > bestCount) {
                best = s;
                bestCount = counts[s];
            }
        }
        if (bestCount == 0) break;
        chosen[best] = 1;
        for (int s = 0; s <= count; ++s) {
            if (chosen[s] || !SlotLive(cover, s, n)) continue;
            for (int j = 0; j <= last; ++j)
                if (GetCode(cover, best, n + j) == CODE_POS && GetCode(cover, s, n + j) == CODE_POS)
                    SetCode(cover, s, n + j, CODE_NEG);
        }
        bool open = false;
        for (int s = 0; s <= count; ++s) {
            if (chosen[s] || !SlotLive(cover, s, n)) continue;
            if (!HasOpenRow(cover, s, n, last))
                DeleteSlotKeepingZero(cover, s, n);
            else
                open = true;
        }
        if (!open) break;
    }
    FreeWork(counts);
    FreeWork(chosen);
    return count;
}

int MinimizeComplete(int slots, int last, int nUsed, int n, Cover* cover) {
    if (last <= 0) return 0;
    if (!UseReferenceAlgorithms) {
        int fast = MinimizeCompleteFast(slots, last, nUsed, n, cover);
        if (fast != kCompleteFastDeclined) return fast;
    }
    const int m = last + 1;
    int top = last;
    if (nUsed >= 2) {
        int e = CombineImplicants(slots, last, n, 0, last, *cover, 1);
        if (e < 0) return -1;
        top = last + e;
        for (int k = nUsed - 2; k >= 1 && e > 0; --k) {
            // Room for every implicant of k literals that nUsed variables allow.
            uint64_t room = Binomial(nUsed, k) << k;
            top = CompactCoverWide(top, room, m, n, cover);
            if (top < 0) return -1;
            // The compacted cover was allocated with room + top + 1 slots,
            // which fits in an int.
            int levelSlots = int(room + uint64_t(top) + 1);
            e = CombineImplicants(levelSlots, top, n, top - e + 1, last, *cover, 0);
            if (e < 0) return -1;
            top += e;
        }
    }
    int count = CompactCover(top, 0, m, n, cover);
    if (count < 0) return -1;
    if (count > 0 && SelectCover(last, count, n, *cover) < 0) return -1;
    // Drop a prime that appears again later.
    for (int i = 0; i <= count - 1; ++i) {
        if (!SlotLive(*cover, i, n)) continue;
        if (FindEqualCube(*cover, i + 1, count, (*cover)[i], n)) DeleteSlotKeepingZero(*cover, i, n);
    }
    return count;
}

int MinimizeCompleteOfRows(int last, int nUsed, int n, Cover* cover) {
    if (last <= 0) return 0;
    if (!UseReferenceAlgorithms) {
        int fast = MinimizeCompleteFast(last + 1, last, nUsed, n, cover);
        if (fast != kCompleteFastDeclined) return fast;
    }
    const uint64_t spare = nUsed >= 1 ? Binomial(nUsed, nUsed - 1) << (nUsed - 1) : 0;
    const uint64_t slots = uint64_t(last) + 1 + spare;
    Cover wide = AllocCoverWide(slots, last + 1, n);
    if (!wide) return -1;
    for (int k = 0; k <= last; ++k) {
        if (!(*cover)[k]) continue;
        wide[k] = CubeAddress(wide, int(slots), k, last + 1, n);
        CopyCube(*cover, k, wide, k, n);
    }
    FreeCover(*cover);
    *cover = wide;
    const int saved = UseReferenceAlgorithms;
    UseReferenceAlgorithms = 1;
    int result = MinimizeComplete(int(slots), last, nUsed, n, cover);
    UseReferenceAlgorithms = saved;
    return result;
}
