#include "dialogs/DialogComponents.h"

namespace lupenta::ui {

LinkMarkup ParseLinkMarkup(const std::string& text) {
    static const std::string kOpen = "<link>";
    static const std::string kClose = "</link>";
    const auto open = text.find(kOpen);
    if (open == std::string::npos)
        return {text, "", "", false};
    const auto start = open + kOpen.size();
    const auto close = text.find(kClose, start);
    if (close == std::string::npos)
        return {text, "", "", false};
    return {text.substr(0, open), text.substr(start, close - start),
            text.substr(close + kClose.size()), true};
}

} // namespace lupenta::ui
