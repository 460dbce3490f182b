// The connect-IP search: a companion batch file ("connect_ip.bat" beside the
// program) writes the addresses of the devices the PC knows into "log.txt";
// the search offers each address found there once, as "IP=a.b.c.d".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/message_box.h"

constexpr std::u16string_view kConnectBatchName = u"connect_ip.bat";
constexpr std::u16string_view kConnectLogName = u"log.txt";

constexpr int kConnectLogLines = 128;            // later lines are not read
constexpr size_t kConnectLogLineBytes = 1022;    // a longer line goes on as the next one
constexpr size_t kConnectLogWindow = 18;         // only this many bytes of a line count
constexpr size_t kConnectLogReadLimit = kConnectLogLines * kConnectLogLineBytes;

// Starts the batch file from the program folder, normally or with
// administrator rights, without waiting for it.
void StartConnectBatch(WindowHandle owner, bool asAdministrator);

// The distinct entries of a log, in the order of their first line.
std::vector<std::u16string> ParseConnectLog(std::string_view bytes);

// Reads "<ProgramDirectory>\log.txt" (created empty when missing). False,
// after a message, when the file cannot be opened.
bool ReadConnectLog(WindowHandle owner, std::vector<std::u16string>& entries);

// Takes the address of an entry into octets.
void TakeConnectAddress(std::u16string_view entry, int32_t (&octets)[4]);
