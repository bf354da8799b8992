// Any bytes as the settings file (NULs and every byte-order mark included): what loads, and
// what the program then writes into it, must come back from the rewritten file with every
// lookup the same; and a second rewrite must change nothing.

#include "Require.h"
#include "settings/SettingsStore.h"
#include "support/FakeFileSystem.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace lupenta::fuzz {
namespace {

const std::string kIni = "C:\\Program Files\\Lupenta\\Lupenta.ini";

// The keys the program reads and writes, in two spellings each where the file may hold both.
const char* const kKeys[] = {
    "InvertImage1_Checked",
    "DrawCrossHair1_Checked",
    "Panel1_Visible",
    "ShowTitlebar",
    "Timer1_Interval",
    "memX",
    "memY",
    "Pixlevel",
    "pixlevel",
    "NormPos",
    "MinMaxPos",
    "NormPos(1920x1080)",
    "FormVersion",
    "PixelsPerInch",
    "Flags",
    "cbxZoomLevel_ItemIndex",
};

// What a read gives: the text, the number or the conversion error, as one comparable value.
struct Lookup {
    bool stored;
    std::string text;
    std::variant<std::int32_t, std::string> integer;
    std::variant<bool, std::string> boolean;
    friend bool operator==(const Lookup&, const Lookup&) = default;
};

Lookup LookUp(const TSettingsStore& store, const std::string& key) {
    Lookup lookup{store.ValueStored(key), store.ReadString(key, "\x01"), 0, false};
    try {
        lookup.integer = store.ReadInteger(key, -7);
    } catch (const ConversionError& error) {
        lookup.integer = error.what();
    }
    try {
        lookup.boolean = store.ReadBoolean(key, true);
    } catch (const ConversionError& error) {
        lookup.boolean = error.what();
    }
    return lookup;
}

std::vector<std::string> KeysOf(const TSettingsStore& store) {
    std::vector<std::string> keys(std::begin(kKeys), std::end(kKeys));
    for (const IniSection& section : store.Document().sections)
        for (const IniLine& line : section.lines)
            if (line.key.find('\\') == std::string::npos)
                keys.push_back(section.name + "\\" + line.key);
    return keys;
}

struct Loaded {
    testing::FakeFileSystem files;
    std::optional<TSettingsStore> store;

    explicit Loaded(std::string bytes) {
        files.files[kIni] = std::move(bytes);
        store.emplace(files);
        store->FlushOnDestroy = false;
        store->SetFileName("Lupenta.ini");
        store->Reload();
    }
    std::string Flushed() {
        store->Flush();
        return files.files[kIni];
    }
};

} // namespace
} // namespace lupenta::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lupenta;
    using namespace lupenta::fuzz;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Loaded first{std::string(bytes)};

    // The program writes what it read back, and values taken from anywhere in the bytes.
    std::size_t at = 0;
    for (const char* key : kKeys) {
        const std::size_t length = at < size ? data[at] % 24 : 0;
        first.store->WriteString(key, bytes.substr(std::min(at + 1, size), length));
        at += length + 1;
    }
    for (const IniSection& section : first.store->Document().sections)
        for (const IniLine& line : section.lines)
            if (!line.bare && line.key.find('\\') == std::string::npos)
                first.store->WriteString(line.key, first.store->ReadString(line.key, ""));

    const std::string written = first.Flushed();
    Loaded second{written};
    for (const std::string& key : KeysOf(*first.store))
        Require(LookUp(*first.store, key) == LookUp(*second.store, key),
                "a lookup reads the same after the file is rewritten");
    Require(second.store->Document().Format() == first.store->Document().Format(),
            "the rewritten file holds the same sections and lines");
    Require(second.store->Encoding() == first.store->Encoding().value_or(TextEncoding::Latin1),
            "the file is written back in the encoding it was read in");
    Require(second.Flushed() == written, "a second rewrite changes nothing");
    return 0;
}
