// IF statements. No control flow is produced: each branch gets a branch
// condition (the IF condition, or the negations of all earlier conditions
// ANDed with its own), and its assignments become contributions under it.
#include "compiler/statements/if_statement.h"

#include <cstring>

#include "compiler/front/diagnostics.h"
#include "compiler/front/driver.h"
#include "compiler/front/lexer.h"
#include "compiler/front/symbols.h"
#include "compiler/front/work_memory.h"
#include "compiler/statements/assignments.h"
#include "compiler/statements/expr_tree.h"
#include "compiler/statements/parser.h"

namespace {

// AND of copies of both trees; nullptr when a copy or the node failed.
ExprNode* AndOfCopies(const ExprNode* a, const ExprNode* b) {
    ExprNode* ca = CopyTree(a);
    if (a && !ca) return nullptr;
    ExprNode* cb = CopyTree(b);
    if (b && !cb) return nullptr;
    return MakeOperator(ca, cb, EXPR_AND);
}

// NOT of a copy of t.
ExprNode* NotOfCopy(const ExprNode* t) {
    ExprNode* c = CopyTree(t);
    if (t && !c) return nullptr;
    return MakeOperator(c, nullptr, EXPR_NOT);
}

// P(k): the conjunction of the negations of all remembered conditions,
// nested to the left.
ExprNode* NegatedPrefix() {
    ExprNode* p = nullptr;
    for (ConditionElement* e = CS.IfConditionList; e; e = e->next) {
        ExprNode* n = NotOfCopy(e->tree);
        if (!n) return nullptr;
        if (!p) {
            p = n;
        } else {
            p = MakeOperator(p, n, EXPR_AND);
            if (!p) return nullptr;
        }
    }
    return p;
}

bool WordIs(const char* w, const char* k) { return std::strcmp(w, k) == 0; }

// Reads a word and looks up what was read (also the part read before an
// incorrect character).
int ReadWordIndex(char* w) {
    ReadIdentifier(w);
    return LookupSymbol(w);
}

// Skips a statement that cannot be compiled, up to the word END_IF or the
// end of the source. Each round consumes a separator or reaches the end.
void SkipToWord(const char* word) {
    char w[kTokenBufferSize];
    for (;;) {
        SkipText(2);
        ReadIdentifier(w);
        if (WordIs(w, word) || SourceAtEnd()) return;
    }
}

int CompileElsif(ExprNode* outer, int kind) {
    ExprNode* prefix = NegatedPrefix();
    if (!prefix) return -1;
    if (SourceAtEnd()) {
        ReleaseTree(prefix);
        ReleaseTree(outer);
        return 1;
    }
    for (;;) {
        ExprNode* ck = ParseExpression();
        if (!ck) {
            ReleaseTree(prefix);
            ReleaseTree(outer);
            return 1;
        }
        ExprNode* ckCopy = CopyTree(ck);
        if (!ckCopy || RememberCondition(ckCopy, &CS.IfConditionList) == -1) return -1;
        ExprNode* prefixCopy = CopyTree(prefix);
        if (!prefixCopy) return -1;
        ExprNode* b = MakeOperator(prefixCopy, ck, EXPR_AND);
        if (!b) return -1;

        char w[kTokenBufferSize];
        ReadIdentifier(w);
        if (!WordIs(w, "THEN")) {
            Report(MSG_THEN_FEHLT, 1);
            ReleaseTree(b);
            SkipText(2);
            ReleaseTree(prefix);
            ReleaseTree(outer);
            return 1;
        }
        if (outer) {
            ExprNode* oc = CopyTree(outer);
            if (!oc) return -1;
            b = MakeOperator(oc, b, EXPR_AND);
            if (!b) return -1;
        }
        ExprNode* bc = CopyTree(b);
        if (!bc) return -1;
        if (CompileBranchAssignments(bc, kind) == -1) return -1;
        ReleaseTree(b);

        SourceMark p = MarkSource();
        int idx = ReadWordIndex(w);
        if (idx < CS.FirstUserSymbol) {
            ResetSource(p);
            ReleaseTree(prefix);
            ReleaseTree(outer);
            return 1;
        }
        // A declared variable here follows an error inside the body: the
        // word is dropped and a further condition is read for this ELSIF.
        if (SourceAtEnd()) {
            ReleaseTree(prefix);
            ReleaseTree(outer);
            return 1;
        }
    }
}

int CompileElse(ExprNode* outer, int kind) {
    ExprNode* cond = NegatedPrefix();
    if (!cond) return -1;
    if (outer) {
        cond = MakeOperator(cond, outer, EXPR_AND);
        if (!cond) return -1;
    }
    ExprNode* copy = CopyTree(cond);
    if (!copy) return -1;
    if (CompileBranchAssignments(copy, kind) == -1) return -1;
    ReleaseTree(cond);
    return 1;
}

}  // namespace

