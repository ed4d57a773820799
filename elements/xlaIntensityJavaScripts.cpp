// Every kind of this family the list holds is registered, and its element class compiled, here.
#include "kestrel/elements/detail/kestrelRegisterKinds.h"
#include "kestrel/elements/xlaIntensityJavaScript.h"

void kestrelRegisterJavaScripts() {
    kestrelRegisterEach(kestrelKindsOf<kestrelModelFamily<laIntensityJavaScript>>{});
}

// The classes the header declares extern.
XLA_INTENSITY_KIND_CLASSES(template class, xlaIntensityJavaScript, laIntensityJavaScript, laPressure<double>);
XLA_INTENSITY_KIND_CLASSES(template class, xlaIntensityJavaScript, laIntensityJavaScript, laForcePerArea<double>);
XLA_INTENSITY_KIND_CLASSES(template class, xlaIntensityJavaScript, laIntensityJavaScript, laTraction<double>);
XLA_INTENSITY_KIND_CLASSES(template class, xlaIntensityJavaScript, laIntensityJavaScript, laForcePerLength<double>);
XLA_INTENSITY_KIND_CLASSES(template class, xlaIntensityJavaScript, laIntensityJavaScript, laTemperature<double>);
