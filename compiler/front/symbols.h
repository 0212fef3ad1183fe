// Symbol table: 200 records, the reserved words at 1..25, user symbols from
// FirstUserSymbol (26) in declaration order. A symbol's index is its identity.
#pragma once

enum SymbolKind {
    KIND_INPUT = 0,
    KIND_OUTPUT = 1,
    KIND_INOUT = 2,
    KIND_INTERN = 3,
    KIND_GROUP = 4,
    KIND_INPUT_P11 = 5,
    KIND_INPUT_P35 = 6,
};

// Codes of the reserved words (the Kind of records 1..25).
enum ReservedCode {
    RW_PROGRAM = 0x100,
    RW_END_PROGRAM = 0x101,
    RW_VAR_INPUT = 0x102,
    RW_VAR_OUTPUT = 0x103,
    RW_VAR_IN_OUT = 0x104,
    RW_VAR_INTERN = 0x105,
    RW_VAR_ARRAY = 0x106,
    RW_END_VAR = 0x107,
    RW_AT = 0x108,
    RW_AND = 0x109,
    RW_OR = 0x10B,
    RW_NOT = 0x10C,
    RW_XOR = 0x10E,
    RW_IF = 0x10F,
    RW_THEN = 0x110,
    RW_ELSE = 0x111,
    RW_ELSIF = 0x112,
    RW_END_IF = 0x113,
    RW_CASE = 0x114,
    RW_OF = 0x115,
    RW_END_CASE = 0x116,
    RW_NOMIN = 0x117,
    RW_END_NOMIN = 0x118,
};

struct SymbolRecord {
    char Name[16];
    int Emitted;
    int Kind;
    int Pin;       // CPLD pin 1..44, 0 none; a group's member count
    int HasClock;
    int HasReset;
    int HasOE;
    int Critical;
    char* Text;    // a group's member list "a,b,c;" (AllocWork), else nullptr
};

constexpr int kSymbolTableSize = 200;
constexpr int kFirstUserSymbol = 26;
extern SymbolRecord SymbolTable[kSymbolTableSize];

int InitSymbolTable();                 // 1, or -1 when an insertion failed
int LookupSymbol(const char* name);    // index 1..LastSymbol, 0 unknown
int InsertSymbol(const char* name, int kind, int pin, const char* text); // 1, 0 full, -1 memory
int CountVariables();                  // user symbols that are not groups
// mode 0 assignment (statementKind 1..3), 1 .OE, 2 .RE, 3 .CLK, 4 CRIT,
// 5 final OE check. 0 accepted, 1 diagnostic reported, -1 out of memory.
int RecordDefinition(const char* name, int statementKind, int mode);
void ReleaseSymbolTexts();             // gives every user symbol's Text back
