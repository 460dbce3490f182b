#include "platform/ini_file.h"

#include "platform/files.h"
#include "platform/text.h"
#include "platform/text_file.h"

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view Trim(std::u16string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// "[name]" -> name (trimmed); false for other lines.
bool SectionName(std::u16string_view line, std::u16string_view& name) {
    line = Trim(line);
    if (line.empty() || line.front() != u'[') return false;
    size_t close = line.find(u']');
    if (close == std::u16string_view::npos) return false;
    name = Trim(line.substr(1, close - 1));
    return true;
}

// "key=value" -> key and raw value (both trimmed); false for other lines.
bool KeyAndValue(std::u16string_view line, std::u16string_view& key, std::u16string_view& value) {
    std::u16string_view t = Trim(line);
    if (t.empty() || t.front() == u';' || t.front() == u'[') return false;
    size_t eq = t.find(u'=');
    if (eq == std::u16string_view::npos) return false;
    key = Trim(t.substr(0, eq));
    value = Trim(t.substr(eq + 1));
    return true;
}

std::u16string_view Unquote(std::u16string_view v) {
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

std::u16string_view FirstLine(std::u16string_view v) {
    size_t end = v.find_first_of(u"\r\n");
    return end == std::u16string_view::npos ? v : v.substr(0, end);
}

}  // namespace

bool IniDocument::Load(std::u16string_view path) {
    lines_.clear();
    std::string bytes;
    FileReadResult r = ReadFileBytes(path, bytes, kMaxIniFileBytes);
    if (r == FileReadResult::Missing) return true;
    if (r != FileReadResult::Ok) return false;
    Parse(DecodeTextBytes(bytes));
    return true;
}

bool IniDocument::Save(std::u16string_view path) const { return WriteFileBytes(path, EncodeUtf16LeWithBom(Text())); }

void IniDocument::Parse(std::u16string_view text) {
    lines_.clear();
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n') continue;
        lines_.emplace_back(text.substr(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines_.emplace_back(text.substr(start));
}

std::u16string IniDocument::Text() const {
    std::u16string out;
    for (const auto& line : lines_) {
        out += line;
        out += u"\r\n";
    }
    return out;
}

bool IniDocument::Lookup(std::u16string_view section, std::u16string_view key, std::u16string& value) const {
    bool inSection = false;
    for (const auto& line : lines_) {
        std::u16string_view name, k, v;
        if (SectionName(line, name)) {
            inSection = EqualsIgnoreAsciiCase(name, section);
        } else if (inSection && KeyAndValue(line, k, v) && EqualsIgnoreAsciiCase(k, key)) {
            value.assign(Unquote(v));
            return true;
        }
    }
    return false;
}

int32_t IniDocument::GetInt(std::u16string_view section, std::u16string_view key, int32_t fallback) const {
    std::u16string value;
    if (!Lookup(section, key, value) || value.empty()) return fallback;
    return LeadingInt(value);
}

std::u16string IniDocument::GetString(std::u16string_view section, std::u16string_view key,
                                      std::u16string_view fallback, size_t maxUnits) const {
    std::u16string value;
    if (!Lookup(section, key, value)) value.assign(fallback);
    return std::u16string(CutText(value, maxUnits));
}

void IniDocument::Set(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
    std::u16string newLine(key);
    newLine += u'=';
    newLine += FirstLine(value);

    bool inSection = false;
    size_t insertAt = lines_.size();  // after the last non-blank line of the section
    bool sectionFound = false;
    for (size_t i = 0; i < lines_.size(); ++i) {
        std::u16string_view name, k, v;
        if (SectionName(lines_[i], name)) {
            if (inSection) break;  // the section ended without the key
            inSection = EqualsIgnoreAsciiCase(name, section);
            if (inSection) {
                sectionFound = true;
                insertAt = i + 1;
            }
            continue;
        }
        if (!inSection) continue;
        if (KeyAndValue(lines_[i], k, v) && EqualsIgnoreAsciiCase(k, key)) {
            lines_[i] = std::u16string(k) + u'=' + std::u16string(FirstLine(value));
            return;
        }
        if (!Trim(lines_[i]).empty()) insertAt = i + 1;
    }
    if (!sectionFound) {
        lines_.push_back(u"[" + std::u16string(section) + u"]");
        lines_.push_back(newLine);
        return;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), newLine);
}

int32_t ReadIniInt(std::u16string_view path, std::u16string_view section, std::u16string_view key,
                   int32_t fallback) {
    IniDocument doc;
    doc.Load(path);
    return doc.GetInt(section, key, fallback);
}

size_t ReadIniString(std::u16string_view path, std::u16string_view section, std::u16string_view key,
                     char16_t* destination, size_t capacity) {
    IniDocument doc;
    doc.Load(path);
    std::u16string value;
    if (!doc.Lookup(section, key, value)) value.clear();
    return CopyTextInto(destination, capacity, value);
}

bool WriteIniString(std::u16string_view path, std::u16string_view section, std::u16string_view key,
                    std::u16string_view value) {
    IniDocument doc;
    if (!doc.Load(path)) return false;
    doc.Set(section, key, value);
    return doc.Save(path);
}
