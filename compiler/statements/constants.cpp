// Constants and comparisons with constants: reads a constant from the source
// into its bit text and expands a comparison of a group, a variable or a
// bracketed expression with a constant into AND, OR and NOT of literals.
#include "compiler/statements/constants.h"

#include <cstring>

#include "compiler/front/diagnostics.h"
#include "compiler/front/driver.h"
#include "compiler/front/lexer.h"
#include "compiler/front/symbols.h"
#include "compiler/statements/expr_tree.h"

namespace {

constexpr int kMaxStoredBits = kConstantTextSize - 2;  // "#" and the zero

bool IsGroup(int group) {
    return group > 0 && group < kSymbolTableSize && SymbolTable[group].Kind == KIND_GROUP;
}

int GroupSize(int group) { return group > 0 && group < kSymbolTableSize ? SymbolTable[group].Pin : 0; }

int Refuse() {
    Report(MSG_KONSTANTE_NICHT_KORREKT, 1);
    return kConstantRefused;
}

// A negated literal or operand: a new NOT node over son.
ExprNode* Negate(ExprNode* son) {
    ExprNode* n = MakeOperator(son, nullptr, EXPR_NOT);
    return n;
}

}  // namespace

int ConstantValue(const char* text) {
    int v = 0;
    for (const char* p = text + 1; *p; ++p) v = v * 2 + (*p == '1' ? 1 : 0);
    return v;
}

void ValueBitText(char* text, int k) {
    int len = 0;
    text[len++] = '#';
    bool started = false;
    for (int weight = 128; weight >= 1; weight /= 2) {
        bool bit = (k & weight) != 0;
        if (bit) started = true;
        if (started) text[len++] = bit ? '1' : '0';
    }
    text[len] = '\0';
}

int GroupMemberNames(int group, char (*names)[16], int max) {
    if (group <= 0 || group >= kSymbolTableSize) return 0;
    const char* p = SymbolTable[group].Text;
    if (!p) return 0;
    int count = 0;
    while (*p && *p != ';' && count < max) {
        int len = 0;
        while (*p && *p != ',' && *p != ';') {
            if (len < 15) names[count][len++] = *p;
            ++p;
        }
        names[count][len] = '\0';
        if (len > 0) ++count;
        if (*p == ',') ++p;
    }
    return count;
}

// The state machine of the constant syntax. Bits beyond the room of the
// text are counted without being stored; such a constant is always refused
// by the width check at the end.
int ReadConstant(char* text, int group) {
    enum State { START, AFTER_TWO, DECIMAL, BIN_START, BINARY, BIN_UNDERSCORE };
    SkipText(0);
    text[0] = '\0';
    State state = START;
    bool binary = false;
    int decimal = 0;     // saturates at 256
    int stored = 0;      // bits in text after "#"
    int extra = 0;       // bits beyond the room
    auto addDigit = [&](int c) {
        decimal = decimal * 10 + (c - '0');
        if (decimal > 255) decimal = 256;
    };
    auto addBit = [&](char bit) {
        if (stored < kMaxStoredBits) {
            text[1 + stored++] = bit;
            text[1 + stored] = '\0';
        } else {
            ++extra;
        }
    };
    auto delimiter = [&](int c) {
        if (c == '\n') {
            ++CS.LineNumber;
            return true;
        }
        if (c == ' ' || c == '\t' || c == ';' || c == ',' || c == ':' || c == ')') {
            PushBack(c);
            return true;
        }
        return false;
    };
    // "T" or "F" in a binary constant: the word TRUE or FALSE.
    auto word = [&](int c) {
        PushBack(c);
        char w[kTokenBufferSize];
        ReadIdentifier(w);
        if (std::strcmp(w, "TRUE") == 0) {
            addBit('1');
        } else if (std::strcmp(w, "FALSE") == 0) {
            addBit('0');
        } else {
            return false;
        }
        return true;
    };

    for (bool done = false; !done;) {
        int c = ReadChar();
        switch (state) {
        case START:
            if (!IsDigit(c)) return Refuse();
            addDigit(c);
            state = c == '2' ? AFTER_TWO : DECIMAL;
            break;
        case AFTER_TWO:
            if (c == '#') {
                binary = true;
                text[0] = '#';
                text[1] = '\0';
                state = BIN_START;
            } else if (IsDigit(c)) {
                addDigit(c);
                state = DECIMAL;
            } else if (delimiter(c)) {
                done = true;
            } else {
                return Refuse();
            }
            break;
        case DECIMAL:
            if (IsDigit(c))
                addDigit(c);
            else if (delimiter(c))
                done = true;
            else
                return Refuse();
            break;
        case BIN_START:
        case BIN_UNDERSCORE:
            if (c == '0' || c == '1') {
                addBit(static_cast<char>(c));
                state = BINARY;
            } else if (c == 'T' || c == 'F') {
                if (!word(c)) return Refuse();
                state = BINARY;
            } else if (c == '_' && state == BIN_START) {
                state = BIN_UNDERSCORE;
            } else {
                return Refuse();
            }
            break;
        case BINARY:
            if (c == '_') {
                state = BIN_START;
            } else if (c == '0' || c == '1') {
                addBit(static_cast<char>(c));
            } else if (c == 'T' || c == 'F') {
                if (!word(c)) return Refuse();
            } else if (delimiter(c)) {
                done = true;
            } else {
                return Refuse();
            }
            break;
        }
    }

    if (!binary) {
        if (decimal > 255) {
            Report(MSG_INTEGER_MAX_255, 1);
            return kConstantRefused;
        }
        ValueBitText(text, decimal);
        stored = static_cast<int>(std::strlen(text)) - 1;
    }
    int bits = stored + extra;
    if (group > 0) {
        if (bits > GroupSize(group) || bits > kMaxStoredBits) {
            Report(MSG_KONSTANTE_WERTEBEREICH, 1);
            return kConstantRefused;
        }
    } else if (bits > 1) {
        Report(MSG_KONSTANTE_ZU_LANG, 1);
        return kConstantRefused;
    }
    return bits;
}

