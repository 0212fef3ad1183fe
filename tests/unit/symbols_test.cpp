#include <gtest/gtest.h>

#include <string>

#include "compiler/front/symbols.h"
#include "compiler/logic/algorithm_choice.h"
#include "front_fixture.h"

using front_test::FrontTest;

namespace {

class SymbolsTest : public FrontTest {
protected:
    void SetUp() override {
        FrontTest::SetUp();
        ASSERT_EQ(InitSymbolTable(), 1);
    }
    void TearDown() override {
        if (CS.DefinitionState) {
            FreeWork(CS.DefinitionState);
            CS.DefinitionState = nullptr;
        }
        ReleaseSymbolTexts();
        FrontTest::TearDown();
    }
    // DefinitionState as the driver allocates it after the declarations.
    void AllocDefinitionState() {
        CS.DefinitionState = static_cast<int*>(AllocWork(static_cast<size_t>(CountVariables()), 4));
        ASSERT_NE(CS.DefinitionState, nullptr);
    }
    int State(const char* name) { return CS.DefinitionState[LookupSymbol(name) - CS.FirstUserSymbol]; }
};

TEST_F(SymbolsTest, ReservedWordsAndLookup) {
    EXPECT_EQ(CS.LastSymbol, 25);
    EXPECT_EQ(CS.FirstUserSymbol, 26);
    const char* words[] = {"PROGRAM", "END_PROGRAM", "VAR_INPUT", "VAR_OUTPUT", "VAR_IN_OUT",
                           "VAR_INTERN", "VAR_ARRAY", "END_VAR", "AT", "AND", "&", "OR", "NOT",
                           "-", "XOR", "IF", "THEN", "ELSE", "ELSIF", "END_IF", "CASE", "OF",
                           "END_CASE", "#NOMIN", "#END_NOMIN"};
    const int codes[] = {256, 257, 258, 259, 260, 261, 262, 263, 264, 265, 265, 267, 268,
                         268, 270, 271, 272, 273, 274, 275, 276, 277, 278, 279, 280};
    for (int i = 0; i < 25; ++i) {
        EXPECT_EQ(LookupSymbol(words[i]), i + 1) << words[i];
        EXPECT_EQ(SymbolTable[i + 1].Kind, codes[i]) << words[i];
    }
    EXPECT_EQ(LookupSymbol("AND"), 10);
    EXPECT_EQ(LookupSymbol("&"), 11);
    EXPECT_EQ(LookupSymbol("and"), 0);
    EXPECT_EQ(LookupSymbol("AN"), 0);
    EXPECT_EQ(LookupSymbol(""), 0);
    EXPECT_EQ(CountVariables(), 0);
}

TEST_F(SymbolsTest, InsertFillsRecordAndCountsVariables) {
    EXPECT_EQ(InsertSymbol("x", KIND_INPUT, 15, nullptr), 1);
    EXPECT_EQ(LookupSymbol("x"), 26);
    EXPECT_EQ(InsertSymbol("y", KIND_OUTPUT, 25, nullptr), 1);
    EXPECT_EQ(InsertSymbol("grp", KIND_GROUP, 3, "a,b,c;"), 1);
    const SymbolRecord& g = SymbolTable[LookupSymbol("grp")];
    EXPECT_EQ(g.Kind, KIND_GROUP);
    EXPECT_EQ(g.Pin, 3);
    ASSERT_NE(g.Text, nullptr);
    EXPECT_STREQ(g.Text, "a,b,c;");
    EXPECT_EQ(SymbolTable[26].Pin, 15);
    EXPECT_EQ(SymbolTable[26].Emitted, 0);
    EXPECT_EQ(SymbolTable[26].Text, nullptr);
    EXPECT_EQ(CountVariables(), 2);
    // The first match wins: InsertSymbol itself does not look for duplicates.
    EXPECT_EQ(InsertSymbol("x", KIND_OUTPUT, 0, nullptr), 1);
    EXPECT_EQ(LookupSymbol("x"), 26);
    long before = WorkMemoryOutstandingBlocks();
    ReleaseSymbolTexts();
    EXPECT_EQ(WorkMemoryOutstandingBlocks(), before - 1);
    EXPECT_EQ(SymbolTable[LookupSymbol("grp")].Text, nullptr);
}

// Lookup answers as a scan of records 1..LastSymbol from the first: a name
// entered twice finds its first record, names cut to fifteen characters
// match only in full, and records beyond LastSymbol or from before the
// table was cleared are not found.
TEST_F(SymbolsTest, LookupFollowsTheTableAsItChanges) {
    // The name index and the reference's scan, both.
    for (int reference : {0, 1}) {
        SCOPED_TRACE(reference ? "scan" : "index");
        UseReferenceAlgorithms = reference;
        ASSERT_EQ(InitSymbolTable(), 1);
        EXPECT_EQ(LookupSymbol("dup"), 0);
        ASSERT_EQ(InsertSymbol("dup", 1, 0, nullptr), 1);
        ASSERT_EQ(InsertSymbol("other", 1, 0, nullptr), 1);
        ASSERT_EQ(InsertSymbol("dup", 2, 0, nullptr), 1);
        EXPECT_EQ(LookupSymbol("dup"), 26);
        EXPECT_EQ(LookupSymbol("other"), 27);
        ASSERT_EQ(InsertSymbol("abcdefghijklmnopq", 1, 0, nullptr), 1);   // kept as 15 characters
        EXPECT_EQ(LookupSymbol("abcdefghijklmno"), 29);
        EXPECT_EQ(LookupSymbol("abcdefghijklmnopq"), 0);
        const int last = CS.LastSymbol;
        CS.LastSymbol = 26;
        EXPECT_EQ(LookupSymbol("other"), 0);
        EXPECT_EQ(LookupSymbol("dup"), 26);
        CS.LastSymbol = last;
        EXPECT_EQ(LookupSymbol("other"), 27);
        ASSERT_EQ(InitSymbolTable(), 1);
        EXPECT_EQ(LookupSymbol("dup"), 0);
        EXPECT_EQ(LookupSymbol("END_CASE"), 23);
        // Every record of a full table is found at its own index.
        for (int i = 0; CS.LastSymbol < kSymbolTableSize - 1; ++i)
            ASSERT_EQ(InsertSymbol(("s" + std::to_string(i)).c_str(), 1, 0, nullptr), 1);
        for (int i = 0; i < kSymbolTableSize - 1 - 25; ++i)
            EXPECT_EQ(LookupSymbol(("s" + std::to_string(i)).c_str()), 26 + i);
    }
    UseReferenceAlgorithms = 0;
}

TEST_F(SymbolsTest, TableHolds174UserSymbols) {
    for (int i = 1; i <= 174; ++i) {
        std::string name = "v" + std::to_string(i);
        ASSERT_EQ(InsertSymbol(name.c_str(), KIND_INTERN, 0, nullptr), 1) << i;
    }
    EXPECT_EQ(CS.LastSymbol, 199);
    EXPECT_TRUE(host.diags.empty());
    EXPECT_EQ(InsertSymbol("v175", KIND_INTERN, 0, nullptr), 0);
    EXPECT_EQ(CS.LastSymbol, 199);
    EXPECT_EQ(LookupSymbol("v175"), 0);
    EXPECT_EQ(LookupSymbol("v174"), 199);
    ASSERT_EQ(host.diags.size(), 1u);
    EXPECT_EQ(host.diags[0].text, "Symboltabelle voll");
    EXPECT_EQ(host.diags[0].line, 0);
    EXPECT_EQ(CS.ErrorCount, 1);
}

TEST_F(SymbolsTest, TextWithoutMemoryReportsTwice) {
    WorkMemoryResetCounters();
    WorkMemoryFailAt(1);
    EXPECT_EQ(InsertSymbol("grp", KIND_GROUP, 2, "a,b;"), -1);
    std::vector<std::string> want = {"Speicher voll", "Speicher voll"};
    EXPECT_EQ(host.Texts(), want);
}

TEST_F(SymbolsTest, AssignmentBookkeeping) {
    InsertSymbol("in", KIND_INPUT, 15, nullptr);
    InsertSymbol("q", KIND_OUTPUT, 25, nullptr);
    InsertSymbol("r", KIND_OUTPUT, 26, nullptr);
    InsertSymbol("m", KIND_INTERN, 0, nullptr);
    InsertSymbol("t", KIND_INPUT_P11, 11, nullptr);
    AllocDefinitionState();

    const char* kInput = "Variable ist Schluesselwort oder Input";
    const char* kSelection = "Variable wurde in selection_statement bereits definiert";
    const char* kIsA = "Variable wurde bereits is a_statement definiert";
    struct Step { const char* name; int kind; int result; const char* diag; const char* probe; int state; } steps[] = {
        {"in", 1, 1, kInput, nullptr, 0},
        {"IF", 1, 1, kInput, nullptr, 0},
        {"nope", 1, 1, kInput, nullptr, 0},
        {"t", 1, 0, nullptr, "t", 1},       // only KIND_INPUT is refused
        {"q", 1, 0, nullptr, "q", 1},
        {"q", 1, 1, kSelection, "q", 1},
        {"q", 2, 1, kIsA, "q", 2},
        {"q", 1, 1, kSelection, "q", 2},    // 2 stays
        {"r", 3, 0, nullptr, "r", 3},
        {"r", 2, 0, nullptr, "r", 2},
        {"r", 1, 1, kSelection, "r", 2},
        {"m", 7, 0, nullptr, "m", 0},       // other kinds: no check, no change
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(std::string(s.name) + " kind " + std::to_string(s.kind));
        host.diags.clear();
        EXPECT_EQ(RecordDefinition(s.name, s.kind, 0), s.result);
        if (s.diag) {
            ASSERT_EQ(host.diags.size(), 1u);
            EXPECT_EQ(host.diags[0].text, s.diag);
            EXPECT_EQ(host.diags[0].line, CS.LineNumber);
        } else {
            EXPECT_TRUE(host.diags.empty());
        }
        if (s.probe) {
            EXPECT_EQ(State(s.probe), s.state);
        }
    }
    EXPECT_EQ(State("in"), 0);
}

TEST_F(SymbolsTest, AssignmentWithoutMemoryChangesNothing) {
    InsertSymbol("q", KIND_OUTPUT, 25, nullptr);
    AllocDefinitionState();
    WorkMemoryResetCounters();
    WorkMemoryFailAt(1);
    EXPECT_EQ(RecordDefinition("q", 1, 0), -1);
    EXPECT_EQ(State("q"), 0);
    std::vector<std::string> want = {"Speicher voll", "Speicher voll"};
    EXPECT_EQ(host.Texts(), want);
    long outstanding = WorkMemoryOutstandingBlocks();
    WorkMemoryFailAt(0);
    EXPECT_EQ(RecordDefinition("q", 1, 0), 0);
    EXPECT_EQ(State("q"), 1);
    EXPECT_EQ(WorkMemoryOutstandingBlocks(), outstanding);  // the copy is given back
}

TEST_F(SymbolsTest, Conditions) {
    InsertSymbol("q", KIND_OUTPUT, 25, nullptr);
    InsertSymbol("io", KIND_INOUT, 3, nullptr);
    InsertSymbol("m", KIND_INTERN, 0, nullptr);
    InsertSymbol("x", KIND_INPUT, 15, nullptr);
    const char* kOeAgain = "F\xFC" "r diese Variable wurde bereits eine OE-Bed. formuliert";
    const char* kOeOnly = "OE-Bedingungen koennen nur fuer Outputs definiert werden.";
    const char* kReAgain = "F\xFC" "r diese Variable wurde bereits eine Resetbed. formuliert";
    const char* kClkAgain = "F\xFC" "r diese Variable wurde bereits eine Clockbed. formuliert";
    const char* kCritAgain = "F\xFC" "r diese Variable wurde bereits die Critical-Bedingung gesetzt";
    const char* kCritOnly = "CRIT-Bedingungen koennen nur fuer Outputs definiert werden.";
    const char* kIoOe = "Pin wurde als I/O-Pin definiert, Definition der oe-Bedingung fehlt";
    struct Step { const char* name; int mode; int result; const char* diag; } steps[] = {
        {"io", 5, 1, kIoOe},
        {"q", 1, 0, nullptr},
        {"q", 1, 1, kOeAgain},
        {"io", 1, 0, nullptr},
        {"io", 1, 0, nullptr},
        {"io", 5, 0, nullptr},
        {"m", 1, 1, kOeOnly},
        {"x", 1, 1, kOeOnly},
        {"m", 2, 0, nullptr},
        {"m", 2, 1, kReAgain},
        {"x", 3, 0, nullptr},
        {"x", 3, 1, kClkAgain},
        {"q", 4, 0, nullptr},
        {"q", 4, 1, kCritAgain},
        {"io", 4, 0, nullptr},
        {"io", 4, 0, nullptr},
        {"m", 4, 1, kCritOnly},
        {"q", 9, 0, nullptr},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(std::string(s.name) + " mode " + std::to_string(s.mode));
        host.diags.clear();
        EXPECT_EQ(RecordDefinition(s.name, 0, s.mode), s.result);
        if (s.diag) {
            ASSERT_EQ(host.diags.size(), 1u);
            EXPECT_EQ(host.diags[0].text, s.diag);
            EXPECT_NE(host.diags[0].line, 0);
        } else {
            EXPECT_TRUE(host.diags.empty());
        }
    }
    EXPECT_EQ(SymbolTable[LookupSymbol("q")].Critical, 1);
    EXPECT_EQ(SymbolTable[LookupSymbol("m")].HasReset, 1);
    EXPECT_EQ(SymbolTable[LookupSymbol("x")].HasClock, 1);
    EXPECT_EQ(SymbolTable[0].HasReset, 0);
}

TEST_F(SymbolsTest, InitEmptiesTheTable) {
    InsertSymbol("x", KIND_INPUT, 15, nullptr);
    ASSERT_EQ(InitSymbolTable(), 1);
    EXPECT_EQ(CS.LastSymbol, 25);
    EXPECT_EQ(LookupSymbol("x"), 0);
}

}  // namespace
