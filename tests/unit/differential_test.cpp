// Differential test of the fast paths against the reference algorithms: the
// same covers from Simplify, the same truth tables, the same nodes from the
// pool, and for whole generated programs at every level and on every
// controller the same ZW and ERR bytes, the same compile-log lines (progress
// frames included) and the same counters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/front/diagnostics.h"
#include "compiler/front/driver.h"
#include "compiler/front/host.h"
#include "compiler/front/work_memory.h"
#include "compiler/logic/algorithm_choice.h"
#include "compiler/logic/espresso.h"
#include "compiler/logic/minimize.h"
#include "compiler/statements/expr_tree.h"
#include "front_fixture.h"
#include "perf_corpus.h"

using front_test::HostRecorder;
using front_test::ReadFileBytes;
using front_test::WriteFileBytes;
using perf_corpus::Rng;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int kCorpusScale = 1;   // the sanitizer build runs a smaller corpus
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int kCorpusScale = 1;
#else
constexpr int kCorpusScale = 2;
#endif
#else
constexpr int kCorpusScale = 2;
#endif

// The process-wide counters that outlive a compile; both runs start from the
// same values so that their progress frames can be compared.
struct Counters {
    int highWater, probes, literals, progress, transient, polarity;
    static Counters Now() {
        return {NodePoolHighWater, NodeProbeCount, LiteralCallCount, ProgressIndex, LastLineTransient, Polarity};
    }
    void Restore() const {
        NodePoolHighWater = highWater;
        NodeProbeCount = probes;
        LiteralCallCount = literals;
        ProgressIndex = progress;
        LastLineTransient = transient;
        Polarity = polarity;
    }
    bool operator==(const Counters& o) const {
        return highWater == o.highWater && probes == o.probes && literals == o.literals && progress == o.progress &&
               transient == o.transient && polarity == o.polarity;
    }
};

class ChooseAlgorithms {
public:
    explicit ChooseAlgorithms(int reference) : saved_(UseReferenceAlgorithms) { UseReferenceAlgorithms = reference; }
    ~ChooseAlgorithms() { UseReferenceAlgorithms = saved_; }

private:
    int saved_;
};

using Cubes = std::vector<std::string>;

Cover Build(const std::vector<std::vector<int>>& cubes, int n) {
    int slots = int(cubes.size());
    Cover c = AllocCover(slots, 0, n);
    for (int r = 0; r < slots; ++r) {
        c[r] = CubeAddress(c, slots, r, 0, n);
        for (int p = 0; p < n; ++p) SetCode(c, r, p, cubes[size_t(r)][size_t(p)]);
    }
    return c;
}

Cubes Dump(Cover c, int last, int n) {
    Cubes out;
    for (int r = 0; r <= last; ++r) {
        if (!c[r]) {
            out.push_back("x");
            continue;
        }
        std::string s;
        for (int p = 0; p < n; ++p) s += "-1?0"[GetCode(c, r, p) & 3];
        out.push_back(s);
    }
    return out;
}

// Rows of an on-set as cubes over n positions; the function's variables
// stand at the positions in `at` (variable 0 is the most significant bit).
std::vector<std::vector<int>> RowsAsCubes(const std::vector<uint32_t>& rows, int vars, const std::vector<int>& at,
                                          int n) {
    std::vector<std::vector<int>> out;
    for (uint32_t r : rows) {
        std::vector<int> cube(size_t(n), CODE_ABSENT);
        for (int k = 0; k < vars; ++k) cube[size_t(at[size_t(k)])] = (r >> (vars - 1 - k)) & 1 ? CODE_POS : CODE_NEG;
        out.push_back(cube);
    }
    return out;
}

struct SimplifyOutcome {
    int last;
    Cubes cubes;
    long outstanding;
};

SimplifyOutcome RunSimplify(int reference, const std::vector<std::vector<int>>& in, int n) {
    ChooseAlgorithms choose(reference);
    long before = WorkMemoryOutstandingBlocks();
    Cover c = Build(in, n);
    int last = Simplify(int(in.size()) - 1, n, &c);
    SimplifyOutcome o{last, last >= 0 ? Dump(c, last, n) : Cubes{}, 0};
    FreeCover(c);
    o.outstanding = WorkMemoryOutstandingBlocks() - before;
    return o;
}

void ExpectSameSimplify(const std::vector<std::vector<int>>& in, int n, const std::string& what) {
    SimplifyOutcome ref = RunSimplify(1, in, n);
    SimplifyOutcome fast = RunSimplify(0, in, n);
    EXPECT_EQ(fast.last, ref.last) << what;
    EXPECT_EQ(fast.cubes, ref.cubes) << what;
    EXPECT_EQ(fast.outstanding, 0) << what;
    EXPECT_EQ(ref.outstanding, 0) << what;
}