int RememberCondition(ExprNode* tree, ConditionElement** list) {
    if (list == &CS.CaseLabelList) {
        for (ConditionElement* e = *list; e; e = e->next) {
            if (TreesEqual(e->tree, tree)) {
                Report(MSG_BEDINGUNG_BEREITS, 1);
                ReleaseTree(tree);
                return 0;
            }
        }
    }
    auto* el = static_cast<ConditionElement*>(AllocWork(1, sizeof(ConditionElement)));
    if (!el) {
        Report(MSG_SPEICHER_VOLL, 0);
        ReleaseTree(tree);
        return -1;
    }
    el->tree = tree;
    el->next = nullptr;
    ConditionElement** tail = list;
    while (*tail) tail = &(*tail)->next;
    *tail = el;
    return 1;
}

void ReleaseConditionList(ConditionElement** list) {
    ConditionElement* e = *list;
    while (e) {
        ConditionElement* next = e->next;
        ReleaseTree(e->tree);
        FreeWork(e);
        e = next;
    }
    *list = nullptr;
}

int CompileIf(ExprNode* outer) {
    ReleaseConditionList(&CS.IfConditionList);
    const int kind = outer ? 3 : 2;
    char w[kTokenBufferSize];

    ExprNode* c0 = ParseExpression();
    if (!c0) {
        SkipToWord("END_IF");
        ExpectSemicolon();
        ReleaseTree(outer);
        return 1;
    }
    ExprNode* c0Copy = CopyTree(c0);
    if (!c0Copy || RememberCondition(c0Copy, &CS.IfConditionList) == -1) return -1;

    ExprNode* thenCond = outer ? AndOfCopies(outer, c0) : CopyTree(c0);
    if (!thenCond) return -1;

    ReadIdentifier(w);
    if (!WordIs(w, "THEN")) {
        Report(MSG_THEN_FEHLT, 1);
        ReleaseTree(thenCond);
        SkipToWord("END_IF");
        ExpectSemicolon();
        ReleaseConditionList(&CS.IfConditionList);
        ReleaseTree(c0);
        ReleaseTree(outer);
        return 1;
    }
    if (CompileBranchAssignments(thenCond, kind) == -1) return -1;

    w[0] = '\0';
    SourceMark p = MarkSource();
    while (!SourceAtEnd()) {
        p = MarkSource();
        ReadIdentifier(w);
        bool elseif = WordIs(w, "ELSEIF");
        if (!elseif && !WordIs(w, "ELSIF")) break;
        ExprNode* oc = nullptr;
        if (outer) {
            oc = CopyTree(outer);
            if (!oc) return -1;
        }
        if (CompileElsif(oc, kind) == -1) return -1;
        if (elseif) Report(MSG_KW_ELSIF, 1);
        w[0] = '\0';
        p = MarkSource();
    }

    if (WordIs(w, "ELSE")) {
        ExprNode* oc = nullptr;
        if (outer) {
            oc = CopyTree(outer);
            if (!oc) return -1;
        }
        if (CompileElse(oc, kind) == -1) return -1;
        p = MarkSource();
        ReadIdentifier(w);
    }
    if (!WordIs(w, "END_IF")) {
        if (WordIs(w, "ENDIF")) {
            Report(MSG_KW_END_IF, 1);
        } else {
            Report(MSG_END_IF_ERWARTET, 1);
            ResetSource(p);
        }
    }
    ExpectSemicolon();
    ReleaseConditionList(&CS.IfConditionList);
    ReleaseTree(c0);
    ReleaseTree(outer);
    return 1;
}
