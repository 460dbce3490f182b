// Address-change batch files: one netsh line each, kept in the folder
// "ipaddress" beside the program, written for an adapter with an automatic
// (DHCP) or a fixed address and listed, deleted and read back by the IP
// address setting dialog.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/message_box.h"

constexpr std::u16string_view kBatchFolderName = u"ipaddress";
constexpr size_t kBatchLineLimit = 255;         // bytes of a line, CR LF included
constexpr size_t kBatchReadBackLimit = 260;     // bytes read back from a file
constexpr int kOctetFieldCount = 8;             // four address and four mask fields
constexpr int kOctetFieldCapacity = 4;          // three characters are read

// "<ProgramDirectory>\ipaddress" and a file in it.
std::u16string BatchFolderPath();
std::u16string BatchFilePath(std::u16string_view name);

// One file to write.
struct AddressBatch {
    std::u16string adapterName;
    bool automatic = false;
    int32_t address[4] = {};
    int32_t mask[4] = {};
};

// Why a batch file cannot be written for an adapter name. The name stands in
// quotes on a line run with administrator rights and inside a file name, so
// anything that could end the quotes, start another command, expand a
// variable or leave the folder is refused rather than escaped.
enum class BatchRefusal { None, NoAdapter, UnsafeCharacter, NotInCodePage, LineTooLong };

struct BatchContent {
    BatchRefusal refusal = BatchRefusal::None;
    char16_t character = 0;   // the refused character
    std::u16string fileName;  // "<name>_auto.bat" or "<name>_<a>_<b>_<c>_<d>.bat"
    std::string line;         // the netsh line in the ANSI code page, CR LF ended
};

bool IsUnsafeNameCharacter(char16_t c);
BatchContent MakeBatch(const AddressBatch& batch);

// The add dialog's fields: the selected adapter (empty without a
// selection), the "Auto" box and the eight octet fields as typed.
struct AddIpForm {
    std::u16string adapterName;
    bool automatic = false;
    std::u16string octetFields[kOctetFieldCount];
};

// Writes the file the form describes into the batch folder, replacing one of
// the same name. Every refusal and failure is shown in a message box owned
// by owner; false then, and nothing is written.
bool WriteBatchFile(WindowHandle owner, const AddIpForm& form);

// The names of the batch files in the folder, in the order the system lists
// them; none when the folder is missing.
std::vector<std::u16string> ListBatchFiles();

// Deletes the selected file without asking (a message without a selection).
void DeleteBatchFile(WindowHandle owner, std::u16string_view selectedName);

// What a batch file read back says about the address it sets.
struct BatchReadBack {
    enum Kind { Unknown, Automatic, Fixed } kind = Unknown;
    int count = 0;            // numbers found after "static", at most 8
    int32_t numbers[8] = {};  // address octets, then mask octets
};

BatchReadBack ReadBackBatch(std::string_view bytes);
