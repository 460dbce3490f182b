#include "platform/files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>

#include "platform/text.h"

namespace {

std::string NativePath(std::u16string_view path) {
    std::string p = Utf16ToUtf8(path);
    for (char& c : p)
        if (c == '\\') c = '/';
    return p;
}

std::u16string ProgramPath(const std::string& native) {
    std::u16string p = Utf8ToUtf16(native);
    for (char16_t& c : p)
        if (c == u'/') c = u'\\';
    return p;
}

}  // namespace

FileReadResult ReadFileBytes(std::u16string_view path, std::string& bytes, size_t maxBytes) {
    bytes.clear();
    std::string native = NativePath(path);
    struct stat st;
    if (stat(native.c_str(), &st) != 0) return errno == ENOENT ? FileReadResult::Missing : FileReadResult::Failed;
    if (!S_ISREG(st.st_mode)) return FileReadResult::Failed;
    if (static_cast<unsigned long long>(st.st_size) > maxBytes) return FileReadResult::TooLarge;
    FILE* f = std::fopen(native.c_str(), "rb");
    if (!f) return FileReadResult::Failed;
    bytes.resize(static_cast<size_t>(st.st_size));
    size_t got = bytes.empty() ? 0 : std::fread(bytes.data(), 1, bytes.size(), f);
    bool failed = std::ferror(f) != 0;
    std::fclose(f);
    bytes.resize(got);
    return failed ? FileReadResult::Failed : FileReadResult::Ok;
}

bool WriteFileBytes(std::u16string_view path, std::string_view bytes) {
    std::string native = NativePath(path);
    std::string temp = native + ".new";
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fflush(f) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (ok) ok = std::rename(temp.c_str(), native.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
    return ok;
}

bool FileExists(std::u16string_view path) {
    struct stat st;
    return stat(NativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DeleteFileAt(std::u16string_view path) { return unlink(NativePath(path).c_str()) == 0; }

bool CreateDirectoryAt(std::u16string_view path) {
    std::string native = NativePath(path);
    if (mkdir(native.c_str(), 0777) == 0) return true;
    struct stat st;
    return errno == EEXIST && stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool SetWorkingDirectory(std::u16string_view directory) { return chdir(NativePath(directory).c_str()) == 0; }

std::u16string WorkingDirectory() {
    char buf[PATH_MAX];
    if (!getcwd(buf, sizeof buf)) return {};
    return ProgramPath(buf);
}

std::u16string ExecutablePath() {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    buf[n] = 0;
    return ProgramPath(buf);
}
