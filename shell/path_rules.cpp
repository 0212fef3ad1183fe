#include "shell/path_rules.h"

#include <cstring>

int ExtensionDotIndex(char* path, size_t capacity) {
    size_t len = std::strlen(path);
    for (size_t back = 1; back <= 4 && back <= len; ++back)
        if (path[len - back] == '.') return static_cast<int>(len - back);
    if (len + 2 <= capacity) {
        path[len] = '.';
        path[len + 1] = '\0';
    }
    return static_cast<int>(len);
}

size_t ExtensionDotIndex(std::string& path) {
    size_t len = path.size();
    for (size_t back = 1; back <= 4 && back <= len; ++back)
        if (path[len - back] == '.') return len - back;
    path += '.';
    return len;
}

std::string DerivedPath(std::string path, const char* ext) {
    size_t dot = ExtensionDotIndex(path);
    return path.substr(0, dot + 1) + ext;
}
