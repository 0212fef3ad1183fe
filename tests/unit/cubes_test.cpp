// Cubes and covers: encoding, markers, layout, liveness, containment.
#include <gtest/gtest.h>

#include <cstring>

#include "compiler/front/diagnostics.h"
#include "compiler/front/driver.h"
#include "compiler/front/work_memory.h"
#include "compiler/logic/cubes.h"

namespace {

class CubesTest : public ::testing::Test {
protected:
    void SetUp() override {
        WorkMemoryResetCounters();
        blocks_ = WorkMemoryOutstandingBlocks();
        CS.ErrorCount = 0;
        CS.WarningCount = 0;
    }
    void TearDown() override {
        WorkMemoryResetCounters();
        EXPECT_EQ(WorkMemoryOutstandingBlocks(), blocks_);
    }
    // A cover of `slots` cubes of n positions, every pointer set.
    Cover Make(int slots, int n, int extra = 0) {
        Cover c = AllocCover(slots, extra, n);
        for (int r = 0; r < slots; ++r) c[r] = CubeAddress(c, slots, r, extra, n);
        return c;
    }
    // Sets cube `row` from a text: '1' positive, '0' negative, '-' absent.
    static void Put(Cover c, int row, const char* codes) {
        for (int p = 0; codes[p]; ++p)
            SetCode(c, row, p, codes[p] == '1' ? CODE_POS : codes[p] == '0' ? CODE_NEG : CODE_ABSENT);
    }
    long blocks_ = 0;
};

TEST_F(CubesTest, CubeWordsRoundsUpToWholeWords) {
    struct { int k, words; } cases[] = {{0, 0}, {1, 1}, {15, 1}, {16, 1}, {17, 2}, {32, 2}, {33, 3}};
    for (auto& c : cases) EXPECT_EQ(CubeWords(c.k), c.words) << c.k;
}

TEST_F(CubesTest, BlockLayoutPutsCubesAfterThePointers) {
    // 3 slots, n = 20, 4 extra columns: two words per cube.
    Cover c = AllocCover(3, 4, 20);
    ASSERT_NE(c, nullptr);
    CubeWord* storage = reinterpret_cast<CubeWord*>(c + 3);
    EXPECT_EQ(CubeAddress(c, 3, 0, 4, 20), storage);
    EXPECT_EQ(CubeAddress(c, 3, 2, 4, 20), storage + 4);
    for (int r = 0; r < 3; ++r) EXPECT_EQ(c[r], nullptr) << "pointers start as none";
    // zero-filled storage
    for (int w = 0; w < 6; ++w) EXPECT_EQ(storage[w], 0u);
    FreeCover(c);
}

TEST_F(CubesTest, CodesArePackedTwoBitsPerPosition) {
    Cover c = Make(1, 40);
    SetCode(c, 0, 3, CODE_NEG);
    SetCode(c, 0, 17, CODE_POS);
    SetCode(c, 0, 39, CODE_NEG);
    EXPECT_EQ(c[0][0], CubeWord(3) << 6);
    EXPECT_EQ(c[0][1], CubeWord(1) << 2);
    EXPECT_EQ(c[0][2], CubeWord(3) << 14);
    // overwrite keeps the neighbours
    SetCode(c, 0, 4, CODE_POS);
    SetCode(c, 0, 3, CODE_ABSENT);
    EXPECT_EQ(GetCode(c, 0, 3), CODE_ABSENT);
    EXPECT_EQ(GetCode(c, 0, 4), CODE_POS);
    EXPECT_EQ(GetCode(c, 0, 17), CODE_POS);
    // other values are stored mod 4
    SetCode(c, 0, 20, 6);
    EXPECT_EQ(GetCode(c, 0, 20), 2);
    FreeCover(c);
}

TEST_F(CubesTest, MarkersHideTheFirstWordOnly) {
    Cover c = Make(1, 36);
    Put(c, 0, "10----------------1");   // positions 0, 1 and 18 hold literals
    SetCode(c, 0, 0, MARK_ZERO);
    for (int p = 0; p < 16; ++p) EXPECT_EQ(GetCode(c, 0, p), MARK_ZERO) << p;
    EXPECT_EQ(GetCode(c, 0, 18), CODE_POS);
    EXPECT_GE(LiteralCount(c, 0, 36), 1);
    SetCode(c, 0, 0, MARK_ONE);
    for (int p = 0; p < 16; ++p) EXPECT_EQ(GetCode(c, 0, p), MARK_ONE) << p;
    // a code 2 in an extra column at position 16 marks nothing
    Cover d = Make(1, 4, 30);
    SetCode(d, 0, 16, CODE_TWO);
    SetCode(d, 0, 17, CODE_POS);
    EXPECT_EQ(GetCode(d, 0, 16), CODE_TWO);
    EXPECT_EQ(GetCode(d, 0, 17), CODE_POS);
    EXPECT_EQ(GetCode(d, 0, 0), CODE_ABSENT);
    FreeCover(c);
    FreeCover(d);
}

TEST_F(CubesTest, CopyCubeCarriesTheMarker) {
    Cover c = Make(2, 4);
    SetCode(c, 0, 0, MARK_ONE);
    CopyCube(c, 0, c, 1, 4);
    EXPECT_EQ(GetCode(c, 1, 0), MARK_ONE);
    Put(c, 0, "1-0-");
    CopyCube(c, 0, c, 1, 3);   // only positions 0..n-1 are copied
    EXPECT_EQ(GetCode(c, 1, 0), CODE_POS);
    EXPECT_EQ(GetCode(c, 1, 1), CODE_ABSENT);
    EXPECT_EQ(GetCode(c, 1, 2), CODE_NEG);
    FreeCover(c);
}

// CopyCube and LiteralCount work on whole words; they must agree with the
// position-by-position reading for every width, with markers, with codes in
// the extra columns and with a destination that already holds codes.
TEST_F(CubesTest, WordWiseCopyAndCountMatchThePositions) {
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7fff;
    };
    for (int n : {1, 2, 15, 16, 17, 31, 32, 33, 47, 70}) {
        const int extra = 20;
        for (int round = 0; round < 40; ++round) {
            Cover c = Make(2, n, extra);
            for (int row = 0; row < 2; ++row)
                for (int p = 0; p < n + extra; ++p) SetCode(c, row, p, int(next() % 4));
            if (round % 5 == 0) SetCode(c, 0, 0, round % 10 == 0 ? MARK_ONE : MARK_ZERO);
            int want = 0;
            for (int p = 0; p < n; ++p)
                if (GetCode(c, 0, p) != CODE_ABSENT) ++want;
            EXPECT_EQ(LiteralCount(c, 0, n), want) << "n=" << n << " round " << round;

            int before[128];
            for (int p = 0; p < n + extra; ++p) before[p] = RawCubeCode(c[1], p);
            int expected[128];
            for (int p = 0; p < n + extra; ++p) expected[p] = before[p];
            for (int p = 0; p < n; ++p) {
                int code = GetCode(c, 0, p);
                if (code == MARK_ONE) {
                    expected[0] = CODE_TWO;
                    expected[1] = CODE_TWO;
                } else if (code == MARK_ZERO) {
                    expected[0] = CODE_TWO;
                    expected[1] = CODE_ABSENT;
                } else {
                    expected[p] = code;
                }
            }
            CopyCube(c, 0, c, 1, n);
            for (int p = 0; p < n + extra; ++p)
                EXPECT_EQ(RawCubeCode(c[1], p), expected[p]) << "n=" << n << " round " << round << " p=" << p;
            FreeCover(c);
        }
    }
}

