// The folder that holds the executable: every file of the program lives
// there ("<ProgramDirectory>\<name>").
#pragma once

#include <string>
#include <string_view>

constexpr size_t kPathCapacity = 260;

// The directory part of an executable's path, without trailing backslash.
// A path of one character, or one with no "." or no "\" after its first
// character, is taken unchanged.
std::u16string DirectoryOfExecutable(std::u16string_view executablePath);

// Sets the program context's folder from the running executable.
void ComputeProgramDirectory();

// The program folder + "\" + name.
std::u16string ProgramFilePath(std::u16string_view name);
