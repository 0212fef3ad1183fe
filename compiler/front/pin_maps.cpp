// The controllers' wiring as constant tables. Each model lists its input,
// output and I/O terminals in allocation order: automatic allocation hands
// out the first free pin of a prefix of the list (the allocation range).
#include "compiler/front/pin_maps.h"

#include <cstring>

#include "compiler/front/symbols.h"

namespace {

struct Terminal {
    const char* name1;
    const char* name2;  // nullptr when the pin has one name
    int pin;
};

struct TerminalList {
    const Terminal* entries;
    int count;
    int allocCount;  // the allocation range: the first allocCount entries
};

struct PinMap {
    int plcType;
    const char* device;
    TerminalList inputs, outputs, inouts;
    int budget;
};

const Terminal kTrevaInputs[] = {
    {"E1", "I1", 15},   {"E2", "I2", 16},   {"E3", "I3", 17},   {"E4", "I4", 18},
    {"E5", "I5", 19},   {"E6", "I6", 20},   {"E7", "I7", 21},   {"E8", "I8", 22},
    {"E9", "I9", 3},    {"E10", "I10", 4},  {"E11", "I11", 5},  {"E12", "I12", 6},
    {"E13", "I13", 7},  {"E14", "I14", 8},  {"E15", "I15", 9},  {"E16", "I16", 10},
    {"T1", nullptr, 11}, {"T2", nullptr, 35}, {"T3", nullptr, 33}, {"T4", nullptr, 2},
    {"POR", nullptr, 14}, {"CS5", nullptr, 24}, {"CS6", nullptr, 36},
};
const Terminal kTrevaOutputs[] = {
    {"A1", "O1", 25},   {"A2", "O2", 26},   {"A3", "O3", 27},   {"A4", "O4", 28},
    {"A5", "O5", 29},   {"A6", "O6", 30},   {"A7", "O7", 31},   {"A8", "O8", 32},
    {"A9", "O9", 37},   {"A10", "O10", 38}, {"A11", "O11", 39}, {"A12", "O12", 40},
    {"A13", "O13", 41}, {"A14", "O14", 42}, {"A15", "O15", 43}, {"A16", "O16", 44},
};

const Terminal kZirkoInputs[] = {
    {"E1", "I1", 15}, {"E2", "I2", 16}, {"E3", "I3", 17}, {"E4", "I4", 18},
    {"E5", "I5", 19}, {"E6", "I6", 20}, {"E7", "I7", 21}, {"E8", "I8", 22},
    {"E9", "I9", 24}, {"T1", nullptr, 11}, {"T2", nullptr, 2}, {"POR", nullptr, 14},
    {"CK", nullptr, 24},
};
const Terminal kZirkoOutputs[] = {
    {"A1", "O1", 25}, {"A2", "O2", 26}, {"A3", "O3", 27}, {"A4", "O4", 28},
    {"A5", "O5", 29}, {"A6", "O6", 30}, {"A7", "O7", 31}, {"A8", "O8", 32},
    {"A9", "O9", 37}, {"A10", "O10", 38}, {"T1A", nullptr, 39}, {"T1B", nullptr, 40},
    {"T1R", nullptr, 41}, {"T2A", nullptr, 42}, {"T2B", nullptr, 43}, {"T2R", nullptr, 44},
};
const Terminal kZirkoInouts[] = {
    {"EA9", "IO9", 3},   {"EA10", "IO10", 4}, {"EA11", "IO11", 5}, {"EA12", "IO12", 6},
    {"EA13", "IO13", 7}, {"EA14", "IO14", 8}, {"EA15", "IO15", 9}, {"EA16", "IO16", 10},
};

const Terminal kM2Inputs[] = {
    {"I1", "E1", 15}, {"I2", "E2", 16}, {"I3", "E3", 17}, {"I4", "E4", 18},
    {"T1", nullptr, 11}, {"T2", nullptr, 2}, {"POR", nullptr, 14},
};
const Terminal kM2Outputs[] = {
    {"O1", "A1", 25}, {"O2", "A2", 26}, {"O3", "A3", 27}, {"O4", "A4", 28},
    {"T1A", nullptr, 39}, {"T1B", nullptr, 40}, {"T1R", nullptr, 41},
    {"T2A", nullptr, 42}, {"T2B", nullptr, 43}, {"T2R", nullptr, 44},
};

const Terminal kM2eInputs[] = {
    {"I1", "E1", 15}, {"I2", "E2", 16}, {"I3", "E3", 17}, {"I4", "E4", 18},
    {"I5", "E5", 19}, {"I6", "E6", 20}, {"I7", "E7", 21}, {"I8", "E8", 22},
    {"I9", "E9", 24}, {"C1", nullptr, 4}, {"C2", nullptr, 5}, {"CK", nullptr, 4},
    {"T1", nullptr, 11}, {"T2", nullptr, 2}, {"POR", nullptr, 14},
};
const Terminal kM2eOutputs[] = {
    {"O1", "A1", 25}, {"O2", "A2", 26}, {"O3", "A3", 27}, {"O4", "A4", 28},
    {"O5", "A5", 29}, {"O6", "A6", 30}, {"O7", "A7", 31}, {"O8", "A8", 32},
    {"T1A", nullptr, 39}, {"T1B", nullptr, 40}, {"T1R", nullptr, 41},
    {"T2A", nullptr, 42}, {"T2B", nullptr, 43}, {"T2R", nullptr, 44},
};

#define LIST(a, alloc) {a, static_cast<int>(sizeof(a) / sizeof(a[0])), alloc}
const TerminalList kNone = {nullptr, 0, 0};

const PinMap kMaps[] = {
    {0, "TREVA", LIST(kTrevaInputs, 16), LIST(kTrevaOutputs, 16), kNone, 39},
    {1, "ZIRKO", LIST(kZirkoInputs, 9), LIST(kZirkoOutputs, 16), LIST(kZirkoInouts, 8), 45},
    {4, "ZIRKO_M2", LIST(kM2Inputs, 4), LIST(kM2Outputs, 10), kNone, 17},
    {5, "ZIRKO_M2E", LIST(kM2eInputs, 12), LIST(kM2eOutputs, 14), kNone, 29},
};
#undef LIST

const PinMap* MapOf(int plcType) {
    for (const PinMap& m : kMaps)
        if (m.plcType == plcType) return &m;
    return nullptr;  // 2 and 3 are never stored; such a value wires nothing
}

bool ListHasPin(const TerminalList& l, int pin) {
    for (int i = 0; i < l.count; ++i)
        if (l.entries[i].pin == pin) return true;
    return false;
}

int ListResolve(const TerminalList& l, const char* name) {
    for (int i = 0; i < l.count; ++i) {
        const Terminal& t = l.entries[i];
        if (std::strcmp(t.name1, name) == 0 || (t.name2 && std::strcmp(t.name2, name) == 0))
            return t.pin;
    }
    return 0;
}

int ListNextFree(const TerminalList& l, const int* pinUsed) {
    for (int i = 0; i < l.allocCount && i < l.count; ++i) {
        int pin = l.entries[i].pin;
        if (!pinUsed || !pinUsed[pin - 1]) return pin;
    }
    return 0;
}

// The list that a section takes its pins from first.
const TerminalList* PrimaryList(const PinMap& m, int section) {
    switch (section) {
    case SECTION_INPUT: return &m.inputs;
    case SECTION_OUTPUT: return &m.outputs;
    case SECTION_INOUT: return &m.inouts;
    default: return nullptr;
    }
}

}  // namespace

