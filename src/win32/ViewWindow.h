#pragma once

#include "view/VwImage.h"
#include "win32/AccessibleWindow.h"
#include "win32/DibAllocator.h"
#include "win32/WindowClass.h"

#include <memory>

namespace lupenta::win32 {

// The child window that shows a TImageView: it paints through the view and presents the
// finished frame in one copy, so nothing flickers at the tick rate.
class ViewWindow final : public MessageHandler,
                         public ImageViewPeer,
                         public ViewSurface,
                         public AccessibleSource {
public:
    ViewWindow(TImageView& view, HWND parent);
    ~ViewWindow() override;
    ViewWindow(const ViewWindow&) = delete;
    ViewWindow& operator=(const ViewWindow&) = delete;

    HWND Handle() const { return window_; }

    void Invalidate() override;
    void InvalidateRect(const Rect& rect) override;
    void StartTimer(int interval) override;
    void StopTimer() override;
    void Place(const Rect& bounds) override;
    void Present(const Bitmap24& frame) override;
    // A screen reader hears the view as a picture named by its owner.
    AccessibleFacts Facts() override;

    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    TImageView& view_;
    HWND window_ = nullptr;
    HDC paintDc_ = nullptr;
    // The presented frame widened to the screen's layout, kept while the view's size stays.
    ScreenLayoutDib presented_;
    std::unique_ptr<AccessibleWindow> accessible_;
};

} // namespace lupenta::win32
