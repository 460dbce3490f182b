// The common open/save dialog behind ChooseFile.
#pragma once

// Makes ChooseFile show GetOpenFileNameW / GetSaveFileNameW. Called once
// when the main window is created.
void InstallFileDialogHost();
