#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "compiler/front/declarations.h"
#include "compiler/front/symbols.h"
#include "front_fixture.h"

using front_test::Diag;
using front_test::FrontTest;

namespace {

const char* const kReserviert = "Pin ist reserviert";
const char* const kZuGross = "Pinnummer zu gro\xDF" " oder negativ";
const char* const kSemikolon = "; fehlt";
const char* const kNichtKorrekt = "Bezeichner nicht korrekt";
const char* const kVergeben = "Dieser Pin ist bereits vergeben";
const char* const kZahlOderSymbol = "Pinnummer mu\xDF" " Zahl oder spezielles Symbol sein";
const char* const kKeineInOut = "Es wurden keine In- oder keine Outputs deklariert\nSyntaxanalyse wird nicht fortgesetzt";
const char* const kKennung = "Kennung wurde bereits vergeben\n oder ist reserviertes Schl\xFC" "sselwort";

class DeclarationsTest : public FrontTest {
protected:
    void SetUp() override {
        FrontTest::SetUp();
        savedPlc = PlcType;
    }
    void TearDown() override {
        ReleaseSymbolTexts();
        PlcType = savedPlc;
        FrontTest::TearDown();
    }
    // Runs the declarations on a source; the diagnostics are in host.diags.
    int Parse(const std::string& src, int plc) {
        PlcType = plc;
        host.diags.clear();
        Source(src);
        EXPECT_EQ(InitSymbolTable(), 1);
        int r = ParseDeclarations(nullptr);
        EXPECT_EQ(CS.PinUsed, nullptr);
        return r;
    }
    const SymbolRecord* Sym(const char* name) {
        int i = LookupSymbol(name);
        return i >= CS.FirstUserSymbol ? &SymbolTable[i] : nullptr;
    }
    int PinOf(const char* name) {
        const SymbolRecord* s = Sym(name);
        return s ? s->Pin : -1;
    }
    int savedPlc = 1;
};

// A source with at least one input and one output, so that the limits pass.
std::string Prog(const std::string& decls) { return "PROGRAM p\n" + decls + "\nq := e;"; }

TEST_F(DeclarationsTest, AllocationAfterExplicitPins) {
    EXPECT_EQ(Parse(Prog("VAR_INPUT x; y AT 16; END_VAR;\nVAR_OUTPUT o; END_VAR;"), 0), 1);
    EXPECT_EQ(PinOf("y"), 16);
    EXPECT_EQ(PinOf("x"), 15);
    EXPECT_EQ(PinOf("o"), 25);
    EXPECT_TRUE(host.diags.empty());
    EXPECT_EQ(Sym("x")->Kind, KIND_INPUT);
    EXPECT_EQ(Sym("o")->Kind, KIND_OUTPUT);
    // The stream is left at the first statement.
    char t[kTokenBufferSize];
    EXPECT_EQ(ReadIdentifier(t), 1);
    EXPECT_STREQ(t, "q");
    EXPECT_EQ(CS.LineNumber, 4);
}

struct PinCase {
    int plc;
    const char* section;
    const char* decl;
    int pin;                         // pin of x afterwards, -1 not entered
    std::vector<std::string> diags;  // in order
};

TEST_F(DeclarationsTest, AtClauses) {
    const PinCase cases[] = {
        {0, "VAR_INPUT", "x AT 12;", -1, {kReserviert}},
        {0, "VAR_INPUT", "x AT 0;", -1, {kZuGross}},
        {0, "VAR_INPUT", "x AT 45;", -1, {kZuGross}},
        {0, "VAR_INPUT", "x AT 123;", -1, {kReserviert, kSemikolon, kNichtKorrekt}},
        {0, "VAR_INPUT", "x AT FOO;", -1, {kZahlOderSymbol}},
        {0, "VAR_INPUT", "x AT 25;", -1, {"Pin als Input nicht zul\xE4" "ssig"}},
        {0, "VAR_OUTPUT", "x AT 15;", -1, {"Pin als Output nicht zul\xE4" "ssig"}},
        {0, "VAR_INTERN", "x AT 15;", -1, {"Bei internen Variablen keine Pinzuweisung m\xF6" "glich"}},
        {0, "VAR_INPUT", "x AT E9;", 3, {}},
        {0, "VAR_INPUT", "x AT I9 ;", 3, {}},
        {0, "VAR_INPUT", "x ATE1;", 15, {}},
        {0, "VAR_INPUT", "x AT 7;", 7, {}},
        {0, "VAR_INPUT", "x AT 3 ;", 3, {}},
        {0, "VAR_INPUT", "x AT T2;", 35, {}},
        {1, "VAR_INPUT", "x AT EA12;", 6, {}},
        {1, "VAR_OUTPUT", "x AT IO9;", 3, {}},
        {1, "VAR_IN_OUT", "x;", 3, {}},
        {0, "VAR_IN_OUT", "x AT 40;", 40, {}},   // no I/O list: any unreserved pin
        {0, "VAR_IN_OUT", "x;", 0, {"Keine Outputpins mehr zu vergeben"}},
        {4, "VAR_OUTPUT", "x AT T1A;", 39, {}},
        {0, "VAR_INPUT", "x AT E123;", -1, {kZahlOderSymbol}},
    };
    for (const PinCase& c : cases) {
        SCOPED_TRACE(std::string(c.section) + " " + c.decl + " on " + std::to_string(c.plc));
        std::string src = Prog(std::string(c.section) + " " + c.decl + " END_VAR;\n"
                               "VAR_INPUT e AT POR; END_VAR; VAR_OUTPUT q AT 26; END_VAR;");
        if (c.plc == 1 || c.plc == 4) src = Prog(std::string(c.section) + " " + c.decl +
                                                 " END_VAR;\nVAR_INPUT e AT POR; END_VAR; VAR_OUTPUT q AT T2R; END_VAR;");
        EXPECT_EQ(Parse(src, c.plc), 1);
        EXPECT_EQ(host.Texts(), c.diags);
        EXPECT_EQ(PinOf("x"), c.pin);
    }
}

TEST_F(DeclarationsTest, PinKindsAndTakenPins) {
    EXPECT_EQ(Parse(Prog("VAR_INPUT a AT 15; b AT E1; c AT T1; d AT T2; e AT T3; END_VAR;\n"
                         "VAR_OUTPUT q; END_VAR;"), 0), 1);
    std::vector<std::string> want = {kVergeben};
    EXPECT_EQ(host.Texts(), want);
    EXPECT_EQ(Sym("b"), nullptr);
    EXPECT_EQ(Sym("c")->Kind, KIND_INPUT_P11);
    EXPECT_EQ(Sym("c")->Pin, 11);
    EXPECT_EQ(Sym("d")->Kind, KIND_INPUT_P35);
    EXPECT_EQ(Sym("e")->Kind, KIND_INPUT_P11);
    EXPECT_EQ(Sym("e")->Pin, 33);

    EXPECT_EQ(Parse(Prog("VAR_INPUT a AT 15; b AT 15; END_VAR; VAR_OUTPUT q; END_VAR;"), 0), 1);
    EXPECT_EQ(host.Texts(), want);
    // ZIRKO L2: E9 and CK share pin 24.
    EXPECT_EQ(Parse(Prog("VAR_INPUT x AT E9; y AT CK; END_VAR; VAR_OUTPUT q; END_VAR;"), 1), 1);
    EXPECT_EQ(host.Texts(), want);
    EXPECT_EQ(Sym("y"), nullptr);
}

TEST_F(DeclarationsTest, SectionKeywordsAndVariants) {
    EXPECT_EQ(Parse(Prog("VARINPUT a; END_VAR;\nVAROUTPUT b; ENDVAR;\nVARINOUT c; END_VAR;\n"
                         "VAR_INOUT d; END_VAR; VARIN_OUT f; END_VAR;\nVAR g; END_VAR; VARINTERN h; END_VAR;"), 1),
              1);
    std::vector<Diag> got = host.diags;
    std::vector<std::pair<int, std::string>> want = {
        {1, "Schl\xFC" "sselwort ist VAR_INPUT"},   {2, "Schl\xFC" "sselwort ist VAR_OUTPUT"},
        {2, "Schl\xFC" "sselwort ist END_VAR"},     {3, "Schl\xFC" "sselwort ist VAR_IN_OUT"},
        {4, "Schl\xFC" "sselwort ist VAR_IN_OUT"},  {4, "Schl\xFC" "sselwort ist VAR_IN_OUT"},
        {5, "Schl\xFC" "sselwort ist VAR_INTERN"},
    };
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(got[i].text, want[i].second) << i;
        EXPECT_EQ(got[i].severity, 0) << i;
        EXPECT_EQ(got[i].line, want[i].first + 1) << i;
    }
    EXPECT_EQ(Sym("c")->Kind, KIND_INOUT);
    EXPECT_EQ(Sym("g")->Kind, KIND_INTERN);
    EXPECT_EQ(Sym("h")->Kind, KIND_INTERN);
    EXPECT_EQ(CS.ErrorCount, 0);
}

