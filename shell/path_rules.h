// Path rules of the documents: the extension dot and the derived result paths.
#pragma once
#include <cstddef>
#include <string>

// Index of the dot that starts the extension among the last four characters;
// when there is none, a dot is appended to path (if capacity allows) and the
// old length returned. capacity is the size of path's buffer.
int ExtensionDotIndex(char* path, size_t capacity);
// The same rule on a string (it may gain the trailing dot).
size_t ExtensionDotIndex(std::string& path);
// The path up to and including its extension dot, followed by ext ("ZW", ...).
std::string DerivedPath(std::string path, const char* ext);
