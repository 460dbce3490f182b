// The numbers of the interface texts in Lanvisor_char2.ini ("No.<n>:comt-e"
// and its sister keys), each named once after what its English text says
// and grouped by where the program shows it. A number is never changed: the
// text file of every installed copy is keyed by it.
#pragma once

enum TextNumber : int {
    // Message boxes: the manual, the trace and the files it is kept in
    kTextOpenManual = 0,  // caption of the next one
    kTextCannotOpenManual = 1,
    kTextClearLogQuestion = 5,
    kTextOutOfMemoryForLog = 6,
    kTextNothingToSave = 12,   // also when there is nothing to export
    kTextCannotOpenFile = 13,  // trace, export and connect log files
    kTextExportScreenQuestion = 285,
    kTextCaptureStopped = 286,
    kTextCannotCreateCaptureFile = 287,

    // Message boxes: line files and macros
    kTextMacroFileNameTooShort = 2,
    kTextMacroReachedEnd = 15,
    kTextMacroEndedAtPend = 16,
    kTextMacroStopped = 17,
    kTextEmptyOrNotUtf16 = 23,
    kTextMacroFileEmpty = 24,
    kTextCannotOpenLineOrMacroFile = 34,  // the same words as kTextCannotOpenFile

    // Message boxes: connecting, closing and sending
    kTextConnectingPleaseWait = 4,  // the label of the connection-wait window
    kTextCloseConnection = 21,      // caption of the next one
    kTextClientStillConnected = 22,
    kTextNoClientToSendTo = 32,
    kTextSendError = 33,  // its caption
    kTextDeleteQuestion = 36,

    // File dialog titles
    kTextSaveAs = 10,
    kTextOpenFile = 11,

    // About dialog
    kTextAboutLanvisor = 40,

    // Connection settings dialog
    kTextConnectionSettings = 103,
    kTextCancel = 41,
    kTextPort = 43,
    kTextServerOrClient = 44,
    kTextClient = 45,
    kTextServer = 46,
    kTextTipOrUdp = 80,
    kTextMulticastGroup = 300,
    kTextMulticastTtl = 301,
    kTextGroupOutOfRange = 302,  // refusals of OK, captioned kTextConnectionSettings
    kTextTtlOutOfRange = 303,
    kTextAdapterSearch = 99,
    kTextSetIpAddress = 100,
    kTextNetworkConnections = 101,
    kTextFindDeviceIp = 102,

    // IP address dialog (96..98 also serve the preset edit dialog's mode messages)
    kTextAdministratorRights = 96,
    kTextKeepIdAndPassword = 97,
    kTextAddIp = 98,

    // Sending dialogs: Type and Send, Send Presets, Edit Presets
    kTextTypeAndSend = 60,
    kTextSendHistory = 61,
    kTextAsc = 67,  // the mode labels of the input line
    kTextHex = 68,
    kTextSendDialogClose = 69,
    kTextSendPresets = 70,
    kTextPresets = 71,
    kTextSend = 72,
    kTextSendTo = 73,
    kTextInputMode = 79,
    kTextAscInputHelp = 81,
    kTextHexInputHelp = 82,
    kTextInputModeCaption = 83,
    kTextTypeDataToSend = 84,
    kTextPreviousPage = 85,
    kTextNextPage = 86,
    kTextReload = 87,  // also the reply rules dialog's
    kTextLoadFile = 88,
    kTextRefresh = 89,
    kTextTypePresetLine = 95,
    kTextEditPresets = 183,
    kTextDeleteAll = 186,
    kTextSave = 187,
    kTextLoad = 188,
    kTextAddToList = 190,

    // Macro dialog
    kTextRunMacro = 90,
    kTextMacroFileName = 91,
    kTextStop = 92,

    // Preferences and dark/light mode dialogs (the latter's title is its menu item)
    kTextPreferences = 75,
    kTextScrollWidth = 76,
    kTextLowerCaseChecksum = 77,
    kTextNoAutomaticFocus = 65,
    kTextRefreshMs = 35,
    kTextDarkMode = 180,
    kTextNoMenuBar = 181,
    kTextSaveAndRestart = 182,
    kTextClose = 74,  // also the macro dialog's and the reply rules dialog's

    // Reply rules dialog (Close and Reload are the sending dialogs' words)
    kTextReplyRules = 290,
    kTextRulesFile = 291,
    kTextRule = 292,
    kTextRuleLine = 293,
    kTextRuleHits = 294,
    kTextUnmatched = 295,
    kTextFailed = 296,
    kTextEdit = 297,

    // Menu bar popups
    kTextMenuFile = 200,
    kTextMenuView = 201,
    kTextMenuSend = 202,
    kTextMenuTools = 203,
    kTextMenuConnection = 204,
    kTextMenuOptions = 205,
    kTextMenuHelp = 206,

    // Main window commands: the menu items, also the toolbar tooltips
    kTextCommandSaveLog = 210,
    kTextCommandOpenLog = 211,
    kTextCommandExit = 212,
    kTextCommandExport = 213,
    kTextCommandCaptureToFile = 214,
    kTextCommandCaptureFolder = 215,  // also the folder chooser's title
    kTextCommandRedraw = 220,
    kTextCommandClearLog = 221,
    kTextCommandScrollToNewer = 222,
    kTextCommandScrollToOlder = 223,
    kTextCommandGoToLastLine = 224,
    kTextCommandGoToFirstLine = 225,
    kTextCommandTypeAndSend = 230,
    kTextCommandSendPresets = 231,
    kTextCommandRunMacro = 232,
    kTextCommandEditPresets = 240,
    kTextCommandMemo = 241,
    kTextCommandEditMacroFile = 242,
    kTextCommandConnectionSettings = 250,
    kTextCommandConnect = 251,
    kTextCommandDisconnect = 252,
    kTextCommandHostName = 253,
    kTextCommandReplyRules = 254,
    kTextCommandReplyAutomatically = 255,
    kTextCommandPreferences = 260,
    kTextCommandDarkLightMode = 261,
    kTextCommandLanguage = 262,
    kTextCommandColorSettings = 263,
    kTextCommandAbout = 270,
    kTextCommandManual = 271,
    kTextCommandWebsite = 272,
};
