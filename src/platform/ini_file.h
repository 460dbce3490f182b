// INI files with the semantics of the Windows profile calls.
//
// - section and key names compare without regard to ASCII case;
// - blanks around names and values are ignored, and one pair of matching
//   quotes around a value is removed;
// - a missing file, section or key (or an empty value, read as a number)
//   gives the caller's default;
// - numbers are read from their leading digits (none gives 0);
// - writing a key keeps every other line of the file: other sections, other
//   keys, comments, keys this program does not know.
// Files are read in any encoding that text_file.h knows and written as
// UTF-16LE with a byte-order mark, so non-ASCII names and paths survive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Larger files are not read: they are not ours.
constexpr size_t kMaxIniFileBytes = 4u << 20;

class IniDocument {
public:
    // Reads the file. A missing file gives an empty document and true; a file
    // that exists but cannot be read (or is too large) gives false and leaves
    // the document empty.
    bool Load(std::u16string_view path);
    // Writes the whole document; false when the file cannot be written.
    bool Save(std::u16string_view path) const;

    void Parse(std::u16string_view text);
    std::u16string Text() const;

    // The value of a key, if the key exists.
    bool Lookup(std::u16string_view section, std::u16string_view key, std::u16string& value) const;
    int32_t GetInt(std::u16string_view section, std::u16string_view key, int32_t fallback) const;
    // The value cut to maxUnits code units (fallback when the key is missing).
    std::u16string GetString(std::u16string_view section, std::u16string_view key,
                             std::u16string_view fallback, size_t maxUnits) const;

    // Sets a key, adding the section or key where needed. A value is one
    // line: it is cut at its first line break.
    void Set(std::u16string_view section, std::u16string_view key, std::u16string_view value);

private:
    std::vector<std::u16string> lines_;
};

// One-call forms for a single key, like GetPrivateProfileInt/String and
// WritePrivateProfileString. ReadIniString copies at most capacity - 1 units.
int32_t ReadIniInt(std::u16string_view path, std::u16string_view section, std::u16string_view key,
                   int32_t fallback);
size_t ReadIniString(std::u16string_view path, std::u16string_view section, std::u16string_view key,
                     char16_t* destination, size_t capacity);
// False when the file could not be written; an existing file that could not
// be read is left untouched rather than replaced.
bool WriteIniString(std::u16string_view path, std::u16string_view section, std::u16string_view key,
                    std::u16string_view value);
