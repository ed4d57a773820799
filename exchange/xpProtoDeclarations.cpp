// Compiles the binding templates once with the module's settings, so that a broken template
// shows up when the module is built rather than in the first element class that uses it.
#include "kestrel/exchange/xpContainerSequence.h"
#include "kestrel/exchange/xpMemberDeclaration.h"
#include "kestrel/exchange/xpProtoDeclarations.h"

const xpProtoCommon xpProtoDefault{};
