#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "kestrel/components/framework/jmfFunctionObject.h"

namespace {

using namespace std::chrono_literals;

// Calls the script with `arguments`, expecting `components` values back.
struct Call {
    bool ok;
    std::vector<double> values;
    std::string error;
};
Call call(const jmfFunctionObject& f, std::vector<double> arguments, std::size_t components = 1) {
    Call result;
    result.ok = f.call(arguments, components, result.values);
    result.error = f.error();
    return result;
}

// The number or the array of as many numbers as asked for is taken; anything else is an error that
// says what came back.
TEST(ScriptFunction, TakesOnlyWhatTheQuantityCanTake) {
    const jmfFunctionObject f(R"(
        function intensity(k, x, y, z) {
            switch (k) {
            case 0: return "12";
            case 1: return [1, 2];
            case 2: return [1, "2", 3];
            case 3: return 0 / 0;
            case 4: return [1, 1 / 0, 3];
            case 5: return;
            case 6: return [5];
            case 7: return [1, 2, 3, 4];
            case 8: return [x, 2 * x, -400];
            }
            return 1000 + 10 * x + 100 * z + y;
        })");
    struct Case {
        double k;
        std::size_t components;
        std::vector<double> values;
        std::string error;
    };
    const Case cases[] = {
        {0, 1, {}, "intensity returned a string, expected a number"},
        {1, 3, {}, "intensity returned an array of 2 values, expected an array of 3 numbers"},
        {2, 3, {}, "intensity returned an array whose element 1 is a string, expected an array of 3 numbers"},
        {3, 1, {}, "intensity returned NaN, expected a finite number"},
        {4, 3, {}, "intensity returned an array whose element 1 is Infinity, expected finite numbers"},
        {5, 1, {}, "intensity returned undefined, expected a number"},
        {6, 1, {}, "intensity returned an array, expected a number"},
        {7, 3, {}, "intensity returned an array of 4 values, expected an array of 3 numbers"},
        {9, 3, {}, "intensity returned a number, expected an array of 3 numbers"},
        {8, 3, {2, 4, -400}, ""},
        {9, 1, {1320.5}, ""},
    };
    for (const Case& c : cases) {
        const Call r = call(f, {c.k, 2, 0.5, 3}, c.components);
        EXPECT_EQ(r.ok, !c.values.empty()) << c.k;
        EXPECT_EQ(r.values, c.values) << c.k;
        EXPECT_EQ(r.error, c.error) << c.k;
    }
}

TEST(ScriptFunction, ReportsWhereTheScriptIsBroken) {
    const jmfFunctionObject syntax("function intensity(x, y, z) {\n  return x +* 2;\n}");
    EXPECT_EQ(syntax.compileError().find("the script does not compile: SyntaxError: "), 0u) << syntax.compileError();
    EXPECT_NE(syntax.compileError().find("(line 2, column 15)"), std::string::npos) << syntax.compileError();
    EXPECT_EQ(call(syntax, {0, 0, 0}).error, syntax.compileError());

    const jmfFunctionObject throws(
        "function intensity(x) {\n  if (x > 1)\n    throw new RangeError('too far');\n  return x;\n}");
    EXPECT_EQ(call(throws, {2}).error, "intensity failed: RangeError: too far (line 3)");
    EXPECT_TRUE(call(throws, {1}).ok);  // the engine goes on after an error

    // What the script throws is shown on one line of bounded length, cut between characters.
    std::string cut = "intensity failed:  [2";
    for (int i = 0; i < 148; ++i) cut += "\u00e9";
    const std::pair<const char*, std::string> cases[] = {
        {"", "the script defines no function intensity"},
        {"var intensity = 3;", "the script defines no function intensity"},
        {"\n\nnosuch();\nfunction intensity() { return 1; }",
         "the script's top level failed: ReferenceError: identifier 'nosuch' undefined (line 3)"},
        {"function intensity() { throw new Error('first'); }", "intensity failed: Error: first (line 1)"},
        {"function intensity() { throw 'plain'; }", "intensity failed: plain"},
        {"function intensity() { throw '\\x1b[2' + '\\u00e9'.repeat(1000); }", cut + "..."},
    };
    for (const auto& [script, error] : cases) EXPECT_EQ(call(jmfFunctionObject(script), {}).error, error);
}

// Only the language's built-ins are there: nothing of the engine's own, nothing of a host.
TEST(ScriptFunction, SeesOnlyTheLanguageBuiltIns) {
    const jmfFunctionObject f(R"(
        var standard = ["Object", "Function", "Array", "String", "Boolean", "Number", "Date", "RegExp", "Error",
            "EvalError", "RangeError", "ReferenceError", "SyntaxError", "TypeError", "URIError", "Math", "JSON",
            "eval", "parseInt", "parseFloat", "isNaN", "isFinite", "decodeURI", "decodeURIComponent", "encodeURI",
            "encodeURIComponent", "escape", "unescape", "NaN", "Infinity", "undefined", "globalThis", "Proxy",
            "Reflect", "Symbol", "Promise", "ArrayBuffer", "DataView", "Int8Array", "Uint8Array",
            "Uint8ClampedArray", "Int16Array", "Uint16Array", "Int32Array", "Uint32Array", "Float32Array",
            "Float64Array", "intensity", "standard"];
        function intensity() {
            var names = Object.getOwnPropertyNames((function () { return this; })());
            var extra = names.filter(function (n) { return standard.indexOf(n) < 0; });
            if (extra.length) throw new Error("not standard: " + extra.join(" "));
            return names.length;
        })");
    const Call r = call(f, {});
    EXPECT_TRUE(r.ok) << r.error;
}

// Each function object has an engine of its own; a copy starts from the script, not its state.
TEST(ScriptFunction, SharesNoStateWithOtherScripts) {
    const char* counter = "var n = 0; function intensity() { Math.floor = null; return ++n; }";
    const jmfFunctionObject a(counter);
    const jmfFunctionObject b("function intensity() { return Math.floor(2.5) + (typeof n); }");
    EXPECT_EQ(call(a, {}).values, std::vector<double>{1});
    EXPECT_EQ(call(a, {}).values, std::vector<double>{2});
    const jmfFunctionObject copy(a);
    EXPECT_EQ(call(copy, {}).values, std::vector<double>{1});
    EXPECT_EQ(call(b, {}).error, "intensity returned a string, expected a number");  // "2undefined"
}

TEST(ScriptFunction, EndsWithinItsTimeBudget) {
    jmfFunctionObject f("function intensity(x) { if (x > 0) while (true) {} return 1; }");
    f.setLimits({50ms, std::size_t(16) << 20});
    EXPECT_EQ(call(f, {1}).error, "intensity ran out of its time budget of 50 ms");
    EXPECT_TRUE(call(f, {0}).ok);

    // A try/catch in the script does not keep it alive.
    jmfFunctionObject caught("function intensity() { for (;;) { try { for (;;) {} } catch (e) {} } }");
    caught.setLimits({20ms, std::size_t(16) << 20});
    EXPECT_EQ(call(caught, {}).error, "intensity ran out of its time budget of 20 ms");

    // A regular expression that backtracks without end is cut short inside the engine.
    const jmfFunctionObject regexp(
        "function intensity() { return /(a+)+b/.test('aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaac'); }");
    EXPECT_NE(call(regexp, {}).error, "");

    const jmfScriptLimits defaults = jmfFunctionObject::defaultLimits();
    jmfFunctionObject::setDefaultLimits({30ms, defaults.heapBytes});
    const jmfFunctionObject top("while (true) {}\nfunction intensity() { return 1; }");
    jmfFunctionObject::setDefaultLimits(defaults);
    EXPECT_EQ(top.compileError(), "the script's top level ran out of its time budget of 30 ms");
}

TEST(ScriptFunction, EndsAtItsMemoryCap) {
    jmfFunctionObject f("var a = [];\nfunction intensity(x) { if (x > 0) for (;;) a.push([x, x]); a = []; return 1; }");
    EXPECT_GT(f.engineBytes(), 0u);
    EXPECT_LT(f.engineBytes(), std::size_t(1) << 20);
    f.setLimits({10s, std::size_t(4) << 20});
    EXPECT_EQ(call(f, {1}).error, "intensity ran out of its memory cap of 4 MiB");
    EXPECT_LE(f.engineBytes(), std::size_t(4) << 20);
    EXPECT_TRUE(call(f, {0}).ok);  // what the script held is garbage once it lets go

    // A string that doubles, a block that grows by reallocation (the text JSON writes), and a deep
    // recursion that fits: the heap never holds more than its cap.
    const std::pair<const char*, std::string> cases[] = {
        {"function intensity() { var s = 'x'; for (;;) s = s + s; }", "intensity ran out of its memory cap of 2 MiB"},
        {"function intensity() { return JSON.stringify(['x'.repeat(1e6)]).length; }",
         "intensity ran out of its memory cap of 2 MiB"},
        {"function f(n) { return n ? f(n - 1) + 1 : 0; }\nfunction intensity() { return f(9000); }", ""},
    };
    for (const auto& [script, error] : cases) {
        jmfFunctionObject g(script);
        g.setLimits({10s, std::size_t(2) << 20});
        EXPECT_EQ(call(g, {}).error, error) << script;
        EXPECT_LE(g.engineBytes(), std::size_t(2) << 20) << script;
    }

    jmfScriptLimits tiny = jmfFunctionObject::defaultLimits();
    const jmfScriptLimits defaults = tiny;
    tiny.heapBytes = 1024;
    jmfFunctionObject::setDefaultLimits(tiny);
    const jmfFunctionObject starved("function intensity() { return 1; }");
    jmfFunctionObject::setDefaultLimits(defaults);
    EXPECT_EQ(starved.compileError(), "the script engine does not start within its memory cap of 0.000977 MiB");
    EXPECT_EQ(starved.engineBytes(), 0u);
}

// The text is checked when the function is made, under its limits; the engine that runs it is made
// on the first call, under the limits then, and what stops it there is told by every call.
TEST(ScriptFunction, ChecksUnderItsLimitsAndStartsOnTheFirstCall) {
    const char* big = "var s = 'x'.repeat(6e6);\nfunction intensity() { return s.length; }";
    jmfFunctionObject roomy(big);
    EXPECT_EQ(roomy.compileError(), "");

    const jmfScriptLimits defaults = jmfFunctionObject::defaultLimits();
    jmfFunctionObject::setDefaultLimits({defaults.timeBudget, std::size_t(4) << 20});
    const jmfFunctionObject cramped(big);  // the same text, a verdict of its own
    jmfFunctionObject::setDefaultLimits(defaults);
    EXPECT_EQ(cramped.compileError(), "the script's top level ran out of its memory cap of 4 MiB");
    EXPECT_EQ(call(cramped, {}).error, cramped.compileError());

    roomy.setLimits({defaults.timeBudget, std::size_t(4) << 20});
    const jmfFunctionObject copy(roomy);  // checked afresh under the limits it copies
    EXPECT_EQ(copy.compileError(), "the script's top level ran out of its memory cap of 4 MiB");
    EXPECT_EQ(call(roomy, {}).error, "the script's top level ran out of its memory cap of 4 MiB");
    EXPECT_EQ(call(roomy, {}).error, "the script's top level ran out of its memory cap of 4 MiB");
    EXPECT_EQ(roomy.engineBytes(), 0u);
    EXPECT_EQ(roomy.compileError(), "");

    jmfFunctionObject again(big);
    EXPECT_TRUE(call(again, {}).ok);
    again = cramped;
    EXPECT_EQ(call(again, {}).error, "the script's top level ran out of its memory cap of 4 MiB");
    again = jmfFunctionObject("function intensity() { return 5; }");
    EXPECT_EQ(call(again, {}).values, std::vector<double>{5});
}

// Checking runs each top level apart: what one changes, the next one checked does not see, be it
// checked once or many times over.
TEST(ScriptFunction, ChecksEachTopLevelApart) {
    const char* meddler =
        "Math.floor = null; Object.prototype.planted = 1; var leaked = 1; this.global = 1;\n"
        "function intensity() { return 1; }";
    const char* wary =
        "if (Math.floor === null || ({}).planted || typeof leaked !== 'undefined' || typeof global !== 'undefined')\n"
        "  throw new Error('shared');\nfunction intensity() { return 2; }";
    // What is tested is isolation, not time: a loaded machine under the sanitizers must not turn
    // a slow start into a failed check.
    const jmfScriptLimits defaults = jmfFunctionObject::defaultLimits();
    jmfFunctionObject::setDefaultLimits({10s, defaults.heapBytes});
    for (int round = 0; round < 100; ++round) {
        const std::string tag = "\n// " + std::to_string(round);  // each text is new
        EXPECT_EQ(jmfFunctionObject(meddler + tag).compileError(), "");
        EXPECT_EQ(jmfFunctionObject(wary + tag).compileError(), "") << round;
    }
    // A failed check leaves nothing behind either.
    EXPECT_NE(jmfFunctionObject("Object.prototype.planted = 1; throw 1;").compileError(), "");
    EXPECT_EQ(jmfFunctionObject(wary).compileError(), "");
    EXPECT_EQ(jmfFunctionObject("var s = 'x'.repeat(20e6); function intensity() {}").compileError(),
              "the script's top level ran out of its memory cap of 16 MiB");
    EXPECT_EQ(jmfFunctionObject(wary + std::string("  ")).compileError(), "");
    jmfFunctionObject::setDefaultLimits(defaults);
}

// Threads read documents side by side: each checks and runs its own functions.
TEST(ScriptFunction, ThreadsCheckAndRunApart) {
    std::vector<double> results(4);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < results.size(); ++t)
        threads.emplace_back([t, &results] {
            for (int i = 0; i < 20; ++i) {
                const jmfFunctionObject f("var k = " + std::to_string(t) + "; function intensity(x) { return k + x; }");
                std::vector<double> values;
                if (f.call(std::vector<double>{double(i)}, 1, values)) results[t] += values[0];
            }
        });
    for (std::thread& t : threads) t.join();
    for (std::size_t t = 0; t < results.size(); ++t) EXPECT_EQ(results[t], 20.0 * double(t) + 190.0);
}

}  // namespace