TEST_F(CubesTest, LivenessTreatsSlotZeroWithoutLiteralAsDeleted) {
    Cover c = Make(3, 4);
    // cube 0 and cube 1 have no literal, cube 2 has one
    Put(c, 2, "1---");
    EXPECT_FALSE(SlotLive(c, 0, 4));
    EXPECT_TRUE(SlotLive(c, 1, 4));
    EXPECT_EQ(LiveCubeCount(c, 2, 4), 2);
    c[1] = nullptr;
    EXPECT_EQ(LiveCubeCount(c, 2, 4), 1);
    SetCode(c, 0, 0, MARK_ZERO);   // a marked cube 0 is live
    EXPECT_EQ(LiveCubeCount(c, 2, 4), 2);
    DeleteSlotKeepingZero(c, 0, 4);
    EXPECT_NE(c[0], nullptr);
    EXPECT_EQ(LiveCubeCount(c, 2, 4), 1);
    DeleteSlotKeepingZero(c, 2, 4);
    EXPECT_EQ(c[2], nullptr);
    FreeCover(c);
}

TEST_F(CubesTest, CompareCubesFollowsContainment) {
    struct Case { const char* a; const char* b; int relation, equal; } cases[] = {
        {"11--", "1---", 2, 0},   // a·b vs a: the second strictly contains the first
        {"1---", "11--", 1, 0},   // a vs a·b
        {"1---", "0---", 0, 0},   // a vs NOT a
        {"10-1", "10-1", 1, 1},   // identical
        {"11--", "1-1-", 0, 0},   // a·b vs a·c
        {"----", "----", 1, 1},
        {"1-0-", "---1", 0, 0},   // each more general somewhere
        {"----", "0101", 1, 0},
    };
    Cover c = Make(2, 4);
    for (auto& k : cases) {
        Put(c, 0, k.a);
        Put(c, 1, k.b);
        CubeRelation r = CompareCubes(c, 0, c, 1, 4);
        EXPECT_EQ(r.relation, k.relation) << k.a << " " << k.b;
        EXPECT_EQ(r.equal, k.equal) << k.a << " " << k.b;
    }
    CubeRelation none = CompareCubes(c, 0, c, 1, 0);
    EXPECT_EQ(none.relation, 1);
    EXPECT_EQ(none.equal, 1);
    c[1] = nullptr;
    CubeRelation gone = CompareCubes(c, 0, c, 1, 4);
    EXPECT_EQ(gone.relation, 0);
    EXPECT_EQ(gone.equal, 0);
    FreeCover(c);
}

