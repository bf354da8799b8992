#include "settings/FormStorage.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <limits>

namespace lupenta {

namespace {

// Keeps the store's update bracket balanced when a read throws half-way.
class UpdateBracket {
public:
    explicit UpdateBracket(TSettingsStore& store) : store_(store) { store_.BeginUpdate(); }
    ~UpdateBracket() { store_.EndUpdate(); }
    UpdateBracket(const UpdateBracket&) = delete;
    UpdateBracket& operator=(const UpdateBracket&) = delete;

private:
    TSettingsStore& store_;
};

std::string FourNumbers(int a, int b, int c, int d) {
    char text[64];
    std::snprintf(text, sizeof text, "%d,%d,%d,%d", a, b, c, d);
    return text;
}

// Word `index` (from 0) as a number, or `fallback` when it is missing or no number. The
// fallback is worked out only then: a stored edge near the end of the range would overflow it.
template <class Fallback>
int WordOr(const std::vector<std::string_view>& words, std::size_t index, Fallback fallback) {
    if (index < words.size())
        if (const auto value = ParseIntegerText(words[index]))
            return *value;
    return fallback();
}

int WordOr(const std::vector<std::string_view>& words, std::size_t index, int fallback) {
    return WordOr(words, index, [fallback] { return fallback; });
}

// The far edge of a window of `size` from `edge`, held at the end of the range; a rectangle
// that reaches it lies on no monitor and is not applied.
auto FarEdge(int edge, int size) {
    return [edge, size] {
        const long long far = static_cast<long long>(edge) + size;
        return static_cast<int>(std::clamp<long long>(far, std::numeric_limits<int>::min(),
                                                      std::numeric_limits<int>::max()));
    };
}

bool OnSomeMonitor(const std::vector<Rect>& monitors, Point p) {
    return std::any_of(monitors.begin(), monitors.end(),
                       [&](const Rect& monitor) { return monitor.Contains(p); });
}

} // namespace

std::vector<std::string_view> PositionWords(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t start = text.find_first_not_of(", ", i);
        if (start == std::string_view::npos)
            break;
        std::size_t end = text.find_first_of(", ", start);
        if (end == std::string_view::npos)
            end = text.size();
        words.push_back(text.substr(start, end - start));
        i = end;
    }
    return words;
}

TFormStorage::TFormStorage(FormWindow& window, std::string formName)
    : window_(window), formName_(std::move(formName)) {}

void TFormStorage::SetAppStoragePath(std::string_view path) {
    std::string text(path);
    static constexpr std::string_view kFormName = "%FORM_NAME%";
    if (const auto at = text.find(kFormName); at != std::string::npos)
        text.replace(at, kFormName.size(), formName_);
    if (text.empty() || text.back() != '\\')
        text += '\\';
    appStoragePath_ = std::move(text);
}

void TFormStorage::BindStoredProps(const std::vector<ui::Component*>& components) {
    bound_ = BindStoredProperties(StoredProps, components);
}

void TFormStorage::TakeOverEvents(std::function<void()> formShow,
                                  std::function<bool()> formCloseQuery,
                                  std::function<void()> formDestroy) {
    formShow_ = std::move(formShow);
    formCloseQuery_ = std::move(formCloseQuery);
    formDestroy_ = std::move(formDestroy);
}

template <class F> void TFormStorage::Reporting(F step) {
    try {
        step();
    } catch (const std::exception& e) {
        window_.ShowError(e.what());
    }
}

void TFormStorage::OnShow() {
    if (IsActive() && !restored_)
        Reporting([this] { RestoreFormPlacement(); });
    if (formShow_)
        formShow_();
}

bool TFormStorage::OnCloseQuery() {
    const bool canClose = formCloseQuery_ ? formCloseQuery_() : true;
    if (canClose && IsActive() && window_.HasHandle())
        Reporting([this] { SaveFormPlacement(); });
    return canClose;
}

void TFormStorage::OnDestroy() {
    if (IsActive() && !saved_)
        Reporting([this] { SaveFormPlacement(); });
    if (formDestroy_)
        formDestroy_();
}

std::string TFormStorage::NamePath(std::string_view name) const {
    return TSettingsStore::ConcatPaths({appStoragePath_, name});
}

std::string TFormStorage::PropertyPath(const StoredProperty& property) const {
    const std::string folder = TSettingsStore::ConcatPaths({appStoragePath_, StoredPropsPath});
    return TSettingsStore::ConcatPaths({folder, property.Key()});
}

std::string TFormStorage::ReadString(std::string_view name, std::string_view defaultValue) const {
    if (!store_ || name.empty())
        return std::string(defaultValue);
    return store_->ReadString(NamePath(name), defaultValue);
}

void TFormStorage::WriteString(std::string_view name, std::string_view value) {
    if (store_ && !name.empty())
        store_->WriteString(NamePath(name), value);
}

std::int32_t TFormStorage::ReadInteger(std::string_view name, std::int32_t defaultValue) const {
    if (!store_ || name.empty())
        return defaultValue;
    return store_->ReadInteger(NamePath(name), defaultValue);
}

void TFormStorage::WriteInteger(std::string_view name, std::int32_t value) {
    if (store_ && !name.empty())
        store_->WriteInteger(NamePath(name), value);
}

bool TFormStorage::ReadBoolean(std::string_view name, bool defaultValue) const {
    if (!store_ || name.empty())
        return defaultValue;
    return store_->ReadBoolean(NamePath(name), defaultValue);
}

void TFormStorage::WriteBoolean(std::string_view name, bool value) {
    if (store_ && !name.empty())
        store_->WriteBoolean(NamePath(name), value);
}

