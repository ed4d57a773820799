#pragma once

#include <memory>
#include <string>

#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/elements/kestrelRegistration.h"
#include "polymorphic_owner.h"
#include "xml_fixture.h"

namespace kestrel_test {

// Every element of the vocabulary registered with the fixture's document; on leaving, every model
// object made through the storage strategy has been released.
class KindFixture : public XmlFixture {
protected:
    void SetUp() override {
        live = mfProgram::program().defaultStrategy().live();
        kestrel::register_futures();
    }
    void TearDown() override { EXPECT_EQ(mfProgram::program().defaultStrategy().live(), live); }

    // Writes `object` through a member `member` of base B, reads it back clean and returns the
    // copy; `written` receives the text.
    template <class B>
    std::unique_ptr<B> roundTrip(B* object, std::string* written = nullptr, const char* member = "f") {
        Owner<B> out(member);
        out.object = object;
        const std::string text = write(out);
        if (written) *written = text;
        Owner<B> in(member);
        readClean(in, text);
        return in.take();
    }

    long live = 0;
};

}  // namespace kestrel_test
