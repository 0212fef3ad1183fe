// Complete minimization on packed cubes against the cover-based version: the
// same last index, the same variable codes in every live slot, the same
// progress counter, for random and control-like functions of 1 to 12
// variables as on-sets and off-sets; whole STRONGMIN compiles with the same
// files and log; and the failure and fallback paths.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "compiler/front/diagnostics.h"
#include "compiler/front/driver.h"
#include "compiler/front/work_memory.h"
#include "compiler/logic/algorithm_choice.h"
#include "compiler/logic/complete_min.h"
#include "compiler/logic/complete_min_fast.h"
#include "compiler/statements/expr_tree.h"
#include "front_fixture.h"
#include "perf_corpus.h"

using front_test::HostRecorder;
using front_test::ReadFileBytes;
using front_test::WriteFileBytes;
using perf_corpus::Rng;

namespace {

class ChooseAlgorithms {
public:
    explicit ChooseAlgorithms(int reference) : saved_(UseReferenceAlgorithms) { UseReferenceAlgorithms = reference; }
    ~ChooseAlgorithms() { UseReferenceAlgorithms = saved_; }

private:
    int saved_;
};

// A function's rows over variables placed at the given cube positions: bit v
// of a row is the value of the variable at positions[v].
struct Function {
    std::vector<uint32_t> rows;
    std::vector<int> positions;
    int n;
};

// TALMIR_CORPUS_SCALE=k runs k times the functions of each size (the
// default keeps the suite quick; the cover-based version is slow from ten
// variables on).
int CorpusScale() {
    const char* v = std::getenv("TALMIR_CORPUS_SCALE");
    int k = v ? std::atoi(v) : 1;
    return k > 0 ? k : 1;
}

int SpareFor(int nUsed) { return nUsed >= 1 ? int(Binomial(nUsed, nUsed - 1) << (nUsed - 1)) : 0; }

// The cover the equation step hands over: rows in slots 0..m-1, spare slots
// after them, one row column per row (the written layout) or, for the rows
// alone, neither.
Cover BuildRows(const Function& f, int spare, bool rowsAlone) {
    int m = int(f.rows.size());
    int slots = m + spare;
    int extra = rowsAlone ? 0 : m;
    Cover c = AllocCover(slots, extra, f.n);
    for (int r = 0; r < m; ++r) {
        c[r] = CubeAddress(c, slots, r, extra, f.n);
        for (size_t v = 0; v < f.positions.size(); ++v)
            SetCode(c, r, f.positions[v], (f.rows[size_t(r)] >> v) & 1u ? CODE_POS : CODE_NEG);
    }
    return c;
}

struct Outcome {
    int last = -2;
    std::vector<std::string> slots;   // variable codes per slot 0..last, "" for a deleted slot
    int literalCalls = 0;
    int progress = 0;
    long outstanding = 0;
    bool operator==(const Outcome& o) const {
        return last == o.last && slots == o.slots && literalCalls == o.literalCalls && progress == o.progress &&
               outstanding == o.outstanding;
    }
};

std::string Show(const Outcome& o) {
    std::string s = "last " + std::to_string(o.last) + " calls " + std::to_string(o.literalCalls) + " frame " +
                    std::to_string(o.progress) + ":";
    for (const std::string& c : o.slots) s += " " + (c.empty() ? std::string("x") : c);
    return s;
}

// rowsAlone: through the driver's entry for the fast paths, the rows without
// row columns or spare slots.
Outcome RunMinimize(int reference, const Function& f, bool rowsAlone = false) {
    ChooseAlgorithms choose(reference);
    LiteralCallCount = 17;
    ProgressIndex = 3;
    long before = WorkMemoryOutstandingBlocks();
    int nUsed = int(f.positions.size());
    int spare = rowsAlone ? 0 : SpareFor(nUsed);
    Cover c = BuildRows(f, spare, rowsAlone);
    Outcome o;
    int last = int(f.rows.size()) - 1;
    o.last = rowsAlone ? MinimizeCompleteOfRows(last, nUsed, f.n, &c)
                       : MinimizeComplete(last + 1 + spare, last, nUsed, f.n, &c);
    for (int s = 0; s <= o.last; ++s) {
        std::string codes;
        if (SlotLive(c, s, f.n))
            for (int p = 0; p < f.n; ++p) codes += char('0' + GetCode(c, s, p));
        o.slots.push_back(codes);
    }
    FreeCover(c);
    o.literalCalls = LiteralCallCount;
    o.progress = ProgressIndex;
    o.outstanding = WorkMemoryOutstandingBlocks() - before;
    return o;
}

// Variables at scattered positions among a few unused ones.
Function Place(const std::vector<uint32_t>& rows, int vars, Rng& rng) {
    Function f;
    f.rows = rows;
    f.n = vars + rng.Below(4);
    std::vector<int> all;
    for (int p = 0; p < f.n; ++p) all.push_back(p);
    for (int p = f.n - 1; p > 0; --p) std::swap(all[size_t(p)], all[size_t(rng.Below(p + 1))]);
    all.resize(size_t(vars));
    std::sort(all.begin(), all.end());
    f.positions = all;
    return f;
}

std::vector<uint32_t> Complement(const std::vector<uint32_t>& rows, int vars) {
    std::vector<uint32_t> out;
    size_t k = 0;
    for (uint32_t r = 0; r < (uint32_t(1) << vars); ++r) {
        if (k < rows.size() && rows[k] == r)
            ++k;
        else
            out.push_back(r);
    }
    return out;
}

bool Constant(const std::vector<uint32_t>& rows, int vars) {
    return rows.empty() || rows.size() == (size_t(1) << vars);
}

void ExpectSame(const Function& f, const std::string& what) {
    Outcome ref = RunMinimize(1, f);
    Outcome fast = RunMinimize(0, f);
    ASSERT_GE(ref.last, 0) << what;
    EXPECT_EQ(ref.outstanding, 0) << what;
    EXPECT_TRUE(fast == ref) << what << "\n reference " << Show(ref) << "\n fast      " << Show(fast);
}

// Both sides of each generated function, as the equation step minimizes them.
void CompareCorpus(int vars, int count, bool plcLike, uint64_t seedBase) {
    Rng placer(seedBase);
    for (int k = 0; k < count; ++k) {
        uint64_t seed = seedBase + uint64_t(k);
        std::vector<uint32_t> on =
            plcLike ? perf_corpus::PlcLikeOnSet(vars, seed) : perf_corpus::RandomOnSet(vars, 10 + int(seed % 81), seed);
        if (Constant(on, vars)) continue;
        std::string what = std::string(plcLike ? "plc-like" : "random") + " vars " + std::to_string(vars) +
                           " seed " + std::to_string(seed);
        ExpectSame(Place(on, vars, placer), what + " on-set");
        ExpectSame(Place(Complement(on, vars), vars, placer), what + " off-set");
        if (::testing::Test::HasFailure()) return;
    }
}

TEST(CompleteMinFastTest, SameCoverAsReferenceOverRandomFunctions) {
    struct Size {
        int vars, count;
    };
    const Size sizes[] = {{1, 4}, {2, 40}, {3, 200}, {4, 300}, {5, 300}, {6, 200},
                          {7, 100}, {8, 40}, {9, 12}, {10, 4}};
    for (const Size& s : sizes) CompareCorpus(s.vars, s.count * CorpusScale(), false, 1000u * uint64_t(s.vars));
}

TEST(CompleteMinFastTest, SameCoverAsReferenceOverControlLikeFunctions) {
    struct Size {
        int vars, count;
    };
    const Size sizes[] = {{2, 40}, {3, 200}, {4, 300}, {5, 300}, {6, 200}, {7, 100},
                          {8, 20}, {9, 6}, {10, 2}};
    for (const Size& s : sizes) CompareCorpus(s.vars, s.count * CorpusScale(), true, 77000u + 100u * uint64_t(s.vars));
}

// Beyond the sizes the cover-based version manages: primes from the truth
// table against the level-by-level generation, both orders of row values.
TEST(CompleteMinFastTest, TablePrimesMatchTheLevelByLevelOnes) {
    struct Size {
        int vars, count;
        bool plcLike;
    };
    // Control-like functions of 16 variables take seconds level by level:
    // TALMIR_CORPUS_SCALE adds them.
    std::vector<Size> sizes = {{11, 4, false}, {12, 3, false}, {13, 2, false}, {14, 1, false},
                               {12, 4, true},  {13, 2, true},  {14, 1, true}};
    if (CorpusScale() > 1) sizes.push_back({16, 1, true});
    for (const Size& sz : sizes) {
        Rng placer(uint64_t(sz.vars) * 7);
        for (int k = 0; k < sz.count * CorpusScale(); ++k) {
            uint64_t seed = 9000u + uint64_t(sz.vars) * 100u + uint64_t(k);
            std::vector<uint32_t> on = sz.plcLike ? perf_corpus::PlcLikeOnSet(sz.vars, seed)
                                                  : perf_corpus::RandomOnSet(sz.vars, 20 + int(seed % 61), seed);
            if (Constant(on, sz.vars)) continue;
            for (int side = 0; side < 2; ++side) {
                Function f = Place(side ? Complement(on, sz.vars) : on, sz.vars, placer);
                if (side == 1 && k % 2 == 1) {
                    // The order of a compile's truth table: the first variable on the highest bit.
                    for (uint32_t& r : f.rows) {
                        uint32_t flipped = 0;
                        for (int v = 0; v < sz.vars; ++v)
                            if ((r >> v) & 1u) flipped |= 1u << (sz.vars - 1 - v);
                        r = flipped;
                    }
                    std::sort(f.rows.begin(), f.rows.end());
                }
                std::string what = std::string(sz.plcLike ? "plc-like" : "random") + " vars " +
                                   std::to_string(sz.vars) + " seed " + std::to_string(seed) + " side " +
                                   std::to_string(side);
                CompletePrimesFromTable = 0;
                Outcome levels = RunMinimize(0, f, true);
                CompletePrimesFromTable = 1;
                Outcome table = RunMinimize(0, f, true);
                ASSERT_GE(levels.last, 0) << what;
                EXPECT_TRUE(table == levels) << what << "\n levels " << Show(levels) << "\n table  " << Show(table);
                if (::testing::Test::HasFailure()) return;
            }
        }
    }
}

// Every function of three variables, both sides.
TEST(CompleteMinFastTest, SameCoverForEveryFunctionOfThreeVariables) {
    Rng placer(5);
    for (uint32_t truth = 1; truth < 255; ++truth) {
        std::vector<uint32_t> on;
        for (uint32_t r = 0; r < 8; ++r)
            if ((truth >> r) & 1u) on.push_back(r);
        ExpectSame(Place(on, 3, placer), "truth " + std::to_string(truth));
        ExpectSame(Place(Complement(on, 3), 3, placer), "truth " + std::to_string(truth) + " off-set");
    }
}

// The worked example y := a AND b OR c: primes a.b and c, both essential.
TEST(CompleteMinFastTest, WorkedExampleKeepsSlotOrder) {
    // a, b, c at positions 0..2 (bits 0..2), the output at 3; the rows in
    // the text's order: NOT a.NOT b.c, NOT a.b.c, a.NOT b.c, a.b.NOT c, a.b.c.
    Function f{{0b100, 0b110, 0b101, 0b011, 0b111}, {0, 1, 2}, 4};
    Outcome fast = RunMinimize(0, f);
    ASSERT_EQ(fast.last, 1);
    // a.b in slot 0, c in slot 1, position 3 (the output) untouched.
    EXPECT_EQ(fast.slots[0], "1100");
    EXPECT_EQ(fast.slots[1], "0010");
    EXPECT_TRUE(fast == RunMinimize(1, f));
}

// A refused allocation ends with -1, the caller's cover intact and nothing
// held; then the same call succeeds.
TEST(CompleteMinFastTest, RefusedMemoryEndsWithMinusOneAndLeaksNothing) {
    ChooseAlgorithms choose(0);
    Rng placer(9);
    Function f = Place(perf_corpus::PlcLikeOnSet(8, 3), 8, placer);
    int spare = SpareFor(8);
    int m = int(f.rows.size());
    WorkMemoryResetCounters();
    long before = WorkMemoryOutstandingBlocks();
    Cover c = BuildRows(f, spare, false);
    Cover original = c;
    WorkMemoryResetCounters();
    WorkMemoryFailAt(1);
    int last = MinimizeComplete(m + spare, m - 1, 8, f.n, &c);
    WorkMemoryFailAt(0);
    EXPECT_EQ(last, -1);
    EXPECT_EQ(c, original);
    EXPECT_EQ(WorkMemoryOutstandingBlocks(), before + 1);
    for (int r = 0; r < m; ++r) ASSERT_TRUE(SlotLive(c, r, f.n)) << r;
    last = MinimizeComplete(m + spare, m - 1, 8, f.n, &c);
    EXPECT_GE(last, 0);
    FreeCover(c);
    EXPECT_EQ(WorkMemoryOutstandingBlocks(), before);
}

// Inputs that are no list of distinct full rows are left to the cover-based
// version untouched.
TEST(CompleteMinFastTest, DeclinesWhatIsNoListOfRows) {
    struct Case {
        const char* name;
        std::vector<std::string> rows;
        int nUsed;
    };
    const Case cases[] = {
        {"row with a missing literal", {"110", "1-1"}, 3},
        {"rows over different variables", {"11-", "1-1"}, 3},
        {"repeated row", {"101", "101", "111"}, 3},
        {"nUsed other than the variables", {"101", "111"}, 2},
    };
    for (const Case& k : cases) {
        int n = int(k.rows[0].size());
        int m = int(k.rows.size());
        Cover c = AllocCover(m + 8, m, n);
        for (int r = 0; r < m; ++r) {
            c[r] = CubeAddress(c, m + 8, r, m, n);
            for (int p = 0; p < n; ++p) {
                char ch = k.rows[size_t(r)][size_t(p)];
                SetCode(c, r, p, ch == '1' ? CODE_POS : ch == '0' ? CODE_NEG : CODE_ABSENT);
            }
        }
        Cover original = c;
        EXPECT_EQ(MinimizeCompleteFast(m + 8, m - 1, k.nUsed, n, &c), kCompleteFastDeclined) << k.name;
        EXPECT_EQ(c, original) << k.name;
        FreeCover(c);
    }
}

// Rows without row columns or spare slots, as the driver now hands them
// over: what the packed version declines is moved into the written layout
// and minimized there, with the reference's result; what it takes gives the
// reference's result too.
TEST(CompleteMinFastTest, RowsWithoutColumnsGetTheReferenceResult) {
    struct Case {
        const char* name;
        std::vector<std::string> rows;
        int nUsed;
    };
    const Case cases[] = {
        {"row with a missing literal", {"110", "1-1", "011"}, 3},
        {"repeated row", {"101", "101", "111", "001"}, 3},
        {"list of rows", {"000", "001", "011", "111"}, 3},
        {"rows out of order", {"111", "000", "110", "010"}, 3},
    };
    auto fill = [](Cover c, int slots, int extra, const std::vector<std::string>& rows) {
        int n = int(rows[0].size());
        for (size_t r = 0; r < rows.size(); ++r) {
            c[r] = CubeAddress(c, slots, int(r), extra, n);
            for (int p = 0; p < n; ++p) {
                char ch = rows[r][size_t(p)];
                SetCode(c, int(r), p, ch == '1' ? CODE_POS : ch == '0' ? CODE_NEG : CODE_ABSENT);
            }
        }
    };
    auto live = [](Cover c, int last, int n) {
        std::vector<std::string> out;
        for (int s = 0; s <= last; ++s) {
            if (!SlotLive(c, s, n)) continue;
            std::string codes;
            for (int p = 0; p < n; ++p) codes += char('0' + GetCode(c, s, p));
            out.push_back(codes);
        }
        return out;
    };
    for (const Case& k : cases) {
        const long before = WorkMemoryOutstandingBlocks();
        int n = int(k.rows[0].size());
        int m = int(k.rows.size());
        int spare = SpareFor(k.nUsed);
        Cover wide = AllocCover(m + spare, m, n);
        fill(wide, m + spare, m, k.rows);
        int refLast;
        {
            ChooseAlgorithms reference(1);
            refLast = MinimizeComplete(m + spare, m - 1, k.nUsed, n, &wide);
        }
        ASSERT_GE(refLast, 0) << k.name;
        Cover rows = AllocCover(m, 0, n);
        fill(rows, m, 0, k.rows);
        int last = MinimizeCompleteOfRows(m - 1, k.nUsed, n, &rows);
        EXPECT_EQ(last, refLast) << k.name;
        EXPECT_EQ(live(rows, last, n), live(wide, refLast, n)) << k.name;
        FreeCover(wide);
        FreeCover(rows);
        EXPECT_EQ(WorkMemoryOutstandingBlocks(), before) << k.name;
    }
}

// Whole programs at STRONGMIN: the same ZW, ERR and log lines.
struct CompileOutcome {
    int rc;
    std::string zw, err;
    std::vector<std::string> log;
    int literals, progress;
};

CompileOutcome CompileWith(int reference, const std::string& src, int plc) {
    static int serial = 0;
    std::string base = front_test::ScratchDir() + "complete_fast_" + std::to_string(++serial);
    std::string srcPath = base + ".sqx", zw = base + ".ZW", err = base + ".ERR";
    WriteFileBytes(srcPath, src);
    HostRecorder host;
    host.Install();
    int savedPlc = PlcType, savedLevel = MinLevel;
    PlcType = plc;
    MinLevel = STRONGMIN;
    LiteralCallCount = 5;
    ProgressIndex = 0;
    int rc;
    {
        ChooseAlgorithms choose(reference);
        int window = 0;
        rc = CompileSource(srcPath.c_str(), zw.c_str(), err.c_str(), &window);
    }
    // The permanent lines; the progress frames (only spaces and arrows) are
    // not compared: this path advances them differently.
    std::vector<std::string> lines;
    for (const std::string& l : host.log)
        if (l.find_first_not_of(" <>") != std::string::npos) lines.push_back(l);
    CompileOutcome o{rc, ReadFileBytes(zw), ReadFileBytes(err), lines, LiteralCallCount, ProgressIndex};
    PlcType = savedPlc;
    MinLevel = savedLevel;
    SetCompileHost(nullptr);
    for (const std::string& p : {srcPath, zw, err}) std::remove(p.c_str());
    return o;
}

TEST(CompleteMinFastTest, WholeCompilesAtStrongminAreIdentical) {
    perf_corpus::ProgramShape shape;
    shape.inputs = 10;
    shape.exprVars = 8;
    shape.statements = 8;
    shape.comparisons = false;
    for (int plc : {0, 1, 4, 5})
        for (int seed = 1; seed <= 3; ++seed) {
            perf_corpus::ProgramGenerator gen(uint64_t(seed * 31 + plc), shape);
            std::string src = gen.Program();
            std::string what = "plc " + std::to_string(plc) + " seed " + std::to_string(seed);
            CompileOutcome ref = CompileWith(1, src, plc);
            CompileOutcome fast = CompileWith(0, src, plc);
            EXPECT_NE(ref.zw, "") << what << "\n" << ref.err;
            EXPECT_EQ(fast.rc, ref.rc) << what;
            EXPECT_EQ(fast.zw, ref.zw) << what;
            EXPECT_EQ(fast.err, ref.err) << what;
            EXPECT_EQ(fast.log, ref.log) << what;
        }
}

}  // namespace
