// Minimization driver: collects the equation's variables, converts the tree,
// minimizes at the chosen level and, for a truth table, writes whichever of
// the function and its complement needs fewer product terms.
#include "compiler/logic/minimize.h"

#include <climits>

#include "compiler/front/diagnostics.h"
#include "compiler/front/driver.h"
#include "compiler/front/symbols.h"
#include "compiler/front/work_memory.h"
#include "compiler/logic/algorithm_choice.h"
#include "compiler/logic/complete_min.h"
#include "compiler/logic/espresso.h"
#include "compiler/logic/tree_to_cover.h"
#include "compiler/statements/expr_tree.h"

int Polarity = 1;

namespace {

// A new cover of `slots` slots holding the truth-table rows whose value is
// `value`, in row order, variable positions only; nullptr after reporting.
Cover TakeRows(Cover table, int rows, int value, uint64_t slots, int extra, int n) {
    Cover c = AllocCoverWide(slots, extra, n);
    if (!c) {
        Report(MSG_SPEICHER_VOLL, 0);
        return nullptr;
    }
    int k = 0;
    for (int r = 0; r < rows; ++r) {
        if (GetCode(table, r, n) != value) continue;
        c[k] = CubeAddress(c, int(slots), k, extra, n);
        CopyCube(table, r, c, k, n);
        ++k;
    }
    return c;
}

// Writes a constant marker into cube 0. A cover without storage reachable
// for slot 0 is replaced by a fresh one-slot cover. nullptr when that fails.
Cover MarkConstant(Cover c, int marker, int n) {
    if (c[0]) {
        SetCode(c, 0, 0, marker);
        return c;
    }
    FreeCover(c);
    Cover fresh = AllocCover(1, 0, n);
    if (!fresh) return nullptr;
    fresh[0] = CubeAddress(fresh, 1, 0, 0, n);
    SetCode(fresh, 0, 0, marker);
    return fresh;
}

int Finish(Cover c, int last, Cover* cover, int* lastOut) {
    if (!c) return -1;
    *cover = c;
    *lastOut = last;
    return 1;
}

}  // namespace

int MinimizeEquation(ExprNode* tree, Cover* cover, int* last) {
    *cover = nullptr;
    *last = -1;
    const int n = CountVariables();
    int* marks = static_cast<int*>(AllocWork(size_t(n > 0 ? n : 0), 4));
    if (!marks) {
        Report(MSG_SPEICHER_VOLL, 0);
        ReleaseTree(tree);
        return -1;
    }
    CollectVariables(tree, marks);
    int nUsed = 0;
    for (int p = 0; p < n; ++p)
        if (marks[p]) ++nUsed;

    if (nUsed > kMaxEquationVariables) {
        Report(MSG_VARIABLENZAHL, 0);
        FreeWork(marks);
        ReleaseTree(tree);
        Cover zero = AllocCover(1, 0, n);
        if (!zero) return -1;
        zero[0] = CubeAddress(zero, 1, 0, 0, n);
        SetCode(zero, 0, 0, MARK_ZERO);
        return Finish(zero, 0, cover, last);
    }

    ConversionResult conv;
    int converted = ConvertTree(tree, marks, nUsed, n, &conv);
    ReleaseTree(tree);
    FreeWork(marks);
    if (converted < 0) return -1;
    const int on = conv.on;
    const int off = conv.off;
    Cover table = conv.cover;

    const bool minimize = (MinLevel == STRONGMIN || MinLevel == ESPRESSO) && CS.MinimizeFlag == 1;
    if (!minimize) {
        if (conv.symbolic) {
            Polarity = 1;
            return Finish(table, on - 1, cover, last);
        }
        if (on > 0 && off > 0) {
            int value = on <= off ? 1 : 0;
            Polarity = on <= off ? 1 : 3;
            int t = on <= off ? on : off;
            Cover rows = TakeRows(table, conv.slots, value, uint64_t(t), 0, n);
            FreeCover(table);
            return Finish(rows, t - 1, cover, last);
        }
        Polarity = 1;
        return Finish(MarkConstant(table, off == 0 ? MARK_ONE : MARK_ZERO, n), 0, cover, last);
    }

    if (on > 0 && off > 0) {
        // Complete minimization appends implicants into spare slots and keeps
        // row sets in extra columns; the heuristic level needs neither.
        const bool complete = MinLevel == STRONGMIN;
        // The packed complete minimization needs neither either (at 18
        // variables the row columns alone would take gigabytes); the
        // reference keeps its written layout.
        const bool written = complete && UseReferenceAlgorithms;
        uint64_t spare = written ? Binomial(nUsed, nUsed - 1) << (nUsed - 1) : 0;
        uint64_t onSlots = uint64_t(on) + spare;
        uint64_t offSlots = uint64_t(off) + spare;
        Cover onSet = TakeRows(table, conv.slots, 1, onSlots, written ? on : 0, n);
        if (!onSet) {
            FreeCover(table);
            return -1;
        }
        Cover offSet = TakeRows(table, conv.slots, 0, offSlots, written ? off : 0, n);
        FreeCover(table);
        if (!offSet) {
            FreeCover(onSet);
            return -1;
        }
        // Both slot counts fit in an int: their covers were allocated.
        auto completeMin = [&](int slots, int lastRow, Cover* set) {
            return written ? MinimizeComplete(slots, lastRow, nUsed, n, set)
                           : MinimizeCompleteOfRows(lastRow, nUsed, n, set);
        };
        int lastOn = complete ? completeMin(int(onSlots), on - 1, &onSet) : Simplify(on - 1, n, &onSet);
        int lastOff = -1;
        if (lastOn >= 0) lastOff = complete ? completeMin(int(offSlots), off - 1, &offSet) : Simplify(off - 1, n, &offSet);
        if (lastOn < 0 || lastOff < 0) {
            FreeCover(onSet);
            FreeCover(offSet);
            return -1;
        }
        int liveOn = LiveCubeCount(onSet, lastOn, n);
        int liveOff = LiveCubeCount(offSet, lastOff, n);
        if (liveOn == 0) {
            Polarity = 1;
            FreeCover(offSet);
            return Finish(MarkConstant(onSet, MARK_ONE, n), 0, cover, last);
        }
        if (liveOff == 0) {
            Polarity = 3;
            FreeCover(onSet);
            return Finish(MarkConstant(offSet, MARK_ONE, n), 0, cover, last);
        }
        if (liveOn > liveOff) {
            Polarity = 3;
            FreeCover(onSet);
            return Finish(offSet, lastOff, cover, last);
        }
        Polarity = 1;
        FreeCover(offSet);
        return Finish(onSet, lastOn, cover, last);
    }

    Polarity = 1;
    if (conv.symbolic) {
        int l = Simplify(on - 1, n, &table);
        if (l < 0) {
            FreeCover(table);
            return -1;
        }
        if (LiveCubeCount(table, l, n) == 0) return Finish(MarkConstant(table, MARK_ONE, n), 0, cover, last);
        return Finish(table, l, cover, last);
    }
    return Finish(MarkConstant(table, off == 0 ? MARK_ONE : MARK_ZERO, n), 0, cover, last);
}
