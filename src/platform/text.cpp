#include "platform/text.h"

#include <algorithm>

namespace {

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Appends to a fixed buffer, silently dropping what does not fit.
class BoundedWriter {
public:
    BoundedWriter(char16_t* dst, size_t capacity) : dst_(dst), limit_(capacity ? capacity - 1 : 0) {}

    void Put(char16_t c) {
        if (length_ < limit_) dst_[length_++] = c;
        else full_ = true;
    }
    void Put(std::u16string_view s) {
        for (char16_t c : s) Put(c);
    }
    size_t Finish(size_t capacity) {
        if (capacity == 0) return 0;
        // Never leave half a surrogate pair at a cut.
        if (full_ && length_ > 0 && IsHighSurrogate(dst_[length_ - 1])) --length_;
        dst_[length_] = 0;
        return length_;
    }

private:
    char16_t* dst_;
    size_t limit_;
    size_t length_ = 0;
    bool full_ = false;
};

struct Spec {
    bool leftAlign = false;
    bool zeroPad = false;
    size_t width = 0;
    bool hasPrecision = false;
    size_t precision = 0;
    char16_t conversion = 0;
};

// Reads a conversion spec after '%'; returns the index after it.
size_t ParseSpec(std::u16string_view pattern, size_t i, Spec& spec) {
    for (; i < pattern.size(); ++i) {
        if (pattern[i] == u'-') spec.leftAlign = true;
        else if (pattern[i] == u'0') spec.zeroPad = true;
        else break;
    }
    for (; i < pattern.size() && pattern[i] >= u'0' && pattern[i] <= u'9'; ++i)
        spec.width = std::min<size_t>(spec.width * 10 + (pattern[i] - u'0'), 4096);
    if (i < pattern.size() && pattern[i] == u'.') {
        spec.hasPrecision = true;
        for (++i; i < pattern.size() && pattern[i] >= u'0' && pattern[i] <= u'9'; ++i)
            spec.precision = std::min<size_t>(spec.precision * 10 + (pattern[i] - u'0'), 4096);
    }
    // Length modifiers are accepted and ignored: every number is 64-bit here.
    while (i < pattern.size() && (pattern[i] == u'l' || pattern[i] == u'h')) ++i;
    if (i < pattern.size()) spec.conversion = pattern[i++];
    return i;
}

// Renders a number into a small local buffer (digits only, sign apart).
std::u16string_view RenderDigits(unsigned long long value, unsigned base, bool upper, char16_t (&buf)[24]) {
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    size_t pos = 24;
    do {
        buf[--pos] = static_cast<char16_t>(digits[value % base]);
        value /= base;
    } while (value != 0);
    return std::u16string_view(buf + pos, 24 - pos);
}

template <typename Sink>
void EmitPadded(Sink& out, const Spec& spec, std::u16string_view sign, std::u16string_view body) {
    size_t len = sign.size() + body.size();
    size_t pad = spec.width > len ? spec.width - len : 0;
    if (!spec.leftAlign && !spec.zeroPad)
        for (size_t k = 0; k < pad; ++k) out.Put(u' ');
    out.Put(sign);
    if (!spec.leftAlign && spec.zeroPad)
        for (size_t k = 0; k < pad; ++k) out.Put(u'0');
    out.Put(body);
    if (spec.leftAlign)
        for (size_t k = 0; k < pad; ++k) out.Put(u' ');
}

template <typename Sink>
void EmitArgument(Sink& out, const Spec& spec, const FormatArg* arg) {
    static const FormatArg kNone(0);
    const FormatArg& a = arg ? *arg : kNone;
    char16_t buf[24];
    switch (spec.conversion) {
    case u'd':
    case u'i': {
        long long v = a.isText ? 0 : a.number;
        unsigned long long magnitude = v < 0 ? 0ULL - static_cast<unsigned long long>(v) : v;
        EmitPadded(out, spec, v < 0 ? u"-" : u"", RenderDigits(magnitude, 10, false, buf));
        break;
    }
    case u'u':
    case u'x':
    case u'X': {
        // Like printf: the value is taken as an unsigned 32-bit number.
        unsigned long long v = a.isText ? 0 : static_cast<uint32_t>(a.number);
        unsigned base = spec.conversion == u'u' ? 10 : 16;
        EmitPadded(out, spec, u"", RenderDigits(v, base, spec.conversion == u'X', buf));
        break;
    }
    case u'c': {
        char16_t c = a.isText ? (a.text.empty() ? 0 : a.text[0]) : static_cast<char16_t>(a.number);
        EmitPadded(out, spec, u"", std::u16string_view(&c, 1));
        break;
    }
    case u's': {
        std::u16string_view s = arg && a.isText ? a.text : std::u16string_view();
        if (spec.hasPrecision) s = CutText(s, spec.precision);
        Spec plain = spec;
        plain.zeroPad = false;
        EmitPadded(out, plain, u"", s);
        break;
    }
    default:
        break;
    }
}

template <typename Sink>
void FormatTo(Sink& out, std::u16string_view pattern, std::initializer_list<FormatArg> args) {
    const FormatArg* next = args.begin();
    size_t i = 0;
    while (i < pattern.size()) {
        char16_t c = pattern[i++];
        if (c != u'%') {
            out.Put(c);
            continue;
        }
        if (i < pattern.size() && pattern[i] == u'%') {
            out.Put(u'%');
            ++i;
            continue;
        }
        Spec spec;
        i = ParseSpec(pattern, i, spec);
        if (spec.conversion == 0) break;
        const FormatArg* arg = next != args.end() ? next++ : nullptr;
        EmitArgument(out, spec, arg);
    }
}

class StringWriter {
public:
    explicit StringWriter(std::u16string& s) : s_(s) {}
    void Put(char16_t c) { s_.push_back(c); }
    void Put(std::u16string_view v) { s_.append(v); }

private:
    std::u16string& s_;
};

}  // namespace

