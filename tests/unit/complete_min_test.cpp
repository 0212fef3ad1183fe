// Complete minimization: prime generation level by level, essential and
// greedy selection, and the failure path of every allocation.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "compiler/front/driver.h"
#include "compiler/front/work_memory.h"
#include "compiler/logic/complete_min.h"
#include "cover_fixture.h"

namespace {

using cover_test::Code;
using cover_test::Cubes;
using cover_test::Live;

// The input the driver hands over: rows in slots 0..m-1, spare slots after
// them, one extra column per row.
Cover BuildRows(const Cubes& rows, int spare) { return cover_test::FromText(rows, spare, int(rows.size())); }

int SpareFor(int nUsed) { return int(Binomial(nUsed, nUsed - 1)) << (nUsed - 1); }

bool Covers(const std::string& cube, const std::string& row) {
    for (size_t p = 0; p < cube.size(); ++p)
        if (cube[p] != '-' && cube[p] != row[p]) return false;
    return true;
}

class CompleteMinTest : public cover_test::BlocksTest {
protected:
    Cubes Run(const Cubes& rows, int nUsed, int* lastOut = nullptr) {
        int n = int(rows[0].size());
        int spare = SpareFor(nUsed);
        Cover c = BuildRows(rows, spare);
        int last = MinimizeComplete(int(rows.size()) + spare, int(rows.size()) - 1, nUsed, n, &c);
        if (lastOut) *lastOut = last;
        Cubes out = last >= 0 ? Live(c, last, n) : Cubes{};
        FreeCover(c);
        return out;
    }
};

// Worked examples with a, b, c at positions 0..2 and the output y at 3.
TEST_F(CompleteMinTest, WorkedExamples) {
    struct Case { Cubes rows, primes; } cases[] = {
        // y := a AND b OR c, on-set and off-set
        {{"001-", "011-", "101-", "110-", "111-"}, {"11--", "--1-"}},
        {{"000-", "010-", "100-"}, {"0-0-", "-00-"}},
        // true except on 000 and 111: no essential prime, three greedy steps,
        // each tie going to the lowest slot
        {{"001-", "010-", "011-", "100-", "101-", "110-"}, {"0-1-", "-10-", "10--"}},
        {{"000-", "111-"}, {"000-", "111-"}},
        // a XOR b: no merge at all, the rows are the primes
        {{"01-", "10-"}, {"01-", "10-"}},
    };
    for (auto& c : cases) EXPECT_EQ(Run(c.rows, 3 - (c.rows[0].size() == 3)), c.primes) << c.rows[0];
}

TEST_F(CompleteMinTest, FirstLevelOfTheWorkedExample) {
    const Cubes rows = {"001-", "011-", "101-", "110-", "111-"};
    Cover c = BuildRows(rows, SpareFor(3));
    int slots = 5 + SpareFor(3);
    int e = CombineImplicants(slots, 4, 4, 0, 4, c, 1);
    ASSERT_EQ(e, 5);
    for (int r = 1; r <= 4; ++r) EXPECT_EQ(c[r], nullptr) << r;
    EXPECT_FALSE(SlotLive(c, 0, 4)) << "slot 0 is cleared, not dropped";
    EXPECT_NE(c[0], nullptr);
    EXPECT_EQ(Live(c, 9, 4), (Cubes{"0-1-", "-01-", "-11-", "1-1-", "11--"}));
    // row sets of the new implicants: (0,1) (0,2) (1,4) (2,4) (3,4)
    int pairs[5][2] = {{0, 1}, {0, 2}, {1, 4}, {2, 4}, {3, 4}};
    for (int k = 0; k < 5; ++k)
        for (int j = 0; j <= 4; ++j)
            EXPECT_EQ(GetCode(c, 5 + k, 4 + j), (j == pairs[k][0] || j == pairs[k][1]) ? CODE_POS : CODE_ABSENT)
                << k << " " << j;
    FreeCover(c);
}

TEST_F(CompleteMinTest, EdgeCasesOfTheLevels) {
    struct Case { Cubes rows; int nUsed; Cubes primes; } cases[] = {
        {{"1-0"}, 2, {"1-0"}},                        // a single row returns at once
        {{"10", "11"}, 2, {"1-"}},                    // one merge, no later level
        // an unmergeable row keeps its own row column and stays
        {{"000", "001", "111"}, 3, {"111", "00-"}},
        // 4 rows of a square: the level-2 candidate from (0-, 1-) equals the
        // one from (-0, -1) and is discarded; all four merged cubes go
        {{"000", "001", "010", "011"}, 3, {"0--"}},
    };
    for (auto& c : cases) {
        int n = int(c.rows[0].size());
        int spare = SpareFor(c.nUsed);
        Cover cv = BuildRows(c.rows, spare);
        int last = MinimizeComplete(int(c.rows.size()) + spare, int(c.rows.size()) - 1, c.nUsed, n, &cv);
        EXPECT_EQ(Live(cv, last, n), c.primes) << c.rows[0];
        FreeCover(cv);
    }
}

TEST_F(CompleteMinTest, LiteralAgainstAbsenceNeverMerges) {
    // "1-0" and "110" differ in one literal only by sum, yet position 1 holds
    // a literal in one and none in the other.
    Cover c = AllocCover(4, 2, 3);
    for (int r = 0; r < 2; ++r) c[r] = CubeAddress(c, 4, r, 2, 3);
    const char* cubes[2] = {"1-0", "010"};
    for (int r = 0; r < 2; ++r)
        for (int p = 0; p < 3; ++p) SetCode(c, r, p, Code(cubes[r][p]));
    EXPECT_EQ(CombineImplicants(4, 1, 3, 0, 1, c, 1), 0);
    EXPECT_EQ(GetCode(c, 0, 3), CODE_POS);
    EXPECT_EQ(GetCode(c, 1, 4), CODE_POS);
    FreeCover(c);
}

// Wide cubes: row columns run past position 16, 32, ... and every row must
// stay covered, and nothing outside the rows be covered.
TEST_F(CompleteMinTest, WideCubesCoverExactlyTheRows) {
    std::mt19937 rng(12345);
    for (int trial = 0; trial < 20; ++trial) {
        const int nUsed = 12;
        std::vector<int> picks;
        while (picks.size() < 20) {
            int r = int(rng() % 4096);
            bool seen = false;
            for (int q : picks) seen = seen || q == r;
            if (!seen) picks.push_back(r);
        }
        std::sort(picks.begin(), picks.end());
        Cubes rows;
        for (int r : picks) {
            std::string s;
            for (int b = nUsed - 1; b >= 0; --b) s += (r >> b) & 1 ? '1' : '0';
            rows.push_back(s);
        }
        Cubes primes = Run(rows, nUsed);
        for (int r = 0; r < 4096; ++r) {
            std::string s;
            for (int b = nUsed - 1; b >= 0; --b) s += (r >> b) & 1 ? '1' : '0';
            bool inRows = std::find(rows.begin(), rows.end(), s) != rows.end();
            bool covered = false;
            for (auto& p : primes) covered = covered || Covers(p, s);
            EXPECT_EQ(covered, inRows) << trial << " " << s;
        }
        EXPECT_LE(primes.size(), rows.size());
    }
}

TEST_F(CompleteMinTest, EveryRefusedAllocationFailsCleanly) {
    const Cubes rows = {"001-", "011-", "101-", "110-", "111-"};
    for (long k = 1;; ++k) {
        Cover c = BuildRows(rows, SpareFor(3));
        long held = WorkMemoryOutstandingBlocks();
        int errors = CS.ErrorCount;
        WorkMemoryResetCounters();
        WorkMemoryFailAt(k);
        int last = MinimizeComplete(5 + SpareFor(3), 4, 3, 4, &c);
        long requests = WorkMemoryRequestCount();
        WorkMemoryResetCounters();
        EXPECT_EQ(WorkMemoryOutstandingBlocks(), held) << k;
        if (k > requests) {
            EXPECT_EQ(Live(c, last, 4), (Cubes{"11--", "--1-"}));
            FreeCover(c);
            break;
        }
        EXPECT_EQ(last, -1) << k;
        EXPECT_GE(CS.ErrorCount, errors + 1) << k;
        FreeCover(c);
    }
}

}  // namespace