ExprNode* ParseConstantLeaf() {
    char text[kConstantTextSize];
    if (ReadConstant(text, 0) == kConstantRefused) {
        SkipText(1);
        return nullptr;
    }
    ExprNode* n = AllocNode();
    if (!n) {
        Report(MSG_BAUMSPEICHER_UEBERLAUF, 0);
        return nullptr;
    }
    n->is_leaf = 1;
    n->op.kind = text[1] == '1' ? EXPR_ONE : EXPR_ZERO;
    n->op.left = 0;
    n->op.right = 0;
    return n;
}

ExprNode* ExpandValue(ExprNode* operand, int group, const char* text, int bits) {
    if (!IsGroup(group)) {
        if (!operand) return nullptr;
        if (text[1] == '1') return operand;
        return Negate(operand);
    }
    char names[kMaxGroupMembers][16];
    int n = GroupMemberNames(group, names, kMaxGroupMembers);
    if (n == 0) return nullptr;
    ExprNode* root = nullptr;
    ExprNode* hole = nullptr;  // last AND node, its right son still to come
    for (int i = 0; i < n; ++i) {
        bool covered = bits >= n - i;
        bool one = covered && text[1 + i - (n - bits)] == '1';
        ExprNode* literal = AttachSon(nullptr, "wurzel", nullptr, names[i]);
        if (literal && !one) {
            ExprNode* neg = Negate(literal);
            if (!neg) ReleaseTree(literal);
            literal = neg;
        }
        if (!literal) {
            ReleaseTree(root);
            return nullptr;
        }
        ExprNode* place = literal;
        if (i < n - 1) {
            place = MakeOperator(literal, nullptr, EXPR_AND);
            if (!place) {
                ReleaseTree(literal);
                ReleaseTree(root);
                return nullptr;
            }
        }
        if (hole)
            AttachSon(hole, "rsohn", place, nullptr);
        else
            root = place;
        hole = place;
    }
    return root;
}

ExprNode* CompareWithConstant(int group, ExprNode* operand, int code) {
    char text[kConstantTextSize];
    int bits = ReadConstant(text, group);
    if (bits == kConstantRefused) {
        ReleaseTree(operand);
        return nullptr;
    }
    if (code == CMP_EQ) {
        ExprNode* e = ExpandValue(operand, group, text, bits);
        if (!e) ReleaseTree(operand);
        return e;
    }
    if (code == CMP_NE) {
        ExprNode* e = ExpandValue(operand, group, text, bits);
        if (!e) {
            ReleaseTree(operand);
            return nullptr;
        }
        ExprNode* n = AllocNode();
        if (!n) {
            Report(MSG_SPEICHER_VOLL, 0);
            ReleaseTree(e);
            return nullptr;
        }
        n->is_leaf = 0;
        n->op.kind = EXPR_NOT;
        SetLeft(n, e);
        SetRight(n, nullptr);
        return n;
    }

    int v = ConstantValue(text);
    int max = IsGroup(group) ? (1 << GroupSize(group)) - 1 : 1;
    int lo = 0, hi = 0;
    MessageId refused = MSG_COUNT;
    switch (code) {
    case CMP_LT:
        if (v == 0) refused = MSG_KLEINER_NULL;
        lo = 0, hi = v - 1;
        break;
    case CMP_LE:
        if (v == max) refused = MSG_KLEINER_GLEICH_MAX;
        lo = 0, hi = v;
        break;
    case CMP_GT:
        if (v == max) refused = MSG_GROESSER_MAX;
        lo = v + 1, hi = max;
        break;
    case CMP_GE:
        if (v == 0) refused = MSG_GROESSER_GLEICH_NULL;
        lo = v, hi = max;
        break;
    default:
        ReleaseTree(operand);
        return nullptr;
    }
    if (refused != MSG_COUNT) {
        Report(refused, 1);
        ReleaseTree(operand);
        return nullptr;
    }

    // OR of E(lo) ... E(hi), nested to the left. A single operand is used by
    // its first term; any further term would get a copy of its own.
    ExprNode* result = nullptr;
    bool operandUsed = false;
    for (int k = lo; k <= hi; ++k) {
        char kt[kConstantTextSize];
        ValueBitText(kt, k);
        int kb = static_cast<int>(std::strlen(kt)) - 1;
        ExprNode* node = nullptr;
        if (result) {
            node = MakeOperator(result, nullptr, EXPR_OR);
            if (!node) {
                ReleaseTree(result);
                if (!operandUsed) ReleaseTree(operand);
                return nullptr;
            }
        }
        ExprNode* op = nullptr;
        if (operand) {
            op = operandUsed ? CopyTree(operand) : operand;
            operandUsed = true;
            if (!op) {
                ReleaseTree(node ? node : result);
                return nullptr;
            }
        }
        ExprNode* term = ExpandValue(op, group, kt, kb);
        if (!term) {
            if (op && op != operand) ReleaseTree(op);
            ReleaseTree(node ? node : result);
            if (op == operand) ReleaseTree(operand);
            return nullptr;
        }
        if (node) {
            AttachSon(node, "rsohn", term, nullptr);
            result = node;
        } else {
            result = term;
        }
    }
    return result;
}
