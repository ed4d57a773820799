#include "kestrel/model/laIntensityJavaScript.h"

// The instantiations the header declares extern, compiled once and exported.
template class laIntensityJavaScript<laPressure<double>>;
template class laIntensityJavaScript<laForcePerArea<double>>;
template class laIntensityJavaScript<laTraction<double>>;
template class laIntensityJavaScript<laForcePerLength<double>>;
template class laIntensityJavaScript<laTemperature<double>>;
