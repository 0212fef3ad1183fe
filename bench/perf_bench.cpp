// Benchmark suite. Each case times the fast paths in the benchmark loop and
// the reference algorithms once in the same run, and reports:
//   peak_MiB      work-memory high-water of one fast run
//   rss_MiB       growth of the process's resident peak during the fast runs
//                 (work memory and the fast paths' heap indexes)
//   ref_s         seconds of one reference run (0: not run, see skip_ref)
//   ref_peak_MiB  its work-memory high-water
//   ratio         ref_s / fast seconds
// Reference runs that would take far too long are skipped (skip_ref = 1).
//
//   B1  an 18-variable expression that is not a sum of products, NOMIN and ESPRESSO
//   B2  a state-machine-like program, IF and CASE outputs over 12 to 16 variables, ESPRESSO
//   B3  STRONGMIN on random and PLC-like functions of 8 to 16 variables
//   B4  170 symbols and thousands of statements (a busy node pool)
//   B5  comparisons of eight-member groups with every operator
//   B6  the Espresso option on one on-set of 16 and 18 variables, random and
//       PLC-like (what espresso -Dsimplify is measured on)
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <malloc.h>
#include <unistd.h>

#include "compiler/front/driver.h"
#include "compiler/front/host.h"
#include "compiler/front/work_memory.h"
#include "compiler/logic/algorithm_choice.h"
#include "compiler/logic/complete_min.h"
#include "compiler/logic/cubes.h"
#include "compiler/logic/espresso.h"
#include "perf_corpus.h"

