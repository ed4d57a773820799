// Every kind of this family the list holds is registered, and its element class compiled, here.
#include "kestrel/elements/detail/kestrelRegisterKinds.h"
#include "kestrel/elements/xlaIntensityLinearParametric.h"

void kestrelRegisterLinearParametrics() {
    kestrelRegisterEach(kestrelKindsOf<kestrelModelFamily<laIntensityLinearParametric>>{});
}

// The classes the header declares extern.
XLA_INTENSITY_KIND_CLASSES(template class, xlaIntensityLinearParametric, laIntensityLinearParametric,
                           laForcePerLength<double>);
XLA_INTENSITY_KIND_CLASSES(template class, xlaIntensityLinearParametric, laIntensityLinearParametric,
                           laTemperature<double>);
