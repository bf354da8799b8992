#include "settings/SettingsStore.h"

#include "platform/AsciiText.h"

#include <algorithm>
#include <limits>

namespace lupenta {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The smallest character that needs each length of sequence: a shorter one spelt longer
// (C0 8A for a line feed) is malformed, or it would slip a line break past the reader.
constexpr char32_t kSmallestOfLength[] = {0, 0x80, 0x800, 0x10000};

bool IsSurrogate(char32_t c) {
    return c >= 0xD800 && c < 0xE000;
}

// Reads one character at `i`; a malformed sequence (cut short, overlong, a surrogate or beyond
// U+10FFFF) yields the replacement character and consumes one byte, so every input makes
// progress.
char32_t NextUtf8(std::string_view s, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    int extra = 0;
    char32_t c = 0;
    if (lead < 0x80) {
        ++i;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        c = lead & 0x07;
    } else {
        ++i;
        return kReplacement;
    }
    if (i + static_cast<std::size_t>(extra) >= s.size()) {
        ++i;
        return kReplacement;
    }
    for (int k = 1; k <= extra; ++k) {
        const unsigned char next = byte(i + static_cast<std::size_t>(k));
        if ((next & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        c = (c << 6) | (next & 0x3F);
    }
    if (c < kSmallestOfLength[extra] || IsSurrogate(c) || c > 0x10FFFF) {
        ++i;
        return kReplacement;
    }
    i += static_cast<std::size_t>(extra) + 1;
    return c;
}

std::string WellFormedUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();)
        AppendUtf8(text, NextUtf8(bytes, i));
    return text;
}

void AppendUtf16(std::string& out, char16_t unit, bool bigEndian) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
}

std::string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::string text;
    text.reserve(bytes.size() / 2);
    const auto unitAt = [&](std::size_t k) {
        const auto a = static_cast<unsigned char>(bytes[k]);
        const auto b = static_cast<unsigned char>(bytes[k + 1]);
        return static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
    };
    const std::size_t units = bytes.size() / 2;
    for (std::size_t u = 0; u < units; ++u) {
        const char16_t unit = unitAt(u * 2);
        if (unit >= 0xD800 && unit < 0xDC00 && u + 1 < units) {
            const char16_t low = unitAt(u * 2 + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++u;
                continue;
            }
        }
        AppendUtf8(text, IsSurrogate(unit) ? kReplacement : unit);
    }
    return text;
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

std::vector<std::string_view> BooleanWords(std::string_view list) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < list.size()) {
        const std::size_t end = list.find_first_of(", \t", i);
        const std::size_t stop = end == std::string_view::npos ? list.size() : end;
        if (stop > i)
            words.push_back(list.substr(i, stop - i));
        i = stop + 1;
    }
    return words;
}

bool MatchesAny(std::string_view text, std::string_view list) {
    const auto words = BooleanWords(list);
    return std::any_of(words.begin(), words.end(),
                       [&](std::string_view word) { return SameText(word, text); });
}

} // namespace

ConversionError::ConversionError(std::string_view text)
    : std::runtime_error("'" + std::string(text) + "' is not a valid integer value") {}

std::optional<std::int32_t> ParseIntegerText(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size())
        return std::nullopt;
    const std::int64_t limit = negative ? std::int64_t{1} << 31 : (std::int64_t{1} << 31) - 1;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i]);
        if (digit >= base)
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::string DecodeText(std::string_view bytes, TextEncoding& found) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        found = TextEncoding::Utf8;
        return WellFormedUtf8(bytes.substr(3));
    }
    if (bytes.substr(0, 2) == "\xFF\xFE") {
        found = TextEncoding::Utf16LE;
        return DecodeUtf16(bytes.substr(2), false);
    }
    if (bytes.substr(0, 2) == "\xFE\xFF") {
        found = TextEncoding::Utf16BE;
        return DecodeUtf16(bytes.substr(2), true);
    }
    found = TextEncoding::Latin1;
    std::string text;
    text.reserve(bytes.size());
    for (char c : bytes)
        AppendUtf8(text, static_cast<unsigned char>(c));
    return text;
}

