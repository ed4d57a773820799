#pragma once

#include <typeinfo>

#include "kestrel/exchange/xpFutureElementWrapper.h"
#include "kestrel/exchange/xpMemberRouter.h"

template <class Pointer, class Access, class Wrapper>
class xpNodePointerReference;

// The alternative for one concrete type of a pointer member B*: writes the object the member
// points to through its future element, and stores the object read in the member.
template <class B, class Access>
class xpNodePointerReference<B*, Access, xpFutureElementWrapper<B>>
    : public xpMemberRouter<B*, Access, xpNodePointerReference<B*, Access, xpFutureElementWrapper<B>>,
                            xpFutureElementWrapper<B>> {
    using Router = xpMemberRouter<B*, Access, xpNodePointerReference<B*, Access, xpFutureElementWrapper<B>>,
                                  xpFutureElementWrapper<B>>;

public:
    explicit xpNodePointerReference(Access access) : Router(std::move(access)) { this->completePrimitive(); }

    static std::string defaultTypeName() { return mfTextFormatter::format_impl(typeid(B)) + "Type"; }

    bool export_concrete() override {
        B* object = nullptr;
        if (!this->readMember(object) || !object) return false;
        xpFutureElementBase<B>* element = this->futureElement();
        return element && element->future_export(object);
    }

    // The new object belongs to the owner's member from here on; the previous pointer is the
    // owner's business and is not destroyed.
    bool import_concrete() override {
        xpFutureElementBase<B>* element = this->futureElement();
        B* created = nullptr;
        if (!element || !element->future_import(created)) return false;
        if (this->writeMember(created)) return true;
        delete created;  // nobody would own it
        return false;
    }
};
