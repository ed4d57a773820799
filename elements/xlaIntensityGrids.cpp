// Every kind of this family the list holds is registered, and its element class compiled, here.
#include "kestrel/elements/detail/kestrelRegisterKinds.h"
#include "kestrel/elements/xlaIntensityFunctionGrid.h"

void kestrelRegisterGrids() {
    kestrelRegisterEach(kestrelKindsOf<kestrelModelFamily<laIntensityFunctionGrid>>{});
}
