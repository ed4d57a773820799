// Every kind of this family the list holds is registered, and its element class compiled, here.
#include "kestrel/elements/detail/kestrelRegisterKinds.h"
#include "kestrel/elements/xlaIntensityConstant.h"

void kestrelRegisterConstants() {
    kestrelRegisterEach(kestrelKindsOf<kestrelModelFamily<laIntensityConstant>>{});
}

// The classes the header declares extern.
XLA_INTENSITY_KIND_CLASSES(template class, xlaIntensityConstant, laIntensityConstant, laPressure<double>);
XLA_INTENSITY_KIND_CLASSES(template class, xlaIntensityConstant, laIntensityConstant, laForcePerArea<double>);
XLA_INTENSITY_KIND_CLASSES(template class, xlaIntensityConstant, laIntensityConstant, laTraction<double>);
XLA_INTENSITY_KIND_CLASSES(template class, xlaIntensityConstant, laIntensityConstant, laForceMoment<double>);
XLA_INTENSITY_KIND_CLASSES(template class, xlaIntensityConstant, laIntensityConstant, laDisplacement<double>);
