// Every instantiation the headers declare extern: compiled here once and exported, so that no
// file that includes them compiles them again.
#include "kestrel/model/laDisplacement.h"
#include "kestrel/model/laForceMoment.h"
#include "kestrel/model/laForcePerArea.h"
#include "kestrel/model/laForcePerLength.h"
#include "kestrel/model/laIntensityConstant.h"
#include "kestrel/model/laIntensityFunctionGrid.h"
#include "kestrel/model/laIntensityJavaScript.h"
#include "kestrel/model/laIntensityLinearParametric.h"
#include "kestrel/model/laIntensityLinearVarying.h"
#include "kestrel/model/laIntensityThreePointVarying.h"
#include "kestrel/model/laPressure.h"
#include "kestrel/model/laTemperature.h"
#include "kestrel/model/laTraction.h"

template class laIntensityFunction<laPressure<double>>;
template class laIntensityFunction<laForcePerArea<double>>;
template class laIntensityFunction<laTraction<double>>;
template class laIntensityFunction<laForcePerLength<double>>;
template class laIntensityFunction<laTemperature<double>>;
template class laIntensityFunction<laForceMoment<double>>;
template class laIntensityFunction<laDisplacement<double>>;

template class laIntensityConstant<laPressure<double>>;
template class laIntensityConstant<laForcePerArea<double>>;
template class laIntensityConstant<laTraction<double>>;
template class laIntensityConstant<laForceMoment<double>>;
template class laIntensityConstant<laDisplacement<double>>;

template class laIntensityThreePointVarying<laPressure<double>>;
template class laIntensityThreePointVarying<laForcePerArea<double>>;
template class laIntensityThreePointVarying<laTraction<double>>;

template class laIntensityLinearVarying<laPressure<double>>;
template class laIntensityLinearVarying<laTraction<double>>;

template class laIntensityLinearParametric<laForcePerLength<double>>;
template class laIntensityLinearParametric<laTemperature<double>>;

template class laIntensityJavaScript<laPressure<double>>;
template class laIntensityJavaScript<laForcePerArea<double>>;
template class laIntensityJavaScript<laTraction<double>>;
template class laIntensityJavaScript<laForcePerLength<double>>;
template class laIntensityJavaScript<laTemperature<double>>;

template class laIntensityFunctionGrid<laPressure<double>>;
