#include "elements/kestrelRegistration.h"

#include "elements/xlaFootprintBox.h"
#include "elements/xlaFootprintLine.h"
#include "elements/xlaFootprintPoint.h"
#include "elements/xlaFootprintPolygon.h"
#include "exchange/xpFutureElements.h"

namespace kestrel {

void register_futures() {
    xpRegisterFutureElement<laFootprintPoint>(std::string("footprint_point"));
    xpRegisterFutureElement<laFootprintLine>(std::string("footprint_line"));
    xpRegisterFutureElement<laFootprintPolygon>(std::string("footprint_polygon"));
    xpRegisterFutureElement<laFootprintBox>(std::string("footprint_box"));
}

}  // namespace kestrel
