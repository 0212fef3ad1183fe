// Symbol table: a fixed array, searched linearly by the reference
// algorithms and through a name index otherwise. Records 1..25 hold the
// reserved words, user symbols follow in declaration order; the index of a
// name is its identity for the whole compile. RecordDefinition keeps the
// checks against double or misplaced assignments and conditions.
#include "compiler/front/symbols.h"

#include <cstring>

#include "compiler/front/diagnostics.h"
#include "compiler/front/driver.h"
#include "compiler/front/work_memory.h"
#include "compiler/logic/algorithm_choice.h"

SymbolRecord SymbolTable[kSymbolTableSize];

namespace {
struct ReservedWord {
    const char* name;
    int code;
};

// Table order is significant: the index of each word is fixed.
const ReservedWord kReservedWords[] = {
    {"PROGRAM", RW_PROGRAM},     {"END_PROGRAM", RW_END_PROGRAM},
    {"VAR_INPUT", RW_VAR_INPUT}, {"VAR_OUTPUT", RW_VAR_OUTPUT},
    {"VAR_IN_OUT", RW_VAR_IN_OUT}, {"VAR_INTERN", RW_VAR_INTERN},
    {"VAR_ARRAY", RW_VAR_ARRAY}, {"END_VAR", RW_END_VAR},
    {"AT", RW_AT},               {"AND", RW_AND},
    {"&", RW_AND},               {"OR", RW_OR},
    {"NOT", RW_NOT},             {"-", RW_NOT},
    {"XOR", RW_XOR},             {"IF", RW_IF},
    {"THEN", RW_THEN},           {"ELSE", RW_ELSE},
    {"ELSIF", RW_ELSIF},         {"END_IF", RW_END_IF},
    {"CASE", RW_CASE},           {"OF", RW_OF},
    {"END_CASE", RW_END_CASE},   {"#NOMIN", RW_NOMIN},
    {"#END_NOMIN", RW_END_NOMIN},
    {"", 0},
};

void CopyName(char* dst, const char* src) {
    std::strncpy(dst, src, sizeof(SymbolRecord::Name) - 1);
    dst[sizeof(SymbolRecord::Name) - 1] = '\0';
}
}  // namespace

namespace {
// An index from a name to the first record 1..LastSymbol that holds it, the
// answer of the scan from record 1 that the reference algorithms keep: the
// conversion of an equation looks up every leaf of every row. Rebuilt after a record is entered, the table is cleared or
// LastSymbol changed otherwise.
constexpr int kIndexSlots = 512;   // more than twice the records
int g_tableGeneration = 0;
struct NameIndex {
    int generation = -1;
    int last = -1;
    short slot[kIndexSlots];   // record index, 0 empty
} g_index;

unsigned NameHash(const char* name) {
    unsigned h = 2166136261u;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p; ++p) h = (h ^ *p) * 16777619u;
    return h;
}

void RebuildNameIndex() {
    std::memset(g_index.slot, 0, sizeof g_index.slot);
    for (int i = 1; i <= CS.LastSymbol && i < kSymbolTableSize; ++i) {
        unsigned h = NameHash(SymbolTable[i].Name) % kIndexSlots;
        for (;; h = (h + 1) % kIndexSlots) {
            int k = g_index.slot[h];
            if (k == 0) {
                g_index.slot[h] = short(i);
                break;
            }
            if (std::strcmp(SymbolTable[k].Name, SymbolTable[i].Name) == 0) break;   // the first stays
        }
    }
    g_index.generation = g_tableGeneration;
    g_index.last = CS.LastSymbol;
}
}  // namespace

int InitSymbolTable() {
    // Texts of an earlier compile are released by its own end; the records
    // are simply overwritten here.
    std::memset(SymbolTable, 0, sizeof SymbolTable);
    ++g_tableGeneration;
    CS.LastSymbol = 0;
    CS.FirstUserSymbol = kFirstUserSymbol;
    for (const ReservedWord* w = kReservedWords; w->name[0]; ++w) {
        if (InsertSymbol(w->name, w->code, 0, nullptr) != 1) return -1;
    }
    return 1;
}

int LookupSymbol(const char* name) {
    if (UseReferenceAlgorithms) {
        for (int i = 1; i <= CS.LastSymbol && i < kSymbolTableSize; ++i)
            if (std::strcmp(SymbolTable[i].Name, name) == 0) return i;
        return 0;
    }
    if (g_index.generation != g_tableGeneration || g_index.last != CS.LastSymbol) RebuildNameIndex();
    for (unsigned h = NameHash(name) % kIndexSlots;; h = (h + 1) % kIndexSlots) {
        int k = g_index.slot[h];
        if (k == 0) return 0;
        if (std::strcmp(SymbolTable[k].Name, name) == 0) return k;
    }
}

