// The expression parser: OR, XOR and AND levels nested to the right, NOT on
// one primary, primaries with comparisons against constants; and the
// restricted grammar of the extension conditions (AND of literals only).
//
// The binary levels build their right-nested chains in a loop rather than by
// calling themselves, so a long chain of operands cannot exhaust the stack;
// the trees and the order in which their nodes are taken are the same.
#include "compiler/statements/parser.h"

#include <cstring>

#include "compiler/front/diagnostics.h"
#include "compiler/front/driver.h"
#include "compiler/front/lexer.h"
#include "compiler/front/symbols.h"
#include "compiler/statements/constants.h"
#include "compiler/statements/expr_tree.h"

namespace {

// A chain of binary nodes under construction: root, and the last node whose
// right son is still to come.
struct Chain {
    ExprNode* root = nullptr;
    ExprNode* hole = nullptr;

    void Place(ExprNode* n) {
        if (hole)
            AttachSon(hole, "rsohn", n, nullptr);
        else
            root = n;
    }
    // Ends the chain with its last operand.
    ExprNode* Finish(ExprNode* last) {
        Place(last);
        return root;
    }
    // Makes the operator node over left and leaves its right son open.
    bool Extend(ExprNode* left, int op) {
        ExprNode* n = MakeOperator(left, nullptr, op);
        if (!n) {
            ReleaseTree(left);
            ReleaseTree(root);
            return false;
        }
        Place(n);
        hole = n;
        return true;
    }
    ExprNode* Fail(ExprNode* pending) {
        ReleaseTree(pending);
        ReleaseTree(root);
        return nullptr;
    }
};

// The index of a name usable in an expression (a declared variable or
// group), else 0. The name is what the identifier reader read, also when it
// stopped at an incorrect character.
int UsableSymbol(const char* name) {
    int idx = LookupSymbol(name);
    return idx >= CS.FirstUserSymbol ? idx : 0;
}

bool IsGroupSymbol(int idx) { return SymbolTable[idx].Kind == KIND_GROUP; }

// NOT or "-" in front of an operand. With "N" the word is read and, when it
// is not NOT, the source goes back before it.
bool ReadNot() {
    SkipText(0);
    int c = ReadChar();
    if (c == '-') return true;
    PushBack(c);
    if (c != 'N') return false;
    SourceMark p = MarkSource();
    char w[kTokenBufferSize];
    ReadIdentifier(w);
    if (std::strcmp(w, "NOT") == 0) return true;
    ResetSource(p);
    return false;
}

// The comparison operator after an operand; c is the character already read.
// Returns the code, or -1 when c starts none (c is then pushed back).
int ReadComparison(int c) {
    if (c == '=') return CMP_EQ;
    if (c == '<') {
        int d = ReadChar();
        if (d == '=') return CMP_LE;
        if (d == '>') return CMP_NE;
        PushBack(d);
        return CMP_LT;
    }
    if (c == '>') {
        int d = ReadChar();
        if (d == '=') return CMP_GE;
        PushBack(d);
        return CMP_GT;
    }
    PushBack(c);
    return -1;
}

// Brackets are the only way the grammar calls itself; their nesting is
// bounded so that a source full of "(" cannot exhaust the stack. A deeper
// nesting is refused like a tree that does not fit the tree storage.
constexpr int kMaxBracketDepth = 256;
int g_bracketDepth = 0;

ExprNode* ParseBracketed() {
    if (g_bracketDepth >= kMaxBracketDepth) {
        Report(MSG_BAUMSPEICHER_UEBERLAUF, 0);
        return nullptr;
    }
    ++g_bracketDepth;
    ExprNode* e = ParseExpression();
    --g_bracketDepth;
    return e;
}

ExprNode* ParsePrimary() {
    SkipText(0);
    int c = ReadChar();
    if (c == '(') {
        ExprNode* e = ParseBracketed();
        if (!e) return nullptr;
        if (ReadChar() != ')') Report(MSG_KLAMMER_FEHLT, 1);  // consumed all the same
        SkipText(0);
        int code = ReadComparison(ReadChar());
        if (code < 0) return e;
        return CompareWithConstant(0, e, code);
    }
    PushBack(c);
    SkipText(0);
    if (IsDigit(c)) return ParseConstantLeaf();

    char name[kTokenBufferSize];
    ReadIdentifier(name);
    int idx = UsableSymbol(name);
    if (!idx) {
        Report(MSG_BEZEICHNER_UNBEKANNT, 1);
        return nullptr;
    }
    SkipText(0);
    int code = ReadComparison(ReadChar());
    if (code < 0) {
        if (IsGroupSymbol(idx)) {
            Report(MSG_GRUPPE_VERGLEICH, 1);
            SkipText(1);
            return nullptr;
        }
        return AttachSon(nullptr, "wurzel", nullptr, name);
    }
    if (IsGroupSymbol(idx)) return CompareWithConstant(idx, nullptr, code);
    ExprNode* leaf = AttachSon(nullptr, "wurzel", nullptr, name);
    if (!leaf) return nullptr;
    return CompareWithConstant(0, leaf, code);
}

ExprNode* ParseNotTerm() {
    if (!ReadNot()) return ParsePrimary();
    ExprNode* node = MakeOperator(nullptr, nullptr, EXPR_NOT);
    if (!node) return nullptr;
    ExprNode* primary = ParsePrimary();
    if (!primary) {
        ReleaseTree(node);
        return nullptr;
    }
    return AttachSon(node, "sohn", primary, nullptr);
}

// After an operand of an AND chain: 1 when "AND" or "&" follows (read), 0
// when something else does (left unread), -1 after "AND erwartet" for a word
// that starts with A and is no AND (the word left unread).
int ReadAndJoint() {
    int c = ReadChar();
    if (c == '&') return 1;
    PushBack(c);
    if (c != 'A') return 0;
    SourceMark p = MarkSource();
    char w[kTokenBufferSize];
    ReadIdentifier(w);
    if (std::strcmp(w, "AND") != 0) {
        Report(MSG_AND_ERWARTET, 1);
        ResetSource(p);
        return -1;
    }
    return 1;
}

ExprNode* ParseAndTerm() {
    Chain chain;
    for (;;) {
        ExprNode* t = ParseNotTerm();
        if (!t) return chain.Fail(nullptr);
        SkipText(0);
        int joint = ReadAndJoint();
        if (joint < 0) return chain.Fail(t);
        if (joint == 0) return chain.Finish(t);
        if (!chain.Extend(t, EXPR_AND)) return nullptr;
    }
}

ExprNode* ParseXorTerm() {
    Chain chain;
    for (;;) {
        ExprNode* t = ParseAndTerm();
        if (!t) return chain.Fail(nullptr);
        SkipText(0);
        SourceMark p = MarkSource();
        if (PeekChar() != 'X') return chain.Finish(t);
        char w[kTokenBufferSize];
        ReadIdentifier(w);
        if (std::strcmp(w, "XOR") != 0) {
            Report(MSG_XOR_ERWARTET, 1);
            ResetSource(p);
            return chain.Fail(t);
        }
        if (!chain.Extend(t, EXPR_XOR)) return nullptr;
    }
}

// Restricted grammar: one term, optionally negated, an identifier with an
// optional "=" constant.
ExprNode* ParseRestrictedTerm() {
    ExprNode* neg = nullptr;
    if (ReadNot()) {
        neg = MakeOperator(nullptr, nullptr, EXPR_NOT);
        if (!neg) return nullptr;
    }
    char name[kTokenBufferSize];
    ReadIdentifier(name);
    int idx = UsableSymbol(name);
    if (!idx) {
        Report(MSG_BEZEICHNER_UNBEKANNT, 1);
        ReleaseTree(neg);
        return nullptr;
    }
    SkipText(0);
    int c = ReadChar();
    ExprNode* term = nullptr;
    if (c == '=') {
        if (IsGroupSymbol(idx)) {
            term = CompareWithConstant(idx, nullptr, CMP_EQ);
        } else {
            ExprNode* leaf = AttachSon(nullptr, "wurzel", nullptr, name);
            term = leaf ? CompareWithConstant(0, leaf, CMP_EQ) : nullptr;
        }
    } else {
        // Pushed back in both cases: the separator after a bare group stays
        // for the statement's own resynchronisation.
        PushBack(c);
        if (IsGroupSymbol(idx)) {
            Report(MSG_GRUPPE_VERGLEICH, 1);
            ReleaseTree(neg);
            return nullptr;
        }
        term = AttachSon(nullptr, "wurzel", nullptr, name);
    }
    if (!term) {
        ReleaseTree(neg);
        return nullptr;
    }
    if (!neg) return term;
    return AttachSon(neg, "sohn", term, nullptr);
}

ExprNode* ParseRestrictedTerms() {
    Chain chain;
    for (;;) {
        ExprNode* t = ParseRestrictedTerm();
        if (!t) return chain.Fail(nullptr);
        SkipText(0);
        if (IsLetter(PeekChar())) {
            SourceMark p = MarkSource();
            char w[kTokenBufferSize];
            ReadIdentifier(w);
            ResetSource(p);
            if (std::strcmp(w, "OR") == 0 || std::strcmp(w, "XOR") == 0) {
                Report(MSG_EXTRA_KEIN_OR, 1);
                return chain.Fail(t);
            }
        }
        int joint = ReadAndJoint();
        if (joint < 0) return chain.Fail(t);
        if (joint == 0) return chain.Finish(t);
        if (!chain.Extend(t, EXPR_AND)) return nullptr;
    }
}

}  // namespace

