#include "kestrel/elements/kestrelRegistration.h"

#include "kestrel/elements/detail/kestrelRegisterKinds.h"

namespace kestrel {

// Each call checks for a current document; the registries are keyed by type, so the order of the
// families does not show.
void register_futures() {
    kestrelRegisterJavaScripts();
    kestrelRegisterConstants();
    kestrelRegisterThreePoints();
    kestrelRegisterLinearVaryings();
    kestrelRegisterGrids();
    kestrelRegisterLinearParametrics();
    kestrelRegisterFootprints();
    kestrelRegisterLimitFunctions();
}

}  // namespace kestrel
