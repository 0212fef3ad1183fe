// Assignments and extension statements. A plain assignment at statement
// level and an extension condition are written as equations at once; the
// assignments of an IF or CASE branch become contributions, ANDed with the
// branch condition, in the equation list.
#include "compiler/statements/assignments.h"

#include <cstdio>
#include <cstring>

#include "compiler/front/diagnostics.h"
#include "compiler/front/driver.h"
#include "compiler/front/lexer.h"
#include "compiler/front/symbols.h"
#include "compiler/logic/equation_writer.h"
#include "compiler/statements/constants.h"
#include "compiler/statements/equation_list.h"
#include "compiler/statements/expr_tree.h"
#include "compiler/statements/parser.h"

namespace {

bool IsGroupSymbol(int idx) {
    return idx > 0 && idx < kSymbolTableSize && SymbolTable[idx].Kind == KIND_GROUP;
}

const char* SymbolName(int idx) {
    return idx > 0 && idx < kSymbolTableSize ? SymbolTable[idx].Name : "";
}

// The name of an extension equation: the variable, " ." and the word.
void ExtensionName(char* out, size_t size, const char* variable, const char* word) {
    // Names and words are identifiers of at most 12 characters.
    std::snprintf(out, size, "%.15s .%.15s", variable, word);
}

// A NOT node over son for a clear contribution; nullptr when no node is free.
ExprNode* NegateCondition(ExprNode* son) {
    ExprNode* n = AllocNode();
    if (!n) return nullptr;
    n->is_leaf = 0;
    n->op.kind = EXPR_NOT;
    SetLeft(n, son);
    SetRight(n, nullptr);
    return n;
}

}  // namespace

int CompilePlainAssignment(int symbol) {
    if (IsGroupSymbol(symbol)) {
        Report(MSG_ZUWEISUNG_GRUPPE, 1);
        SkipText(1);
        return 1;
    }
    char name[kTokenBufferSize];
    ExprNode* e = ParseAssignment(name, nullptr);
    if (!e) {
        SkipText(1);
        return 0;
    }
    int r = RecordDefinition(name, 1, 0);
    if (r == -1) {
        ReleaseTree(e);
        return -1;
    }
    if (r == 1) {
        ReleaseTree(e);
        return 1;
    }
    int idx = LookupSymbol(name);
    if (idx > 0) SymbolTable[idx].Emitted = 1;
    if (WriteEquation(e, name) == -1) return -1;
    return 1;
}

ExprNode* ParseAssignment(char* target, ExprNode* condition) {
    target[0] = '\0';
    if (!ReadIdentifier(target)) {
        ExpectSemicolon();
        return nullptr;
    }
    SkipText(0);
    int c = ReadChar();
    if (c == ':') {
        if (ReadChar() != '=') {
            Report(MSG_FALSCHER_ZUWEISUNGSOPERATOR, 1);
            return nullptr;
        }
    } else if (c == '=') {
        Report(MSG_ZUWEISUNGSOPERATOR_IST, 1);
    } else {
        Report(MSG_ZUWEISUNGSOPERATOR_NICHT_GEFUNDEN, 1);
        return nullptr;
    }
    SkipText(0);
    ExprNode* value = nullptr;
    if (IsDigit(PeekChar())) {
        if (!condition) value = ParseConstantLeaf();
    } else {
        value = ParseExpression();
        if (!value) return nullptr;
    }
    ExpectSemicolon();
    return value;
}

