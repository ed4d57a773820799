#pragma once

#include <string>

#include "kestrel/components/model/mfDraw.h"

// Base of named model objects that take part in relations.
class mfRelationObject : public mfDraw {
public:
    mfRelationObject() = default;
    mfRelationObject(const mfRelationObject&) = default;
    mfRelationObject& operator=(const mfRelationObject&) = default;

    virtual bool supportsOperation(int operation) const;
    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<mfRelationObject, mfDraw>(this, type);
    }
    static bool offersInterface(const std::type_info& type) { return mfOffersStep<mfRelationObject, mfDraw>(type); }
    virtual std::string getName() const { return m_name; }
    virtual void setName(const std::string& name) { m_name = name; }
    // The text shown for the object.
    virtual std::string description() const;

private:
    std::string m_name;
};