TEST_F(DeclarationsTest, NamesAndSectionEnds) {
    // END_VAR without ";".
    EXPECT_EQ(Parse(Prog("VAR_INPUT e; END_VAR VAR_OUTPUT q; END_VAR;"), 0), 1);
    std::vector<std::string> semi = {kSemikolon};
    EXPECT_EQ(host.Texts(), semi);
    EXPECT_NE(Sym("q"), nullptr);
    // A reserved word ends its section.
    EXPECT_EQ(Parse(Prog("VAR_INPUT e; IF; z; END_VAR; VAR_OUTPUT q; END_VAR;"), 0), 1);
    ASSERT_FALSE(host.diags.empty());
    EXPECT_EQ(host.diags[0].text, "Reserviertes Schl\xFC" "sselwort");
    EXPECT_EQ(Sym("IF"), nullptr);
    EXPECT_EQ(Sym("z"), nullptr);
    // A name declared twice.
    EXPECT_EQ(Parse(Prog("VAR_INPUT e; e AT 3; END_VAR; VAR_OUTPUT q; END_VAR;"), 0), 1);
    std::vector<std::string> twice = {kKennung};
    EXPECT_EQ(host.Texts(), twice);
    EXPECT_EQ(PinOf("e"), 15);
}

TEST_F(DeclarationsTest, FatalChecks) {
    struct Case { int plc; std::string src; std::vector<std::string> diags; } cases[] = {
        {0, "PROGRAM p; VAR_INPUT a; END_VAR;", {kNichtKorrekt, kKeineInOut}},
        {0, Prog("VAR_INPUT a; END_VAR;"), {kKeineInOut}},
        {0, "no header here", {"PROGRAM-Statement nicht gefunden"}},
        {0, "PROGRAM", {kNichtKorrekt, "Programmname fehlt oder ist nicht korrekt", kNichtKorrekt, kKeineInOut}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.src);
        EXPECT_EQ(Parse(c.src, c.plc), 1);
        EXPECT_EQ(host.Texts(), c.diags);
        EXPECT_EQ(CS.ErrorCount, 10);
    }
}

