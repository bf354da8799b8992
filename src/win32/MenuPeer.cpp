#include "win32/MenuPeer.h"

#include "win32/Text.h"

#include <algorithm>

namespace lupenta::win32 {

namespace {

// A square of the colour in a thin dark frame, so that white and the menu's own grey still
// show as swatches. Twenty-four bits per pixel: a menu would read a fourth byte as alpha.
UniqueBitmap SwatchBitmap(Colour colour) {
    const int side = std::max(GetSystemMetrics(SM_CYMENUCHECK), 12);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = side;
    info.bmiHeader.biHeight = -side;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap)
        return bitmap;
    const int stride = (side * 3 + 3) & ~3;
    auto* rows = static_cast<unsigned char*>(bits);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const bool frame = x == 0 || y == 0 || x == side - 1 || y == side - 1;
            const Colour shown = frame ? MakeColour(64, 64, 64) : colour;
            unsigned char* pixel = rows + y * stride + x * 3;
            pixel[0] = static_cast<unsigned char>(BlueOf(shown));
            pixel[1] = static_cast<unsigned char>(GreenOf(shown));
            pixel[2] = static_cast<unsigned char>(RedOf(shown));
        }
    GdiFlush();
    return bitmap;
}

void ShowSwatch(HMENU menu, UINT position, Colour colour, std::vector<UniqueBitmap>& swatches) {
    UniqueBitmap swatch = SwatchBitmap(colour);
    if (!swatch)
        return;
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_BITMAP;
    info.hbmpItem = swatch.get();
    if (SetMenuItemInfoW(menu, position, TRUE, &info))
        swatches.push_back(std::move(swatch));
}

// Command ids start above 0, which TrackPopupMenu returns when nothing was chosen.
void AppendItems(HMENU menu, const std::vector<ui::TMenuItem*>& items, BuiltMenu& built) {
    for (ui::TMenuItem* item : items) {
        if (!item->Visible)
            continue;
        if (item->IsSeparator()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::string text = item->Caption;
        if (item->ShortCut != 0)
            text.append("\t").append(ui::ShortCutToText(item->ShortCut));
        UINT flags = MF_STRING;
        if (item->Checked)
            flags |= MF_CHECKED;
        if (!item->Enabled)
            flags |= MF_GRAYED;
        if (!item->Items().empty()) {
            UniqueMenu submenu(CreatePopupMenu());
            if (!submenu)
                continue;
            AppendItems(submenu.get(), item->Items(), built);
            if (AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu.get()),
                            Widen(text).c_str()))
                submenu.release();
            continue;
        }
        built.commands.push_back(item);
        if (AppendMenuW(menu, flags, built.commands.size(), Widen(text).c_str()) &&
            item->Swatch.Get())
            ShowSwatch(menu, static_cast<UINT>(GetMenuItemCount(menu) - 1), *item->Swatch.Get(),
                       built.swatches);
    }
}

} // namespace

BuiltMenu BuildPopupMenu(const std::vector<ui::TMenuItem*>& items) {
    BuiltMenu built{{}, UniqueMenu(CreatePopupMenu()), {}};
    if (built.menu)
        AppendItems(built.menu.get(), items, built);
    return built;
}

void MenuPeer::Popup(ui::TPopupMenu& menu, int x, int y) {
    std::vector<ui::TMenuItem*> commands;
    UINT chosen = 0;
    {
        BuiltMenu built = BuildPopupMenu(menu.Items());
        if (!built.menu)
            return;
        // A popup menu closes properly when clicked away only if its owner is in front.
        SetForegroundWindow(owner_);
        chosen = static_cast<UINT>(TrackPopupMenu(built.menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON,
                                                  x, y, 0, owner_, nullptr));
        commands = std::move(built.commands);
    }
    PostMessageW(owner_, WM_NULL, 0, 0);
    if (chosen > 0 && chosen <= commands.size())
        commands[chosen - 1]->Click();
}

} // namespace lupenta::win32
