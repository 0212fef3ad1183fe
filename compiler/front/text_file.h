// Output text files of the compiler (ERR, ZW): 8-bit text written through a
// binary stream, every "\n" written as CR LF on every platform. The text is
// gathered in a buffer of its own: an unminimized equation writes megabytes
// in pieces of a few bytes.
#pragma once
#include <cstddef>
#include <cstdio>
#include <cstring>

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
    // Text without "\n".
    void Put(const char* text, size_t len) {
        if (f_ && len <= sizeof buf_ - used_) {
            std::memcpy(buf_ + used_, text, len);
            used_ += len;
        } else {
            PutLong(text, len);
        }
    }
    void Printf(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    bool Failed() const { return failed_; } // some write did not reach the file

    // Text without "\n" in a block of kPadded readable bytes, len <= kPadded:
    // copied as one fixed-size move.
    static constexpr size_t kPadded = 32;
    void PutPadded(const char* block, size_t len) {
        if (f_ && kPadded <= sizeof buf_ - used_) {
            std::memcpy(buf_ + used_, block, kPadded);
            used_ += len;
        } else {
            PutLong(block, len);
        }
    }

private:
    void Flush();
    void PutLong(const char* text, size_t len);

    FILE* f_ = nullptr;
    bool failed_ = false;
    size_t used_ = 0;
    char buf_[262144];   // a quarter megabyte: fewer, larger writes
};
