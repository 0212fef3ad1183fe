// Program header, VAR sections and pin assignment.
#pragma once

// Reads from the start of the source up to the first statement; 1, or -1
// when memory ran out. window owns the out-of-memory box of group sections.
int ParseDeclarations(void* window);

int ParseVarSection(int kind);
int ParseGroupSection(void* window);
int ResolvePinName(int kind, int firstChar);
void CheckDeclarationLimits();
