#include "nettools/batch_files.h"

#include <string>

#include "common/program_context.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/ipv4_address.h"
#include "platform/text.h"

namespace {

constexpr std::u16string_view kUnsafeCharacters = u"\"%^&|<>\\/:*?";
constexpr std::string_view kLineStart = "netsh interface ip set address \"";
constexpr std::string_view kLineEnd = "\r\n";

bool IsControl(char16_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// The name in the ANSI code page, or why it cannot be used.
BatchRefusal CheckAdapterName(std::u16string_view name, std::string& ansi, char16_t& character) {
    for (char16_t c : name) {
        if (IsUnsafeNameCharacter(c)) {
            character = c;
            return BatchRefusal::UnsafeCharacter;
        }
    }
    bool lossy = false;
    ansi = Utf16ToAnsiNoBestFit(name, &lossy);
    if (lossy) return BatchRefusal::NotInCodePage;
    if (ansi.empty()) return BatchRefusal::NoAdapter;
    return BatchRefusal::None;
}

constexpr std::u16string_view kNameRule = u" Names may not hold \" % ^ & | < > \\ / : * ? or control characters.";

std::u16string RefusalText(const BatchContent& content) {
    switch (content.refusal) {
    case BatchRefusal::UnsafeCharacter:
        if (IsControl(content.character))
            return u"The adapter name cannot be written into a batch file because it holds a control character." +
                   std::u16string(kNameRule);
        return FormatString(u"The adapter name cannot be written into a batch file because it holds the "
                            u"character '%c'.",
                            {content.character}) +
               std::u16string(kNameRule);
    case BatchRefusal::NotInCodePage:
        return u"The adapter name cannot be written into a batch file because it holds characters that the "
               u"system's ANSI code page cannot represent.";
    case BatchRefusal::LineTooLong:
        return FormatString(u"The adapter name is too long for a batch file: its netsh line would be longer "
                            u"than %d bytes.",
                            {static_cast<int>(kBatchLineLimit)});
    default:
        return {};
    }
}

void ShowRefusal(WindowHandle owner, const BatchContent& content) {
    if (content.refusal == BatchRefusal::NoAdapter)
        ShowMessageBox(owner, u"Please select an item.", u"listbox", kMbOk | kMbIconWarning);
    else
        ShowMessageBox(owner, RefusalText(content), u"adapter name", kMbOk | kMbIconWarning);
}

bool IsBatchName(std::u16string_view name) {
    constexpr std::u16string_view kExtension = u".bat";
    return name.size() > kExtension.size() &&
           EqualsIgnoreAsciiCase(name.substr(name.size() - kExtension.size()), kExtension);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool EqualsWord(std::string_view word, std::string_view expected) {
    if (word.size() != expected.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
        if ((word[i] | 0x20) != expected[i]) return false;
    return true;
}

// Up to eight numbers after "static" on its line: runs of digits, anything
// else between them.
void ReadNumbers(std::string_view bytes, size_t at, BatchReadBack& result) {
    while (at < bytes.size() && result.count < 8 && bytes[at] != '\r' && bytes[at] != '\n') {
        if (!IsDigit(bytes[at])) {
            ++at;
            continue;
        }
        uint32_t value = 0;  // wraps like a typed number instead of overflowing
        for (; at < bytes.size() && IsDigit(bytes[at]); ++at) value = value * 10u + static_cast<uint32_t>(bytes[at] - '0');
        result.numbers[result.count++] = static_cast<int32_t>(value);
    }
}

}  // namespace

std::u16string BatchFolderPath() { return ProgramFilePath(kBatchFolderName); }

std::u16string BatchFilePath(std::u16string_view name) {
    return BatchFolderPath() + u"\\" + std::u16string(name);
}

bool IsUnsafeNameCharacter(char16_t c) { return IsControl(c) || kUnsafeCharacters.find(c) != std::u16string_view::npos; }

BatchContent MakeBatch(const AddressBatch& batch) {
    BatchContent content;
    std::string name;
    content.refusal = CheckAdapterName(batch.adapterName, name, content.character);
    if (content.refusal != BatchRefusal::None) return content;
    content.line = std::string(kLineStart) + name + "\"";
    if (batch.automatic) {
        content.line += " dhcp";
        content.fileName = FormatString(u"%s_auto.bat", {batch.adapterName});
    } else {
        content.line += " static " + DottedText(batch.address) + " " + DottedText(batch.mask);
        const int32_t(&a)[4] = batch.address;
        content.fileName = FormatString(u"%s_%d_%d_%d_%d.bat", {batch.adapterName, a[0], a[1], a[2], a[3]});
    }
    content.line += kLineEnd;
    if (content.line.size() > kBatchLineLimit) {
        content.refusal = BatchRefusal::LineTooLong;
        content.line.clear();
        content.fileName.clear();
    }
    return content;
}

bool WriteBatchFile(WindowHandle owner, const AddIpForm& form) {
    AddressBatch batch;
    batch.adapterName = form.adapterName;
    batch.automatic = form.automatic;
    BatchContent content;
    std::string ansiName;
    content.refusal = CheckAdapterName(form.adapterName, ansiName, content.character);
    if (content.refusal != BatchRefusal::None) {
        ShowRefusal(owner, content);
        return false;
    }
    if (!form.automatic) {
        for (int i = 0; i < kOctetFieldCount; ++i) {
            if (form.octetFields[i].empty()) {
                ShowMessageBox(owner, u"Please enter all addresses.", u"input", kMbOk);
                return false;
            }
            (i < 4 ? batch.address[i] : batch.mask[i - 4]) = LeadingInt(form.octetFields[i]);
        }
    }
    content = MakeBatch(batch);
    if (content.refusal != BatchRefusal::None) {
        ShowRefusal(owner, content);
        return false;
    }
    SetWorkingDirectory(TextView(g_Program.Directory));
    bool notFinished = false;
    if (CreateDirectoryAt(BatchFolderPath()) &&
        WriteFileBytes(BatchFilePath(content.fileName), content.line, &notFinished))
        return true;
    if (notFinished) ShowMessageBox(owner, u"Unable to close the file.", u"file error", kMbOk);
    else ShowMessageBox(owner, u"Unable to open the file.", u"file error", kMbOk | kMbIconWarning);
    return false;
}

std::vector<std::u16string> ListBatchFiles() {
    std::vector<std::u16string> names;
    ListFileNames(BatchFolderPath(), names);  // a missing folder lists nothing
    std::erase_if(names, [](const std::u16string& name) { return !IsBatchName(name); });
    return names;
}

void DeleteBatchFile(WindowHandle owner, std::u16string_view selectedName) {
    if (selectedName.empty()) {
        ShowMessageBox(owner, u"Please select an item.", u"listbox", kMbOk);
        return;
    }
    if (!DeleteFileAt(BatchFilePath(selectedName)))
        ShowMessageBox(owner, u"Unable to delete the file.", u"file error", kMbOk | kMbIconWarning);
}

BatchReadBack ReadBackBatch(std::string_view bytes) {
    BatchReadBack result;
    size_t at = 0;
    size_t quote = bytes.find('"');
    // The adapter name may hold any word; it is passed over whole.
    size_t nameEnd = quote == std::string_view::npos ? quote : bytes.find('"', quote + 1);
    while (at < bytes.size()) {
        if (at == quote) {
            if (nameEnd == std::string_view::npos) break;
            at = nameEnd + 1;
            continue;
        }
        if (!IsLetter(bytes[at])) {
            ++at;
            continue;
        }
        size_t start = at;
        while (at < bytes.size() && IsLetter(bytes[at])) ++at;
        std::string_view word = bytes.substr(start, at - start);
        if (EqualsWord(word, "dhcp")) {
            result.kind = BatchReadBack::Automatic;
            return result;
        }
        if (EqualsWord(word, "static")) {
            result.kind = BatchReadBack::Fixed;
            ReadNumbers(bytes, at, result);
            return result;
        }
    }
    return result;
}
