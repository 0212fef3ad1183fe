// Generated inputs shared by the differential test and the benchmark suite:
// boolean functions as on-set rows, and whole programs with plain
// assignments, IF and CASE statements and group comparisons. Every generator
// is driven by a fixed seed, so a corpus is the same on every run.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace perf_corpus {

struct Rng {
    uint64_t s;
    explicit Rng(uint64_t seed) : s(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    uint64_t Next() {
        uint64_t z = (s += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int k) { return int(Next() % uint64_t(k)); }
};

// The rows of a random function of `vars` variables whose value is 1 with
// probability percent / 100, in increasing row order.
inline std::vector<uint32_t> RandomOnSet(int vars, int percent, uint64_t seed) {
    Rng rng(seed);
    std::vector<uint32_t> rows;
    for (uint32_t r = 0; r < (uint32_t(1) << vars); ++r)
        if (rng.Below(100) < percent) rows.push_back(r);
    return rows;
}

// A function as a control program has it: an OR of a few products of two to
// five literals (interlocks, enables, set terms), as on-set rows.
inline std::vector<uint32_t> PlcLikeOnSet(int vars, uint64_t seed) {
    Rng rng(seed);
    int terms = 4 + rng.Below(6);
    std::vector<uint32_t> care(static_cast<size_t>(terms), 0u);
    std::vector<uint32_t> value(static_cast<size_t>(terms), 0u);
    for (int t = 0; t < terms; ++t) {
        int lits = 2 + rng.Below(4);
        for (int l = 0; l < lits; ++l) {
            uint32_t b = uint32_t(1) << rng.Below(vars);
            care[size_t(t)] |= b;
            if (rng.Below(2)) value[size_t(t)] |= b;
        }
        value[size_t(t)] &= care[size_t(t)];
    }
    std::vector<uint32_t> rows;
    for (uint32_t r = 0; r < (uint32_t(1) << vars); ++r)
        for (int t = 0; t < terms; ++t)
            if ((r & care[size_t(t)]) == value[size_t(t)]) {
                rows.push_back(r);
                break;
            }
    return rows;
}

struct ProgramShape {
    int inputs = 12;       // i0 .. i(inputs-1)
    int interns = 2;       // m0 ..
    int outputs = 6;       // y0 ..
    int statements = 12;
    int exprVars = 6;      // variables an expression draws from
    int depth = 3;         // nesting of generated expressions
    bool comparisons = true;  // comparisons of the eight-member group h
};

class ProgramGenerator {
public:
    ProgramGenerator(uint64_t seed, ProgramShape shape) : rng_(seed), sh_(shape), nextPlain_(BranchOutputs()) {}

    std::string Program() {
        std::string s = "PROGRAM gen\nVAR_INPUT\n";
        for (int i = 0; i < sh_.inputs; ++i) s += "  i" + std::to_string(i) + ";\n";
        s += "END_VAR;\nVAR_OUTPUT\n";
        for (int i = 0; i < sh_.outputs; ++i) s += "  y" + std::to_string(i) + ";\n";
        s += "END_VAR;\n";
        if (sh_.interns > 0) {
            s += "VAR_INTERN\n";
            for (int i = 0; i < sh_.interns; ++i) s += "  m" + std::to_string(i) + ";\n";
            s += "END_VAR;\n";
        }
        // g: three members (CASE selector), h: eight members (comparisons).
        s += "VAR_ARRAY\n  g [i0, i1, i2];\n  h [";
        for (int i = 0; i < 8; ++i) s += (i ? ", i" : "i") + std::to_string((3 + i) % sh_.inputs);
        s += "];\nEND_VAR;\n";
        for (int k = 0; k < sh_.statements; ++k) s += Statement();
        s += "END_PROGRAM;\n";
        return s;
    }

    std::string Expr(int depth) {
        int pick = rng_.Below(depth <= 0 ? 3 : 10);
        switch (pick) {
        case 0:
        case 1: return Var();
        case 2: return "NOT " + Var();
        case 3: return "(" + Expr(depth - 1) + " AND " + Expr(depth - 1) + ")";
        case 4: return "(" + Expr(depth - 1) + " OR " + Expr(depth - 1) + ")";
        case 5: return "(" + Expr(depth - 1) + " XOR " + Expr(depth - 1) + ")";
        case 6: return "NOT (" + Expr(depth - 1) + ")";
        case 7: return Expr(depth - 1) + " AND " + Expr(depth - 1) + " OR " + Expr(depth - 1);
        case 8: return sh_.comparisons ? "(" + Comparison() + ")" : Var();
        default: return Var() + " AND NOT " + Var();
        }
    }

    std::string Comparison() {
        static const char* const ops[] = {"=", "<>", "<", ">", "<=", ">="};
        return std::string("h ") + ops[rng_.Below(6)] + " " + std::to_string(rng_.Below(256));
    }

private:
    std::string Var() {
        int k = rng_.Below(sh_.exprVars);
        if (k < sh_.inputs) return "i" + std::to_string(k);
        return "m" + std::to_string((k - sh_.inputs) % (sh_.interns > 0 ? sh_.interns : 1));
    }
    // The first half of the outputs is assigned in IF and CASE branches
    // only, each of the others once by a plain assignment, so that the
    // program is free of double definitions.
    int BranchOutputs() const { return sh_.outputs / 2 > 0 ? sh_.outputs / 2 : 1; }
    std::string Out() { return "y" + std::to_string(rng_.Below(BranchOutputs())); }
    std::string Assign(const std::string& indent) { return indent + Out() + " := " + Expr(sh_.depth) + ";\n"; }
    std::string Statement() {
        int pick = rng_.Below(5);
        if (pick <= 1 && nextPlain_ < sh_.outputs)
            return "y" + std::to_string(nextPlain_++) + " := " + Expr(sh_.depth) + ";\n";
        if (pick <= 1) pick = 2;
        switch (pick) {
        case 2: {
            std::string s = "IF " + Expr(1) + " THEN\n" + Assign("  ");
            if (rng_.Below(2)) s += "ELSIF " + Expr(1) + " THEN\n" + Assign("  ");
            if (rng_.Below(2)) s += "ELSE\n" + Assign("  ");
            return s + "END_IF;\n";
        }
        case 3: {
            std::string s = "CASE g OF\n";
            int labels = 1 + rng_.Below(4);
            for (int l = 0; l < labels; ++l) s += "  " + std::to_string(l * 2 + rng_.Below(2)) + ": " + Assign("").substr(0);
            if (rng_.Below(2)) s += "ELSE\n" + Assign("  ");
            return s + "END_CASE;\n";
        }
        default: {
            std::string s = "IF " + (sh_.comparisons ? Comparison() : Var()) + " THEN\n" + Assign("  ") + "END_IF;\n";
            return s;
        }
        }
    }

    Rng rng_;
    ProgramShape sh_;
    int nextPlain_ = -1;
};

}  // namespace perf_corpus
