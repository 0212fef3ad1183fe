// An occupancy index of the node pool, so that the lowest free node is found
// without scanning: one bit per node (set while its mark is 'T') and one bit
// per 64 nodes (set while all 64 are occupied).
#pragma once

struct ExprNode;

// The pool was reserved or given back: forget everything and start from the
// pool's marks (a fresh pool is all free).
void NodeIndexReset();
// The node's mark changed: keep its bit in step.
void NodeIndexNoteTaken(const ExprNode* n);
void NodeIndexNoteFree(const ExprNode* n);
// AllocNode without the scan: the same node, the same NodeProbeCount, the
// same progress frames and the same high-water mark as the first-fit scan.
ExprNode* FastAllocNode();
