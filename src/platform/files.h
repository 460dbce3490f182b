// File operations the program logic needs.
//
// Paths are written the program's way, with backslashes ("dir\name"); the
// POSIX backend reads them with slashes, so the same logic runs natively.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

enum class FileReadResult {
    Ok,
    Missing,   // no such file
    TooLarge,  // larger than the caller's limit; nothing was read
    Failed,    // exists but could not be read
};

// Reads a whole file into bytes, refusing files larger than maxBytes.
FileReadResult ReadFileBytes(std::u16string_view path, std::string& bytes, size_t maxBytes);

// Creates or replaces a file with the given bytes. The new content is written
// beside the file first and moved over it, so a failed write never leaves a
// half-written file behind.
bool WriteFileBytes(std::u16string_view path, std::string_view bytes);

bool FileExists(std::u16string_view path);
bool DeleteFileAt(std::u16string_view path);
// Creates one directory; true also when it exists already.
bool CreateDirectoryAt(std::u16string_view path);

bool SetWorkingDirectory(std::u16string_view directory);
std::u16string WorkingDirectory();

// Full path of the running executable.
std::u16string ExecutablePath();