TEST_F(DeclarationsTest, DeviceLimits) {
    auto many = [](const char* section, const char* prefix, int n) {
        std::string s = std::string(section) + " ";
        for (int i = 0; i < n; ++i) s += prefix + std::to_string(i) + "; ";
        return s + "END_VAR;\n";
    };
    // ZIRKO M2: five inputs without AT, one gets no pin; 18 in all exceeds 17.
    EXPECT_EQ(Parse(Prog(many("VAR_INPUT", "i", 5) + many("VAR_OUTPUT", "o", 13)), 4), 1);
    std::vector<std::string> want = {"Keine Inputpins mehr zu vergeben", "Keine Outputpins mehr zu vergeben",
                                     "Keine Outputpins mehr zu vergeben", "Keine Outputpins mehr zu vergeben",
                                     "Der IC hat nur 39 verfuegbare Pins"};
    EXPECT_EQ(host.Texts(), want);
    EXPECT_EQ(CS.ErrorCount, 10);
    EXPECT_EQ(PinOf("i4"), 0);
    EXPECT_EQ(PinOf("o9"), 44);
    // 65 internal variables.
    EXPECT_EQ(Parse(Prog(many("VAR_INPUT", "i", 1) + many("VAR_OUTPUT", "o", 1) + many("VAR", "m", 65)), 0), 1);
    std::vector<std::string> interns = {"Es gibt maximal 64 interne Variablen"};
    EXPECT_EQ(host.Texts(), interns);
    EXPECT_EQ(Parse(Prog(many("VAR_INPUT", "i", 1) + many("VAR_OUTPUT", "o", 1) + many("VAR", "m", 64)), 0), 1);
    EXPECT_TRUE(host.diags.empty());
    EXPECT_EQ(CS.ErrorCount, 0);
    // 33 outputs on ZIRKO L2 (45 pins): only the 16 outputs get pins, 33 > 32.
    EXPECT_EQ(Parse(Prog(many("VAR_INPUT", "i", 1) + many("VAR_OUTPUT", "o", 33)), 1), 1);
    ASSERT_FALSE(host.diags.empty());
    EXPECT_EQ(host.diags.back().text, "Zu viele Fehler");  // the limit counts the 17 pin errors
    EXPECT_EQ(CS.ErrorCount, 10);
}

