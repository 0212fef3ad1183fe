// Word-parallel truth tables. Row r gives the used variable of k-th lowest
// position the bit nUsed - 1 - k of r; a block of 64 consecutive rows is one
// word per node, so each operator costs one machine instruction per block.
#include "compiler/logic/truth_table_fast.h"

#include <cstdint>
#include <vector>

#include "compiler/front/driver.h"
#include "compiler/front/symbols.h"
#include "compiler/statements/expr_tree.h"

namespace {

enum StepKind { STEP_ZERO, STEP_ONE, STEP_VAR, STEP_OR, STEP_XOR, STEP_AND, STEP_NOT, STEP_OTHER };

struct Step {
    StepKind kind;
    int a;    // value index of the left son (or of the variable's bit), -1 none
    int b;    // value index of the right son, -1 none
    ExprNode* node;   // operator steps: the node whose scratch values get the last row
};

// Flattens the tree into steps in evaluation order (sons before parents).
// Variables carry the shift of their bit in the row number.
std::vector<Step> Flatten(ExprNode* tree, const int* varShift, int n) {
    std::vector<Step> steps;
    if (!tree) {
        steps.push_back({STEP_ZERO, -1, -1, nullptr});
        return steps;
    }
    struct Frame {
        ExprNode* node;
        int state;   // 0 new, 1 left done, 2 both done
        int left;
    };
    std::vector<Frame> stack;
    stack.push_back({tree, 0, -1});
    int result = -1;   // value index of the last finished node
    while (!stack.empty()) {
        Frame& f = stack.back();
        ExprNode* t = f.node;
        if (!t) {
            steps.push_back({STEP_ZERO, -1, -1, nullptr});
            result = int(steps.size()) - 1;
            stack.pop_back();
            continue;
        }
        if (t->is_leaf) {
            if (IsConstantLeaf(t)) {
                steps.push_back({t->op.kind == EXPR_ONE ? STEP_ONE : STEP_ZERO, -1, -1, nullptr});
            } else {
                int p = LookupSymbol(t->name) - CS.FirstUserSymbol;
                int shift = p >= 0 && p < n ? varShift[p] : -1;
                // Outside the table, or never given a literal: reads as 1.
                steps.push_back(shift >= 0 ? Step{STEP_VAR, shift, -1, nullptr} : Step{STEP_ONE, -1, -1, nullptr});
            }
            result = int(steps.size()) - 1;
            stack.pop_back();
            continue;
        }
        if (f.state == 0) {
            f.state = 1;
            stack.push_back({Left(t), 0, -1});
            continue;
        }
        if (f.state == 1) {
            f.left = result;
            if (t->op.kind == EXPR_NOT) {
                steps.push_back({STEP_NOT, f.left, -1, t});
                result = int(steps.size()) - 1;
                stack.pop_back();
                continue;
            }
            f.state = 2;
            stack.push_back({Right(t), 0, -1});
            continue;
        }
        StepKind k = t->op.kind == EXPR_OR ? STEP_OR
                     : t->op.kind == EXPR_XOR ? STEP_XOR
                     : t->op.kind == EXPR_AND ? STEP_AND
                                              : STEP_OTHER;
        steps.push_back({k, f.left, result, t});
        result = int(steps.size()) - 1;
        stack.pop_back();
    }
    return steps;
}

// The 64 bits of a variable of the given shift in block `block`.
uint64_t VariableWord(int shift, uint64_t block) {
    static const uint64_t kLow[6] = {0xAAAAAAAAAAAAAAAAull, 0xCCCCCCCCCCCCCCCCull, 0xF0F0F0F0F0F0F0F0ull,
                                     0xFF00FF00FF00FF00ull, 0xFFFF0000FFFF0000ull, 0xFFFFFFFF00000000ull};
    if (shift < 6) return kLow[shift];
    return (block >> (shift - 6)) & 1 ? ~uint64_t(0) : 0;
}

}  // namespace

