// Output text files of the compiler (ERR, ZW): 8-bit text written through a
// binary stream, every "\n" written as CR LF on every platform.
#pragma once
#include <cstdio>

class OutFile {
public:
    OutFile() = default;
    OutFile(const OutFile&) = delete;
    OutFile& operator=(const OutFile&) = delete;
    ~OutFile() { Close(); }

    bool Open(const char* path);   // created or truncated; false when it cannot be
    void Close();
    bool IsOpen() const { return f_ != nullptr; }
    void Write(const char* text);  // "\n" becomes CR LF
    void Printf(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    bool Failed() const { return failed_; } // some write did not reach the file

private:
    FILE* f_ = nullptr;
    bool failed_ = false;
};
