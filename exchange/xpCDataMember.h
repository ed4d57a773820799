#pragma once

#include <string>
#include <typeinfo>

#include "kestrel/components/exchange/xpCData.h"
#include "kestrel/exchange/xpMemberRouter.h"

// A string member carried as the character data of the element that holds the node. The text
// moves unchanged; an owner that needs a safe form (Base64) fills the member with it.
template <class Access>
class xpCDataMember : public xpMemberRouter<std::string, Access, xpCDataMember<Access>, xpCData> {
    static_assert(std::is_same_v<typename Access::value_type, std::string>,
                  "Kestrel: character data binds a std::string member");
    using Router = xpMemberRouter<std::string, Access, xpCDataMember<Access>, xpCData>;

public:
    explicit xpCDataMember(Access access) : Router(std::move(access)) {}

    static std::string defaultTypeName() { return mfTextFormatter::format_impl(typeid(xpCData)) + "Type"; }

    bool export_cdata(std::string& text) override { return this->readMember(text); }
    bool import_cdata(const std::string& text) override { return this->writeMember(text); }
};