std::string EncodeText(std::string_view utf8, TextEncoding encoding) {
    std::string bytes;
    switch (encoding) {
    case TextEncoding::Utf8:
        bytes = "\xEF\xBB\xBF";
        bytes += utf8;
        return bytes;
    case TextEncoding::Latin1:
        bytes.reserve(utf8.size());
        for (std::size_t i = 0; i < utf8.size();) {
            const char32_t c = NextUtf8(utf8, i);
            bytes += c <= 0xFF ? static_cast<char>(c) : '?';
        }
        return bytes;
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
        const bool bigEndian = encoding == TextEncoding::Utf16BE;
        bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        bytes.reserve(2 + utf8.size() * 2);
        for (std::size_t i = 0; i < utf8.size();) {
            char32_t c = NextUtf8(utf8, i);
            if (c >= 0x10000) {
                c -= 0x10000;
                AppendUtf16(bytes, static_cast<char16_t>(0xD800 + (c >> 10)), bigEndian);
                AppendUtf16(bytes, static_cast<char16_t>(0xDC00 + (c & 0x3FF)), bigEndian);
            } else {
                AppendUtf16(bytes, static_cast<char16_t>(c), bigEndian);
            }
        }
        return bytes;
    }
    }
    return bytes;
}

std::string StorableValue(std::string_view value, TextEncoding encoding) {
    std::string kept;
    kept.reserve(value.size());
    for (std::size_t i = 0; i < value.size();) {
        char32_t c = NextUtf8(value, i);
        if (c == '\r' || c == '\n')
            c = ' ';
        else if (encoding == TextEncoding::Latin1 && c > 0xFF)
            c = '?';
        AppendUtf8(kept, c);
    }
    return std::string(Trim(kept));
}

IniDocument IniDocument::Parse(std::string_view text) {
    IniDocument document;
    std::optional<std::size_t> current;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = Trim(text.substr(start, end - start));
        start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);

        if (line.empty() || line.front() == ';')
            continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            const std::string_view name = Trim(line.substr(1, line.size() - 2));
            const auto found =
                std::find_if(document.sections.begin(), document.sections.end(),
                             [&](const IniSection& s) { return SameText(s.name, name); });
            current = static_cast<std::size_t>(found - document.sections.begin());
            if (found == document.sections.end())
                document.sections.push_back(IniSection{std::string(name), {}});
            continue;
        }
        if (!current)
            continue;
        IniLine entry;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            entry.key = line;
            entry.bare = true;
        } else {
            entry.key = TrimRight(line.substr(0, equals));
            entry.value = TrimLeft(line.substr(equals + 1));
        }
        document.sections[*current].lines.push_back(std::move(entry));
    }
    return document;
}

std::string IniDocument::Format() const {
    std::string text;
    for (const IniSection& section : sections) {
        text += '[';
        text += section.name;
        text += "]\r\n";
        for (const IniLine& line : section.lines) {
            text += line.key;
            if (!line.bare) {
                text += '=';
                text += line.value;
            }
            text += "\r\n";
        }
        text += "\r\n";
    }
    return text;
}

const IniSection* IniDocument::FindSection(std::string_view name) const {
    for (const IniSection& section : sections)
        if (SameText(section.name, name))
            return &section;
    return nullptr;
}

const IniLine* IniDocument::FindLine(const IniSection& section, std::string_view key) {
    for (auto it = section.lines.rbegin(); it != section.lines.rend(); ++it)
        if (SameText(it->key, key))
            return &*it;
    return nullptr;
}

TSettingsStore::TSettingsStore(FileSystem& files) : files_(files) {}

TSettingsStore::~TSettingsStore() {
    if (FlushOnDestroy)
        Flush();
}

void TSettingsStore::SetFileName(std::string_view name) {
    fileName_ = name;
    const std::string file = NameOf(name);
    const std::string folder = file.empty() ? std::string() : files_.ExecutableFolder();
    fullFileName_ = folder;
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/')
        fullFileName_ += files_.PathSeparator();
    fullFileName_ += file;
    readOnly_ = !fullFileName_.empty() && files_.IsReadOnly(fullFileName_);
}

std::string TSettingsStore::ConcatPaths(const std::vector<std::string_view>& paths) {
    std::size_t first = 0;
    for (std::size_t i = 1; i < paths.size(); ++i)
        if (!paths[i].empty() && paths[i].front() == '\\')
            first = i;

    std::vector<std::string_view> collected;
    for (std::size_t i = first; i < paths.size(); ++i) {
        const std::string_view path = paths[i];
        std::size_t pos = 0;
        while (pos < path.size()) {
            std::size_t end = path.find('\\', pos);
            if (end == std::string_view::npos)
                end = path.size();
            const std::string_view element = path.substr(pos, end - pos);
            pos = end + 1;
            if (element.empty() || element == ".")
                continue;
            if (element.find_first_not_of('.') == std::string_view::npos) {
                const std::size_t drop = std::min(element.size() - 1, collected.size());
                collected.resize(collected.size() - drop);
                continue;
            }
            collected.push_back(element);
        }
    }

    std::string joined;
    for (std::string_view element : collected) {
        if (!joined.empty())
            joined += '\\';
        joined += element;
    }
    return joined;
}

