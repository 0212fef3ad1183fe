// CASE statements over a group or a boolean selector. Each labelled branch
// gets the condition that the selector has one of its label values; the ELSE
// branch gets the negation of all remembered label conditions.
#include "compiler/statements/case_statement.h"

#include <cstring>

#include "compiler/front/diagnostics.h"
#include "compiler/front/driver.h"
#include "compiler/front/lexer.h"
#include "compiler/front/symbols.h"
#include "compiler/statements/assignments.h"
#include "compiler/statements/constants.h"
#include "compiler/statements/expr_tree.h"
#include "compiler/statements/if_statement.h"
#include "compiler/statements/parser.h"

namespace {

bool IsGroupSymbol(int idx) {
    return idx > 0 && idx < kSymbolTableSize && SymbolTable[idx].Kind == KIND_GROUP;
}

bool WordIs(const char* w, const char* k) { return std::strcmp(w, k) == 0; }

// Reads a word and looks up what was read (also the part read before an
// incorrect character).
int ReadWordIndex(char* w) {
    ReadIdentifier(w);
    return LookupSymbol(w);
}

// Skips an unreadable CASE statement up to the word END_CASE or the end of
// the source; each round consumes a separator or reaches the end.
void SkipToEndCase() {
    char w[kTokenBufferSize];
    for (;;) {
        SkipText(2);
        ReadIdentifier(w);
        if (WordIs(w, "END_CASE") || SourceAtEnd()) return;
    }
}

// Remembers a copy of a label condition; false when memory ran out.
bool RememberLabel(const ExprNode* label) {
    ExprNode* copy = CopyTree(label);
    if (!copy) return false;
    return RememberCondition(copy, &CS.CaseLabelList) != -1;
}

}  // namespace

ExprNode* CaseLabelCondition(ExprNode* selector, int symbol) {
    ExprNode* r = selector ? CompareWithConstant(0, selector, CMP_EQ)
                           : CompareWithConstant(symbol, nullptr, CMP_EQ);
    if (!r) return nullptr;
    if (!RememberLabel(r)) return nullptr;
    SkipText(0);
    int c = ReadChar();
    if (c != ',' && c != ';') PushBack(c);
    while (!SourceAtEnd() && (c == ',' || c == ';')) {
        if (!IsGroupSymbol(symbol)) {
            Report(MSG_BOOL_NUR_KONSTANTE, 1);
            SkipText(1);
            return r;
        }
        if (c == ';') Report(MSG_TRENNZEICHEN_KOMMA, 1);
        ExprNode* t = CompareWithConstant(symbol, nullptr, CMP_EQ);
        if (!t) return nullptr;
        if (!RememberLabel(t)) return nullptr;
        r = MakeOperator(r, t, EXPR_OR);
        if (!r) return nullptr;
        SkipText(0);
        c = ReadChar();
        if (c != ',' && c != ';') PushBack(c);
    }
    return r;
}

int CompileCaseElse(int symbol) {
    int count = 0;
    for (ConditionElement* e = CS.CaseLabelList; e; e = e->next) ++count;
    long possible = IsGroupSymbol(symbol) ? (1L << SymbolTable[symbol].Pin) : 2;
    if (count == possible) {
        Report(MSG_ALLE_FAELLE, 1);
        SkipText(2);
        return 0;
    }
    ExprNode* any = nullptr;
    for (ConditionElement* e = CS.CaseLabelList; e; e = e->next) {
        ExprNode* c = CopyTree(e->tree);
        if (!c) return -1;
        if (!any) {
            any = c;
        } else {
            any = MakeOperator(any, c, EXPR_OR);
            if (!any) return -1;
        }
    }
    if (!any) return 1;  // no label before ELSE: reading the labels has failed already
    ExprNode* cond = MakeOperator(any, nullptr, EXPR_NOT);
    if (!cond) return -1;

    // The body. A word at the very end of the source is left to be read again.
    char w[kTokenBufferSize];
    for (;;) {
        SourceMark p = MarkSource();
        w[0] = '\0';
        int idx = ReadWordIndex(w);
        if (SourceAtEnd()) {
            ResetSource(p);
            break;
        }
        if (WordIs(w, "IF")) {
            ExprNode* c = CopyTree(cond);
            if (!c || CompileIf(c) == -1) return -1;
        } else if (idx >= CS.FirstUserSymbol) {
            ResetSource(p);
            ExprNode* c = CopyTree(cond);
            if (!c || CompileBranchAssignments(c, 3) == -1) return -1;
        } else {
            ResetSource(p);
            break;
        }
    }
    ReleaseTree(cond);
    return 1;
}

int CompileCase() {
    ReleaseConditionList(&CS.CaseLabelList);
    char w[kTokenBufferSize];

    SourceMark p = MarkSource();
    int sym = ReadWordIndex(w);
    if (sym < CS.FirstUserSymbol) {
        Report(MSG_UNBEKANNTE_VARIABLE, 1);
        SkipToEndCase();
        ExpectSemicolon();
        return 1;
    }
    ExprNode* selector = nullptr;
    if (!IsGroupSymbol(sym)) {
        ResetSource(p);
        selector = ParseExpression();
        if (!selector) {
            SkipToEndCase();
            ExpectSemicolon();
            return 1;
        }
    }
    ReadIdentifier(w);
    if (!WordIs(w, "OF")) {
        Report(MSG_OF_FEHLT, 1);
        ReleaseTree(selector);
        SkipText(1);
        return 1;
    }

    // Labelled branches; each round reads a label or ends the compile.
    while (!SourceAtEnd()) {
        ExprNode* sc = nullptr;
        if (selector) {
            sc = CopyTree(selector);
            if (!sc) return -1;
        }
        ExprNode* label = CaseLabelCondition(sc, sym);
        if (!label) {
            // A label that cannot be read ends the compile like a lack of
            // memory does.
            ReleaseTree(selector);
            return -1;
        }
        SkipText(0);
        if (ReadChar() != ':') {
            SkipText(1);
            Report(MSG_DOPPELPUNKT_FEHLT, 1);
            ReleaseTree(label);
            ReleaseTree(selector);
            ReleaseConditionList(&CS.CaseLabelList);
            return 1;
        }
        while (!SourceAtEnd()) {
            SkipText(0);
            int c = PeekChar();
            if (!IsLetter(c) && c != '_') break;
            SourceMark q = MarkSource();
            int idx = ReadWordIndex(w);
            if (idx >= CS.FirstUserSymbol) {
                ResetSource(q);
                ExprNode* lc = CopyTree(label);
                if (!lc || CompileBranchAssignments(lc, 3) == -1) return -1;
            } else if (WordIs(w, "IF")) {
                ExprNode* lc = CopyTree(label);
                if (!lc || CompileIf(lc) == -1) return -1;
            } else {
                ResetSource(q);
                break;
            }
        }
        ReleaseTree(label);
        SkipText(0);
        if (!IsDigit(PeekChar())) break;
    }

    p = MarkSource();
    w[0] = '\0';
    ReadIdentifier(w);
    if (WordIs(w, "ELSE")) {
        if (CompileCaseElse(sym) == -1) return -1;
        p = MarkSource();
        w[0] = '\0';
        ReadIdentifier(w);
    }
    if (!WordIs(w, "END_CASE")) {
        if (WordIs(w, "ENDCASE")) {
            Report(MSG_KW_END_CASE, 1);
        } else {
            Report(MSG_END_CASE_FEHLT, 1);
            ResetSource(p);
        }
    }
    ReleaseTree(selector);
    ExpectSemicolon();
    ReleaseConditionList(&CS.CaseLabelList);
    return 1;
}