int InsertSymbol(const char* name, int kind, int pin, const char* text) {
    if (CS.LastSymbol > kSymbolTableSize - 2) {
        Report(MSG_SYMBOLTABELLE_VOLL, 0);
        return 0;
    }
    ++CS.LastSymbol;
    SymbolRecord& s = SymbolTable[CS.LastSymbol];
    std::memset(&s, 0, sizeof s);
    CopyName(s.Name, name);
    ++g_tableGeneration;
    s.Kind = kind;
    s.Pin = pin;
    s.Emitted = 0;
    s.Text = nullptr;
    if (text) {
        size_t len = std::strlen(text);
        char* copy = static_cast<char*>(AllocWork(len + 1, 1));
        if (!copy) {
            Report(MSG_SPEICHER_VOLL, 0);
            return -1;
        }
        std::memcpy(copy, text, len + 1);
        s.Text = copy;
    }
    return 1;
}

int CountVariables() {
    int n = 0;
    for (int i = CS.FirstUserSymbol; i <= CS.LastSymbol && i < kSymbolTableSize; ++i)
        if (SymbolTable[i].Kind != KIND_GROUP) ++n;
    return n;
}

// Mode 0: the assignment bookkeeping, done on a copy of DefinitionState that
// is merged back whole.
static int RecordAssignment(int index, int statementKind) {
    const SymbolRecord& s = SymbolTable[index];
    if (index < CS.FirstUserSymbol || s.Kind == KIND_INPUT) {
        Report(MSG_SCHLUESSELWORT_ODER_INPUT, 1);
        return 1;
    }
    int n = CountVariables();
    int entry = index - CS.FirstUserSymbol;
    // A group (or a state that was never allocated) has no entry to keep.
    if (!CS.DefinitionState || s.Kind == KIND_GROUP || entry >= n) return 0;

    int* copy = static_cast<int*>(AllocWork(static_cast<size_t>(n), sizeof(int)));
    if (!copy) {
        Report(MSG_SPEICHER_VOLL, 0);
        return -1;
    }
    std::memcpy(copy, CS.DefinitionState, static_cast<size_t>(n) * sizeof(int));
    int result = 0;
    int& d = copy[entry];
    if (statementKind == 1) {
        if (d > 0) {
            Report(MSG_BEREITS_IN_SELECTION, 1);
            result = 1;
        }
        if (d == 0) d = 1;
    } else if (statementKind == 2 || statementKind == 3) {
        if (d == 1) {
            Report(MSG_BEREITS_IS_A, 1);
            result = 1;
        }
        d = statementKind;
    }
    std::memcpy(CS.DefinitionState, copy, static_cast<size_t>(n) * sizeof(int));
    FreeWork(copy);
    return result;
}

// Modes 1 and 4: a condition that only outputs and I/O variables take; an
// I/O variable takes any number, an output one.
static int RecordOutputCondition(SymbolRecord& s, int& flag, MessageId again, MessageId onlyOutputs) {
    if ((flag == 0 && s.Kind == KIND_OUTPUT) || s.Kind == KIND_INOUT) {
        flag = 1;
        return 0;
    }
    Report(flag == 1 ? again : onlyOutputs, 1);
    return 1;
}

static int RecordOnce(int& flag, MessageId again) {
    if (flag == 0) {
        flag = 1;
        return 0;
    }
    Report(again, 1);
    return 1;
}

int RecordDefinition(const char* name, int statementKind, int mode) {
    int index = LookupSymbol(name);
    // An unknown name works on a scratch record, so that record 0 keeps no flags.
    SymbolRecord scratch{};
    SymbolRecord& s = index ? SymbolTable[index] : scratch;
    switch (mode) {
    case 0:
        return RecordAssignment(index, statementKind);
    case 1:
        return RecordOutputCondition(s, s.HasOE, MSG_OE_BEREITS, MSG_OE_NUR_OUTPUTS);
    case 2:
        return RecordOnce(s.HasReset, MSG_RESET_BEREITS);
    case 3:
        return RecordOnce(s.HasClock, MSG_CLOCK_BEREITS);
    case 4:
        return RecordOutputCondition(s, s.Critical, MSG_CRIT_BEREITS, MSG_CRIT_NUR_OUTPUTS);
    case 5:
        if (s.HasOE == 0) {
            Report(MSG_IO_OE_FEHLT, 1);
            return 1;
        }
        return 0;
    default:
        return 0;
    }
}

void ReleaseSymbolTexts() {
    for (int i = 1; i < kSymbolTableSize; ++i) {
        if (SymbolTable[i].Text) {
            FreeWork(SymbolTable[i].Text);
            SymbolTable[i].Text = nullptr;
        }
    }
}
