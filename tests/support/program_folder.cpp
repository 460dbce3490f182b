#include "support/program_folder.h"

#include "platform/files.h"
#include "platform/text.h"

ProgramFolder::ProgramFolder()
    : workingDirectory_(WorkingDirectory()), programDirectory_(TextView(g_Program.Directory)) {
    CopyTextInto(g_Program.Directory, folder.Path());
}

ProgramFolder::~ProgramFolder() {
    SetWorkingDirectory(workingDirectory_);  // before the folder goes
    CopyTextInto(g_Program.Directory, programDirectory_);
}
