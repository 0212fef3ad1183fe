// Shared fixture of the statement compiler's tests: a source written to a
// scratch file and opened as the compile's source, the reserved words and a
// few declared symbols, a node pool, the ERR and ZW files, and the
// diagnostics as the host sees them.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
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

namespace {

// Diagnostics as the host sees them: "line:text" (line 0 without prefix).
std::vector<std::string>* g_diagnostics = nullptr;
void CollectDiagnostic(void*, int line, int, const char* text) {
    if (g_diagnostics) g_diagnostics->push_back(std::to_string(line) + ":" + text);
}

std::string Msg(MessageId id, int line) { return std::to_string(line) + ":" + kMessages[id].text; }

// A tree as text: OR(a,b), XOR, AND, NOT(a), constants 1 and 0.
std::string Tree(const ExprNode* n) {
    if (!n) return "-";
    if (n->is_leaf) {
        if (n->op.kind == EXPR_ONE) return "1";
        if (n->op.kind == EXPR_ZERO) return "0";
        return n->name;
    }
    static const char* const kNames[] = {"OR", "XOR", "AND", "NOT"};
    if (n->op.kind < 0 || n->op.kind > 3) return "?";
    std::string s = std::string(kNames[n->op.kind]) + "(" + Tree(Left(n));
    if (n->op.kind != EXPR_NOT) s += "," + Tree(Right(n));
    return s + ")";
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// Compiles small sources through the real pieces: the symbol table, the
// node pool, the lexer on an in-memory source, the ERR file and the host.
class StatementFixture : public ::testing::Test {
protected:
    std::vector<std::string> diags;
    std::string errPath, zwPath;
    int savedMinLevel = MinLevel;

    void SetUp() override {
        diags.clear();
        g_diagnostics = &diags;
        static CompileHost host{};
        host.diagnostic = CollectDiagnostic;
        SetCompileHost(&host);
        savedMinLevel = MinLevel;
        MinLevel = ESPRESSO;  // the default level; other tests may leave another
        CS.LineNumber = 1;
        CS.WarningCount = 0;
        CS.ErrorCount = 0;
        CS.MinimizeFlag = 1;
        CS.IfConditionList = nullptr;
        CS.CaseLabelList = nullptr;
        CS.EquationList = nullptr;
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string part = std::string("stmt_") + info->test_suite_name() + "_" + info->name();
        for (char& c : part)
            if (c == '/') c = '_';
        std::string base = ::testing::TempDir() + part;
        errPath = base + ".ERR";
        zwPath = base + ".ZW";
        ASSERT_TRUE(CS.Err.Open(errPath.c_str()));
        ASSERT_TRUE(CS.Zw.Open(zwPath.c_str()));
        ASSERT_EQ(InitSymbolTable(), 1);
        ASSERT_EQ(ReserveNodePool(), 1);
    }

    void TearDown() override {
        ReleaseConditionList(&CS.IfConditionList);
        ReleaseConditionList(&CS.CaseLabelList);
        ReleaseEquationList();
        FreeWork(CS.DefinitionState);
        CS.DefinitionState = nullptr;
        ReleaseSymbolTexts();
        ReleaseNodePool();
        CS.Source.Close();
        CS.Err.Close();
        CS.Zw.Close();
        SetCompileHost(nullptr);
        g_diagnostics = nullptr;
        MinLevel = savedMinLevel;
        std::remove(errPath.c_str());
        std::remove(zwPath.c_str());
    }

    void Var(const char* name, int kind) { ASSERT_EQ(InsertSymbol(name, kind, 0, nullptr), 1); }
    // members like "A,B,C"
    void Group(const char* name, const char* members) {
        int n = 1;
        for (const char* p = members; *p; ++p) n += *p == ',';
        std::string text = std::string(members) + ";";
        ASSERT_EQ(InsertSymbol(name, KIND_GROUP, n, text.c_str()), 1);
    }
    // The usual program: inputs a b c x, outputs Y Z Q, I/O P, intern N1,
    // groups G [A, B, C3], H [M], K [A, B] and W of eight members.
    void Declare() {
        for (const char* n : {"a", "b", "c", "x", "E1", "E2"}) Var(n, KIND_INPUT);
        for (const char* n : {"Y", "Z", "Q", "A", "B", "C3", "M"}) Var(n, KIND_OUTPUT);
        Var("P", KIND_INOUT);
        Var("N1", KIND_INTERN);
        Group("G", "A,B,C3");
        Group("H", "M");
        Group("K", "A,B");
        Group("W", "a,b,c,x,E1,E2,Y,Z");
        Ready();
    }
    // The statement phase: DefinitionState and the condition flags.
    void Ready() {
        for (int i = CS.FirstUserSymbol; i <= CS.LastSymbol; ++i) {
            SymbolTable[i].HasClock = SymbolTable[i].HasReset = 0;
            SymbolTable[i].HasOE = SymbolTable[i].Critical = 0;
        }
        int n = CountVariables();
        CS.DefinitionState = static_cast<int*>(AllocWork(n > 0 ? n : 1, sizeof(int)));
        ASSERT_NE(CS.DefinitionState, nullptr);
    }
    // A new source; the counts start again, so that the limit of ten
    // errors never hides a diagnostic of a table case.
    void Source(const std::string& text) {
        CS.Source.OpenBuffer(text.data(), text.size());
        CS.LineNumber = 1;
        CS.ErrorCount = 0;
        CS.WarningCount = 0;
    }
    // What is left of the source (reads it to its end).
    std::string Rest() {
        std::string s;
        for (int c = ReadChar(); c != EOF; c = ReadChar()) s += static_cast<char>(c);
        return s;
    }
    const OutputEquation* Record(const char* name) {
        for (const OutputEquation* r = CS.EquationList; r; r = r->next)
            if (std::strcmp(r->name, name) == 0) return r;
        return nullptr;
    }
    std::string SetTerm(const char* name) {
        const OutputEquation* r = Record(name);
        return r ? Tree(r->set_term) : "no record";
    }
    std::string ClearTerm(const char* name) {
        const OutputEquation* r = Record(name);
        return r ? Tree(r->clear_term) : "no record";
    }
    std::string Zw() {
        CS.Zw.Close();
        return ReadFileBytes(zwPath);
    }
    int Sym(const char* name) { return LookupSymbol(name); }
};

}  // namespace
