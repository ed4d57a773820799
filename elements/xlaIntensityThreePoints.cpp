// Every kind of this family the list holds is registered, and its element class compiled, here.
#include "kestrel/elements/detail/kestrelRegisterKinds.h"
#include "kestrel/elements/xlaIntensityThreePointVarying.h"

void kestrelRegisterThreePoints() {
    kestrelRegisterEach(kestrelKindsOf<kestrelModelFamily<laIntensityThreePointVarying>>{});
}

// The classes the header declares extern.
XLA_INTENSITY_KIND_CLASSES(template class, xlaIntensityThreePointVarying, laIntensityThreePointVarying,
                           laPressure<double>);
XLA_INTENSITY_KIND_CLASSES(template class, xlaIntensityThreePointVarying, laIntensityThreePointVarying,
                           laForcePerArea<double>);
XLA_INTENSITY_KIND_CLASSES(template class, xlaIntensityThreePointVarying, laIntensityThreePointVarying,
                           laTraction<double>);