int SectionOfKind(int kind) {
    switch (kind) {
    case KIND_INPUT:
    case KIND_INPUT_P11:
    case KIND_INPUT_P35:
        return SECTION_INPUT;
    case KIND_OUTPUT: return SECTION_OUTPUT;
    case KIND_INOUT: return SECTION_INOUT;
    default: return SECTION_INTERN;
    }
}

bool IsReservedPin(int pin) { return pin == 1 || pin == 12 || pin == 13 || pin == 23 || pin == 34; }

bool PinValidForSection(int plcType, int section, int pin) {
    if (section == SECTION_INTERN) return true;  // not checked against any list
    const PinMap* m = MapOf(plcType);
    if (!m) return false;
    if (section == SECTION_INOUT && m->inouts.count == 0) return true;  // models without I/O pins
    const TerminalList* l = PrimaryList(*m, section);
    if (l && ListHasPin(*l, pin)) return true;
    // Inputs and outputs may also sit on the I/O pins of a model that has them.
    return section != SECTION_INOUT && ListHasPin(m->inouts, pin);
}

int ResolveTerminalName(int plcType, int section, const char* name) {
    const PinMap* m = MapOf(plcType);
    const TerminalList* l = m ? PrimaryList(*m, section) : nullptr;
    if (!l) return 0;
    int pin = ListResolve(*l, name);
    if (pin == 0 && section != SECTION_INOUT) pin = ListResolve(m->inouts, name);
    return pin;
}

int NextFreePin(int plcType, int section, const int* pinUsed) {
    const PinMap* m = MapOf(plcType);
    const TerminalList* l = m ? PrimaryList(*m, section) : nullptr;
    return l ? ListNextFree(*l, pinUsed) : 0;
}

int PinBudget(int plcType) {
    const PinMap* m = MapOf(plcType);
    return m ? m->budget : 0;
}

const char* DeviceName(int plcType) {
    const PinMap* m = MapOf(plcType);
    return m ? m->device : "";
}
