#include "kestrel/model/laIntensityLinearParametric.h"

// The instantiations the header declares extern, compiled once and exported.
template class laIntensityLinearParametric<laForcePerLength<double>>;
template class laIntensityLinearParametric<laTemperature<double>>;
