#pragma once

#include "kestrel/components/exchange/xpElement.h"
#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/exchange/xpClass.h"
#include "kestrel/exchange/xpFutureElement.h"
#include "kestrel/model/laFootprintLine.h"

class xlaFootprintLine;
// Compiled once, in the module (xlaFootprints.cpp).
extern template class KESTREL_API xpFutureElement<xlaFootprintLine, lcFootprint_1d, xpElement>;

// "footprint_line": child "line" holding two "position" children told apart by "end" (1 and 2),
// whatever their order.
class KESTREL_API xlaFootprintLine : public xpFutureElement<xlaFootprintLine, lcFootprint_1d, xpElement> {
public:
    using model_type = laFootprintLine;

    xlaFootprintLine();
    xlaFootprintLine(const xlaFootprintLine& other);
    xlaFootprintLine& operator=(const xlaFootprintLine& other);
    ~xlaFootprintLine() override;

    bool export_(laFootprintLine* footprint);
    // A new footprint from the storage strategy, owned by the caller.
    laFootprintLine* import();

    pos3d m_end1;
    pos3d m_end2;
};

template <>
class xpClass<laFootprintLine> : public xlaFootprintLine {
public:
    ~xpClass() override = default;
};
