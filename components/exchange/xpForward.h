#pragma once

// Cheap declarations of the exchange core's classes, for headers that only name them.
class xpNode;
class xpElement;
class xpAttributes;
class xpAttribute;
class xpSequence;
class xpCData;
class xpAlternatives;
class xpDocument;
class xpErrorMap;
class xpImportSet;
struct xpRecord;
class xpExchangeContext;
class xpFutureElementsBase;
class xpFutureElementsCollection;
class xpNodeHandler;
class xml_error;
class xsSchema;
class xsGroup;
class xsComplexType;
class xsAttributeGroup;
