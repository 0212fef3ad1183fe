// Program header, VAR sections and pin assignment. Reads the source from
// its start up to the first statement, enters every variable and group into
// the symbol table and places each variable on a CPLD pin of the selected
// controller: the one named with AT, or the next free one of the pin map.
#include "compiler/front/declarations.h"

#include <cstring>

#include "compiler/front/diagnostics.h"
#include "compiler/front/driver.h"
#include "compiler/front/host.h"
#include "compiler/front/lexer.h"
#include "compiler/front/pin_maps.h"
#include "compiler/front/symbols.h"
#include "compiler/front/work_memory.h"

namespace {

bool Is(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

// Section keyword -> kind, with the warning of its variant (or none).
bool VarSectionKind(const char* t, int* kind, int* warning) {
    struct Word { const char* text; int kind; int warning; };
    static const Word kWords[] = {
        {"VAR_INPUT", KIND_INPUT, -1},    {"VARINPUT", KIND_INPUT, MSG_KW_VAR_INPUT},
        {"VAR_OUTPUT", KIND_OUTPUT, -1},  {"VAROUTPUT", KIND_OUTPUT, MSG_KW_VAR_OUTPUT},
        {"VAR_IN_OUT", KIND_INOUT, -1},   {"VARINOUT", KIND_INOUT, MSG_KW_VAR_IN_OUT},
        {"VAR_INOUT", KIND_INOUT, MSG_KW_VAR_IN_OUT}, {"VARIN_OUT", KIND_INOUT, MSG_KW_VAR_IN_OUT},
        {"VAR_INTERN", KIND_INTERN, -1},  {"VAR", KIND_INTERN, -1},
        {"VARINTERN", KIND_INTERN, MSG_KW_VAR_INTERN},
    };
    for (const Word& w : kWords) {
        if (Is(t, w.text)) {
            *kind = w.kind;
            *warning = w.warning;
            return true;
        }
    }
    return false;
}

bool IsUserSymbol(const char* name) { return LookupSymbol(name) >= CS.FirstUserSymbol; }

// The member list of a group under construction; never written past its end.
struct MemberBuffer {
    char* text;
    size_t capacity;
    void Clear() { text[0] = '\0'; }
    void Append(const char* s) {
        size_t len = std::strlen(text);
        size_t add = std::strlen(s);
        if (len + add >= capacity) add = capacity - 1 - len;
        std::memcpy(text + len, s, add);
        text[len + add] = '\0';
    }
};

// Nine names of twelve characters, their separators, ";" and the zero.
constexpr size_t kMemberBufferSize = 9 * (kMaxIdentifier + 1) + 2;

// Pins found for variables declared without AT, in table order.
void AllocatePins() {
    for (int i = CS.FirstUserSymbol; i <= CS.LastSymbol; ++i) {
        SymbolRecord& s = SymbolTable[i];
        if (s.Pin != 0) continue;
        int section;
        MessageId none;
        if (s.Kind == KIND_INPUT) {
            section = SECTION_INPUT;
            none = MSG_KEINE_INPUTPINS;
        } else if (s.Kind == KIND_OUTPUT) {
            section = SECTION_OUTPUT;
            none = MSG_KEINE_OUTPUTPINS;
        } else if (s.Kind == KIND_INOUT) {
            section = SECTION_INOUT;  // only ZIRKO L2 has I/O pins to hand out
            none = MSG_KEINE_OUTPUTPINS;
        } else {
            continue;
        }
        int pin = NextFreePin(PlcType, section, CS.PinUsed);
        if (pin == 0) {
            Report(none, 0);
            continue;
        }
        s.Pin = pin;
        CS.PinUsed[pin - 1] = 1;
    }
}

}  // namespace

int ParseDeclarations(void* window) {
    CS.PinUsed = static_cast<int*>(AllocWork(44, 4));
    if (!CS.PinUsed) {
        Report(MSG_SPEICHER_VOLL, 0);
        return -1;
    }
    if (!FindProgramKeyword()) {
        Report(MSG_PROGRAM_NICHT_GEFUNDEN, 0);
        CS.ErrorCount = 10;
        FreeWork(CS.PinUsed);
        CS.PinUsed = nullptr;
        return 1;
    }
    char token[kTokenBufferSize];
    SkipText(0);
    if (!ReadIdentifier(token)) Report(MSG_PROGRAMMNAME, 1);

    // Variable sections, in any order and repeated.
    SourceMark p;
    for (;;) {
        p = MarkSource();
        ReadIdentifier(token);
        int kind, warning;
        if (!VarSectionKind(token, &kind, &warning)) break;
        if (warning >= 0) Report(static_cast<MessageId>(warning), 1);
        ParseVarSection(kind);
        ExpectSemicolon();
    }

    AllocatePins();

    // Group sections come after all variable sections.
    while (Is(token, "VAR_ARRAY") || Is(token, "VARARRAY")) {
        if (Is(token, "VARARRAY")) Report(MSG_KW_VAR_ARRAY, 1);
        if (ParseGroupSection(window) == -1) {
            FreeWork(CS.PinUsed);
            CS.PinUsed = nullptr;
            return -1;
        }
        ExpectSemicolon();
        p = MarkSource();
        ReadIdentifier(token);
    }

    FreeWork(CS.PinUsed);
    CS.PinUsed = nullptr;
    ResetSource(p);  // the statement loop reads this token again

    CheckDeclarationLimits();
    for (int i = CS.FirstUserSymbol; i <= CS.LastSymbol; ++i) {
        SymbolRecord& s = SymbolTable[i];
        s.HasClock = s.HasReset = s.HasOE = s.Critical = 0;
    }
    return 1;
}

int ParseVarSection(int kind) {
    const int section = SectionOfKind(kind);
    char name[kTokenBufferSize];
    int failed = ReadIdentifier(name) ? 0 : 1;
    int stop = 0;

    while (!Is(name, "END_VAR")) {
        if (Is(name, "ENDVAR") || SourceAtEnd() || stop) break;

        // A round that ends where it began, with the same token and flag,
        // would come round for ever (a "(" that opens no comment is never
        // consumed by the primitives): such a round drops that character.
        const SourceMark roundStart = MarkSource();
        char roundName[kTokenBufferSize];
        std::memcpy(roundName, name, sizeof name);
        const int roundFailed = failed;

        int pin = 0;
        SkipText(0);
        SourceMark q = MarkSource();
        int c = ReadChar();
        bool at = false;
        if (c == 'A') {
            if (ReadChar() == 'T') at = true;
        }
        if (!at) ResetSource(q);

        if (at) {
            SkipText(0);
            c = ReadChar();
            if (IsDigit(c)) {
                pin = c - '0';
                int d = ReadChar();
                if (IsDigit(d))
                    pin = pin * 10 + (d - '0');
                else if (d == ';')
                    PushBack(d);
                int problem = -1;
                if (pin < 1 || pin > 44)
                    problem = MSG_PIN_ZU_GROSS;
                else if (IsReservedPin(pin))
                    problem = MSG_PIN_RESERVIERT;
                else if (!PinValidForSection(PlcType, section, pin))
                    problem = section == SECTION_INPUT ? MSG_PIN_INPUT_UNZULAESSIG : MSG_PIN_OUTPUT_UNZULAESSIG;
                else if (CS.PinUsed[pin - 1])
                    problem = MSG_PIN_VERGEBEN;
                if (problem >= 0) {
                    Report(static_cast<MessageId>(problem), 1);
                    failed = 1;
                    pin = 0;
                }
            } else {
                pin = ResolvePinName(kind, c);
                if (pin == 0) {
                    Report(MSG_PIN_ZAHL_ODER_SYMBOL, 1);
                    SkipText(1);
                    failed = 1;
                } else if (CS.PinUsed[pin - 1]) {
                    Report(MSG_PIN_VERGEBEN, 1);
                    failed = 1;
                    pin = 0;
                }
            }
            if (kind == KIND_INTERN) {
                Report(MSG_INTERN_KEINE_PINS, 1);
                failed = 1;
                pin = 0;
            }
        }

        int index = LookupSymbol(name);
        if (index >= 1 && index < CS.FirstUserSymbol) {
            Report(MSG_RESERVIERTES_SCHLUESSELWORT, 1);
            stop = 1;
        } else if (index >= CS.FirstUserSymbol) {
            Report(MSG_KENNUNG_VERGEBEN, 1);
        } else if (!failed) {
            int k = kind;
            if (pin == 11 || pin == 33)
                k = KIND_INPUT_P11;
            else if (pin == 35)
                k = KIND_INPUT_P35;
            InsertSymbol(name, k, pin, nullptr);
            if (pin != 0) CS.PinUsed[pin - 1] = 1;  // also when the table was full
        }

        ExpectSemicolon();
        failed = ReadIdentifier(name) ? 0 : 1;

        const SourceMark roundEnd = MarkSource();
        if (roundEnd.pos == roundStart.pos && roundEnd.line == roundStart.line &&
            failed == roundFailed && Is(name, roundName) && !SourceAtEnd()) {
            ReadChar();
        }
    }
    if (Is(name, "ENDVAR")) Report(MSG_KW_END_VAR, 1);
    return 1;
}

int ResolvePinName(int kind, int firstChar) {
    char name[8] = {0};
    int n = 0;
    if (firstChar != EOF) name[n++] = static_cast<char>(firstChar);
    if (n == 1) {
        for (int further = 0; further < 4; ++further) {
            int c = ReadChar();
            if (!(IsLetter(c) || IsDigit(c))) {
                PushBack(c);
                break;
            }
            if (further == 3) {  // a fifth character: names have at most four
                PushBack(c);
                break;
            }
            name[n++] = static_cast<char>(c);
        }
    }
    SkipText(0);
    if (n == 0) return 0;
    return ResolveTerminalName(PlcType, SectionOfKind(kind), name);
}

int ParseGroupSection(void* window) {
    char* block = static_cast<char*>(AllocWork(kMemberBufferSize, 1));
    if (!block) {
        Report(MSG_SPEICHER_VOLL, 0);
        ShowOutOfMemoryBox(window);
        return -1;
    }
    MemberBuffer b{block, kMemberBufferSize};
    b.Clear();

    char group[kTokenBufferSize];
    char member[kTokenBufferSize];
    int failed = ReadIdentifier(group) ? 0 : 1;

    while (!Is(group, "END_VAR") && !Is(group, "ENDVAR") && !SourceAtEnd()) {
        b.Clear();
        int count = 0;
        SkipText(0);
        int c = ReadChar();
        if (c != '[') {
            Report(MSG_KLAMMER_AUF_FEHLT, 1);
            failed = 0;
            continue;  // the next character is tried (one was consumed)
        }
        if (ReadIdentifier(member)) {
            if (!IsUserSymbol(member)) {
                Report(MSG_ARRAY_VARIABLE_UNBEKANNT, 1);
                failed = 1;
            } else {
                b.Append(member);
                count = 1;
            }
        }
        SkipText(0);
        c = ReadChar();
        bool broken = false;
        while ((c == ',' || c == ';') && !SourceAtEnd()) {
            if (c == ';') {
                SourceMark m = MarkSource();
                ReadIdentifier(member);
                ResetSource(m);
                if (!IsUserSymbol(member)) {
                    broken = true;
                    break;
                }
                Report(MSG_TRENNZEICHEN_KOMMA, 1);
            }
            if (ReadIdentifier(member)) {
                if (IsUserSymbol(member)) {
                    b.Append(",");
                    b.Append(member);
                } else {
                    Report(MSG_ARRAY_VARIABLE_UNBEKANNT, 1);
                    failed = 1;
                }
            } else {
                failed = 1;
            }
            SkipText(0);
            c = ReadChar();
            if (++count > 8) {
                Report(MSG_ZU_VIELE_IN_GRUPPE, 1);
                failed = 1;
                break;
            }
        }

        if (!broken && c == ']') {
            b.Append(";");
            SkipText(0);
            int s = ReadChar();
            if (s != ';') {
                Report(MSG_SEMIKOLON_FEHLT, 1);
                PushBack(s);
            }
            if (LookupSymbol(group) != 0) {
                Report(MSG_KENNUNG_VERGEBEN, 1);
            } else if (!failed && group[0] != '\0') {
                if (InsertSymbol(group, KIND_GROUP, count, b.text) == -1) {
                    FreeWork(block);
                    return -1;
                }
            }
            ReadIdentifier(group);
            failed = 0;
            continue;
        }

        // The group is broken: it is entered as far as it was read, then the
        // section resynchronises on the next line that is not a member list.
        Report(c == ';' ? MSG_KLAMMER_ZU_FEHLT : MSG_UNBEKANNTES_TRENNZEICHEN, 1);
        SkipText(2);
        b.Append(";");
        if (group[0] != '\0' && InsertSymbol(group, KIND_GROUP, count, b.text) == -1) {
            FreeWork(block);
            return -1;
        }
        SourceMark r = MarkSource();
        ReadIdentifier(group);
        while (!SourceAtEnd() && IsUserSymbol(group)) {
            r = MarkSource();
            SkipText(2);
            ReadIdentifier(group);
        }
        if (!Is(group, "END_VAR")) ResetSource(r);
        break;
    }
    if (Is(group, "ENDVAR")) Report(MSG_KW_END_VAR, 1);
    FreeWork(block);
    return 1;
}

void CheckDeclarationLimits() {
    int inputs = 0, outputs = 0, interns = 0, users = 0;
    for (int i = CS.FirstUserSymbol; i <= CS.LastSymbol; ++i) {
        ++users;
        switch (SymbolTable[i].Kind) {
        case KIND_INPUT:
        case KIND_INPUT_P11:
        case KIND_INPUT_P35:
            ++inputs;
            break;
        case KIND_OUTPUT:
            ++outputs;
            break;
        case KIND_INOUT:
            ++inputs;
            ++outputs;
            break;
        case KIND_INTERN:
            ++interns;
            break;
        default:
            break;
        }
    }
    auto fatal = [](MessageId id) {
        Report(id, 0);
        CS.ErrorCount = 10;
    };
    if (users == 0 || inputs == 0 || outputs == 0) fatal(MSG_KEINE_IN_OUTPUTS);
    if (interns > 64) fatal(MSG_MAX_64_INTERNE);
    if (inputs + outputs > PinBudget(PlcType)) fatal(MSG_NUR_39_PINS);
    if (outputs > 32) fatal(MSG_MAX_32_OUTPUTS);
}
