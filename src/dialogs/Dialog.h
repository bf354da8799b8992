#pragma once

#include "dialogs/DialogComponents.h"
#include "platform/Geometry.h"

#include <optional>
#include <string>
#include <vector>

namespace lupenta {

// Edges a control keeps its distance to when the dialog's client area changes size.
struct DialogAnchors {
    bool right = false;
    bool bottom = false;
};

// A modal dialog as plain state: its window's caption and size, its controls in tab order,
// and how it ends. The platform builds the window from it and runs it until Closed().
class TDialog {
public:
    enum ModalResult { mrNone = 0, mrOk = 1, mrCancel = 2 };
    static constexpr int kEscape = 27;

    TDialog(std::string caption, int clientWidth, int clientHeight);
    virtual ~TDialog() = default;
    TDialog(const TDialog&) = delete;
    TDialog& operator=(const TDialog&) = delete;

    const std::string Caption;
    const int DesignClientWidth;
    const int DesignClientHeight;
    // When set, the window's outer height (frame and title included) instead of the design's.
    std::optional<int> OuterHeight;
    // No colour means the system's button face.
    std::optional<Colour> Color;
    ui::TFont Font;
    // The dialog sees keys before its controls do.
    bool KeyPreview = false;

    const std::vector<ui::TControl*>& Controls() const { return controls_; }

    // A key pressed anywhere in the dialog, before its control; true when it was consumed.
    virtual bool FormKeyDown(int key);

    void Close(ModalResult result);
    bool Closed() const { return closed_; }
    ModalResult Result() const { return result_; }

    // The platform reports the client area's size; anchored controls keep their distance to the
    // right and bottom edges.
    void ClientResized(int width, int height);

protected:
    using Anchors = DialogAnchors;
    void Add(ui::TControl& control, Anchors anchors = Anchors{});

private:
    std::vector<ui::TControl*> controls_;
    std::vector<std::pair<ui::TControl*, Anchors>> anchored_;
    int clientWidth_;
    int clientHeight_;
    bool closed_ = false;
    ModalResult result_ = mrNone;
};

} // namespace lupenta
