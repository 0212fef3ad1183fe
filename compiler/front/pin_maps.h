// The controllers' pin maps: which CPLD pins each PlcType wires to inputs,
// outputs and I/O terminals, their terminal names and the allocation order.
#pragma once

enum PinSection { SECTION_INPUT = 0, SECTION_OUTPUT = 1, SECTION_INOUT = 2, SECTION_INTERN = 3 };

// Section of a variable kind (KIND_INPUT -> SECTION_INPUT, ...).
int SectionOfKind(int kind);
bool IsReservedPin(int pin);  // 1, 12, 13, 23, 34
// Pin valid for a section on this model (reserved/out-of-range pins are
// checked by the caller first).
bool PinValidForSection(int plcType, int section, int pin);
// Terminal name -> pin for the section, 0 when not defined there.
int ResolveTerminalName(int plcType, int section, const char* name);
// First pin of the allocation range not taken in pinUsed (44 entries, p-1), or 0.
int NextFreePin(int plcType, int section, const int* pinUsed);
int PinBudget(int plcType);          // 39, 45, 17, 29
const char* DeviceName(int plcType); // "TREVA", "ZIRKO", "ZIRKO_M2", "ZIRKO_M2E"
