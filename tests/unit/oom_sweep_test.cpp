// Out-of-memory sweeps over whole compiles. For each program and level the
// k-th work-memory request is refused, for every k up to the last request of
// the compile, and so is every node of the expression pool: the compile must
// end cleanly each time, give back all of its work memory and leave the ERR
// and ZW files, the message box and the result as the driver promises.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <unistd.h>

#include "compiler/front/driver.h"
#include "compiler/front/host.h"
#include "compiler/front/work_memory.h"
#include "compiler/logic/algorithm_choice.h"
#include "compiler/statements/expr_tree.h"
#include "front_fixture.h"

using front_test::HostRecorder;
using front_test::ReadFileBytes;
using front_test::WriteFileBytes;

namespace {

const char kSpeicherVoll[] = "Speicher voll";
const char kBaumUeberlauf[] = "Speicher\xFC" "berlauf bei interner Baumspeicherung";
// What an earlier compile left in the ZW and ERR files.
const char kOldZw[] = "ZW of an earlier compile\r\n";
const char kOldErr[] = "ERR of an earlier compile\r\n";

struct Program {
    const char* name;
    int plcType;
    std::string text;
};

std::string ExampleAmpel() { return ReadFileBytes(std::string(TALMIR_TEST_DATA) + "/../examples/ampel.sqx"); }

// Realistic programs: declarations of every kind, plain assignments, groups,
// IF and CASE, extension statements, a #NOMIN block, a missing END_PROGRAM.
std::vector<Program> Programs() {
    return {
        {"ampel", 1, ExampleAmpel()},
        {"assignments", 0,
         "PROGRAM zuweisung\n"
         "VAR_INPUT\n  a;\n  b;\n  c;\n  d;\nEND_VAR;\n"
         "VAR_OUTPUT\n  x;\n  y;\n  z;\nEND_VAR;\n"
         "VAR_INTERN\n  m;\nEND_VAR;\n"
         "x := a AND b OR NOT c AND d;\n"
         "y := a XOR b XOR c;\n"
         "m := (a OR b) AND (c OR d) AND NOT (a AND d);\n"
         "z := m OR a AND b AND c AND d;\n"
         "END_PROGRAM;\n"},
        {"if_groups", 1,
         "PROGRAM wahl\n"
         "VAR_INPUT\n  a;\n  b;\n  c;\n  en;\nEND_VAR;\n"
         "VAR_OUTPUT\n  y;\n  z;\n  w;\nEND_VAR;\n"
         "VAR_ARRAY\n  g [a, b, c];\nEND_VAR;\n"
         "IF g = 5 THEN\n  y := 1;\n  z := en;\n"
         "ELSIF g >= 3 THEN\n  y := a AND NOT b;\n"
         "ELSIF en THEN\n  w := c;\n"
         "ELSE\n  y := 0;\n  w := NOT a;\nEND_IF;\n"
         "END_PROGRAM;\n"},
        {"case_group", 4,
         "PROGRAM auswahl\n"
         "VAR_INPUT\n  a;\n  b;\n  c;\nEND_VAR;\n"
         "VAR_OUTPUT\n  y;\n  z;\n  q;\nEND_VAR;\n"
         "VAR_ARRAY\n  sel [a, b];\nEND_VAR;\n"
         "CASE sel OF\n  0: y := 1;\n  1: z := c;\n  2: y := c; z := NOT c;\n"
         "ELSE\n  q := 1;\nEND_CASE;\n"
         "END_PROGRAM;\n"},
        {"extensions_io", 0,
         "PROGRAM ext\n"
         "VAR_INPUT\n  a;\n  b;\n  en;\n  takt;\nEND_VAR;\n"
         "VAR_OUTPUT\n  q;\n  r;\nEND_VAR;\n"
         "VAR_IN_OUT\n  io;\nEND_VAR;\n"
         "q := a AND b;\nq.OE := en;\nq.CLK := takt;\nq.RE := NOT en;\nq.CRIT;\n"
         "io := a OR b;\nio.OE := en AND a;\n"
         "#NOMIN r := a AND b OR a AND NOT b; #END_NOMIN\n"
         "END_PROGRAM;\n"},
        {"no_end_program", 1,
         "PROGRAM offen\n"
         "VAR_INPUT\n  a;\n  b;\nEND_VAR;\n"
         "VAR_OUTPUT\n  y;\nEND_VAR;\n"
         "IF a THEN y := b; ELSE y := NOT b; END_IF;\n"},
    };
}

const char* LevelName(int level) { return level == NOMIN ? "NOMIN" : level == STRONGMIN ? "STRONGMIN" : "ESPRESSO"; }

struct Outcome {
    int rc;
    int boxes;
    long requests;          // work-memory requests of the compile
    long outstanding;       // blocks still out after it, relative to before
    std::string err, zw;
    int errorCount;
};

std::vector<std::string> ErrLines(const std::string& err) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < err.size()) {
        size_t end = err.find("\r\n", at);
        if (end == std::string::npos) {
            lines.push_back(err.substr(at));
            break;
        }
        lines.push_back(err.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

bool IsEntry(const std::string& line, const char* text) {
    if (line == text) return true;
    // "Zeile N: TEXT"
    if (line.compare(0, 6, "Zeile ") != 0) return false;
    size_t colon = line.find(": ");
    return colon != std::string::npos && line.substr(colon + 2) == text;
}

bool IsPrefix(const std::string& prefix, const std::string& whole) {
    return prefix.size() <= whole.size() && whole.compare(0, prefix.size(), prefix) == 0;
}

// The node pool cap of the next compile: applied at the compile's first
// progress frame, which the driver shows right after reserving the pool and
// before any node is taken.
int g_nodeCap = -1;

void CappingAppend(void* ctx, const char* text, int transient) {
    if (g_nodeCap >= 0 && NodePool) {
        NodePoolCapacity = std::min(NodePoolCapacity, g_nodeCap);
        g_nodeCap = -1;
    }
    HostRecorder::Append(ctx, text, transient);
}

// Parameters: the program, the level, and 1 for the reference algorithms
// (the fast ones take their memory differently, so both are swept).
class OomSweepTest : public ::testing::TestWithParam<std::tuple<int, int, int>> {
protected:
    void SetUp() override {
        WorkMemoryResetCounters();
        static CompileHost h;
        h = {&HostRecorder::Delete, &CappingAppend, &HostRecorder::Diagnostic, &HostRecorder::Oom, &host};
        SetCompileHost(&h);
        savedPlc = PlcType;
        savedMin = MinLevel;
        program = Programs()[std::get<0>(GetParam())];
        PlcType = program.plcType;
        MinLevel = std::get<1>(GetParam());
        savedReference = UseReferenceAlgorithms;
        UseReferenceAlgorithms = std::get<2>(GetParam());
        std::string base = front_test::ScratchDir() + "oom_sweep_" + std::to_string(getpid()) + "_" + program.name + "_" + LevelName(MinLevel) +
                           (UseReferenceAlgorithms ? "_reference" : "_fast");
        src = base + ".sqx";
        zw = base + ".ZW";
        err = base + ".ERR";
        WriteFileBytes(src, program.text);
    }
    void TearDown() override {
        WorkMemoryResetCounters();
        g_nodeCap = -1;
        SetCompileHost(nullptr);
        PlcType = savedPlc;
        MinLevel = savedMin;
        UseReferenceAlgorithms = savedReference;
        for (const std::string& p : {src, zw, err}) std::remove(p.c_str());
    }

    Outcome Compile(long failAt, bool failAfter = false, int nodeCap = -1) {
        WriteFileBytes(zw, kOldZw);
        WriteFileBytes(err, kOldErr);
        host.diags.clear();
        host.log.clear();
        host.oomBoxes = 0;
        long before = WorkMemoryOutstandingBlocks();
        WorkMemoryResetCounters();
        WorkMemoryFailAt(failAt, failAfter);
        g_nodeCap = nodeCap;
        Outcome o;
        o.rc = CompileSource(src.c_str(), zw.c_str(), err.c_str(), &window);
        o.requests = WorkMemoryRequestCount();
        WorkMemoryResetCounters();
        g_nodeCap = -1;
        o.boxes = host.oomBoxes;
        o.outstanding = WorkMemoryOutstandingBlocks() - before;
        o.err = ReadFileBytes(err);
        o.zw = ReadFileBytes(zw);
        o.errorCount = CS.ErrorCount;
        return o;
    }

    Outcome Reference() {
        Outcome ref = Compile(0);
        EXPECT_EQ(ref.boxes, 0);
        EXPECT_EQ(ref.outstanding, 0);
        EXPECT_NE(ref.zw.find("\r\n\r\n__END"), std::string::npos) << "the program must compile";
        EXPECT_GE(ref.requests, 3) << "pool, symbol texts, equations";
        return ref;
    }

    HostRecorder host;
    Program program;
    int savedPlc = 0, savedMin = 0, savedReference = 0;
    int window = 0;
    std::string src, zw, err;
};

TEST_P(OomSweepTest, EveryWorkMemoryRequestRefusedOnce) {
    const Outcome ref = Reference();
    const std::vector<std::string> refErr = ErrLines(ref.err);
    long firstZwTouched = 0;
    long k = 1;
    for (;; ++k) {
        SCOPED_TRACE("refused request " + std::to_string(k));
        Outcome o = Compile(k);
        if (o.requests < k) break;
        EXPECT_EQ(o.outstanding, 0) << "work memory not given back";
        if (k == 1) {
            // The large pool is refused, the small one taken: the refusal is
            // counted before the ERR file is open and forgotten after the
            // declarations, so the compile is the reference compile.
            EXPECT_EQ(o.boxes, 0);
            EXPECT_EQ(o.rc, ref.rc);
            EXPECT_EQ(o.err, ref.err);
            EXPECT_EQ(o.zw, ref.zw);
            continue;
        }
        // The box once; twice when the group buffer of the declarations is
        // refused (the declarations show it and the driver once more).
        EXPECT_GE(o.boxes, 1) << "the out-of-memory box";
        EXPECT_LE(o.boxes, 2);
        EXPECT_EQ(o.rc, 0);
        EXPECT_GT(o.errorCount, 0);

        // ERR: the diagnostics of the compile up to the refusal, then its
        // "Speicher voll" entries (the refusal's own, the caller's and, for
        // the covers of the minimization, the driver's), and nothing after.
        std::vector<std::string> lines = ErrLines(o.err);
        size_t voll = 0;
        while (voll < lines.size() && IsEntry(lines[lines.size() - 1 - voll], kSpeicherVoll)) ++voll;
        EXPECT_GE(voll, 1u) << o.err;
        EXPECT_LE(voll, 3u) << o.err;
        std::vector<std::string> before(lines.begin(), lines.end() - long(voll));
        ASSERT_LE(before.size(), refErr.size()) << o.err;
        EXPECT_TRUE(std::equal(before.begin(), before.end(), refErr.begin())) << o.err;

        // ZW: untouched while the refusal falls into the declarations, else
        // the beginning of the reference ZW, left incomplete.
        if (o.zw == kOldZw) {
            EXPECT_EQ(firstZwTouched, 0) << "ZW untouched after a later refusal had written it";
            continue;
        }
        EXPECT_EQ(o.boxes, 1);
        EXPECT_TRUE(IsPrefix(o.zw, ref.zw)) << o.zw;
        EXPECT_NE(o.zw, ref.zw) << "a refusal leaves the ZW file incomplete";
        if (firstZwTouched == 0) {
            // The first request after the ZW is opened is the definition
            // states: "Speicher voll" twice, nothing written yet.
            firstZwTouched = k;
            EXPECT_EQ(voll, 2u) << o.err;
            EXPECT_EQ(o.zw, "");
        }
    }
    // Every request of the reference compile was refused once.
    EXPECT_EQ(k, ref.requests + 1);
    EXPECT_GT(firstZwTouched, 1) << "some refusal fell after the declarations";
}

TEST_P(OomSweepTest, NoPoolAtAllTouchesNoFile) {
    Outcome o = Compile(1, true);
    EXPECT_EQ(o.requests, 2) << "the large pool and the small pool, nothing else";
    EXPECT_EQ(o.boxes, 1);
    EXPECT_EQ(o.rc, 0);
    EXPECT_EQ(o.outstanding, 0);
    EXPECT_EQ(o.err, kOldErr);
    EXPECT_EQ(o.zw, kOldZw);
}

TEST_P(OomSweepTest, EveryFillOfTheNodePool) {
    // The pool's peak use in the reference compile; first fit hands out the
    // lowest free node, so the high-water mark of a fresh count is the peak.
    const int savedHighWater = NodePoolHighWater;
    NodePoolHighWater = 0;
    const Outcome ref = Reference();
    const int peak = NodePoolHighWater;
    NodePoolHighWater = std::max(savedHighWater, peak);
    ASSERT_GT(peak, 0);

    // A pool of exactly the peak is enough.
    Outcome full = Compile(0, false, peak);
    EXPECT_EQ(full.zw, ref.zw);
    EXPECT_EQ(full.err, ref.err);
    EXPECT_EQ(full.boxes, 0);

    for (int cap = 0; cap < peak; ++cap) {
        SCOPED_TRACE("node pool of " + std::to_string(cap));
        Outcome o = Compile(0, false, cap);
        EXPECT_EQ(o.outstanding, 0) << "work memory not given back";
        EXPECT_EQ(o.rc, 0) << "a full pool is an error";
        EXPECT_LE(o.boxes, 1);
        // Ten errors before the full pool silence the ERR file; these
        // programs have none, so the full pool is always on record.
        std::vector<std::string> lines = ErrLines(o.err);
        bool onRecord = std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
            return IsEntry(l, kSpeicherVoll) || IsEntry(l, kBaumUeberlauf) || l == "Zu viele Fehler";
        });
        EXPECT_TRUE(onRecord) << o.err;
        if (o.boxes == 1) {
            EXPECT_TRUE(o.zw == kOldZw || IsPrefix(o.zw, ref.zw)) << o.zw;
            EXPECT_EQ(o.zw.find("__END"), std::string::npos);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Programs, OomSweepTest,
                         ::testing::Combine(::testing::Range(0, int(Programs().size())),
                                            ::testing::Values(int(NOMIN), int(STRONGMIN), int(ESPRESSO)),
                                            ::testing::Values(0, 1)),
                         [](const ::testing::TestParamInfo<std::tuple<int, int, int>>& info) {
                             return std::string(Programs()[std::get<0>(info.param)].name) + "_" +
                                    LevelName(std::get<1>(info.param)) +
                                    (std::get<2>(info.param) ? "_reference" : "_fast");
                         });

}  // namespace
