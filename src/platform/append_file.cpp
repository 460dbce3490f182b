#include "platform/append_file.h"

#include <type_traits>

#include "platform/files_backend.h"

bool AppendFile::Open(std::u16string_view path) {
    static_assert(std::is_same_v<NativeFile, intptr_t> && kNoFile == kNone, "handle_ holds a NativeFile");
    Close();
    handle_ = OpenFileForAppending(path);
    return handle_ != kNone;
}

bool AppendFile::Write(std::string_view bytes) { return handle_ != kNone && WriteAllBytes(handle_, bytes); }

void AppendFile::Close() {
    if (handle_ == kNone) return;
    CloseNativeFile(handle_);
    handle_ = kNone;
}
