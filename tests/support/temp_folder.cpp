#include "support/temp_folder.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>

#include "platform/text_file.h"

namespace {

std::atomic<int> counter{0};

std::u16string ProgramStylePath(const std::filesystem::path& p) {
    std::u16string s = p.u16string();
    for (char16_t& c : s)
        if (c == u'/') c = u'\\';
    return s;
}

}  // namespace

TempFolder::TempFolder() {
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    std::ostringstream name;
    name << "lanvisor-test-" << stamp << "-" << counter++;
    path_ = std::filesystem::temp_directory_path() / name.str();
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::u16string TempFolder::Path() const { return ProgramStylePath(path_); }

std::u16string TempFolder::File(std::u16string_view name) const { return Path() + u"\\" + std::u16string(name); }

std::string TempFolder::ReadBytes(std::u16string_view name) const {
    std::ifstream in(path_ / std::filesystem::path(std::u16string(name)), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void TempFolder::WriteBytes(std::u16string_view name, std::string_view bytes) const {
    std::ofstream out(path_ / std::filesystem::path(std::u16string(name)), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Utf16LeFile(std::u16string_view text) { return EncodeUtf16LeWithBom(text); }
