// The fitter section at the end of the ZW file: device, pins, nodes,
// fixed pin assignments and critical paths, from the symbol table.
#pragma once

void WriteFitterSection();
