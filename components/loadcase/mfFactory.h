#pragma once

#include <typeinfo>

// A factory registered for a model type. The registry only refers to factories: whoever
// installs one keeps it alive until it is removed again.
class mfFactory {
public:
    virtual ~mfFactory() = default;

    // The factory registered for `type`; null when there is none.
    static mfFactory* getFactory(const std::type_info& type);
    // Registers `factory` for `type` (null removes the entry) and returns the previous one.
    static mfFactory* setFactory(const std::type_info& type, mfFactory* factory);
};
