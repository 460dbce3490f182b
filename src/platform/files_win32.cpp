#include <windows.h>

#include <algorithm>

#include "platform/files.h"
#include "platform/files_backend.h"
#include "platform/wide_win32.h"

namespace {

NativeFile Opened(HANDLE h) { return reinterpret_cast<NativeFile>(h); }

HANDLE Handle(NativeFile file) { return reinterpret_cast<HANDLE>(file); }

// One call moves at most this much, well inside a DWORD.
DWORD Chunk(size_t length) { return static_cast<DWORD>(std::min<size_t>(length, 1u << 20)); }

}  // namespace

NativeFile OpenFileForReading(std::u16string_view path, unsigned flags, bool& missing) {
    DWORD share = (flags & kFileHeadExclusive) ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
    DWORD disposition = (flags & kFileHeadCreateMissing) ? OPEN_ALWAYS : OPEN_EXISTING;
    std::wstring p = ToWideString(path);
    HANDLE h = CreateFileW(p.c_str(), GENERIC_READ, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD err = h == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    missing = err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND;
    return Opened(h);
}

NativeFile CreateFileForWriting(std::u16string_view path) {
    return Opened(CreateFileW(ToWideString(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
}

NativeFile OpenFileForAppending(std::u16string_view path) {
    return Opened(CreateFileW(ToWideString(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool OpenFileSize(NativeFile file, uint64_t& size) {
    LARGE_INTEGER s;
    if (!GetFileSizeEx(Handle(file), &s)) return false;
    size = static_cast<uint64_t>(s.QuadPart);
    return true;
}

ptrdiff_t ReadSomeBytes(NativeFile file, char* buffer, size_t length) {
    DWORD got = 0;
    return ReadFile(Handle(file), buffer, Chunk(length), &got, nullptr) ? static_cast<ptrdiff_t>(got) : -1;
}

ptrdiff_t WriteSomeBytes(NativeFile file, const char* bytes, size_t length) {
    DWORD wrote = 0;
    return WriteFile(Handle(file), bytes, Chunk(length), &wrote, nullptr) ? static_cast<ptrdiff_t>(wrote) : -1;
}

bool CloseNativeFile(NativeFile file) { return CloseHandle(Handle(file)) != 0; }

bool MoveFileOver(std::u16string_view from, std::u16string_view to) {
    return MoveFileExW(ToWideString(from).c_str(), ToWideString(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool MakeDirectory(std::u16string_view path) { return CreateDirectoryW(ToWideString(path).c_str(), nullptr) != 0; }

bool DirectoryExists(std::u16string_view path) {
    DWORD attributes = GetFileAttributesW(ToWideString(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(std::u16string_view path) {
    DWORD attributes = GetFileAttributesW(ToWideString(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

FileStamp FileStampOf(std::u16string_view path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(ToWideString(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return {};
    uint64_t size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    uint64_t written = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                       data.ftLastWriteTime.dwLowDateTime;
    return {true, size, static_cast<int64_t>(written)};
}

bool DeleteFileAt(std::u16string_view path) { return DeleteFileW(ToWideString(path).c_str()) != 0; }

bool ListFileNames(std::u16string_view directory, std::vector<std::u16string>& names) {
    names.clear();
    std::wstring pattern = ToWideString(directory) + L"\\*";
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;  // an empty folder
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;  // also "." and ".."
        names.emplace_back(FromWide(found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return true;
}

bool SetWorkingDirectory(std::u16string_view directory) {
    return SetCurrentDirectoryW(ToWideString(directory).c_str()) != 0;
}

std::u16string WorkingDirectory() {
    wchar_t buf[MAX_PATH + 1];
    DWORD n = GetCurrentDirectoryW(MAX_PATH + 1, buf);
    if (n == 0 || n > MAX_PATH) return {};
    return std::u16string(FromWide(buf), n);
}

std::u16string ExecutablePath() {
    wchar_t buf[MAX_PATH + 1];
    DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) return {};
    return std::u16string(FromWide(buf), n);
}
