#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "compiler/front/pin_maps.h"
#include "compiler/front/symbols.h"

namespace {

struct Entry {
    std::vector<const char*> names;
    int pin;
};

struct Model {
    int plcType;
    const char* device;
    int budget;
    std::vector<Entry> inputs;
    int inputAlloc;
    std::vector<Entry> outputs;
    int outputAlloc;
    std::vector<Entry> inouts;
};

std::string Num(const char* prefix, int i) { return prefix + std::to_string(i); }

// The wiring tables as the controllers' documentation lists them.
std::vector<Model> Models() {
    static std::deque<std::string> store;  // keeps generated names alive and in place
    auto name = [](const std::string& s) {
        store.push_back(s);
        return store.back().c_str();
    };
    std::vector<Model> models;

    Model treva{0, "TREVA", 39, {}, 16, {}, 16, {}};
    const int trevaIn[] = {15, 16, 17, 18, 19, 20, 21, 22, 3, 4, 5, 6, 7, 8, 9, 10};
    for (int i = 1; i <= 16; ++i) treva.inputs.push_back({{name(Num("E", i)), name(Num("I", i))}, trevaIn[i - 1]});
    treva.inputs.push_back({{"T1"}, 11});
    treva.inputs.push_back({{"T2"}, 35});
    treva.inputs.push_back({{"T3"}, 33});
    treva.inputs.push_back({{"T4"}, 2});
    treva.inputs.push_back({{"POR"}, 14});
    treva.inputs.push_back({{"CS5"}, 24});
    treva.inputs.push_back({{"CS6"}, 36});
    const int trevaOut[] = {25, 26, 27, 28, 29, 30, 31, 32, 37, 38, 39, 40, 41, 42, 43, 44};
    for (int i = 1; i <= 16; ++i) treva.outputs.push_back({{name(Num("A", i)), name(Num("O", i))}, trevaOut[i - 1]});
    models.push_back(treva);

    Model zirko{1, "ZIRKO", 45, {}, 9, {}, 16, {}};
    for (int i = 1; i <= 8; ++i) zirko.inputs.push_back({{name(Num("E", i)), name(Num("I", i))}, 14 + i});
    zirko.inputs.push_back({{"E9", "I9"}, 24});
    zirko.inputs.push_back({{"T1"}, 11});
    zirko.inputs.push_back({{"T2"}, 2});
    zirko.inputs.push_back({{"POR"}, 14});
    zirko.inputs.push_back({{"CK"}, 24});
    for (int i = 1; i <= 8; ++i) zirko.outputs.push_back({{name(Num("A", i)), name(Num("O", i))}, 24 + i});
    zirko.outputs.push_back({{"A9", "O9"}, 37});
    zirko.outputs.push_back({{"A10", "O10"}, 38});
    const char* timers[] = {"T1A", "T1B", "T1R", "T2A", "T2B", "T2R"};
    for (int i = 0; i < 6; ++i) zirko.outputs.push_back({{timers[i]}, 39 + i});
    for (int i = 9; i <= 16; ++i) zirko.inouts.push_back({{name(Num("EA", i)), name(Num("IO", i))}, i - 6});
    models.push_back(zirko);

    Model m2{4, "ZIRKO_M2", 17, {}, 4, {}, 10, {}};
    for (int i = 1; i <= 4; ++i) m2.inputs.push_back({{name(Num("I", i)), name(Num("E", i))}, 14 + i});
    m2.inputs.push_back({{"T1"}, 11});
    m2.inputs.push_back({{"T2"}, 2});
    m2.inputs.push_back({{"POR"}, 14});
    for (int i = 1; i <= 4; ++i) m2.outputs.push_back({{name(Num("O", i)), name(Num("A", i))}, 24 + i});
    for (int i = 0; i < 6; ++i) m2.outputs.push_back({{timers[i]}, 39 + i});
    models.push_back(m2);

    Model m2e{5, "ZIRKO_M2E", 29, {}, 12, {}, 14, {}};
    for (int i = 1; i <= 8; ++i) m2e.inputs.push_back({{name(Num("I", i)), name(Num("E", i))}, 14 + i});
    m2e.inputs.push_back({{"I9", "E9"}, 24});
    m2e.inputs.push_back({{"C1"}, 4});
    m2e.inputs.push_back({{"C2"}, 5});
    m2e.inputs.push_back({{"CK"}, 4});
    m2e.inputs.push_back({{"T1"}, 11});
    m2e.inputs.push_back({{"T2"}, 2});
    m2e.inputs.push_back({{"POR"}, 14});
    for (int i = 1; i <= 8; ++i) m2e.outputs.push_back({{name(Num("O", i)), name(Num("A", i))}, 24 + i});
    for (int i = 0; i < 6; ++i) m2e.outputs.push_back({{timers[i]}, 39 + i});
    models.push_back(m2e);
    return models;
}

bool ListHas(const std::vector<Entry>& l, int pin) {
    for (const Entry& e : l)
        if (e.pin == pin) return true;
    return false;
}

// The first entry of l (then, for inputs and outputs, of io) named n.
int FirstPinNamed(const std::vector<Entry>& l, const std::vector<Entry>& io, const std::string& n) {
    for (const Entry& e : l)
        for (const char* x : e.names)
            if (n == x) return e.pin;
    for (const Entry& e : io)
        for (const char* x : e.names)
            if (n == x) return e.pin;
    return 0;
}

// Pins in the order automatic allocation hands them out, starting empty.
std::vector<int> AllocationOrder(int plcType, int section) {
    int used[44] = {};
    std::vector<int> got;
    for (int guard = 0; guard < 50; ++guard) {
        int p = NextFreePin(plcType, section, used);
        if (p == 0) break;
        EXPECT_GE(p, 1);
        EXPECT_LE(p, 44);
        got.push_back(p);
        used[p - 1] = 1;
    }
    return got;
}

std::vector<int> ExpectedOrder(const std::vector<Entry>& l, int alloc) {
    std::vector<int> want;
    for (int i = 0; i < alloc && i < static_cast<int>(l.size()); ++i) {
        bool dup = false;
        for (int p : want) dup |= (p == l[i].pin);
        if (!dup) want.push_back(l[i].pin);
    }
    return want;
}

TEST(PinMaps, DeviceBudgetAndReservedPins) {
    for (const Model& m : Models()) {
        SCOPED_TRACE(m.device);
        EXPECT_STREQ(DeviceName(m.plcType), m.device);
        EXPECT_EQ(PinBudget(m.plcType), m.budget);
        // The budget is the input list plus the output list, the I/O list twice.
        EXPECT_EQ(PinBudget(m.plcType),
                  static_cast<int>(m.inputs.size() + m.outputs.size() + 2 * m.inouts.size()));
    }
    for (int p = 0; p <= 45; ++p)
        EXPECT_EQ(IsReservedPin(p), p == 1 || p == 12 || p == 13 || p == 23 || p == 34) << p;
}

TEST(PinMaps, NamesResolvePerSection) {
    for (const Model& m : Models()) {
        SCOPED_TRACE(m.device);
        std::vector<Entry> none;
        // Every name of every list, asked in every section.
        std::vector<const std::vector<Entry>*> lists = {&m.inputs, &m.outputs, &m.inouts};
        for (const auto* l : lists) {
            for (const Entry& e : *l) {
                for (const char* n : e.names) {
                    SCOPED_TRACE(n);
                    EXPECT_EQ(ResolveTerminalName(m.plcType, SECTION_INPUT, n), FirstPinNamed(m.inputs, m.inouts, n));
                    EXPECT_EQ(ResolveTerminalName(m.plcType, SECTION_OUTPUT, n), FirstPinNamed(m.outputs, m.inouts, n));
                    EXPECT_EQ(ResolveTerminalName(m.plcType, SECTION_INOUT, n), FirstPinNamed(m.inouts, none, n));
                    EXPECT_EQ(ResolveTerminalName(m.plcType, SECTION_INTERN, n), 0);
                }
            }
        }
        for (const char* bad : {"FOO", "e1", "T", "T1AB", "", "E17", "A0"})
            for (int s = 0; s < 4; ++s) EXPECT_EQ(ResolveTerminalName(m.plcType, s, bad), 0) << bad;
    }
}

TEST(PinMaps, ValidPinsPerSection) {
    for (const Model& m : Models()) {
        SCOPED_TRACE(m.device);
        bool hasIo = !m.inouts.empty();
        for (int p = 1; p <= 44; ++p) {
            if (IsReservedPin(p)) continue;
            SCOPED_TRACE(p);
            EXPECT_EQ(PinValidForSection(m.plcType, SECTION_INPUT, p), ListHas(m.inputs, p) || ListHas(m.inouts, p));
            EXPECT_EQ(PinValidForSection(m.plcType, SECTION_OUTPUT, p), ListHas(m.outputs, p) || ListHas(m.inouts, p));
            EXPECT_EQ(PinValidForSection(m.plcType, SECTION_INOUT, p), hasIo ? ListHas(m.inouts, p) : true);
            EXPECT_TRUE(PinValidForSection(m.plcType, SECTION_INTERN, p));
        }
    }
}

TEST(PinMaps, AllocationOrder) {
    for (const Model& m : Models()) {
        SCOPED_TRACE(m.device);
        EXPECT_EQ(AllocationOrder(m.plcType, SECTION_INPUT), ExpectedOrder(m.inputs, m.inputAlloc));
        EXPECT_EQ(AllocationOrder(m.plcType, SECTION_OUTPUT), ExpectedOrder(m.outputs, m.outputAlloc));
        EXPECT_EQ(AllocationOrder(m.plcType, SECTION_INOUT), ExpectedOrder(m.inouts, static_cast<int>(m.inouts.size())));
        EXPECT_TRUE(AllocationOrder(m.plcType, SECTION_INTERN).empty());
    }
}

TEST(PinMaps, WorkedExamples) {
    EXPECT_EQ(ResolveTerminalName(0, SECTION_INPUT, "E9"), 3);
    EXPECT_EQ(ResolveTerminalName(0, SECTION_INPUT, "I9"), 3);
    EXPECT_EQ(ResolveTerminalName(0, SECTION_OUTPUT, "A1"), 25);
    EXPECT_EQ(ResolveTerminalName(0, SECTION_INPUT, "A1"), 0);
    EXPECT_EQ(ResolveTerminalName(1, SECTION_INPUT, "EA12"), 6);
    EXPECT_EQ(ResolveTerminalName(1, SECTION_INPUT, "CK"), 24);
    EXPECT_EQ(ResolveTerminalName(4, SECTION_OUTPUT, "T1A"), 39);
    EXPECT_EQ(ResolveTerminalName(4, SECTION_OUTPUT, "T1"), 0);
    EXPECT_EQ(ResolveTerminalName(0, SECTION_INPUT, "T2"), 35);
    std::vector<int> m2e = {15, 16, 17, 18, 19, 20, 21, 22, 24, 4, 5};
    EXPECT_EQ(AllocationOrder(5, SECTION_INPUT), m2e);
    EXPECT_EQ(AllocationOrder(4, SECTION_INPUT).size(), 4u);
    int used[44] = {};
    used[2] = 1;  // pin 3 taken: the I/O allocation of ZIRKO L2 goes on with 4
    EXPECT_EQ(NextFreePin(1, SECTION_INOUT, used), 4);
    EXPECT_EQ(NextFreePin(0, SECTION_INOUT, nullptr), 0);
    EXPECT_EQ(SectionOfKind(KIND_INPUT), SECTION_INPUT);
    EXPECT_EQ(SectionOfKind(KIND_OUTPUT), SECTION_OUTPUT);
    EXPECT_EQ(SectionOfKind(KIND_INOUT), SECTION_INOUT);
    EXPECT_EQ(SectionOfKind(KIND_INTERN), SECTION_INTERN);
}

TEST(PinMaps, UnknownModelWiresNothing) {
    for (int plc : {2, 3, -1, 6}) {
        EXPECT_EQ(NextFreePin(plc, SECTION_INPUT, nullptr), 0);
        EXPECT_EQ(ResolveTerminalName(plc, SECTION_INPUT, "E1"), 0);
        EXPECT_FALSE(PinValidForSection(plc, SECTION_INPUT, 15));
        EXPECT_STREQ(DeviceName(plc), "");
    }
}

}  // namespace
