#pragma once

#include "kestrel/components/loadcase/mfFactory.h"

class mfRelationObject;

// The load-case factory, registered for lcModelObject. It keeps track of the load-case objects,
// so dying ones are announced to it.
class lcFactory : public mfFactory {
public:
    // The registered load-case factory; null when none is registered or the registered factory is
    // of another kind.
    static lcFactory* current();

    // Called by a dying object, from its most derived destructor, while it is still whole.
    virtual void objectDestroyed(mfRelationObject* object);
};
