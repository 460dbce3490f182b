#include "platform/append_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/text.h"

bool AppendFile::Open(std::u16string_view path) {
    Close();
    std::string native = Utf16ToUtf8(path);
    for (char& c : native)
        if (c == '\\') c = '/';
    int fd = open(native.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    handle_ = fd;
    return true;
}

bool AppendFile::Write(std::string_view bytes) {
    if (handle_ == kNone) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(static_cast<int>(handle_), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

void AppendFile::Close() {
    if (handle_ == kNone) return;
    close(static_cast<int>(handle_));
    handle_ = kNone;
}
