// Every kind of this family the list holds is registered, and its element class compiled, here.
#include "kestrel/elements/detail/kestrelRegisterKinds.h"
#include "kestrel/elements/xlaIntensityLinearVarying.h"

void kestrelRegisterLinearVaryings() {
    kestrelRegisterEach(kestrelKindsOf<kestrelModelFamily<laIntensityLinearVarying>>{});
}

// The classes the header declares extern.
XLA_INTENSITY_KIND_CLASSES(template class, xlaIntensityLinearVarying, laIntensityLinearVarying, laPressure<double>);
XLA_INTENSITY_KIND_CLASSES(template class, xlaIntensityLinearVarying, laIntensityLinearVarying, laTraction<double>);
