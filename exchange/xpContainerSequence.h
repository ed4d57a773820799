#pragma once

#include <string>
#include <type_traits>
#include <utility>

#include "kestrel/components/exchange/xpSequence.h"
#include "kestrel/exchange/xpMemberData.h"
#include "kestrel/exchange/xpMemberRouter.h"

namespace detail {
// The entry being written or read; a map's pair with a mutable key, so that the key can be
// read in place.
template <class Item>
struct xpCurrentOf {
    using type = Item;
};
template <class K, class V>
struct xpCurrentOf<std::pair<const K, V>> {
    using type = std::pair<K, V>;
};

template <class Container>
concept xpKeyedContainer = requires {
    typename Container::key_type;
    typename Container::mapped_type;
};
}  // namespace detail

// A container member written as one element (the sequence) with one item element per entry, in
// container order; read back by building an entry from each item element and appending it.
template <class Item, class Container, class Access>
class xpContainerSequence
    : public xpMemberRouter<Container, Access, xpContainerSequence<Item, Container, Access>, xpSequence> {
    using Router = xpMemberRouter<Container, Access, xpContainerSequence<Item, Container, Access>, xpSequence>;
    using Owner = typename Access::owner_type;

public:
    using current_type = typename detail::xpCurrentOf<Item>::type;

    explicit xpContainerSequence(Access access) : Router(std::move(access)) {}

    static std::string defaultTypeName() { return {}; }
    // A sequence has no named schema type.
    std::string typeName() const override { return {}; }

    bool reset() override {
        bool ok = Router::reset();
        this->reset_all();
        return ok;
    }

    // Writes every entry; true when one was written or the sequence is required, so that an
    // empty optional sequence is left out and an empty required one is kept without items.
    bool exportContent(pugi::xml_node dom) override {
        xpElement::exportContent(dom);
        Owner* owner = xpFindOwner<Owner>(*this);
        if (!owner) return false;
        int index = 0;
        bool written = false;
        for (const auto& entry : owner->*(this->access.member)) {
            current = entry;
            written = this->export_dom_node(dom, index++) || written;
        }
        // A document's entries must not outlive it in an element that is used again.
        current = current_type{};
        return written || this->is_required();
    }

    bool append_item() override {
        Owner* owner = xpFindOwner<Owner>(*this);
        if (!owner) return false;
        Container& container = owner->*(this->access.member);
        if constexpr (detail::xpKeyedContainer<Container>)
            container.emplace_hint(container.end(), std::move(current));  // a repeated key keeps the first
        else
            container.push_back(std::move(current));
        current = current_type{};
        return true;
    }

    bool adopt(xpSequence& from) override {
        auto* other = dynamic_cast<xpContainerSequence*>(&from);
        Owner* source = other ? xpFindOwner<Owner>(*other) : nullptr;
        Owner* owner = source ? xpFindOwner<Owner>(*this) : nullptr;
        if (!owner) return false;
        owner->*(this->access.member) = std::move(source->*(other->access.member));
        return true;
    }

    void reserve(std::size_t count) override {
        if constexpr (requires(Container & c) { c.reserve(count); })
            if (Owner* owner = xpFindOwner<Owner>(*this)) (owner->*(this->access.member)).reserve(count);
    }

    void clear() override {
        if (Owner* owner = xpFindOwner<Owner>(*this)) (owner->*(this->access.member)).clear();
    }

    current_type current{};
};
