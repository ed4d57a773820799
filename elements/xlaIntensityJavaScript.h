#pragma once

#include <type_traits>

#include "kestrel/components/framework/Base64.h"
#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/elements/xlaIntensityFunction.h"
#include "kestrel/exchange/xpProtoDeclarations.h"
#include "kestrel/model/laIntensityJavaScript.h"

// "…_javascript": child "function" holding the script text in Base64 ("encoding"="base64"), so
// that no character of the script can upset the document; surface quantities add the length
// attribute "refinement".
template <class T>
class xlaIntensityJavaScript : public xlaIntensityFunction<xlaIntensityJavaScript<T>, T> {
    using Common = xlaIntensityFunction<xlaIntensityJavaScript<T>, T>;
    using Self = xlaIntensityJavaScript;

public:
    using model_type = laIntensityJavaScript<T>;
    static constexpr bool hasRefinement = std::is_base_of_v<lcIntensityFunctionRefinement, laIntensityJavaScript<T>>;

    xlaIntensityJavaScript() {
        xpNode* function =
            xpCreateProtoNode(xpDeclareElement("function") << xpDeclareConstant<std::string>("encoding", "base64")
                                                           << xpDeclareCData(&Self::m_function),
                              this);
        function->set_required(true);
        this->add(function);
        if constexpr (hasRefinement) {
            auto* refinement = xpCreateQuantityAttribute<jsLength>(
                xpAttributeDeclaration<double Self::*>{true, "refinement", "", &Self::m_refinement}, this);
            refinement->set_required(true);
            this->add(refinement);
        }
    }
    xlaIntensityJavaScript(const xlaIntensityJavaScript& other) : xlaIntensityJavaScript() { *this = other; }
    xlaIntensityJavaScript& operator=(const xlaIntensityJavaScript& other) {
        Common::operator=(other);
        m_function = other.m_function;
        m_refinement = other.m_refinement;
        return *this;
    }

    bool export_(laIntensityJavaScript<T>* model) {
        Common::export_(model);
        m_function = Base64::encode(model->script());
        if constexpr (hasRefinement) m_refinement = model->refinement();
        return true;
    }
    // A new function from the storage strategy, owned by the caller; null without memory.
    laIntensityJavaScript<T>* import() {
        jmfFunctionObject* function = mfCreate<jmfFunctionObject>(Base64::decode(m_function));
        if (!function) return Common::import(static_cast<laIntensityJavaScript<T>*>(nullptr));
        laIntensityJavaScript<T>* model = nullptr;
        if constexpr (hasRefinement)
            model = mfCreate<laIntensityJavaScript<T>>(function, m_refinement);
        else
            model = mfCreate<laIntensityJavaScript<T>>(function);
        if (!model) {
            delete function;  // nobody took it over
        } else if (!function->compileError().empty()) {
            // The script is kept, so that nothing is lost, but it is reported where it was read.
            xml_error_message broken(this, function->compileError(), m_readPath, m_readLine, m_readColumn);
            this->nodeError() << broken.setFatal(false);
        }
        return Common::import(model);
    }

    // Remembers where the element was read, for a script that does not compile.
    bool importContent(xpImportSet& nodes) override {
        m_readPath = this->getElementPath();
        m_readLine = this->getLine();
        m_readColumn = this->getColumn();
        return Common::importContent(nodes);
    }

    // The script text in its Base64 form, as the document carries it.
    std::string m_function;
    // A length in metres; surface quantities only.
    double m_refinement = 0.0;

private:
    std::string m_readPath;
    int m_readLine = 0;
    int m_readColumn = 0;
};

template <class T>
class xpClass<laIntensityJavaScript<T>> : public xlaIntensityJavaScript<T> {
public:
    ~xpClass() override = default;
};

// Compiled once, in the module (elements/xlaIntensityJavaScripts.cpp), for every quantity this kind takes.
XLA_INTENSITY_KIND_CLASSES(extern template class KESTREL_API, xlaIntensityJavaScript, laIntensityJavaScript,
                           laPressure<double>);
XLA_INTENSITY_KIND_CLASSES(extern template class KESTREL_API, xlaIntensityJavaScript, laIntensityJavaScript,
                           laForcePerArea<double>);
XLA_INTENSITY_KIND_CLASSES(extern template class KESTREL_API, xlaIntensityJavaScript, laIntensityJavaScript,
                           laTraction<double>);
XLA_INTENSITY_KIND_CLASSES(extern template class KESTREL_API, xlaIntensityJavaScript, laIntensityJavaScript,
                           laForcePerLength<double>);
XLA_INTENSITY_KIND_CLASSES(extern template class KESTREL_API, xlaIntensityJavaScript, laIntensityJavaScript,
                           laTemperature<double>);
