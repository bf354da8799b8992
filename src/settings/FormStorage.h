#pragma once

// The form storage keeps a window's placement and a list of its controls' properties in the
// settings store, and passes the program's own named values on to it. It hooks into the
// window's show, close-query and destroy events so that restoring and saving happen by
// themselves: the window routes those three events to OnShow, OnCloseQuery and OnDestroy.

#include "settings/FormWindow.h"
#include "settings/SettingsStore.h"
#include "settings/StoredProperties.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lupenta {

enum class FormVersionCheck { NoCheck, CheckEqual, CheckGreaterEqual };

class TFormStorage {
public:
    TFormStorage(FormWindow& window, std::string formName);

    void SetAppStorage(TSettingsStore* store) { store_ = store; }
    TSettingsStore* AppStorage() const { return store_; }
    // A path that does not end in "\" gets one; "%FORM_NAME%" stands for the window's name.
    void SetAppStoragePath(std::string_view path);
    const std::string& AppStoragePath() const { return appStoragePath_; }

    bool Active = true;
    std::int32_t Version = 0;
    FormVersionCheck VersionCheck = FormVersionCheck::CheckGreaterEqual;
    // "Component.Property" entries; bound to the window's components by BindStoredProps.
    std::vector<std::string> StoredProps;
    std::string StoredPropsPath;

    bool IsActive() const { return Active && store_ != nullptr; }
    bool Restored() const { return restored_; }
    bool Saved() const { return saved_; }

    // Once the window's components exist: binds StoredProps to them, dropping the entries
    // that name no component, and takes over the window's own event handlers.
    void BindStoredProps(const std::vector<ui::Component*>& components);
    void TakeOverEvents(std::function<void()> formShow, std::function<bool()> formCloseQuery,
                        std::function<void()> formDestroy);
    const std::vector<StoredProperty>& BoundProps() const { return bound_; }

    // The window's events. OnCloseQuery answers whether the window may close.
    void OnShow();
    bool OnCloseQuery();
    void OnDestroy();

    // Named values, each a line of the store under the storage path. Conversion errors of
    // the store reach the caller.
    std::string ReadString(std::string_view name, std::string_view defaultValue) const;
    void WriteString(std::string_view name, std::string_view value);
    std::int32_t ReadInteger(std::string_view name, std::int32_t defaultValue) const;
    void WriteInteger(std::string_view name, std::int32_t value);
    bool ReadBoolean(std::string_view name, bool defaultValue) const;
    void WriteBoolean(std::string_view name, bool value);

    void SaveFormPlacement();
    void RestoreFormPlacement();

private:
    std::string NamePath(std::string_view name) const;
    std::string PropertyPath(const StoredProperty& property) const;
    std::string DesktopSuffix(const ScreenMetrics& screen) const;
    std::string PositionText(std::string_view key, const std::string& suffix) const;
    bool VersionAccepted(std::int32_t version) const;
    void SavePlacement();
    void RestorePlacement();
    void SaveProperties();
    void RestoreProperties();
    // Errors of the automatic restore and save go to the error box, never further.
    template <class F> void Reporting(F step);

    FormWindow& window_;
    std::string formName_;
    TSettingsStore* store_ = nullptr;
    std::string appStoragePath_;
    std::vector<StoredProperty> bound_;
    bool restored_ = false;
    bool saved_ = false;
    std::function<void()> formShow_;
    std::function<bool()> formCloseQuery_;
    std::function<void()> formDestroy_;
};

// The words of a stored position: runs of characters other than blanks and commas.
std::vector<std::string_view> PositionWords(std::string_view text);

} // namespace lupenta
