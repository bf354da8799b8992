#pragma once

#include <string>

namespace lupenta::ui {

// The platform side of a component: told after any property of the component changed, it
// reads the component's state and brings the real control up to date.
class ComponentPeer {
public:
    virtual ~ComponentPeer() = default;
    virtual void ComponentChanged() = 0;
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
        Changed();
    }
    ComponentPeer* Peer() const { return peer_; }

protected:
    void Changed() {
        if (peer_)
            peer_->ComponentChanged();
    }
    // Binds a property so that every change reaches the peer.
    template <class P> void Watch(P& property) {
        property.OnChange([this] { Changed(); });
    }

private:
    std::string name_;
    ComponentPeer* peer_ = nullptr;
};

} // namespace lupenta::ui