int CompileExtension(int symbol) {
    char word[kTokenBufferSize];
    ReadIdentifier(word);
    if (std::strcmp(word, "CRIT") == 0) {
        if (RecordDefinition(SymbolName(symbol), 0, 4) == -1) return -1;
        SkipText(2);
        return 1;
    }

    SkipText(0);
    int c = ReadChar();
    if (c == ':') {
        if (ReadChar() != '=') {
            Report(MSG_FALSCHER_ZUWEISUNGSOPERATOR, 1);
            SkipText(1);
        }
    } else if (c == '=') {
        Report(MSG_ZUWEISUNGSOPERATOR_IST, 1);
    } else {
        Report(MSG_ZUWEISUNGSOPERATOR_NICHT_GEFUNDEN, 1);
        SkipText(2);
        return 0;
    }

    ExprNode* cond = ParseRestrictedExpression();
    if (!cond) {
        SkipText(2);
        return 0;
    }

    auto modeOf = [&](void) {
        if (std::strcmp(word, "CLK") == 0) return 3;
        if (std::strcmp(word, "RE") == 0) return 2;
        if (std::strcmp(word, "OE") == 0) return 1;
        return 0;
    };
    char eqName[40];

    if (!IsGroupSymbol(symbol)) {
        int mode = modeOf();
        if (mode == 1) {
            int kind = SymbolTable[symbol].Kind;
            if (kind != KIND_OUTPUT && kind != KIND_INOUT) {
                Report(MSG_KEINE_OE_EXTENSION, 1);
                SkipText(2);
                ReleaseTree(cond);
                return 0;
            }
        } else if (mode == 0) {
            Report(MSG_EXTENSION_UNBEKANNT, 1);
            SkipText(2);
            ReleaseTree(cond);
            return 0;
        }
        // A refusal has been reported; the equation is written all the same.
        if (RecordDefinition(SymbolName(symbol), 0, mode) == -1) {
            ReleaseTree(cond);
            return -1;
        }
        ExtensionName(eqName, sizeof eqName, SymbolName(symbol), word);
        if (WriteEquation(cond, eqName) == -1) return -1;
        ExpectSemicolon();
        return 1;
    }

    char members[kMaxGroupMembers][16];
    int n = GroupMemberNames(symbol, members, kMaxGroupMembers);
    for (int i = 0; i < n; ++i) {
        int mode = modeOf();
        if (mode == 0) {
            Report(MSG_EXTENSION_UNBEKANNT, 1);
            ReleaseTree(cond);
            SkipText(2);
            return 0;
        }
        if (RecordDefinition(members[i], 0, mode) == -1) {
            ReleaseTree(cond);
            return -1;
        }
        ExprNode* copy = CopyTree(cond);
        if (!copy) {
            ReleaseTree(cond);
            return -1;
        }
        ExtensionName(eqName, sizeof eqName, members[i], word);
        if (WriteEquation(copy, eqName) == -1) {
            ReleaseTree(cond);
            return -1;
        }
    }
    ReleaseTree(cond);
    ExpectSemicolon();
    return 1;
}

