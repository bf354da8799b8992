#pragma once

// The component properties that can be saved by name, as "Component.Property" entries.

#include "ui/Component.h"
#include "ui/Property.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace lupenta {

// One entry bound to its component: the property itself, and the names that make its key.
struct StoredProperty {
    ui::Component* component = nullptr;
    // The property's name as the component declares it, whatever the entry's letter case.
    std::string propertyName;
    std::variant<ui::Property<bool>*, ui::Property<int>*> value;

    // The component's own name, "_", and the declared property name.
    std::string Key() const { return component->Name() + "_" + propertyName; }
};

// The property `name` (any letter case) of `component`, when it is one that can be stored.
std::optional<StoredProperty> FindStoredProperty(ui::Component& component, std::string_view name);

// Binds "Component.Property" entries to the components of a window, whose names are found
// without regard to letter case. Entries that do not split at a ".", or whose component or
// property does not exist, are left out.
std::vector<StoredProperty> BindStoredProperties(const std::vector<std::string>& entries,
                                                 const std::vector<ui::Component*>& components);

// The main window's stored properties, in the order they are saved and restored.
inline const std::vector<std::string> kMainWindowStoredProps = {
    "cbxZoomLevel.ItemIndex",
    "Panel1.Visible",
    "DrawCrossHair1.Checked",
    "RGBValues1.Checked",
    "Showcursor1.Checked",
    "Timer1.Interval",
    "InvertImage1.Checked",
    "StayOnTop1.Checked",
    "Smoothen1.Checked",
    "DrawGrid1.Checked",
    "FixedLocation1.Checked",
    "MakeWindowTransparent1.Checked",
    "StayinSystemTray1.Checked",
    "DrawFixedGrid1.Checked",
    "btnType.Down",
    "FollowCaretPosition1.Checked",
    "FlipwhenHovered1.Checked",
    "FlipVertically1.Checked",
    "FlipHorizontally1.Checked",
};

} // namespace lupenta