namespace {

struct RunResult {
    double seconds;
    double peakMiB;
    int ok;
};

// The growth of the process's resident peak (VmHWM) over its resident size
// when ResetResidentPeak was called: it also counts the heap the fast paths
// keep their indexes in (Linux).
double StatusMiB(const char* field) {
    double mib = 0;
    if (std::FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        const size_t len = std::strlen(field);
        while (std::fgets(line, sizeof line, f))
            if (std::strncmp(line, field, len) == 0 && line[len] == ':') mib = std::atof(line + len + 1) / 1024;
        std::fclose(f);
    }
    return mib;
}
double g_residentBase = 0;
void ResetResidentPeak() {
    malloc_trim(0);   // heap freed by earlier cases would be reused unseen
    if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
    g_residentBase = StatusMiB("VmRSS");
}
double ResidentPeakMiB() { return StatusMiB("VmHWM") - g_residentBase; }

std::string Scratch() {
    static std::string dir = [] {
        char tmpl[] = "/tmp/talmir_bench_XXXXXX";
        const char* d = mkdtemp(tmpl);
        return std::string(d ? d : "/tmp");
    }();
    return dir;
}

RunResult CompileOnce(const std::string& src, int plc, int level, int reference) {
    static bool written = false;
    static std::string lastSrc;
    const std::string base = Scratch() + "/prog";
    if (!written || src != lastSrc) {
        std::FILE* f = std::fopen((base + ".sqx").c_str(), "wb");
        std::fwrite(src.data(), 1, src.size(), f);
        std::fclose(f);
        written = true;
        lastSrc = src;
    }
    SetCompileHost(nullptr);
    PlcType = plc;
    MinLevel = level;
    UseReferenceAlgorithms = reference;
    WorkMemoryResetPeak();
    int window = 0;
    auto t0 = std::chrono::steady_clock::now();
    int rc = CompileSource((base + ".sqx").c_str(), (base + ".ZW").c_str(), (base + ".ERR").c_str(), &window);
    auto t1 = std::chrono::steady_clock::now();
    UseReferenceAlgorithms = 0;
    return {std::chrono::duration<double>(t1 - t0).count(), double(WorkMemoryPeakBytes()) / (1 << 20), rc};
}

// Call right after the fast runs: their resident peak is read first.
void Report(benchmark::State& state, const RunResult& fast, bool runRef, const std::function<RunResult()>& ref) {
    state.counters["rss_MiB"] = ResidentPeakMiB();
    state.counters["peak_MiB"] = fast.peakMiB;
    state.counters["ok"] = fast.ok;
    if (runRef) {
        RunResult r = ref();
        state.counters["ref_s"] = r.seconds;
        state.counters["ref_peak_MiB"] = r.peakMiB;
        state.counters["ratio"] = fast.seconds > 0 ? r.seconds / fast.seconds : 0;
        state.counters["skip_ref"] = 0;
    } else {
        state.counters["skip_ref"] = 1;
    }
}

void CompileBench(benchmark::State& state, const std::string& src, int plc, int level, bool runRef) {
    RunResult fast{0, 0, 0};
    double best = 1e30;
    ResetResidentPeak();
    for (auto _ : state) {
        fast = CompileOnce(src, plc, level, 0);
        if (fast.seconds < best) best = fast.seconds;
    }
    fast.seconds = best;
    Report(state, fast, runRef, [&] { return CompileOnce(src, plc, level, 1); });
}

std::string Inputs(int k, const char* prefix = "i") {
    std::string s;
    for (int i = 0; i < k; ++i) s += std::string("  ") + prefix + std::to_string(i) + ";\n";
    return s;
}

// B1: NOT a sum of products over `vars` variables: pairs joined by OR under
// AND, with XOR and a negated subterm.
std::string NonSopProgram(int vars) {
    std::string s = "PROGRAM b1\nVAR_INPUT\n" + Inputs(vars) + "END_VAR;\nVAR_OUTPUT\n  y;\nEND_VAR;\ny := ";
    for (int i = 0; i + 1 < vars; i += 2) {
        if (i) s += i % 6 == 0 ? " OR " : " AND ";
        s += "(i" + std::to_string(i) + (i % 4 == 0 ? " XOR " : " OR NOT ") + "i" + std::to_string(i + 1) + ")";
    }
    return s + ";\nEND_PROGRAM;\n";
}

void B1_NonSumOfProducts(benchmark::State& state) {
    int vars = int(state.range(0));
    int level = int(state.range(1));
    // The reference Espresso option on 18 variables runs far beyond minutes.
    bool runRef = level == NOMIN || vars <= 14;
    CompileBench(state, NonSopProgram(vars), 1, level, runRef);
}
BENCHMARK(B1_NonSumOfProducts)
    ->ArgsProduct({{14, 16, 18}, {NOMIN, ESPRESSO}})
    ->ArgNames({"vars", "level"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// B2: a state machine: a state register of four bits decoded by CASE, IF
// chains over inputs and interlocks; outputs over 12 to 16 variables.
std::string StateMachineProgram(int vars) {
    perf_corpus::ProgramShape sh;
    sh.inputs = 16;
    sh.interns = 0;
    sh.outputs = 8;
    sh.statements = 40;
    sh.exprVars = vars;
    sh.depth = 3;
    return perf_corpus::ProgramGenerator(uint64_t(vars) * 31 + 5, sh).Program();
}

void B2_StateMachine(benchmark::State& state) {
    int vars = int(state.range(0));
    CompileBench(state, StateMachineProgram(vars), 0, ESPRESSO, vars <= 12);
}
BENCHMARK(B2_StateMachine)->Arg(12)->Arg(14)->Arg(16)->ArgName("vars")->Unit(benchmark::kMillisecond)->Iterations(3);

// B3: complete minimization of one on-set and its off-set, as the
// minimization driver sizes them.
RunResult CompleteOnce(const std::vector<uint32_t>& rows, int vars, int reference) {
    const int n = vars;
    UseReferenceAlgorithms = reference;
    WorkMemoryResetPeak();
    auto t0 = std::chrono::steady_clock::now();
    int ok = 1;
    std::vector<uint32_t> sets[2];
    {
        size_t k = 0;
        for (uint32_t r = 0; r < (uint32_t(1) << vars); ++r) {
            if (k < rows.size() && rows[k] == r) {
                sets[0].push_back(r);
                ++k;
            } else {
                sets[1].push_back(r);
            }
        }
    }
    for (const std::vector<uint32_t>& set : sets) {
        if (set.empty()) continue;
        int m = int(set.size());
        // The written layout for the reference; the packed version takes the
        // rows alone, as the minimization driver hands them over.
        uint64_t spare = reference ? Binomial(vars, vars - 1) << (vars - 1) : 0;
        uint64_t slots = uint64_t(m) + spare;
        Cover c = AllocCoverWide(slots, reference ? m : 0, n);
        if (!c) {
            ok = 0;
            break;
        }
        for (int i = 0; i < m; ++i) {
            c[i] = CubeAddress(c, int(slots), i, reference ? m : 0, n);
            for (int k = 0; k < vars; ++k)
                SetCode(c, i, k, (set[size_t(i)] >> (vars - 1 - k)) & 1 ? CODE_POS : CODE_NEG);
        }
        int last = reference ? MinimizeComplete(int(slots), m - 1, vars, n, &c) : MinimizeCompleteOfRows(m - 1, vars, n, &c);
        if (last < 0) ok = 0;
        FreeCover(c);
        if (!ok) break;
    }
    auto t1 = std::chrono::steady_clock::now();
    UseReferenceAlgorithms = 0;
    return {std::chrono::duration<double>(t1 - t0).count(), double(WorkMemoryPeakBytes()) / (1 << 20), ok};
}

void B3_StrongMin(benchmark::State& state) {
    int vars = int(state.range(0));
    bool plcLike = state.range(1) == 1;
    std::vector<uint32_t> rows =
        plcLike ? perf_corpus::PlcLikeOnSet(vars, uint64_t(vars)) : perf_corpus::RandomOnSet(vars, 50, uint64_t(vars));
    SetCompileHost(nullptr);
    RunResult fast{0, 0, 0};
    ResetResidentPeak();
    for (auto _ : state) fast = CompleteOnce(rows, vars, 0);
    // The reference takes minutes from 12 variables on, and from 14 on its
    // written layout needs more memory than the machine has.
    Report(state, fast, vars <= 10, [&] { return CompleteOnce(rows, vars, 1); });
}
BENCHMARK(B3_StrongMin)
    ->ArgsProduct({{8, 10, 12, 14, 16, 18}, {0, 1}})
    ->ArgNames({"vars", "plclike"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// B4: 170 symbols (26 reserved words, 16 inputs, 8 outputs, 64 internal
// variables, 56 groups) and
// thousands of statements: every internal variable once, then IF statements
// whose contributions stay in the equation list until the end.
std::string BusyPoolProgram(int ifs) {
    std::string s = "PROGRAM b4\nVAR_INPUT\n" + Inputs(16) + "END_VAR;\nVAR_OUTPUT\n" + Inputs(8, "y") +
                    "END_VAR;\nVAR_INTERN\n" + Inputs(64, "m") + "END_VAR;\nVAR_ARRAY\n";
    for (int k = 0; k < 56; ++k)
        s += "  g" + std::to_string(k) + " [i" + std::to_string(k % 16) + ", i" + std::to_string((k + 5) % 16) + "];\n";
    s += "END_VAR;\n";
    perf_corpus::Rng rng(4);
    auto in = [&](int lo) { return "i" + std::to_string(lo + rng.Below(5)); };
    for (int k = 0; k < 64; ++k)
        s += "m" + std::to_string(k) + " := " + in(k % 11) + " AND NOT " + in(k % 11) + " OR " + in(k % 11) + ";\n";
    for (int k = 0; k < ifs; ++k) {
        int y = k % 8;
        s += "IF " + in(y) + " AND NOT " + in(y) + " THEN y" + std::to_string(y) + " := " + in(y) + " OR m" +
             std::to_string(y * 8 + rng.Below(8)) + "; END_IF;\n";
    }
    return s + "END_PROGRAM;\n";
}

void B4_BusyNodePool(benchmark::State& state) {
    int ifs = int(state.range(0));
    int level = int(state.range(1));
    CompileBench(state, BusyPoolProgram(ifs), 0, level, true);
}
BENCHMARK(B4_BusyNodePool)
    ->ArgsProduct({{3000, 6000}, {NOMIN, ESPRESSO}})
    ->ArgNames({"ifs", "level"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// B5: an eight-member group compared with constants by every operator.
std::string ComparisonProgram() {
    std::string s = "PROGRAM b5\nVAR_INPUT\n" + Inputs(8) + "END_VAR;\nVAR_OUTPUT\n" + Inputs(6, "y") +
                    "END_VAR;\nVAR_ARRAY\n  h [i0, i1, i2, i3, i4, i5, i6, i7];\nEND_VAR;\n";
    const char* ops[] = {"=", "<>", "<", ">", "<=", ">="};
    for (int k = 0; k < 6; ++k)
        s += "y" + std::to_string(k) + " := h " + ops[k] + " " + std::to_string(37 + 41 * k) + ";\n";
    return s + "END_PROGRAM;\n";
}

void B5_GroupComparisons(benchmark::State& state) {
    CompileBench(state, ComparisonProgram(), 1, int(state.range(0)), true);
}
BENCHMARK(B5_GroupComparisons)
    ->Arg(NOMIN)->Arg(STRONGMIN)->Arg(ESPRESSO)
    ->ArgName("level")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// B6: Simplify of one on-set alone, rows in row order.
RunResult SimplifyOnce(const std::vector<uint32_t>& rows, int vars, int reference, int* terms) {
    const int n = vars;
    UseReferenceAlgorithms = reference;
    WorkMemoryResetPeak();
    auto t0 = std::chrono::steady_clock::now();
    int m = int(rows.size());
    Cover c = AllocCover(m, 0, n);
    int ok = c != nullptr;
    if (c) {
        for (int i = 0; i < m; ++i) {
            c[i] = CubeAddress(c, m, i, 0, n);
            for (int k = 0; k < vars; ++k)
                SetCode(c, i, k, (rows[size_t(i)] >> (vars - 1 - k)) & 1 ? CODE_POS : CODE_NEG);
        }
        int last = Simplify(m - 1, n, &c);
        if (last < 0) ok = 0;
        else *terms = LiveCubeCount(c, last, n);
        FreeCover(c);
    }
    auto t1 = std::chrono::steady_clock::now();
    UseReferenceAlgorithms = 0;
    return {std::chrono::duration<double>(t1 - t0).count(), double(WorkMemoryPeakBytes()) / (1 << 20), ok};
}

void B6_EspressoOnSet(benchmark::State& state) {
    int vars = int(state.range(0));
    bool plcLike = state.range(1) == 1;
    std::vector<uint32_t> rows =
        plcLike ? perf_corpus::PlcLikeOnSet(vars, uint64_t(vars) + 100) : perf_corpus::RandomOnSet(vars, 50, uint64_t(vars) + 100);
    SetCompileHost(nullptr);
    RunResult fast{0, 0, 0};
    int terms = 0;
    ResetResidentPeak();
    for (auto _ : state) fast = SimplifyOnce(rows, vars, 0, &terms);
    state.counters["rows"] = double(rows.size());
    state.counters["terms"] = terms;
    // The reference takes minutes on these sizes.
    Report(state, fast, false, [] { return RunResult{0, 0, 0}; });
}
BENCHMARK(B6_EspressoOnSet)
    ->ArgsProduct({{16, 18}, {0, 1}})
    ->ArgNames({"vars", "plclike"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
