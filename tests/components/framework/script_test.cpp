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

TEST(ScriptFunction, ReturnsANumberOrAnArrayOfThem) {
    const jmfFunctionObject surface("function intensity(x, y, z) { return 1000 + 10 * x + 100 * z + y; }");
    EXPECT_EQ(surface.compileError(), "");
    Call r = call(surface, {2, 0.5, 3});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.values, std::vector<double>{1320.5});
    EXPECT_EQ(r.error, "");

    const jmfFunctionObject line("// a line load\nfunction intensity(t) { return [t, 2 * t, -400]; }");
    r = call(line, {0.25}, 3);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.values, (std::vector<double>{0.25, 0.5, -400}));
}

// Anything but the number or the array asked for is an error that says what came back.
TEST(ScriptFunction, RefusesWhatTheQuantityCannotTake) {
    const jmfFunctionObject f(R"(
        function intensity(k) {
            switch (k) {
            case 0: return "12";
            case 1: return [1, 2];
            case 2: return [1, "2", 3];
            case 3: return 0 / 0;
            case 4: return [1, 1 / 0, 3];
            case 5: return;
            case 6: return [5];
            }
            return 7;
        })");
    EXPECT_EQ(call(f, {0}).error, "intensity returned a string, expected a number");
    EXPECT_EQ(call(f, {1}, 3).error, "intensity returned an array of 2 values, expected an array of 3 numbers");
    EXPECT_EQ(call(f, {2}, 3).error,
              "intensity returned an array whose element 1 is a string, expected an array of 3 numbers");
    EXPECT_EQ(call(f, {3}).error, "intensity returned NaN, expected a finite number");
    EXPECT_EQ(call(f, {4}, 3).error,
              "intensity returned an array whose element 1 is Infinity, expected finite numbers");
    EXPECT_EQ(call(f, {5}).error, "intensity returned undefined, expected a number");
    EXPECT_EQ(call(f, {6}).error, "intensity returned an array, expected a number");
    EXPECT_EQ(call(f, {7}, 3).error, "intensity returned a number, expected an array of 3 numbers");
    const Call r = call(f, {7});
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.error, "");
}

TEST(ScriptFunction, ReportsWhereTheScriptIsBroken) {
    const jmfFunctionObject syntax("function intensity(x, y, z) {\n  return x +* 2;\n}");
    EXPECT_EQ(syntax.compileError().find("the script does not compile: SyntaxError: "), 0u) << syntax.compileError();
    EXPECT_NE(syntax.compileError().find("(line 2, column 13)"), std::string::npos) << syntax.compileError();
    const Call r = call(syntax, {0, 0, 0});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, syntax.compileError());

    EXPECT_EQ(jmfFunctionObject("").compileError(), "the script defines no function intensity");
    EXPECT_EQ(jmfFunctionObject("var intensity = 3;").compileError(), "the script defines no function intensity");
    EXPECT_EQ(jmfFunctionObject("\n\nnosuch();\nfunction intensity() { return 1; }").compileError(),
              "the script's top level failed: ReferenceError: nosuch is not defined (line 3, column 1)");

    const jmfFunctionObject throws(
        "function intensity(x) {\n  if (x > 1)\n    throw new RangeError('too far');\n  "
        "return x;\n}");
    EXPECT_EQ(call(throws, {2}).error, "intensity failed: RangeError: too far (line 3, column 11)");
    EXPECT_TRUE(call(throws, {1}).ok);  // the engine goes on after an error
    EXPECT_EQ(call(jmfFunctionObject("function intensity() { throw 'plain'; }"), {}).error, "intensity failed: plain");
    // What the script throws is shown on one line of bounded length.
    const std::string loud =
        call(jmfFunctionObject("function intensity() { throw '\\x1b[2J' + 'x'.repeat(1e6); }"), {}).error;
    EXPECT_EQ(loud.find('\x1b'), std::string::npos);
    EXPECT_EQ(loud.size(), std::string("intensity failed: ").size() + 303);
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
            "Float64Array", "BigInt64Array", "BigUint64Array", "BigInt", "Map", "Set", "WeakMap", "WeakSet",
            "AggregateError", "Intl", "intensity", "standard"];
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
    EXPECT_EQ(jmfFunctionObject::defaultLimits().timeBudget, 100ms);
    EXPECT_EQ(jmfFunctionObject::defaultLimits().heapBytes, std::size_t(16) << 20);

    jmfFunctionObject f("function intensity(x) { if (x > 0) while (true) {} return 1; }");
    f.setLimits({50ms, std::size_t(16) << 20});
    const auto start = std::chrono::steady_clock::now();
    // A try/catch in the script does not keep it alive.
    EXPECT_EQ(call(f, {1}).error, "intensity ran out of its time budget of 50 ms");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_TRUE(call(f, {0}).ok);

    jmfFunctionObject caught("function intensity() { for (;;) { try { for (;;) {} } catch (e) {} } }");
    caught.setLimits({20ms, std::size_t(16) << 20});
    EXPECT_EQ(call(caught, {}).error, "intensity ran out of its time budget of 20 ms");

    // A regular expression that backtracks without end is cut short inside the engine.
    const jmfFunctionObject regexp(
        "function intensity() { return /(a+)+b/.test('aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaac'); }");
    const auto before = std::chrono::steady_clock::now();
    EXPECT_NE(call(regexp, {}).error, "");
    EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);

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
    EXPECT_LE(f.engineBytes(), std::size_t(3 * 4) << 20);  // the engine tenures its young objects past the cap
    EXPECT_TRUE(call(f, {0}).ok);                          // what the script held is garbage once it lets go

    jmfFunctionObject text("function intensity() { var s = 'x'; for (;;) s = s + s; }");
    text.setLimits({10s, std::size_t(16) << 20});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(call(text, {}).error, "intensity failed: InternalError: allocation size overflow (line 1, column 46)");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);

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
    const char* big =
        "var s = [];\nfor (var i = 0; i < 2e5; i++) s.push({ i });\nfunction intensity() { return s.length; }";
    // Memory is tested, not time: the engine builds the heap at its own pace on a loaded machine.
    const jmfScriptLimits defaults = jmfFunctionObject::defaultLimits();
    jmfFunctionObject::setDefaultLimits({10s, defaults.heapBytes});
    jmfFunctionObject roomy(big);
    EXPECT_EQ(roomy.compileError(), "");

    jmfFunctionObject::setDefaultLimits({10s, std::size_t(4) << 20});
    const jmfFunctionObject cramped(big);  // the same text, a verdict of its own
    jmfFunctionObject::setDefaultLimits({10s, defaults.heapBytes});
    EXPECT_EQ(cramped.compileError(), "the script's top level ran out of its memory cap of 4 MiB");
    EXPECT_EQ(call(cramped, {}).error, cramped.compileError());

    roomy.setLimits({10s, std::size_t(4) << 20});
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
    jmfFunctionObject::setDefaultLimits(defaults);
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
    EXPECT_EQ(jmfFunctionObject("var s = []; for (;;) s.push({}); function intensity() {}").compileError(),
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
