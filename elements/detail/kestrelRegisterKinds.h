#pragma once

#include <string>
#include <type_traits>

#include "kestrel/elements/kestrelKinds.h"
#include "kestrel/exchange/xpFutureElements.h"

// Registers a prototype of every kind of a list with the current document. The kind's element
// header must be included: its element class is compiled where this is called.
template <class... Kind>
void kestrelRegisterEach(kestrelTypes<Kind...>) {
    (
        [] {
            using Model = typename Kind::model_type;
            static_assert(std::is_base_of_v<typename Kind::element_type, xpClass<Model>>,
                          "Kestrel: a kind's element class must be the one xpClass<model type> derives from");
            static_assert(std::is_same_v<typename xpClass<Model>::base_type, typename Kind::base_type>,
                          "Kestrel: a kind's base must be the base its element class is offered under");
            xpRegisterFutureElement<Model>(std::string(Kind::name));
        }(),
        ...);
}

// One function per family, each in the translation unit of its element classes, so that every
// element template is compiled once and the families compile side by side.
void kestrelRegisterJavaScripts();
void kestrelRegisterConstants();
void kestrelRegisterThreePoints();
void kestrelRegisterLinearVaryings();
void kestrelRegisterLinearParametrics();
void kestrelRegisterGrids();
void kestrelRegisterFootprints();
void kestrelRegisterLimitFunctions();
