// Every kind of this family the list holds is registered, and its element class compiled, here.
#include "kestrel/elements/detail/kestrelRegisterKinds.h"
#include "kestrel/elements/xlaIntensityFunctionGrid.h"

template class xpFutureElement<xlaIntensityFunctionGrid<laPressure<double>>, laIntensityFunction<laPressure<double>>,
                               xlaIntensityFunctionBase<laPressure<double>>>;
template class xlaIntensityFunction<xlaIntensityFunctionGrid<laPressure<double>>, laPressure<double>>;

void kestrelRegisterGrids() {
    kestrelRegisterEach(kestrelKindsOf<kestrelModelFamily<laIntensityFunctionGrid>>{});
}
