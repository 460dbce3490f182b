// A fresh, empty folder for one test, removed afterwards.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, and a file in it, as the program writes paths.
    std::u16string Path() const;
    std::u16string File(std::u16string_view name) const;

    // Raw access for setting up and checking files.
    std::string ReadBytes(std::u16string_view name) const;
    void WriteBytes(std::u16string_view name, std::string_view bytes) const;

private:
    std::filesystem::path path_;
};

// UTF-16LE bytes with a byte-order mark, for building test files.
std::string Utf16LeFile(std::u16string_view text);
