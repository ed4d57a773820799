#include "kestrel/exchange/xpProtoDeclarations.h"

// The one definition of the declarations' common defaults. The binding templates are compiled
// where they are used: by the element families for their kinds, by hosts for their own members.
const xpProtoCommon xpProtoDefault{};
