#include "kestrel/components/model/mfMetaObject.h"
#include "kestrel/components/model/mfRelationObject.h"

void* mfMetaObject::getInterface(const std::type_info& type) {
    return type == typeid(mfMetaObject) ? this : nullptr;
}

bool mfRelationObject::supportsOperation(int) const {
    return false;
}

std::string mfRelationObject::description() const {
    return getName();
}
