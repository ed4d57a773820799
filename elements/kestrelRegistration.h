#pragma once

#include "kestrel/components/framework/kestrelApi.h"

namespace kestrel {

// Registers a prototype of every load-application element with the current exchange document
// under its element name. Call it once per document, after the document became current and
// before any element with a polymorphic member is built; again, it replaces the prototypes.
// Without a current document it does nothing.
KESTREL_API void register_futures();

}  // namespace kestrel