TEST(DifferentialTest, SimplifyOfRandomAndPlcLikeOnSets) {
    // Functions of 2 to 10 variables spread over positions with gaps between
    // them (n larger than the variables), so that renumbering matters.
    for (int vars = 2; vars <= 8 + kCorpusScale; ++vars) {
        int n = vars + 5;
        std::vector<int> at;
        for (int k = 0; k < vars; ++k) at.push_back(k + (k * 5) / vars);
        for (int seed = 1; seed <= 2 * kCorpusScale; ++seed) {
            for (int percent : {10, 50, 90}) {
                auto rows = perf_corpus::RandomOnSet(vars, percent, uint64_t(seed * 100 + vars));
                if (rows.empty()) continue;
                ExpectSameSimplify(RowsAsCubes(rows, vars, at, n), n,
                                   "random vars " + std::to_string(vars) + " seed " + std::to_string(seed) + " " +
                                       std::to_string(percent) + "%");
            }
            auto rows = perf_corpus::PlcLikeOnSet(vars, uint64_t(seed * 7 + vars));
            if (!rows.empty())
                ExpectSameSimplify(RowsAsCubes(rows, vars, at, n), n,
                                   "plc-like vars " + std::to_string(vars) + " seed " + std::to_string(seed));
        }
    }
}

TEST(DifferentialTest, SimplifyOfRandomProductTerms) {
    // Symbolic covers: products of any width, with repeats, contained and
    // opposite terms, empty products, in any order.
    Rng rng(42);
    for (int round = 0; round < 150 * kCorpusScale; ++round) {
        int n = 1 + rng.Below(12);
        int terms = 1 + rng.Below(round % 5 == 0 ? 40 : 12);
        std::vector<std::vector<int>> in;
        for (int t = 0; t < terms; ++t) {
            std::vector<int> cube(size_t(n), CODE_ABSENT);
            int lits = rng.Below(std::min(n, 6) + 1);
            for (int l = 0; l < lits; ++l) cube[size_t(rng.Below(n))] = rng.Below(2) ? CODE_POS : CODE_NEG;
            if (!in.empty() && rng.Below(8) == 0) cube = in[size_t(rng.Below(int(in.size())))];
            in.push_back(cube);
        }
        ExpectSameSimplify(in, n, "round " + std::to_string(round));
    }
}

TEST(DifferentialTest, NodePoolHandsOutTheSameNodesAndCountsTheSameProbes) {
    ASSERT_EQ(ReserveNodePool(), 1);
    struct Run {
        std::vector<long> nodes;
        int probes, highWater, progress;
    };
    auto run = [](int reference, Counters start) {
        ChooseAlgorithms choose(reference);
        start.Restore();
        ReleaseNodePool();
        EXPECT_EQ(ReserveNodePool(), 1);
        Rng rng(7);
        Run r;
        std::vector<ExprNode*> held;
        // Long runs of takes with releases scattered below the top, and a
        // narrowed pool at the end, which makes AllocNode run out.
        for (int step = 0; step < 40000 * kCorpusScale; ++step) {
            if (held.empty() || rng.Below(3) != 0) {
                ExprNode* n = AllocNode();
                r.nodes.push_back(n ? long(n - NodePool) : -1);
                if (n) held.push_back(n);
            } else {
                size_t k = size_t(rng.Below(int(held.size())));
                ReleaseNode(held[k]);
                held[k] = held.back();
                held.pop_back();
            }
        }
        int saved = NodePoolCapacity;
        NodePoolCapacity = int(held.size()) / 2;
        for (int k = 0; k < 3; ++k) r.nodes.push_back(AllocNode() ? 1 : -1);
        NodePoolCapacity = saved;
        r.probes = NodeProbeCount;
        r.highWater = NodePoolHighWater;
        r.progress = ProgressIndex;
        return r;
    };
    Counters start = Counters::Now();
    start.probes = 65000;   // a few frames come from the probe counter wrapping round
    // The reference run's progress frames, counted as the compile log sees them.
    static int frames;
    frames = 0;
    CompileHost counting{nullptr, [](void*, const char*, int transient) { frames += transient; }, nullptr,
                         nullptr, nullptr};
    SetCompileHost(&counting);
    Run ref = run(1, start);
    SetCompileHost(nullptr);
    int refFrames = frames;
    Run fast = run(0, start);
    EXPECT_EQ(fast.nodes, ref.nodes);
    EXPECT_EQ(fast.probes, ref.probes);
    EXPECT_EQ(fast.highWater, ref.highWater);
    EXPECT_EQ(fast.progress, ref.progress);
    EXPECT_GT(refFrames, 0);
    ReleaseNodePool();
}

