#pragma once

#include "kestrel/components/loadcase/lcFactory.h"
#include "kestrel/components/loadcase/lcIntensityFunction.h"
#include "kestrel/components/loadcase/lcModelObject.h"

// Counts the announcements of dying objects while installed.
class CountingFactory : public lcFactory {
public:
    CountingFactory() : m_previous(mfFactory::setFactory(typeid(lcModelObject), this)) {}
    ~CountingFactory() override { mfFactory::setFactory(typeid(lcModelObject), m_previous); }
    void objectDestroyed(mfRelationObject* object) override {
        ++count;
        if (object->getInterface(typeid(lcIntensityFunction))) ++functions;
    }
    int count = 0;
    int functions = 0;

private:
    mfFactory* m_previous;
};
