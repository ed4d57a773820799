#include "kestrel/model/laIntensityFunctionGrid.h"

// The instantiations the header declares extern, compiled once and exported.
template class laIntensityFunctionGrid<laPressure<double>>;
