// Minimizers on random functions of 8 to 16 variables (half of the rows
// true, fixed seed): both sets of the truth table, as the minimization driver
// hands them over, at the levels STRONGMIN and ESPRESSO.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "compiler/front/driver.h"
#include "compiler/logic/complete_min.h"
#include "compiler/logic/cubes.h"
#include "compiler/logic/espresso.h"

namespace {

// The rows of one random function: value[r] for r in 0..2^vars-1.
std::vector<int> RandomFunction(int vars) {
    std::mt19937 rng(4711u + unsigned(vars));
    std::vector<int> value(size_t(1) << vars);
    for (auto& v : value) v = int(rng() & 1u);
    return value;
}

// The rows with the given value as a cover of n = vars + 1 positions (one
// output position that stays absent), in row order, the row literals with the
// lowest position most significant; no row columns and no spare slots, as the
// minimization driver hands rows to the fast paths.
Cover RowsCover(const std::vector<int>& value, int vars, int want, int* count) {
    const int n = vars + 1;
    int m = 0;
    for (int v : value) m += v == want;
    Cover c = AllocCover(m, 0, n);
    if (!c) return nullptr;
    int k = 0;
    for (size_t r = 0; r < value.size(); ++r) {
        if (value[r] != want) continue;
        c[k] = CubeAddress(c, m, k, 0, n);
        for (int p = 0; p < vars; ++p)
            SetCode(c, k, p, (r >> (vars - 1 - p)) & 1 ? CODE_POS : CODE_NEG);
        ++k;
    }
    *count = m;
    return c;
}

void Minimize(benchmark::State& state, bool complete) {
    const int vars = int(state.range(0));
    const int n = vars + 1;
    const std::vector<int> value = RandomFunction(vars);
    int terms[2] = {0, 0};
    for (auto _ : state) {
        for (int want = 1; want >= 0; --want) {
            state.PauseTiming();
            int m = 0;
            Cover c = RowsCover(value, vars, want, &m);
            state.ResumeTiming();
            if (!c) {
                state.SkipWithError("cover refused");
                return;
            }
            int last = complete ? MinimizeCompleteOfRows(m - 1, vars, n, &c) : Simplify(m - 1, n, &c);
            if (last < 0) {
                FreeCover(c);
                state.SkipWithError("minimization failed");
                return;
            }
            terms[want] = LiveCubeCount(c, last, n);
            FreeCover(c);
        }
    }
    state.counters["on_terms"] = terms[1];
    state.counters["off_terms"] = terms[0];
}

void BM_Strongmin(benchmark::State& state) { Minimize(state, true); }
void BM_Espresso(benchmark::State& state) { Minimize(state, false); }

}  // namespace

BENCHMARK(BM_Strongmin)->Arg(8)->Arg(10)->Arg(12)->Arg(14)->Arg(16)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Espresso)->Arg(8)->Arg(10)->Arg(12)->Arg(14)->Arg(16)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
