#include "platform/append_file.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/wide_win32.h"

bool AppendFile::Open(std::u16string_view path) {
    Close();
    HANDLE h = CreateFileW(ToWideString(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    handle_ = reinterpret_cast<intptr_t>(h);
    return true;
}

bool AppendFile::Write(std::string_view bytes) {
    if (handle_ == kNone) return false;
    HANDLE h = reinterpret_cast<HANDLE>(handle_);
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        DWORD wrote = 0;
        if (!WriteFile(h, bytes.data() + done, chunk, &wrote, nullptr) || wrote == 0) return false;
        done += wrote;
    }
    return true;
}

void AppendFile::Close() {
    if (handle_ == kNone) return;
    CloseHandle(reinterpret_cast<HANDLE>(handle_));
    handle_ = kNone;
}