struct CompileOutcome {
    int rc, warnings, errors, boxes;
    std::string zw, err;
    std::vector<std::string> log;
    Counters after;
};

CompileOutcome CompileWith(int reference, const std::string& src, int plc, int level, const Counters& start) {
    static int serial = 0;
    std::string base = front_test::ScratchDir() + "differential_" + std::to_string(++serial);
    std::string srcPath = base + ".sqx", zw = base + ".ZW", err = base + ".ERR";
    WriteFileBytes(srcPath, src);
    HostRecorder host;
    host.Install();
    int savedPlc = PlcType, savedLevel = MinLevel;
    PlcType = plc;
    MinLevel = level;
    start.Restore();
    int rc;
    {
        ChooseAlgorithms choose(reference);
        int window = 0;
        rc = CompileSource(srcPath.c_str(), zw.c_str(), err.c_str(), &window);
    }
    CompileOutcome o{rc, CS.WarningCount, CS.ErrorCount, host.oomBoxes, ReadFileBytes(zw), ReadFileBytes(err),
                     host.log, Counters::Now()};
    PlcType = savedPlc;
    MinLevel = savedLevel;
    SetCompileHost(nullptr);
    for (const std::string& p : {srcPath, zw, err}) std::remove(p.c_str());
    return o;
}

void ExpectSameCompile(const std::string& src, int plc, int level, const std::string& what) {
    Counters start = Counters::Now();
    CompileOutcome ref = CompileWith(1, src, plc, level, start);
    CompileOutcome fast = CompileWith(0, src, plc, level, start);
    EXPECT_EQ(fast.rc, ref.rc) << what;
    EXPECT_EQ(fast.warnings, ref.warnings) << what;
    EXPECT_EQ(fast.errors, ref.errors) << what;
    EXPECT_EQ(fast.boxes, ref.boxes) << what;
    EXPECT_EQ(fast.zw, ref.zw) << what;
    EXPECT_EQ(fast.err, ref.err) << what;
    EXPECT_EQ(fast.log, ref.log) << what;
    EXPECT_TRUE(fast.after == ref.after) << what;
    EXPECT_NE(ref.zw, "") << what << " wrote no equations:\n" << ref.err;
}

struct CorpusCase {
    const char* name;
    perf_corpus::ProgramShape shape;
    std::vector<int> levels;
};

TEST(DifferentialTest, GeneratedProgramsOnEveryControllerAndLevel) {
    perf_corpus::ProgramShape small;   // few variables: complete minimization stays quick
    small.inputs = 10;
    small.exprVars = 6;
    small.statements = 8;
    small.comparisons = false;
    perf_corpus::ProgramShape wide;    // IF and CASE outputs over many variables, with the comparison members
    wide.inputs = 10;   // ZIRKO M2 has no more input pins
    wide.interns = 2;
    wide.exprVars = 10;
    wide.statements = 8;
    wide.depth = 3;
    const std::vector<CorpusCase> cases = {
        {"small", small, {NOMIN, STRONGMIN, ESPRESSO}},
        {"wide", wide, {NOMIN, ESPRESSO}},
    };
    for (const CorpusCase& c : cases)
        for (int plc : {0, 1, 4, 5})
            for (int level : c.levels)
                for (int seed = 1; seed <= (c.levels.size() == 3 ? kCorpusScale : 1); ++seed) {
                    perf_corpus::ProgramGenerator gen(uint64_t(seed * 1000 + plc * 10 + level), c.shape);
                    ExpectSameCompile(gen.Program(), plc, level,
                                      std::string(c.name) + " plc " + std::to_string(plc) + " level " +
                                          std::to_string(level) + " seed " + std::to_string(seed));
                }
}

TEST(DifferentialTest, NonSumOfProductsOverManyVariables) {
    // One output over 12 to 16 variables, not a sum of products: a truth table
    // at every level, minimized by Simplify under ESPRESSO.
    for (int vars = 12; vars <= 12 + 2 * kCorpusScale - 2; vars += 2) {
        std::string s = "PROGRAM weit\nVAR_INPUT\n";
        for (int i = 0; i < vars; ++i) s += "  i" + std::to_string(i) + ";\n";
        s += "END_VAR;\nVAR_OUTPUT\n  y;\nEND_VAR;\ny := ";
        for (int i = 0; i + 1 < vars; i += 2)
            s += std::string(i ? " AND " : "") + "(i" + std::to_string(i) + " OR NOT i" + std::to_string(i + 1) +
                 (i % 4 == 0 ? " XOR i" + std::to_string((i + 3) % vars) : std::string()) + ")";
        s += ";\nEND_PROGRAM;\n";
        for (int level : {NOMIN, ESPRESSO}) ExpectSameCompile(s, 1, level, "vars " + std::to_string(vars));
    }
}

}  // namespace