void FillTruthTableFast(ExprNode* tree, Cover cover, const int* marks, int nUsed, int n, int* on, int* off) {
    const int slots = 1 << nUsed;
    std::vector<int> varShift(size_t(n > 0 ? n : 0), -1);
    std::vector<int> usedPos;
    for (int p = 0; p < n && int(usedPos.size()) < nUsed; ++p) {
        if (!marks[p]) continue;
        varShift[size_t(p)] = nUsed - 1 - int(usedPos.size());
        usedPos.push_back(p);
    }
    const int used = int(usedPos.size());

    // The cubes: positive literal 01, negative 11, in a zero-filled cover.
    // A row's cube is the OR of a pattern for its low row bits and one for
    // its high row bits, each built once.
    const int lowBits = nUsed < 9 ? nUsed : 9;
    const int words = used ? usedPos.back() / 16 + 1 : 0;
    std::vector<CubeWord> low((size_t(1) << lowBits) * size_t(words), 0);
    std::vector<CubeWord> high((size_t(1) << (nUsed - lowBits)) * size_t(words), 0);
    for (int k = 0; k < used; ++k) {
        int p = usedPos[size_t(k)];
        int bit = nUsed - 1 - k;
        bool inLow = bit < lowBits;
        std::vector<CubeWord>& pattern = inLow ? low : high;
        int shift = inLow ? bit : bit - lowBits;
        size_t count = size_t(1) << (inLow ? lowBits : nUsed - lowBits);
        for (size_t idx = 0; idx < count; ++idx)
            pattern[idx * size_t(words) + size_t(p / 16)] |=
                CubeWord((idx >> shift) & 1 ? CODE_POS : CODE_NEG) << (2 * (p % 16));
    }
    const int lowMask = (1 << lowBits) - 1;
    for (int r = 0; r < slots; ++r) {
        Cube cube = CubeAddress(cover, slots, r, 1, n);
        cover[r] = cube;
        const CubeWord* a = low.data() + size_t(r & lowMask) * size_t(words);
        const CubeWord* b = high.data() + size_t(r >> lowBits) * size_t(words);
        for (int w = 0; w < words; ++w) cube[w] |= a[w] | b[w];
    }

    std::vector<Step> steps = Flatten(tree, varShift.data(), n);
    std::vector<uint64_t> value(steps.size());
    const uint64_t rowsInBlock = slots < 64 ? (uint64_t(1) << slots) - 1 : ~uint64_t(0);
    const int blocks = slots < 64 ? 1 : slots / 64;
    int ones = 0;
    for (int blk = 0; blk < blocks; ++blk) {
        for (size_t s = 0; s < steps.size(); ++s) {
            const Step& st = steps[s];
            uint64_t v = 0;
            switch (st.kind) {
            case STEP_ZERO: v = 0; break;
            case STEP_ONE: v = ~uint64_t(0); break;
            case STEP_VAR: v = VariableWord(st.a, uint64_t(blk)); break;
            case STEP_OR: v = value[size_t(st.a)] | value[size_t(st.b)]; break;
            case STEP_XOR: v = value[size_t(st.a)] ^ value[size_t(st.b)]; break;
            case STEP_AND: v = value[size_t(st.a)] & value[size_t(st.b)]; break;
            case STEP_NOT: v = ~value[size_t(st.a)]; break;
            case STEP_OTHER: v = 0; break;
            }
            value[s] = v;
        }
        uint64_t word = value.back() & rowsInBlock;
        ones += __builtin_popcountll(word);
        while (word) {
            int t = __builtin_ctzll(word);
            word &= word - 1;
            int r = blk * 64 + t;
            SetCode(cover, r, n, CODE_POS);
        }
    }
    // The nodes' scratch values are those of the last row, as after the
    // row-by-row walk.
    const int lastBit = (slots - 1) & 63;
    for (const Step& st : steps) {
        if (!st.node) continue;
        st.node->op.left_value = int((value[size_t(st.a)] >> lastBit) & 1);
        if (st.kind != STEP_NOT) st.node->op.right_value = int((value[size_t(st.b)] >> lastBit) & 1);
    }
    *on = ones;
    *off = slots - ones;
}
