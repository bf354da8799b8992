#pragma once

// The settings store: one INI file beside the executable, read once into memory, read and
// written there while the program runs, and written back whole when the store goes away.

#include "platform/FileSystem.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lupenta {

// Raised by the integer and Boolean reads for text that is no number; the message is the one
// the user sees in the error box.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(std::string_view text);
};

// Integer text: blanks, an optional sign, then decimal digits or hexadecimal digits after "$",
// "x", "X", "0x" or "0X"; it must fit in 32 signed bits and nothing may follow.
std::optional<std::int32_t> ParseIntegerText(std::string_view text);

// How the file was read, and so how it is written back. Files without a byte-order mark are
// ISO-8859-1: every byte is one character, so such a file always survives a round trip.
enum class TextEncoding { Latin1, Utf8, Utf16LE, Utf16BE };

// The file in memory. Values are UTF-8 whatever the file's encoding.
struct IniLine {
    std::string key;
    std::string value;
    bool bare = false; // a line of the file that held no "="
};

struct IniSection {
    std::string name;
    std::vector<IniLine> lines;
};

struct IniDocument {
    std::vector<IniSection> sections;
    // Text found before the first section header is not kept.
    static IniDocument Parse(std::string_view text);
    // Every line ends with CR LF and each section is followed by one empty line.
    std::string Format() const;

    const IniSection* FindSection(std::string_view name) const;
    // With duplicate keys the later line is the one that counts.
    static const IniLine* FindLine(const IniSection& section, std::string_view key);
};

// A value as the file gives it back once written in `encoding`, which is how the store keeps
// it: what the program reads later in the run and after the next start must be the same. A
// line break would end the line and start another, which could set some other key, so each CR
// and LF is replaced by a blank (not refused: the rest of the value still counts). Blanks and
// control characters at either end go, as the load trims them; malformed UTF-8 becomes U+FFFD
// and a character that the encoding cannot hold "?", as the write would make them.
std::string StorableValue(std::string_view value, TextEncoding encoding);

// Decodes a whole file, recognising the three byte-order marks; malformed UTF-8 becomes U+FFFD.
std::string DecodeText(std::string_view bytes, TextEncoding& found);
// Encodes text in `encoding`, preceded by its byte-order mark (Latin-1 has none).
std::string EncodeText(std::string_view utf8, TextEncoding encoding);

class TSettingsStore {
public:
    explicit TSettingsStore(FileSystem& files);
    // Writes the file when FlushOnDestroy is set; a failure is dropped.
    ~TSettingsStore();
    TSettingsStore(const TSettingsStore&) = delete;
    TSettingsStore& operator=(const TSettingsStore&) = delete;

    // Only the name part counts: the file always lies in the executable's folder.
    void SetFileName(std::string_view name);
    const std::string& FileName() const { return fileName_; }
    const std::string& FullFileName() const { return fullFileName_; }

    std::string DefaultSection = "Lupenta";
    std::string BooleanStringTrueValues = "TRUE, YES, Y";
    std::string BooleanStringFalseValues = "FALSE, NO, N";
    bool FlushOnDestroy = true;

    std::string ReadString(std::string_view path, std::string_view defaultValue) const;
    void WriteString(std::string_view path, std::string_view value);
    // Throws ConversionError for text that is no integer.
    std::int32_t ReadInteger(std::string_view path, std::int32_t defaultValue) const;
    void WriteInteger(std::string_view path, std::int32_t value);
    // Throws ConversionError for text that is neither a Boolean word nor an integer.
    bool ReadBoolean(std::string_view path, bool defaultValue) const;
    void WriteBoolean(std::string_view path, bool value);
    bool ValueStored(std::string_view path) const;

    // Joins paths into one without "\" at either end; "." and runs of dots are resolved.
    static std::string ConcatPaths(const std::vector<std::string_view>& paths);

    void BeginUpdate() { ++updateDepth_; }
    void EndUpdate() {
        if (updateDepth_ > 0)
            --updateDepth_;
    }
    int UpdateDepth() const { return updateDepth_; }

    void Reload();
    // Writes the whole document; silent on failure, and the old file then stays as it was.
    void Flush();

    bool Loaded() const { return loaded_; }
    bool ReadOnly() const { return readOnly_; }
    std::optional<TextEncoding> Encoding() const { return encoding_; }
    const IniDocument& Document() const { return document_; }

private:
    struct Address {
        std::string section;
        std::string key;
    };
    Address Resolve(std::string_view path) const;
    const IniLine* Find(std::string_view path) const;
    void Write(std::string_view path, std::string value);

    FileSystem& files_;
    std::string fileName_;
    std::string fullFileName_;
    bool readOnly_ = false;
    bool loaded_ = false;
    // A file that exists but could not be read must not be replaced by what little we know.
    bool unreadable_ = false;
    int updateDepth_ = 0;
    IniDocument document_;
    std::optional<TextEncoding> encoding_;
};

} // namespace lupenta
