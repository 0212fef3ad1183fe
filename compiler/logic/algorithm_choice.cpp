// The process-wide choice between the fast paths and the reference algorithms.
#include "compiler/logic/algorithm_choice.h"

int UseReferenceAlgorithms = 0;
