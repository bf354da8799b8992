#pragma once

#include <string>

namespace lupenta::ui {

// What about a component changed, so that its peer redoes that and nothing else: under some
// window systems every call to move, retitle or redraw a window is a round trip.
using Changes = unsigned;
// Where it lies and whether it shows.
constexpr Changes kPlacement = 1u << 0;
constexpr Changes kHint = 1u << 1;
// The text it shows.
constexpr Changes kText = 1u << 2;
// How it is drawn: colours, bevels, a button's position.
constexpr Changes kLook = 1u << 3;
// A value the user also sets, such as a list's selection.
constexpr Changes kState = 1u << 4;
constexpr Changes kEverything = kPlacement | kHint | kText | kLook | kState;

// The platform side of a component: told after properties of the component changed, and
// which kinds of them, it reads the component's state and brings the real control up to date.
class ComponentPeer {
public:
    virtual ~ComponentPeer() = default;
    virtual void ComponentChanged(Changes what) = 0;
    // Only what a screen reader hears of the component changed: nothing to lay out or draw.
    virtual void SpokenChanged() {}
};

// A named part of a window. Without a peer (in unit tests) a component is plain state.
class Component {
public:
    explicit Component(std::string name) : name_(std::move(name)) {}
    virtual ~Component() = default;
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    const std::string& Name() const { return name_; }

    void AttachPeer(ComponentPeer* peer) {
        peer_ = peer;
        Changed(kEverything);
    }
    ComponentPeer* Peer() const { return peer_; }

    // Between these, changes are gathered and the peer is told once, at the end, of all of
    // them: setting a colour, its text colour and its caption redraws the control once.
    void BeginUpdate() { ++updating_; }
    void EndUpdate() {
        if (--updating_ > 0 || pending_ == 0)
            return;
        const Changes what = pending_;
        pending_ = 0;
        Changed(what);
    }

protected:
    void Changed(Changes what = kEverything) {
        if (updating_ > 0) {
            pending_ |= what;
            return;
        }
        if (peer_)
            peer_->ComponentChanged(what);
    }
    // Binds a property so that every change reaches the peer as a change of kind `what`.
    template <class P> void Watch(P& property, Changes what = kEverything) {
        property.OnChange([this, what] { Changed(what); });
    }

private:
    std::string name_;
    ComponentPeer* peer_ = nullptr;
    int updating_ = 0;
    Changes pending_ = 0;
};

// Gathers a component's changes for the scope and tells its peer of them once, at its end.
class ChangeBatch {
public:
    explicit ChangeBatch(Component& component) : component_(component) {
        component_.BeginUpdate();
    }
    ~ChangeBatch() { component_.EndUpdate(); }
    ChangeBatch(const ChangeBatch&) = delete;
    ChangeBatch& operator=(const ChangeBatch&) = delete;

private:
    Component& component_;
};

} // namespace lupenta::ui
