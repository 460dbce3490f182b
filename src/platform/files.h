// File operations the program logic needs.
//
// Paths are written the program's way, with backslashes ("dir\name"); the
// POSIX backend reads them with slashes, so the same logic runs natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class FileReadResult {
    Ok,
    Missing,   // no such file
    TooLarge,  // larger than the caller's limit; nothing was read
    Failed,    // exists but could not be read
};

// Reads a whole file into bytes, refusing files larger than maxBytes.
FileReadResult ReadFileBytes(std::u16string_view path, std::string& bytes, size_t maxBytes);

// How ReadFileHead opens its file (flags may be combined).
enum FileHeadFlags : unsigned {
    kFileHeadShared = 0,
    // No sharing: the read fails while another program holds the file open,
    // so a file that is still being written is never read half-way.
    kFileHeadExclusive = 1,
    // A missing file is created empty (and read as empty).
    kFileHeadCreateMissing = 2,
};

// Reads at most maxBytes from the start of a file; a longer file is not an
// error, its tail is simply not read. closeFailed (when given) reports a
// failed close after the read.
FileReadResult ReadFileHead(std::u16string_view path, std::string& bytes, size_t maxBytes, unsigned flags,
                            bool* closeFailed = nullptr);

// Creates or replaces a file with the given bytes. The new content is written
// beside the file first and moved over it, so a failed write never leaves a
// half-written file behind. notFinished (when given) tells the two ways to
// fail apart: false when the file could not be created at all, true when it
// was created but could not be written, closed or moved into place (the
// step that the program reports as a failed close).
bool WriteFileBytes(std::u16string_view path, std::string_view bytes, bool* notFinished = nullptr);

// Whether WriteFileBytes could write `path` now: what it writes beside the
// file first can be created there. The file itself is left as it is.
bool FileCanBeWritten(std::u16string_view path);

bool FileExists(std::u16string_view path);

// What tells one version of a file from the next without reading it: its
// size and last-write time (in the system's own units). Anything but a
// plain file (missing, a folder) has Exists false and zeros.
struct FileStamp {
    bool Exists = false;
    uint64_t Size = 0;
    int64_t WriteTime = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp FileStampOf(std::u16string_view path);
bool DeleteFileAt(std::u16string_view path);
// Creates one directory; true also when it exists already.
bool CreateDirectoryAt(std::u16string_view path);

// Names of the plain files directly in a directory (no subdirectories, no
// "." or ".."), in the order in which the system lists them. False, with no
// names, when the directory cannot be read (for example when it is missing).
bool ListFileNames(std::u16string_view directory, std::vector<std::u16string>& names);

bool SetWorkingDirectory(std::u16string_view directory);
std::u16string WorkingDirectory();

// Full path of the running executable.
std::u16string ExecutablePath();
