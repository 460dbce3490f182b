// The system calls that files.cpp and append_file.cpp build their rules on.
// files_posix.cpp and files_win32.cpp implement them with the system's own
// calls and nothing more; limits, results and clean-up are decided above.
// Paths are the program's, with backslashes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

using NativeFile = intptr_t;        // a file descriptor or a HANDLE
constexpr NativeFile kNoFile = -1;  // also INVALID_HANDLE_VALUE

// Opens with FileHeadFlags; on failure, missing says whether the file or its
// folder does not exist.
NativeFile OpenFileForReading(std::u16string_view path, unsigned flags, bool& missing);
// Creates or empties a file, kept from other programs until closed.
NativeFile CreateFileForWriting(std::u16string_view path);
// Opens a file at its end, creating it; others may read it meanwhile.
NativeFile OpenFileForAppending(std::u16string_view path);

// False for anything but a plain file (a folder, a device).
bool OpenFileSize(NativeFile file, uint64_t& size);
// Bytes read or written (a read gives 0 at the end of the file), or -1;
// either may move fewer bytes than asked.
ptrdiff_t ReadSomeBytes(NativeFile file, char* buffer, size_t length);
ptrdiff_t WriteSomeBytes(NativeFile file, const char* bytes, size_t length);
bool CloseNativeFile(NativeFile file);

// Moves a file over another, which it replaces.
bool MoveFileOver(std::u16string_view from, std::u16string_view to);
bool MakeDirectory(std::u16string_view path);
bool DirectoryExists(std::u16string_view path);

// Writes every byte, in as many calls as the system needs (files.cpp).
bool WriteAllBytes(NativeFile file, std::string_view bytes);