TEST_F(CubesTest, FindEqualCubeLooksAtSetPointersInTheRange) {
    Cover c = Make(4, 3);
    Put(c, 0, "10-");
    Put(c, 1, "1--");
    Put(c, 2, "10-");
    Put(c, 3, "0--");
    CubeWord probe[1] = {0};
    SetCubeCode(probe, 0, CODE_POS);
    SetCubeCode(probe, 1, CODE_NEG);
    EXPECT_EQ(FindEqualCube(c, 1, 3, probe, 3), 1);
    EXPECT_EQ(FindEqualCube(c, 3, 3, probe, 3), 0);
    c[2] = nullptr;
    EXPECT_EQ(FindEqualCube(c, 1, 3, probe, 3), 0);
    EXPECT_EQ(FindEqualCube(c, 0, 0, probe, 3), 1);
    FreeCover(c);
}

// Pascal's rule and the symmetry give every value independently of the
// multiplicative formula under test.
TEST_F(CubesTest, BinomialIsExactUpToEighteen) {
    uint64_t row[19][19] = {};
    for (int n = 0; n <= 18; ++n) {
        row[n][0] = row[n][n] = 1;
        for (int k = 1; k < n; ++k) row[n][k] = row[n - 1][k - 1] + row[n - 1][k];
        for (int k = 0; k <= n; ++k) EXPECT_EQ(Binomial(n, k), row[n][k]) << n << " " << k;
    }
    EXPECT_EQ(Binomial(18, 9), 48620u);
    EXPECT_EQ(Binomial(13, 12), 13u);
}

TEST_F(CubesTest, EveryCallOfLiteralCountStepsTheCounter) {
    Cover c = Make(1, 2);
    LiteralCallCount = 0;
    int before = ProgressIndex;
    for (int i = 0; i < 63; ++i) LiteralCount(c, 0, 2);
    EXPECT_EQ(ProgressIndex, before);
    LiteralCount(c, 0, 2);
    EXPECT_EQ(ProgressIndex, (before + 1) % 16);
    for (int i = 0; i < 64; ++i) LiteralCount(c, 0, 2);
    EXPECT_EQ(ProgressIndex, (before + 2) % 16);
    FreeCover(c);
}

TEST_F(CubesTest, RefusedCoverIsReportedTwice) {
    int errors = CS.ErrorCount;
    WorkMemoryFailAt(1);
    EXPECT_EQ(AllocCover(4, 0, 4), nullptr);
    EXPECT_EQ(CS.ErrorCount, errors + 2);
    // a size that does not fit is refused the same way, without overflow
    WorkMemoryResetCounters();
    EXPECT_EQ(AllocCoverWide(uint64_t(1) << 40, 100, 100), nullptr);
    EXPECT_EQ(CS.ErrorCount, errors + 4);
}

}  // namespace
