#include "kestrel/model/laIntensityFunction.h"

// The instantiations the header declares extern, compiled once and exported.
template class laIntensityFunction<laPressure<double>>;
template class laIntensityFunction<laForcePerArea<double>>;
template class laIntensityFunction<laTraction<double>>;
template class laIntensityFunction<laForcePerLength<double>>;
template class laIntensityFunction<laTemperature<double>>;
template class laIntensityFunction<laForceMoment<double>>;
template class laIntensityFunction<laDisplacement<double>>;