TSettingsStore::Address TSettingsStore::Resolve(std::string_view path) const {
    const std::string full = ConcatPaths({path});
    const std::size_t split = full.rfind('\\');
    Address address;
    if (split == std::string::npos) {
        address.key = full;
    } else {
        address.section = full.substr(0, split);
        address.key = full.substr(split + 1);
    }
    if (address.section.empty())
        address.section = DefaultSection;
    else if (address.section.front() == '.')
        address.section = DefaultSection + address.section;
    return address;
}

const IniLine* TSettingsStore::Find(std::string_view path) const {
    const Address address = Resolve(path);
    const IniSection* section = document_.FindSection(address.section);
    return section ? IniDocument::FindLine(*section, address.key) : nullptr;
}

void TSettingsStore::Write(std::string_view path, std::string value) {
    if (readOnly_)
        return;
    const Address address = Resolve(path);
    auto section =
        std::find_if(document_.sections.begin(), document_.sections.end(),
                     [&](const IniSection& s) { return SameText(s.name, address.section); });
    if (section == document_.sections.end())
        section = document_.sections.insert(section, IniSection{address.section, {}});
    auto& lines = section->lines;
    const auto line = std::find_if(lines.rbegin(), lines.rend(),
                                   [&](const IniLine& l) { return SameText(l.key, address.key); });
    if (line != lines.rend()) {
        line->value = std::move(value);
        line->bare = false;
        return;
    }
    lines.push_back(IniLine{address.key, std::move(value), false});
}

std::string TSettingsStore::ReadString(std::string_view path, std::string_view defaultValue) const {
    const IniLine* line = Find(path);
    return line ? line->value : std::string(defaultValue);
}

void TSettingsStore::WriteString(std::string_view path, std::string_view value) {
    Write(path, StorableValue(value, encoding_.value_or(TextEncoding::Latin1)));
}

std::int32_t TSettingsStore::ReadInteger(std::string_view path, std::int32_t defaultValue) const {
    const IniLine* line = Find(path);
    if (!line)
        return defaultValue;
    if (line->value.empty())
        return 0;
    if (const auto value = ParseIntegerText(line->value))
        return *value;
    throw ConversionError(line->value);
}

void TSettingsStore::WriteInteger(std::string_view path, std::int32_t value) {
    Write(path, std::to_string(value));
}

bool TSettingsStore::ReadBoolean(std::string_view path, bool defaultValue) const {
    const IniLine* line = Find(path);
    if (!line)
        return defaultValue;
    if (MatchesAny(line->value, BooleanStringTrueValues))
        return true;
    if (MatchesAny(line->value, BooleanStringFalseValues))
        return false;
    if (line->value.empty())
        return false;
    if (const auto value = ParseIntegerText(line->value))
        return *value != 0;
    throw ConversionError(line->value);
}

void TSettingsStore::WriteBoolean(std::string_view path, bool value) {
    const auto words = BooleanWords(value ? BooleanStringTrueValues : BooleanStringFalseValues);
    Write(path, words.empty() ? std::string() : std::string(words.front()));
}

bool TSettingsStore::ValueStored(std::string_view path) const {
    return Find(path) != nullptr;
}

void TSettingsStore::Reload() {
    document_ = IniDocument{};
    encoding_.reset();
    unreadable_ = false;
    if (!fullFileName_.empty() && files_.FileExists(fullFileName_)) {
        if (const std::optional<std::string> bytes = files_.ReadFile(fullFileName_)) {
            TextEncoding found = TextEncoding::Latin1;
            document_ = IniDocument::Parse(DecodeText(*bytes, found));
            encoding_ = found;
        } else {
            unreadable_ = true;
        }
    }
    loaded_ = true;
    readOnly_ = !fullFileName_.empty() && files_.IsReadOnly(fullFileName_);
}

void TSettingsStore::Flush() {
    if (fullFileName_.empty() || readOnly_ || unreadable_)
        return;
    // Nothing may escape: the store is flushed from its destructor at the end of the program.
    try {
        // A settings file that is a link stays one: the new content goes where it points.
        const std::optional<std::string> target = files_.LinkTarget(fullFileName_);
        // The user may have protected the file while the program ran.
        if (!target || files_.IsReadOnly(*target))
            return;
        if (!files_.CreateFolders(FolderOf(*target)))
            return;
        const std::string bytes =
            EncodeText(document_.Format(), encoding_.value_or(TextEncoding::Latin1));
        ReplaceFileContents(files_, *target, bytes);
    } catch (...) {
    }
}

} // namespace lupenta
