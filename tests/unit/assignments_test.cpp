// Assignments at statement level, extension statements and branch bodies.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "compiler/front/diagnostics.h"
#include "compiler/front/driver.h"
#include "compiler/front/host.h"
#include "compiler/front/lexer.h"
#include "compiler/front/symbols.h"
#include "compiler/front/work_memory.h"
#include "compiler/statements/assignments.h"
#include "compiler/statements/case_statement.h"
#include "compiler/statements/constants.h"
#include "compiler/statements/equation_list.h"
#include "compiler/statements/expr_tree.h"
#include "compiler/statements/if_statement.h"
#include "compiler/statements/parser.h"
#include "compiler/statements/statements.h"

#include "tests/unit/statement_fixture.h"

namespace {

int Count(const std::string& s, const std::string& what) {
    int n = 0;
    for (size_t p = s.find(what); p != std::string::npos; p = s.find(what, p + 1)) ++n;
    return n;
}

class AssignmentsTest : public StatementFixture {
protected:
    void SetUp() override {
        StatementFixture::SetUp();
        Declare();
    }
    std::vector<std::string> Expect(std::initializer_list<std::pair<MessageId, int>> msgs) {
        std::vector<std::string> v;
        for (auto& m : msgs) v.push_back(Msg(m.first, m.second));
        return v;
    }
};

TEST_F(AssignmentsTest, PlainAssignmentWritesTheEquationAtOnce) {
    Source("Y := a AND b;\n Y := c;");
    EXPECT_EQ(CompilePlainAssignment(Sym("Y")), 1);
    EXPECT_EQ(SymbolTable[Sym("Y")].Emitted, 1);
    EXPECT_TRUE(diags.empty());
    EXPECT_EQ(CompilePlainAssignment(Sym("Y")), 1);
    EXPECT_EQ(diags, Expect({{MSG_BEREITS_IN_SELECTION, 2}}));
    EXPECT_EQ(Rest(), "");
    std::string zw = Zw();
    EXPECT_EQ(Count(zw, "Y = "), 1) << zw;
    EXPECT_NE(zw.find("Y = a & b\r\n"), std::string::npos) << zw;
    EXPECT_EQ(zw.find("c"), std::string::npos) << zw;
}

TEST_F(AssignmentsTest, PlainAssignmentTable) {
    struct Case {
        const char* target;
        const char* src;
        int result;
        std::vector<MessageId> msgs;  // line 1
        const char* written;          // start of the equation text, or nullptr for none
        const char* rest;
    } cases[] = {
        {"Y", "Y = a;", 1, {MSG_ZUWEISUNGSOPERATOR_IST}, "Y = a\r\n", ""},
        {"Y", "Y : a;", 0, {MSG_FALSCHER_ZUWEISUNGSOPERATOR}, nullptr, ";"},
        {"Y", "Y := 1;", 1, {}, "Y = __VCC\t\t; 1\r\n", ""},
        {"Y", "Y := 0;", 1, {}, "Y = __GND\t\t; 1\r\n", ""},
        {"Y", "Y := 1 AND a;", 1, {MSG_SEMIKOLON_FEHLT}, "Y = __VCC", "AND a;"},
        {"Y", "Y := u;", 0, {MSG_BEZEICHNER_UNBEKANNT}, nullptr, ";"},
        {"Y", "Y := a OR;", 0, {MSG_BEZEICHNER_NICHT_KORREKT, MSG_BEZEICHNER_UNBEKANNT}, nullptr, ""},
        // the refused constant has consumed its ";", the skip then stops at the next one
        {"Y", "Y := 256; Z := a;", 0, {MSG_INTEGER_MAX_255}, nullptr, ";"},
        {"a", "a := b;", 1, {MSG_SCHLUESSELWORT_ODER_INPUT}, nullptr, ""},
        {"G", "G := 3;", 1, {MSG_ZUWEISUNG_GRUPPE}, nullptr, ";"},
        {"N1", "N1 := a XOR b;", 1, {}, "N1 = ", ""},
        {"P", "P := NOT a;", 1, {}, "P =  NOT a\r\n", ""},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        Source(c.src);
        EXPECT_EQ(CompilePlainAssignment(Sym(c.target)), c.result) << c.src;
        std::vector<std::string> expect;
        for (MessageId m : c.msgs) expect.push_back(Msg(m, 1));
        EXPECT_EQ(diags, expect) << c.src;
        EXPECT_EQ(Rest(), c.rest) << c.src;
        std::string zw = Zw();
        if (c.written) {
            EXPECT_EQ(zw.rfind(c.written, 0), 0u) << c.src << "\n" << zw;
            EXPECT_EQ(SymbolTable[Sym(c.target)].Emitted, 1) << c.src;
        } else {
            EXPECT_EQ(zw, "") << c.src;
            EXPECT_EQ(SymbolTable[Sym(c.target)].Emitted, 0) << c.src;
        }
    }
}

TEST_F(AssignmentsTest, ExtensionTable) {
    struct Case {
        const char* target;
        const char* src;  // after the "."
        int result;
        std::vector<MessageId> msgs;
        std::vector<const char*> headers;  // equations written, in order
        const char* rest;
    } cases[] = {
        {"Q", "OE := E1 AND NOT E2;", 1, {}, {"Q .OE = E1 &  NOT E2\r\n"}, ""},
        {"Q", "RE = a;", 1, {MSG_ZUWEISUNGSOPERATOR_IST}, {"Q .RE = a\r\n"}, ""},
        {"Q", "CLK := -c;", 1, {}, {"Q .CLK =  NOT c\r\n"}, ""},
        {"N1", "RE := a;", 1, {}, {"N1 .RE = "}, ""},
        {"P", "OE := a;", 1, {}, {"P .OE = "}, ""},
        {"Q", "OE := E1 OR E2; Z", 0, {MSG_EXTRA_KEIN_OR}, {}, " Z"},
        {"E1", "OE := x; Z", 0, {MSG_KEINE_OE_EXTENSION}, {}, " Z"},
        {"N1", "OE := x; Z", 0, {MSG_KEINE_OE_EXTENSION}, {}, " Z"},
        {"Q", "XY := a; Z", 0, {MSG_EXTENSION_UNBEKANNT}, {}, " Z"},
        {"Q", "OE a; Z", 0, {MSG_ZUWEISUNGSOPERATOR_NICHT_GEFUNDEN}, {}, " Z"},
        {"Q", "OE := G; Z", 0, {MSG_GRUPPE_VERGLEICH}, {}, " Z"},
        {"G", "CLK := c;", 1, {}, {"A .CLK = c\r\n", "B .CLK = c\r\n", "C3 .CLK = c\r\n"}, ""},
        {"K", "OE := NOT (a & b);", 1, {}, {"A .OE = ", "B .OE = "}, ""},
        {"K", "XY := c; Z", 0, {MSG_EXTENSION_UNBEKANNT}, {}, " Z"},
        {"G", "OE := G = 2;", 1, {}, {"A .OE = ", "B .OE = ", "C3 .OE = "}, ""},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        Source(c.src);
        EXPECT_EQ(CompileExtension(Sym(c.target)), c.result) << c.src;
        std::vector<std::string> expect;
        for (MessageId m : c.msgs) expect.push_back(Msg(m, 1));
        EXPECT_EQ(diags, expect) << c.target << "." << c.src;
        EXPECT_EQ(Rest(), c.rest) << c.src;
        std::string zw = Zw();
        size_t at = 0;
        for (const char* h : c.headers) {
            size_t p = zw.find(h, at);
            EXPECT_NE(p, std::string::npos) << c.src << ": " << h << "\n" << zw;
            if (p != std::string::npos) at = p + 1;
        }
        if (c.headers.empty()) {
            EXPECT_EQ(zw, "") << c.src;
        }
        EXPECT_EQ(Count(zw, " = "), static_cast<int>(c.headers.size())) << zw;
        EXPECT_EQ(SymbolTable[Sym(c.target)].Emitted, 0);  // conditions do not emit the variable
    }
}

TEST_F(AssignmentsTest, ConditionsAreRecordedAndRepeatsReported) {
    Source("OE := a; OE := b; P OE := a; OE := b;");
    EXPECT_EQ(CompileExtension(Sym("Q")), 1);
    EXPECT_EQ(SymbolTable[Sym("Q")].HasOE, 1);
    EXPECT_EQ(CompileExtension(Sym("Q")), 1);  // refused but written all the same
    EXPECT_EQ(diags, Expect({{MSG_OE_BEREITS, 1}}));
    char w[kTokenBufferSize];
    ReadIdentifier(w);
    EXPECT_EQ(CompileExtension(Sym("P")), 1);
    EXPECT_EQ(CompileExtension(Sym("P")), 1);  // an I/O pin takes any number
    EXPECT_EQ(diags.size(), 1u);
    std::string zw = Zw();
    EXPECT_EQ(Count(zw, "Q .OE = "), 2);
    EXPECT_EQ(Count(zw, "P .OE = "), 2);

    diags.clear();
    Source("RE := a; RE := a; CLK := b; CLK := b;");
    for (int i = 0; i < 4; ++i) EXPECT_EQ(CompileExtension(Sym("Z")), 1);
    EXPECT_EQ(diags, Expect({{MSG_RESET_BEREITS, 1}, {MSG_CLOCK_BEREITS, 1}}));
    EXPECT_EQ(SymbolTable[Sym("Z")].HasReset, 1);
    EXPECT_EQ(SymbolTable[Sym("Z")].HasClock, 1);
}

TEST_F(AssignmentsTest, CritMarksTheVariableAndReadsNothingElse) {
    Source("CRIT;\nCRIT;\nCRIT xyz, Y");
    EXPECT_EQ(CompileExtension(Sym("Q")), 1);
    EXPECT_EQ(SymbolTable[Sym("Q")].Critical, 1);
    EXPECT_TRUE(diags.empty());
    EXPECT_EQ(CompileExtension(Sym("Q")), 1);
    EXPECT_EQ(diags, Expect({{MSG_CRIT_BEREITS, 2}}));
    EXPECT_EQ(CompileExtension(Sym("a")), 1);  // an input
    EXPECT_EQ(diags.back(), Msg(MSG_CRIT_NUR_OUTPUTS, 3));
    EXPECT_EQ(Rest(), " Y");
    EXPECT_EQ(Zw(), "");
}

TEST_F(AssignmentsTest, BranchBodyTable) {
    struct Case {
        const char* src;
        int kind;
        int result;
        std::vector<MessageId> msgs;
        // expected set and clear terms per output, "-" for none
        std::vector<std::tuple<const char*, const char*, const char*>> terms;
        const char* rest;
    } cases[] = {
        {"Y := a; Z := 1; ELSE", 2, 1, {}, {{"Y", "AND(c,a)", "-"}, {"Z", "c", "-"}}, " ELSE"},
        {"Y := 0; END_IF", 2, 1, {}, {{"Y", "-", "NOT(c)"}}, " END_IF"},
        {"Y := x OR b; 3: Z := 1;", 3, 1, {}, {{"Y", "AND(c,OR(x,b))", "-"}}, " 3: Z := 1;"},
        {"Y := a; Y := b; END_IF", 2, 1, {}, {{"Y", "OR(AND(c,a),AND(c,b))", "-"}}, " END_IF"},
        {"Y := 1; Y := 0; END_IF", 2, 1, {}, {{"Y", "c", "NOT(c)"}}, " END_IF"},
        {"G := 5; END_IF", 2, 1, {}, {{"A", "c", "-"}, {"B", "-", "NOT(c)"}, {"C3", "c", "-"}}, " END_IF"},
        {"G := 1; END_IF", 2, 1, {}, {{"A", "-", "NOT(c)"}, {"B", "-", "NOT(c)"}, {"C3", "c", "-"}}, " END_IF"},
        {"G := 2#010; END_IF", 2, 1, {}, {{"A", "-", "NOT(c)"}, {"B", "c", "-"}, {"C3", "-", "NOT(c)"}}, " END_IF"},
        {"G := 9; Y := 1; END_IF", 2, 1, {MSG_KONSTANTE_WERTEBEREICH}, {{"Y", "c", "-"}}, " END_IF"},
        {"G := a; Y := 1; END_IF", 2, 1, {MSG_ZUWEISUNG_GRUPPE}, {}, "; END_IF"},
        {"Y = 1; END_IF", 2, 1, {MSG_ZUWEISUNGSOPERATOR_IST}, {{"Y", "c", "-"}}, " END_IF"},
        {"Y = a; END_IF", 2, 1, {MSG_ZUWEISUNGSOPERATOR_IST}, {{"Y", "AND(c,a)", "-"}}, " END_IF"},
        {"Y a; END_IF", 2, 0, {MSG_ZUWEISUNGSOPERATOR_NICHT_GEFUNDEN}, {}, "; END_IF"},
        {"END_IF;", 2, 0, {MSG_ZUWEISUNGSOPERATOR_NICHT_GEFUNDEN}, {}, ""},
        {"Y :x 1; END_IF", 2, 1, {MSG_UNBEKANNTER_OPERATOR, MSG_SEMIKOLON_FEHLT}, {}, "END_IF"},
        {"a := 1; Y := 1; END_IF", 2, 1, {MSG_SCHLUESSELWORT_ODER_INPUT}, {{"Y", "c", "-"}}, " END_IF"},
        {"a := b; Y := 1; END_IF", 2, 1, {MSG_SCHLUESSELWORT_ODER_INPUT}, {}, "; END_IF"},
        {"Y := u; Z := 1; END_IF", 2, 1, {MSG_BEZEICHNER_UNBEKANNT}, {}, "; Z := 1; END_IF"},
        {"Y := a; #ENDNOMIN", 2, 1, {}, {{"Y", "AND(c,a)", "-"}}, " #ENDNOMIN"},
        {"Y := a;\nZ := 1;\n", 3, 1, {MSG_BEZEICHNER_NICHT_KORREKT}, {{"Y", "AND(c,a)", "-"}, {"Z", "c", "-"}}, "\n"},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        Source(c.src);
        ExprNode* cond = AttachSon(nullptr, "wurzel", nullptr, "c");
        EXPECT_EQ(CompileBranchAssignments(cond, c.kind), c.result) << c.src;
        std::vector<std::string> expect;
        for (MessageId m : c.msgs) expect.push_back(Msg(m, m == MSG_BEZEICHNER_NICHT_KORREKT && c.kind == 3 ? 3 : 1));
        EXPECT_EQ(diags, expect) << c.src;
        int records = 0;
        for (const OutputEquation* r = CS.EquationList; r; r = r->next) ++records;
        EXPECT_EQ(records, static_cast<int>(c.terms.size())) << c.src;
        for (auto& t : c.terms) {
            EXPECT_EQ(SetTerm(std::get<0>(t)), std::get<1>(t)) << c.src << " " << std::get<0>(t);
            EXPECT_EQ(ClearTerm(std::get<0>(t)), std::get<2>(t)) << c.src << " " << std::get<0>(t);
        }
        EXPECT_EQ(Rest(), c.rest) << c.src;
        EXPECT_EQ(cond->mark, 'F') << c.src;  // the condition is owned and released
        EXPECT_EQ(Zw(), "");
    }
}

TEST_F(AssignmentsTest, BranchAssignmentsCheckTheStatementKind) {
    // Y defined by a plain assignment: an IF body may not assign it again,
    // and the rest of the body is not compiled.
    ASSERT_EQ(RecordDefinition("Y", 1, 0), 0);
    Source("Y := a; Z := b; END_IF");
    EXPECT_EQ(CompileBranchAssignments(AttachSon(nullptr, "wurzel", nullptr, "c"), 2), 1);
    EXPECT_EQ(diags, std::vector<std::string>{Msg(MSG_BEREITS_IS_A, 1)});
    EXPECT_EQ(CS.EquationList, nullptr);
    EXPECT_EQ(Rest(), "; END_IF");
    // A constant to a group member defined before stops at that member.
    diags.clear();
    ASSERT_EQ(RecordDefinition("B", 1, 0), 0);
    Source("G := 7; END_IF");
    EXPECT_EQ(CompileBranchAssignments(AttachSon(nullptr, "wurzel", nullptr, "c"), 3), 1);
    EXPECT_EQ(diags, std::vector<std::string>{Msg(MSG_BEREITS_IS_A, 1)});
    EXPECT_EQ(SetTerm("A"), "c");
    EXPECT_EQ(Record("B"), nullptr);
    EXPECT_EQ(Record("C3"), nullptr);
}

TEST_F(AssignmentsTest, BranchBodyOutOfNodes) {
    // No node for the NOT of a constant 0: a variable ends the compile, a
    // group lets it go on.
    struct Case {
        const char* src;
        int result;
        const char* target;
    } cases[] = {{":= 0;", -1, "Y"}, {":= 0;", 0, "K"}};
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        Source(c.src);
        ExprNode* cond = AttachSon(nullptr, "wurzel", nullptr, "c");
        // The condition took node 0 of the fresh pool; room for one copy of
        // it beside (the group's first member) and nothing more.
        ASSERT_EQ(cond, NodePool);
        int saved = NodePoolCapacity;
        NodePoolCapacity = c.result == -1 ? 1 : 2;
        int r = AssignConstantInBranch(cond, Sym(c.target), 2);
        NodePoolCapacity = saved;
        EXPECT_EQ(r, c.result) << c.src;
        EXPECT_EQ(diags.back(), Msg(MSG_BAUMSPEICHER_UEBERLAUF, 0)) << c.src;
    }
}

}  // namespace
