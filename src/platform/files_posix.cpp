#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
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

// POSIX has no sharing modes: kFileHeadExclusive cannot keep other writers
// out here, so it is accepted and has no effect.
FileReadResult ReadFileHead(std::u16string_view path, std::string& bytes, size_t maxBytes, unsigned flags,
                            bool* closeFailed) {
    bytes.clear();
    if (closeFailed) *closeFailed = false;
    std::string native = NativePath(path);
    int openFlags = O_RDONLY | O_CLOEXEC | ((flags & kFileHeadCreateMissing) ? O_CREAT : 0);
    int fd = open(native.c_str(), openFlags, 0666);
    if (fd < 0) return errno == ENOENT ? FileReadResult::Missing : FileReadResult::Failed;
    struct stat st;
    FileReadResult result = FileReadResult::Ok;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        result = FileReadResult::Failed;
    } else {
        size_t wanted = static_cast<unsigned long long>(st.st_size) < maxBytes ? static_cast<size_t>(st.st_size)
                                                                               : maxBytes;
        bytes.resize(wanted);
        size_t done = 0;
        while (done < wanted) {
            ssize_t got = read(fd, bytes.data() + done, wanted - done);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                result = FileReadResult::Failed;
                break;
            }
            if (got == 0) break;
            done += static_cast<size_t>(got);
        }
        bytes.resize(done);
    }
    bool closed = close(fd) == 0;
    if (closeFailed) *closeFailed = !closed;
    if (result != FileReadResult::Ok) bytes.clear();
    return result;
}

bool WriteFileBytes(std::u16string_view path, std::string_view bytes, bool* notFinished) {
    if (notFinished) *notFinished = false;
    std::string native = NativePath(path);
    std::string temp = native + ".new";
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fflush(f) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (ok) ok = std::rename(temp.c_str(), native.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
    if (notFinished) *notFinished = !ok;
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