ExprNode* ParseExpression() {
    Chain chain;
    for (;;) {
        ExprNode* t = ParseXorTerm();
        if (!t) return chain.Fail(nullptr);
        SkipText(0);
        SourceMark p = MarkSource();
        int c = ReadChar();
        if (c != 'O') {
            PushBack(c);
            return chain.Finish(t);
        }
        c = ReadChar();
        if (c == 'F') {  // OF of a CASE statement ends the expression
            ResetSource(p);
            return chain.Finish(t);
        }
        if (c != 'R') {
            Report(MSG_OR_ERWARTET, 1);
            ResetSource(p);
            return chain.Fail(t);
        }
        if (!chain.Extend(t, EXPR_OR)) return nullptr;
    }
}

ExprNode* ParseRestrictedExpression() {
    SkipText(0);
    SourceMark p = MarkSource();
    if (ReadNot()) {
        SkipText(0);
        int c = ReadChar();
        if (c == '(') {
            ExprNode* neg = MakeOperator(nullptr, nullptr, EXPR_NOT);
            if (!neg) return nullptr;
            ExprNode* terms = ParseRestrictedTerms();
            if (!terms) {
                ReleaseTree(neg);
                return nullptr;
            }
            AttachSon(neg, "sohn", terms, nullptr);
            SkipText(0);
            c = ReadChar();
            if (c != ')') {
                PushBack(c);
                Report(MSG_KLAMMER_FEHLT, 1);
            }
            return neg;
        }
        ResetSource(p);
    }
    return ParseRestrictedTerms();
}
