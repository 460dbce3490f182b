#include "support/program_folder.h"

#include <algorithm>

#include "platform/files.h"
#include "platform/text.h"

ProgramFolder::ProgramFolder() : workingDirectory_(WorkingDirectory()), settings_(g_Settings) {
    std::copy(std::begin(g_ProgramDirectory), std::end(g_ProgramDirectory), programDirectory_);
    CopyTextInto(g_ProgramDirectory, folder.Path());
}

ProgramFolder::~ProgramFolder() {
    SetWorkingDirectory(workingDirectory_);  // before the folder goes
    std::copy(std::begin(programDirectory_), std::end(programDirectory_), g_ProgramDirectory);
    g_Settings = settings_;
}
