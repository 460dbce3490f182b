#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>

#include "platform/files.h"
#include "platform/files_backend.h"
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

NativeFile Opened(int fd) { return fd < 0 ? kNoFile : fd; }

int Fd(NativeFile file) { return static_cast<int>(file); }

}  // namespace

// POSIX has no sharing modes: kFileHeadExclusive cannot keep other writers
// out here, so it is accepted and has no effect. O_NONBLOCK keeps a pipe
// named by mistake from blocking the open; the size check then refuses it.
NativeFile OpenFileForReading(std::u16string_view path, unsigned flags, bool& missing) {
    int create = (flags & kFileHeadCreateMissing) ? O_CREAT : 0;
    int fd = open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | create, 0666);
    missing = fd < 0 && errno == ENOENT;
    return Opened(fd);
}

NativeFile CreateFileForWriting(std::u16string_view path) {
    return Opened(open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
}

NativeFile OpenFileForAppending(std::u16string_view path) {
    return Opened(open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666));
}

bool OpenFileSize(NativeFile file, uint64_t& size) {
    struct stat st;
    if (fstat(Fd(file), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    size = static_cast<uint64_t>(st.st_size);
    return true;
}

ptrdiff_t ReadSomeBytes(NativeFile file, char* buffer, size_t length) {
    ssize_t got;
    do got = read(Fd(file), buffer, length);
    while (got < 0 && errno == EINTR);
    return got;
}

ptrdiff_t WriteSomeBytes(NativeFile file, const char* bytes, size_t length) {
    ssize_t wrote;
    do wrote = write(Fd(file), bytes, length);
    while (wrote < 0 && errno == EINTR);
    return wrote;
}

bool CloseNativeFile(NativeFile file) { return close(Fd(file)) == 0; }

bool MoveFileOver(std::u16string_view from, std::u16string_view to) {
    return std::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
}

bool MakeDirectory(std::u16string_view path) { return mkdir(NativePath(path).c_str(), 0777) == 0; }

bool DirectoryExists(std::u16string_view path) {
    struct stat st;
    return stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileExists(std::u16string_view path) {
    struct stat st;
    return stat(NativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

FileStamp FileStampOf(std::u16string_view path) {
    struct stat st;
    if (stat(NativePath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    int64_t nanoseconds = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return {true, static_cast<uint64_t>(st.st_size), nanoseconds};
}

bool DeleteFileAt(std::u16string_view path) { return unlink(NativePath(path).c_str()) == 0; }

bool ListFileNames(std::u16string_view directory, std::vector<std::u16string>& names) {
    names.clear();
    std::string native = NativePath(directory);
    DIR* dir = opendir(native.c_str());
    if (!dir) return false;
    while (const dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat st;
        if (stat((native + "/" + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        names.push_back(Utf8ToUtf16(name));
    }
    closedir(dir);
    return true;
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