TEST_F(DeclarationsTest, Groups) {
    EXPECT_EQ(Parse(Prog("VAR_INPUT a; b; c; END_VAR; VAR_OUTPUT q; END_VAR;\n"
                         "VAR_ARRAY grp [a, b, c]; g2 [a; b]; END_VAR;"), 0), 1);
    std::vector<std::string> want = {"Trennzeichen ist ,"};
    EXPECT_EQ(host.Texts(), want);
    ASSERT_NE(Sym("grp"), nullptr);
    EXPECT_EQ(Sym("grp")->Kind, KIND_GROUP);
    EXPECT_EQ(Sym("grp")->Pin, 3);
    EXPECT_STREQ(Sym("grp")->Text, "a,b,c;");
    ASSERT_NE(Sym("g2"), nullptr);
    EXPECT_EQ(Sym("g2")->Pin, 2);
    EXPECT_STREQ(Sym("g2")->Text, "a,b;");
    char t[kTokenBufferSize];
    EXPECT_EQ(ReadIdentifier(t), 1);
    EXPECT_STREQ(t, "q");
}

TEST_F(DeclarationsTest, GroupErrors) {
    const char* kUnbekannt = "Variable im Array wurde vorher nicht deklariert\n oder ist reserviertes Schl\xFC" "sselwort";
    struct Case { const char* groups; bool entered; int members; const char* text; std::vector<std::string> diags; } cases[] = {
        {"grp [a,b,c,d,e,f,g,h,i];", false, 0, nullptr, {"Zu viele Variablen in der Gruppe"}},
        {"grp [a,b,c,d,e,f,g,h];", true, 8, "a,b,c,d,e,f,g,h;", {}},
        {"grp [a, zz];", false, 0, nullptr, {kUnbekannt}},
        {"grp [a, b];\ngrp [a];", true, 2, "a,b;", {kKennung}},
        {"grp x [a, b];", true, 2, "a,b;", {"[ fehlt"}},
        {"grp [a, b) ;", true, 2, "a,b;", {"unbekanntes Trennzeichen"}},
        {"grp [a, b; END_VAR;", true, 2, "a,b;", {"] fehlt"}},
        {"grp [a] x", true, 1, "a;", {kSemikolon}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.groups);
        std::string src = Prog(std::string("VAR_INPUT a; b; c; d; e; f; g; h; i; END_VAR; VAR_OUTPUT q; END_VAR;\n"
                                           "VAR_ARRAY ") + c.groups + " END_VAR;");
        EXPECT_EQ(Parse(src, 0), 1);
        std::vector<std::string> got = host.Texts();
        // Only the diagnostics of the group section itself are compared.
        got.resize(std::min(got.size(), c.diags.size()));
        EXPECT_EQ(got, c.diags);
        const SymbolRecord* g = Sym("grp");
        EXPECT_EQ(g != nullptr, c.entered);
        if (g && c.entered) {
            EXPECT_EQ(g->Pin, c.members);
            EXPECT_STREQ(g->Text, c.text);
        }
    }
}