std::u16string_view CutText(std::u16string_view text, size_t maxUnits) {
    if (text.size() <= maxUnits) return text;
    size_t n = maxUnits;
    if (n > 0 && IsHighSurrogate(text[n - 1]) && IsLowSurrogate(text[n])) --n;
    return text.substr(0, n);
}

size_t CopyTextInto(char16_t* dst, size_t capacity, std::u16string_view src) {
    if (capacity == 0 || dst == nullptr) return 0;
    std::u16string_view cut = CutText(src, capacity - 1);
    std::copy(cut.begin(), cut.end(), dst);
    dst[cut.size()] = 0;
    return cut.size();
}

size_t TextLength(const char16_t* text, size_t capacity) {
    size_t n = 0;
    while (n < capacity && text[n] != 0) ++n;
    return n;
}

int32_t LeadingInt(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    uint32_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = value * 10u + static_cast<uint32_t>(text[i] - u'0');
    if (negative) value = 0u - value;
    return static_cast<int32_t>(value);
}

size_t FormatInto(char16_t* dst, size_t capacity, std::u16string_view pattern,
                  std::initializer_list<FormatArg> args) {
    if (dst == nullptr || capacity == 0) return 0;
    BoundedWriter out(dst, capacity);
    FormatTo(out, pattern, args);
    return out.Finish(capacity);
}

std::u16string FormatString(std::u16string_view pattern, std::initializer_list<FormatArg> args) {
    std::u16string result;
    StringWriter out(result);
    FormatTo(out, pattern, args);
    return result;
}

namespace {

// Decodes one UTF-8 sequence at bytes[i]; returns its length or 0 if invalid.
size_t DecodeUtf8At(std::string_view bytes, size_t i, uint32_t& cp) {
    auto b = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    unsigned char lead = b(i);
    size_t len;
    uint32_t min;
    if (lead < 0x80) { cp = lead; return 1; }
    if ((lead & 0xE0) == 0xC0) { len = 2; cp = lead & 0x1F; min = 0x80; }
    else if ((lead & 0xF0) == 0xE0) { len = 3; cp = lead & 0x0F; min = 0x800; }
    else if ((lead & 0xF8) == 0xF0) { len = 4; cp = lead & 0x07; min = 0x10000; }
    else return 0;
    if (i + len > bytes.size()) return 0;
    for (size_t k = 1; k < len; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size();) {
        uint32_t cp;
        size_t len = DecodeUtf8At(bytes, i, cp);
        if (len == 0) return false;
        i += len;
    }
    return true;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        uint32_t cp;
        size_t len = DecodeUtf8At(utf8, i, cp);
        if (len == 0) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        i += len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t cp = text[i];
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

char16_t AsciiLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

bool EqualsIgnoreAsciiCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}
