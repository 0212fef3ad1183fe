// Which implementation of the compiler's costly algorithms runs. The
// straightforward ones (symbol lookup by scan, first-fit node scan, recursive
// truth-table walk, all-pairs Espresso merging, Quine-McCluskey with reserved
// levels) are kept as the reference; the fast ones give the same output. Tests and the
// benchmark switch between them; the compiler itself never does.
#pragma once

// 0 (default) the fast paths, 1 the reference algorithms.
extern int UseReferenceAlgorithms;