TEST_F(DeclarationsTest, GroupBufferWithoutMemory) {
    std::string src = Prog("VAR_INPUT a; END_VAR; VAR_OUTPUT q; END_VAR; VAR_ARRAY g [a]; END_VAR;");
    PlcType = 0;
    Source(src);
    ASSERT_EQ(InitSymbolTable(), 1);
    host.diags.clear();
    WorkMemoryResetCounters();
    WorkMemoryFailAt(2);  // 1 is PinUsed, 2 the member buffer
    long before = WorkMemoryOutstandingBlocks();
    EXPECT_EQ(ParseDeclarations(nullptr), -1);
    std::vector<std::string> want = {"Speicher voll", "Speicher voll"};
    EXPECT_EQ(host.Texts(), want);
    EXPECT_EQ(host.oomBoxes, 1);
    EXPECT_EQ(CS.PinUsed, nullptr);
    EXPECT_EQ(WorkMemoryOutstandingBlocks(), before);
}

TEST_F(DeclarationsTest, PinUsedWithoutMemory) {
    Source(Prog("VAR_INPUT a; END_VAR;"));
    ASSERT_EQ(InitSymbolTable(), 1);
    WorkMemoryResetCounters();
    WorkMemoryFailAt(1);
    EXPECT_EQ(ParseDeclarations(nullptr), -1);
    std::vector<std::string> want = {"Speicher voll", "Speicher voll"};
    EXPECT_EQ(host.Texts(), want);
}

// Byte sequences that once could keep a section loop from consuming input:
// each must end, with diagnostics.
TEST_F(DeclarationsTest, BadInputEnds) {
    const char* sources[] = {
        "PROGRAM p VAR_OUTPUT q0; END_VA(R;",
        "PROGRAM p VAR_OUTPUT q0 AT 5 (y; END_VAR;",
        "PROGRAM p VAR_INPUT ((((; END_VAR;",
        "PROGRAM p VAR_INPUT a; END_VAR; VAR_ARRAY g ((((",
        "PROGRAM p VAR_INPUT a; END_VAR; VAR_ARRAY g [a; (( ; a ;",
        "PROGRAM p VAR_INPUT x AT (",
        "PROGRAM p VAR_INPUT x AT",
        "PROGRAM p VAR_INPUT x AT ABCDEFGHIJ;",
        "PROGRAM p VAR_INPUT aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa AT 3; END_VAR;",
        "PROGRAM p VAR_ARRAY g [a,a,a,a,a,a,a,a,a,a,a,a,a,a,a,a,a,a,a,a,a,a]",
    };
    for (const char* s : sources) {
        SCOPED_TRACE(s);
        EXPECT_EQ(Parse(s, 0), 1);
        EXPECT_FALSE(host.diags.empty());
    }
}

TEST_F(DeclarationsTest, KnownEndlessLoopInput) {
    EXPECT_EQ(Parse("PROGRAM p VAR_OUTPUT q0; END_VA(R;", 0), 1);
    ASSERT_GE(host.diags.size(), 2u);
    EXPECT_EQ(host.diags[0].text, kSemikolon);
    EXPECT_EQ(host.diags[1].text, kNichtKorrekt);
    EXPECT_EQ(CS.ErrorCount, 10);  // no input declared
    EXPECT_NE(Sym("q0"), nullptr);
}

}  // namespace
