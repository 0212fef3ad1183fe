// The per-output equation list: one record per output that received a
// contribution in an IF or CASE branch, in the order of first contribution.
// Set contributions are ORed, clear contributions ANDed.
#include "compiler/statements/equation_list.h"

#include <cstring>

#include "compiler/front/diagnostics.h"
#include "compiler/front/driver.h"
#include "compiler/front/work_memory.h"
#include "compiler/statements/expr_tree.h"

int AddContribution(ExprNode* tree, const char* name, int slot) {
    if (!tree) return 1;  // nothing to contribute
    OutputEquation* last = nullptr;
    for (OutputEquation* r = CS.EquationList; r; r = r->next) {
        if (std::strncmp(r->name, name, sizeof r->name) == 0) {
            ExprNode** term = slot == SLOT_SET ? &r->set_term : &r->clear_term;
            if (!*term) {
                *term = tree;
                return 1;
            }
            *term = MakeOperator(*term, tree, slot == SLOT_SET ? EXPR_OR : EXPR_AND);
            return *term ? 1 : -1;
        }
        last = r;
    }
    auto* rec = static_cast<OutputEquation*>(AllocWork(1, sizeof(OutputEquation)));
    if (!rec) {
        Report(MSG_SPEICHER_VOLL, 0);
        ReleaseTree(tree);
        return -1;
    }
    if (slot == SLOT_SET) {
        rec->set_term = tree;
        rec->clear_term = nullptr;
    } else {
        rec->set_term = nullptr;
        rec->clear_term = tree;
    }
    std::strncpy(rec->name, name, sizeof rec->name - 1);
    rec->name[sizeof rec->name - 1] = '\0';
    rec->next = nullptr;
    if (last)
        last->next = rec;
    else
        CS.EquationList = rec;
    return 1;
}

// The trees vanish with the node pool; only the records are given back.
void ReleaseEquationList() {
    OutputEquation* r = CS.EquationList;
    while (r) {
        OutputEquation* next = r->next;
        FreeWork(r);
        r = next;
    }
    CS.EquationList = nullptr;
}
