#include "settings/StoredProperties.h"

#include "platform/AsciiText.h"
#include "ui/Controls.h"
#include "ui/MenuItem.h"
#include "ui/Timer.h"

#include <algorithm>

namespace lupenta {

namespace {

// One storable property of one component class.
struct Published {
    const char* name;
    std::optional<decltype(StoredProperty::value)> (*find)(ui::Component&);
};

template <class C, class T, ui::Property<T> C::*member>
std::optional<decltype(StoredProperty::value)> Member(ui::Component& component) {
    if (auto* typed = dynamic_cast<C*>(&component))
        return &(typed->*member);
    return std::nullopt;
}

constexpr Published kPublished[] = {
    {"Checked", &Member<ui::TMenuItem, bool, &ui::TMenuItem::Checked>},
    {"Enabled", &Member<ui::TMenuItem, bool, &ui::TMenuItem::Enabled>},
    {"Visible", &Member<ui::TMenuItem, bool, &ui::TMenuItem::Visible>},
    {"Tag", &Member<ui::TMenuItem, int, &ui::TMenuItem::Tag>},
    {"Visible", &Member<ui::TControl, bool, &ui::TControl::Visible>},
    {"ItemIndex", &Member<ui::TComboBox, int, &ui::TComboBox::ItemIndex>},
    {"Down", &Member<ui::TSpeedButton, bool, &ui::TSpeedButton::Down>},
    {"Interval", &Member<ui::TTimer, int, &ui::TTimer::Interval>},
    {"Enabled", &Member<ui::TTimer, bool, &ui::TTimer::Enabled>},
};

} // namespace

std::optional<StoredProperty> FindStoredProperty(ui::Component& component, std::string_view name) {
    for (const Published& published : kPublished) {
        if (!SameText(published.name, name))
            continue;
        if (auto value = published.find(component))
            return StoredProperty{&component, published.name, *value};
    }
    return std::nullopt;
}

std::vector<StoredProperty> BindStoredProperties(const std::vector<std::string>& entries,
                                                 const std::vector<ui::Component*>& components) {
    std::vector<StoredProperty> bound;
    for (const std::string& entry : entries) {
        const std::size_t dot = entry.find('.');
        if (dot == std::string::npos)
            continue;
        const std::string_view componentName = Trim(std::string_view(entry).substr(0, dot));
        const std::string_view propertyName = Trim(std::string_view(entry).substr(dot + 1));
        if (componentName.empty() || propertyName.empty())
            continue;
        const auto component =
            std::find_if(components.begin(), components.end(),
                         [&](ui::Component* c) { return c && SameText(c->Name(), componentName); });
        if (component == components.end())
            continue;
        if (auto property = FindStoredProperty(**component, propertyName))
            bound.push_back(std::move(*property));
    }
    return bound;
}

} // namespace lupenta
