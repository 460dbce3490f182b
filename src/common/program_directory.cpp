#include "common/program_directory.h"

#include "common/program_context.h"
#include "platform/files.h"
#include "platform/text.h"

std::u16string DirectoryOfExecutable(std::u16string_view path) {
    if (path.size() <= 1) return std::u16string(path);
    // Both scans run from the last character down to the second.
    size_t dot = path.find_last_of(u'.');
    if (dot == std::u16string_view::npos || dot == 0) return std::u16string(path);
    size_t slash = path.find_last_of(u'\\');
    if (slash == std::u16string_view::npos || slash == 0) return std::u16string(path);
    return std::u16string(path.substr(0, slash));
}

void ComputeProgramDirectory() { CopyTextInto(g_Program.Directory, DirectoryOfExecutable(ExecutablePath())); }

std::u16string ProgramFilePath(std::u16string_view name) {
    std::u16string path(TextView(g_Program.Directory));
    path += u'\\';
    path += name;
    return path;
}
