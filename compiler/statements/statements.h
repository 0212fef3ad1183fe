// Statement entry: hands each statement to its compiler by its first word,
// and keeps the #NOMIN blocks.
#pragma once

int CompileStatement();
