#pragma once

#include "platform/Desktop.h"
#include "platform/Geometry.h"

#include <cstdint>
#include <string>

namespace lupenta::ui {

// The platform side of a top-level window.
class FormPeer {
public:
    virtual ~FormPeer() = default;
    virtual WindowId Handle() = 0;
    virtual bool Visible() = 0;
    // Outer rectangle, frame and title bar included, in screen coordinates.
    virtual Rect BoundsRect() = 0;
    virtual void SetBoundsRect(const Rect& bounds) = 0;
    virtual std::uint32_t Style() = 0;
    virtual void SetStyle(std::uint32_t style) = 0;
    // Recomputes the frame after a style change without moving, sizing or reordering.
    virtual void RefreshFrame() = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    // Starts the platform's interactive move, as if the title bar had been grabbed.
    virtual void StartMove() = 0;
    virtual void Close() = 0;
    // Makes the window layered with a constant opacity (255 is opaque).
    virtual void SetLayeredAlpha(int alpha) = 0;
    // Makes the window unlayered again and redraws it with its frame and children.
    virtual void ClearLayered() = 0;
    virtual void SetTopmost(bool topmost) = 0;
};

// A top-level window. Without a peer it keeps its state itself, so commands run in tests.
class TForm {
public:
    TForm() = default;
    virtual ~TForm() = default;
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;

    void AttachPeer(FormPeer* peer) { peer_ = peer; }
    FormPeer* Peer() const { return peer_; }

    WindowId Handle() const { return peer_ ? peer_->Handle() : 0; }
    bool Visible() const { return peer_ ? peer_->Visible() : visible_; }
    void SetVisible(bool visible) { visible_ = visible; }
    Rect BoundsRect() const { return peer_ ? peer_->BoundsRect() : bounds_; }
    void SetBoundsRect(const Rect& bounds);
    void SetLeft(int left);
    void SetTop(int top);
    std::uint32_t Style() const { return peer_ ? peer_->Style() : style_; }
    void SetStyle(std::uint32_t style);
    void RefreshFrame() {
        if (peer_)
            peer_->RefreshFrame();
    }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    void StartMove() {
        if (peer_)
            peer_->StartMove();
    }
    void Close();

    void SetLayeredAlpha(int alpha) {
        if (peer_)
            peer_->SetLayeredAlpha(alpha);
    }
    // Alpha blending of the whole window; each setter acts only when its value changes.
    bool AlphaBlend() const { return alphaBlend_; }
    int AlphaBlendValue() const { return alphaBlendValue_; }
    void SetAlphaBlend(bool on);
    void SetAlphaBlendValue(int value);
    void SetTopmost(bool topmost) {
        if (peer_)
            peer_->SetTopmost(topmost);
    }

    // The platform reports the client area's new size; the form lays out its controls.
    void ClientResized(int width, int height);
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }

protected:
    virtual void AlignControls() {}

private:
    FormPeer* peer_ = nullptr;
    bool visible_ = false;
    Rect bounds_;
    std::uint32_t style_ = 0;
    std::string caption_;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    bool alphaBlend_ = false;
    int alphaBlendValue_ = 255;
};

} // namespace lupenta::ui