bool TFormStorage::VersionAccepted(std::int32_t version) const {
    switch (VersionCheck) {
    case FormVersionCheck::NoCheck:
        return true;
    case FormVersionCheck::CheckEqual:
        return version == Version;
    case FormVersionCheck::CheckGreaterEqual:
        return version >= Version;
    }
    return false;
}

void TFormStorage::SaveFormPlacement() {
    if (!store_)
        return;
    UpdateBracket bracket(*store_);
    if (VersionCheck != FormVersionCheck::NoCheck)
        WriteInteger("FormVersion", Version);
    // Before a restore has run the controls still hold their designed values, and saving
    // them would overwrite what the user set.
    if (restored_) {
        SavePlacement();
        SaveProperties();
    }
    saved_ = true;
}

void TFormStorage::RestoreFormPlacement() {
    if (!store_)
        return;
    UpdateBracket bracket(*store_);
    saved_ = false;
    const bool accepted =
        VersionCheck == FormVersionCheck::NoCheck || VersionAccepted(ReadInteger("FormVersion", 0));
    if (accepted) {
        RestorePlacement();
        restored_ = true;
        RestoreProperties();
    }
    restored_ = true;
}

std::string TFormStorage::DesktopSuffix(const ScreenMetrics& screen) const {
    char text[32];
    std::snprintf(text, sizeof text, "(%dx%d)", screen.virtualWidth, screen.virtualHeight);
    return text;
}

void TFormStorage::SavePlacement() {
    const std::optional<WindowPlacement> placement = window_.GetPlacement();
    if (!placement)
        return;
    const ScreenMetrics screen = window_.Screen();
    const std::string suffix = DesktopSuffix(screen);
    WriteInteger("Flags", static_cast<std::int32_t>(placement->flags));
    WriteInteger("PixelsPerInch", screen.pixelsPerInch);
    const std::string minMax = FourNumbers(placement->minPosition.x, placement->minPosition.y,
                                           placement->maxPosition.x, placement->maxPosition.y);
    WriteString("MinMaxPos" + suffix, minMax);
    WriteString("MinMaxPos", minMax);
    const Rect& normal = placement->normalPosition;
    const std::string norm = FourNumbers(normal.left, normal.top, normal.right, normal.bottom);
    WriteString("NormPos" + suffix, norm);
    WriteString("NormPos", norm);
}

std::string TFormStorage::PositionText(std::string_view key, const std::string& suffix) const {
    const std::string suffixed = std::string(key) + suffix;
    if (store_->ValueStored(NamePath(suffixed)))
        return ReadString(suffixed, "");
    return ReadString(key, "");
}

void TFormStorage::RestorePlacement() {
    UpdateBracket bracket(*store_);
    const std::optional<WindowPlacement> current = window_.GetPlacement();
    if (!current)
        return;
    WindowPlacement placement = *current;
    if (!window_.IsVisible())
        placement.showCmd = kShowHidden;
    placement.flags =
        static_cast<std::uint32_t>(ReadInteger("Flags", static_cast<std::int32_t>(current->flags)));

    const ScreenMetrics screen = window_.Screen();
    const std::string suffix = DesktopSuffix(screen);
    bool found = false;

    const std::string minMax = PositionText("MinMaxPos", suffix);
    if (!minMax.empty()) {
        found = true;
        const auto words = PositionWords(minMax);
        placement.minPosition = {WordOr(words, 0, 0), WordOr(words, 1, 0)};
        placement.maxPosition = {WordOr(words, 2, 0), WordOr(words, 3, 0)};
    }

    const std::string norm = PositionText("NormPos", suffix);
    if (!norm.empty()) {
        found = true;
        const auto words = PositionWords(norm);
        const Rect bounds = window_.BoundsRect();
        Rect& r = placement.normalPosition;
        r.left = WordOr(words, 0, bounds.left);
        r.top = WordOr(words, 1, bounds.top);
        // A missing far edge keeps the window's present size at the stored position.
        r.right = WordOr(words, 2, FarEdge(r.left, bounds.Width()));
        r.bottom = WordOr(words, 3, FarEdge(r.top, bounds.Height()));
    }

    // A placement taken at another scaling would come back at the wrong size.
    const bool counts =
        found && ReadInteger("PixelsPerInch", screen.pixelsPerInch) == screen.pixelsPerInch;
    const Rect& r = placement.normalPosition;
    if (counts && r.left < r.right && r.top < r.bottom &&
        OnSomeMonitor(screen.monitors, {r.left, r.top}) &&
        OnSomeMonitor(screen.monitors, {r.right - 1, r.bottom - 1})) {
        window_.KeepPlacedPosition();
        window_.SetPlacement(placement);
    }
    window_.Repaint();
}

void TFormStorage::SaveProperties() {
    for (const StoredProperty& property : bound_) {
        const std::string path = PropertyPath(property);
        if (const auto* flag = std::get_if<ui::Property<bool>*>(&property.value))
            store_->WriteBoolean(path, (*flag)->Get());
        else if (const auto* number = std::get_if<ui::Property<int>*>(&property.value))
            store_->WriteInteger(path, (*number)->Get());
    }
}

void TFormStorage::RestoreProperties() {
    for (const StoredProperty& property : bound_) {
        const std::string path = PropertyPath(property);
        if (!store_->ValueStored(path))
            continue;
        // Text that is no value leaves this one property as designed; the rest still load.
        try {
            if (auto* const* flag = std::get_if<ui::Property<bool>*>(&property.value))
                **flag = store_->ReadBoolean(path, (*flag)->Get());
            else if (auto* const* number = std::get_if<ui::Property<int>*>(&property.value))
                **number = store_->ReadInteger(path, (*number)->Get());
        } catch (const ConversionError&) {
        }
    }
}

} // namespace lupenta
