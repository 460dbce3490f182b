// A file that grows by appends, for the capture to disk: each write goes to
// the system at once (no buffer of our own), so what was written survives a
// crash of the program.
#pragma once

#include <cstdint>
#include <string_view>

class AppendFile {
public:
    AppendFile() = default;
    ~AppendFile() { Close(); }
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Creates the file (or opens it to append when it exists). Others may
    // read it while it is written.
    bool Open(std::u16string_view path);
    // False when not all bytes could be written (a full disk, a folder that
    // is gone); the file stays open for Close.
    bool Write(std::string_view bytes);
    void Close();
    bool IsOpen() const { return handle_ != kNone; }

private:
    static constexpr intptr_t kNone = -1;
    intptr_t handle_ = kNone;
};
