// A temporary program folder: g_ProgramDirectory points into a fresh folder
// for one test, and the settings, the working directory and the program
// directory are restored afterwards.
#pragma once

#include <string>

#include "common/app_settings.h"
#include "common/program_directory.h"
#include "support/temp_folder.h"

class ProgramFolder {
public:
    ProgramFolder();
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    TempFolder folder;

private:
    std::u16string workingDirectory_;
    char16_t programDirectory_[kPathCapacity];
    AppSettings settings_;
};
