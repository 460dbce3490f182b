// The rules of files.h, once for every platform, over the calls of
// files_backend.h.
#include "platform/files.h"

#include "platform/files_backend.h"

namespace {

// A file that ends before `wanted` is not an error: it shrank after its size
// was taken.
bool ReadUpTo(NativeFile file, std::string& bytes, size_t wanted) {
    bytes.resize(wanted);
    size_t done = 0;
    while (done < wanted) {
        ptrdiff_t got = ReadSomeBytes(file, bytes.data() + done, wanted - done);
        if (got < 0) return false;
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    bytes.resize(done);
    return true;
}

// wholeFile: refuse a file larger than maxBytes; otherwise read its head.
FileReadResult ReadWithLimit(std::u16string_view path, std::string& bytes, size_t maxBytes, unsigned flags,
                             bool wholeFile, bool* closeFailed) {
    bytes.clear();
    if (closeFailed) *closeFailed = false;
    bool missing = false;
    NativeFile file = OpenFileForReading(path, flags, missing);
    if (file == kNoFile) return missing ? FileReadResult::Missing : FileReadResult::Failed;
    FileReadResult result = FileReadResult::Ok;
    uint64_t size = 0;
    if (!OpenFileSize(file, size)) {
        result = FileReadResult::Failed;
    } else if (wholeFile && size > maxBytes) {
        result = FileReadResult::TooLarge;
    } else if (!ReadUpTo(file, bytes, size < maxBytes ? static_cast<size_t>(size) : maxBytes)) {
        result = FileReadResult::Failed;
    }
    bool closed = CloseNativeFile(file);
    if (closeFailed) *closeFailed = !closed;
    if (result != FileReadResult::Ok) bytes.clear();
    return result;
}

// What WriteFileBytes writes first, to move it over the file when it is whole.
std::u16string BesidePath(std::u16string_view path) { return std::u16string(path) + u".new"; }

}  // namespace

FileReadResult ReadFileBytes(std::u16string_view path, std::string& bytes, size_t maxBytes) {
    return ReadWithLimit(path, bytes, maxBytes, kFileHeadShared, true, nullptr);
}

FileReadResult ReadFileHead(std::u16string_view path, std::string& bytes, size_t maxBytes, unsigned flags,
                            bool* closeFailed) {
    return ReadWithLimit(path, bytes, maxBytes, flags, false, closeFailed);
}

bool FileCanBeWritten(std::u16string_view path) {
    std::u16string temp = BesidePath(path);
    NativeFile file = CreateFileForWriting(temp);
    if (file == kNoFile) return false;
    CloseNativeFile(file);
    DeleteFileAt(temp);
    return true;
}

bool WriteFileBytes(std::u16string_view path, std::string_view bytes, bool* notFinished) {
    if (notFinished) *notFinished = false;
    std::u16string temp = BesidePath(path);
    NativeFile file = CreateFileForWriting(temp);
    if (file == kNoFile) return false;
    bool ok = WriteAllBytes(file, bytes);
    ok = CloseNativeFile(file) && ok;
    ok = ok && MoveFileOver(temp, path);
    if (!ok) DeleteFileAt(temp);
    if (notFinished) *notFinished = !ok;
    return ok;
}

bool CreateDirectoryAt(std::u16string_view path) { return MakeDirectory(path) || DirectoryExists(path); }

bool WriteAllBytes(NativeFile file, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ptrdiff_t wrote = WriteSomeBytes(file, bytes.data() + done, bytes.size() - done);
        if (wrote <= 0) return false;
        done += static_cast<size_t>(wrote);
    }
    return true;
}
