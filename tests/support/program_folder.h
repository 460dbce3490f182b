// A temporary program folder: the program context's folder points into a
// fresh folder for one test; it and the working directory are restored
// afterwards.
#pragma once

#include <string>

#include "common/program_context.h"
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
    std::u16string programDirectory_;
};