// The body of a branch: assignments to declared variables, up to the first
// word that is not one or a decimal digit (the next CASE label). Every round
// reads the target's identifier, so the loop always moves on.
int CompileBranchAssignments(ExprNode* condition, int statementKind) {
    for (;;) {
        if (SourceAtEnd()) {
            ReleaseTree(condition);
            return 1;
        }
        SourceMark p = MarkSource();
        char target[kTokenBufferSize];
        ReadIdentifier(target);
        int idx = LookupSymbol(target);
        SkipText(0);
        SourceMark p2 = MarkSource();
        int c = ReadChar();
        if (c == ':') {
            ReadChar();  // the operator is checked when the statement is read again
        } else if (c != '=') {
            Report(MSG_ZUWEISUNGSOPERATOR_NICHT_GEFUNDEN, 1);
            ReleaseTree(condition);
            return 0;
        }
        SkipText(0);
        bool constant = IsDigit(PeekChar());
        ExprNode* copy = CopyTree(condition);
        if (condition && !copy) return -1;

        if (constant) {
            ResetSource(p2);
            if (AssignConstantInBranch(copy, idx, statementKind) == -1) return -1;
            ExpectSemicolon();
        } else {
            ResetSource(p);
            ExprNode* e = ParseAssignment(target, copy);
            int r;
            if (IsGroupSymbol(idx)) {
                Report(MSG_ZUWEISUNG_GRUPPE, 1);
                r = 1;
            } else {
                r = RecordDefinition(target, statementKind, 0);
            }
            if (r == -1) {
                SkipText(1);
                ReleaseTree(e);
                return -1;
            }
            if (r == 1) {
                SkipText(1);
                ReleaseTree(e);
                ReleaseTree(copy);
                ReleaseTree(condition);
                return 1;
            }
            if (!e) {
                ReleaseTree(copy);
                SkipText(1);
                ReleaseTree(condition);
                return 1;
            }
            ExprNode* t = MakeOperator(copy, e, EXPR_AND);
            if (!t) return -1;
            if (AddContribution(t, target, SLOT_SET) == -1) return -1;  // t is consumed
        }

        // End of the body: a digit (the next label) or a word that is no
        // declared variable or group.
        SourceMark p3 = MarkSource();
        SkipText(0);
        if (IsDigit(PeekChar())) {
            ResetSource(p3);
            ReleaseTree(condition);
            return 1;
        }
        SourceMark p4 = MarkSource();
        char word[kTokenBufferSize];
        ReadIdentifier(word);
        int next = LookupSymbol(word);
        if (next < CS.FirstUserSymbol) {
            ResetSource(p3);
            ReleaseTree(condition);
            return 1;
        }
        ResetSource(p4);
    }
}

int AssignConstantInBranch(ExprNode* condition, int symbol, int statementKind) {
    SkipText(0);
    int c = ReadChar();
    if (c == '=') {
        Report(MSG_ZUWEISUNGSOPERATOR_IST, 1);
    } else if (c == ':') {
        if (ReadChar() != '=') {
            Report(MSG_UNBEKANNTER_OPERATOR, 1);
            ReleaseTree(condition);
            SkipText(2);
            return 0;
        }
    }
    bool group = IsGroupSymbol(symbol);
    char text[kConstantTextSize];
    int bits = ReadConstant(text, group ? symbol : 0);
    if (bits == kConstantRefused) {
        SkipText(1);
        ReleaseTree(condition);
        return 1;
    }

    if (!group) {
        const char* name = SymbolName(symbol);
        int r = RecordDefinition(name, statementKind, 0);
        if (r != 0) {
            ReleaseTree(condition);
            return r;
        }
        if (text[1] == '1') return AddContribution(condition, name, SLOT_SET) == -1 ? -1 : 1;
        ExprNode* neg = NegateCondition(condition);
        if (!neg) {
            Report(MSG_BAUMSPEICHER_UEBERLAUF, 0);
            return -1;
        }
        return AddContribution(neg, name, SLOT_CLEAR) == -1 ? -1 : 1;
    }

    char members[kMaxGroupMembers][16];
    int n = GroupMemberNames(symbol, members, kMaxGroupMembers);
    for (int i = 0; i < n; ++i) {
        ExprNode* m = CopyTree(condition);
        if (condition && !m) return -1;
        int r = RecordDefinition(members[i], statementKind, 0);
        if (r == -1) {
            ReleaseTree(m);
            return -1;
        }
        if (r == 1) {
            ReleaseTree(m);
            ReleaseTree(condition);
            return 1;
        }
        bool covered = bits >= n - i;
        bool one = covered && text[1 + i - (n - bits)] == '1';
        int added;
        if (one) {
            added = AddContribution(m, members[i], SLOT_SET);
        } else {
            ExprNode* neg = NegateCondition(m);
            if (!neg) {
                Report(MSG_BAUMSPEICHER_UEBERLAUF, 0);
                return 0;
            }
            added = AddContribution(neg, members[i], SLOT_CLEAR);
        }
        if (added == -1) {
            ReleaseTree(condition);
            return -1;
        }
    }
    ReleaseTree(condition);
    return 1;
}
