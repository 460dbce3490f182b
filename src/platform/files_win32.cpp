#include "platform/files.h"

#include <windows.h>

#include <algorithm>

#include "platform/wide_win32.h"

FileReadResult ReadFileBytes(std::u16string_view path, std::string& bytes, size_t maxBytes) {
    bytes.clear();
    std::wstring p = ToWideString(path);
    HANDLE h = CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD err = GetLastError();
        bool missing = err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND;
        return missing ? FileReadResult::Missing : FileReadResult::Failed;
    }
    LARGE_INTEGER size;
    FileReadResult result = FileReadResult::Ok;
    if (!GetFileSizeEx(h, &size)) {
        result = FileReadResult::Failed;
    } else if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
        result = FileReadResult::TooLarge;
    } else {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        size_t done = 0;
        while (done < bytes.size()) {
            DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
            DWORD got = 0;
            if (!ReadFile(h, bytes.data() + done, chunk, &got, nullptr)) {
                result = FileReadResult::Failed;
                break;
            }
            if (got == 0) break;
            done += got;
        }
        bytes.resize(done);
    }
    CloseHandle(h);
    if (result != FileReadResult::Ok) bytes.clear();
    return result;
}

FileReadResult ReadFileHead(std::u16string_view path, std::string& bytes, size_t maxBytes, unsigned flags,
                            bool* closeFailed) {
    bytes.clear();
    if (closeFailed) *closeFailed = false;
    std::wstring p = ToWideString(path);
    DWORD share = (flags & kFileHeadExclusive) ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
    DWORD disposition = (flags & kFileHeadCreateMissing) ? OPEN_ALWAYS : OPEN_EXISTING;
    HANDLE h = CreateFileW(p.c_str(), GENERIC_READ, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD err = GetLastError();
        bool missing = err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND;
        return missing ? FileReadResult::Missing : FileReadResult::Failed;
    }
    FileReadResult result = FileReadResult::Ok;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(h, &size)) {
        result = FileReadResult::Failed;
    } else {
        size_t wanted = static_cast<unsigned long long>(size.QuadPart) < maxBytes ? static_cast<size_t>(size.QuadPart)
                                                                                   : maxBytes;
        bytes.resize(wanted);
        size_t done = 0;
        while (done < wanted) {
            DWORD chunk = static_cast<DWORD>(std::min<size_t>(wanted - done, 1u << 20));
            DWORD got = 0;
            if (!ReadFile(h, bytes.data() + done, chunk, &got, nullptr)) {
                result = FileReadResult::Failed;
                break;
            }
            if (got == 0) break;
            done += got;
        }
        bytes.resize(done);
    }
    bool closed = CloseHandle(h) != 0;
    if (closeFailed) *closeFailed = !closed;
    if (result != FileReadResult::Ok) bytes.clear();
    return result;
}

bool WriteFileBytes(std::u16string_view path, std::string_view bytes, bool* notFinished) {
    if (notFinished) *notFinished = false;
    std::wstring target = ToWideString(path);
    std::wstring temp = target + L".new";
    HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    size_t done = 0;
    while (ok && done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        DWORD wrote = 0;
        ok = WriteFile(h, bytes.data() + done, chunk, &wrote, nullptr) && wrote == chunk;
        done += wrote;
    }
    ok = CloseHandle(h) && ok;
    if (ok) ok = MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    if (!ok) DeleteFileW(temp.c_str());
    if (notFinished) *notFinished = !ok;
    return ok;
}

bool FileExists(std::u16string_view path) {
    DWORD attributes = GetFileAttributesW(ToWideString(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DeleteFileAt(std::u16string_view path) { return DeleteFileW(ToWideString(path).c_str()) != 0; }

bool CreateDirectoryAt(std::u16string_view path) {
    std::wstring p = ToWideString(path);
    if (CreateDirectoryW(p.c_str(), nullptr)) return true;
    DWORD attributes = GetFileAttributesW(p.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

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
