// This project's settings of the script engine, read by its duk_config.h where it takes overrides.
// C and C++ both include it: the engine is C, jmfFunctionObject.cpp is C++.
#ifndef KESTREL_JMF_DUKTAPE_CONFIG_H
#define KESTREL_JMF_DUKTAPE_CONFIG_H

#ifdef __cplusplus
extern "C" {
#endif
// True once the call in progress on the heap whose user data is `heap` has used up its time.
int jmfScriptTimedOut(void* heap);
#ifdef __cplusplus
}
#endif

// Every 256k bytecode instructions the executor asks whether the call has run out of time.
#define DUK_USE_INTERRUPT_COUNTER
#define DUK_USE_EXEC_TIMEOUT_CHECK(udata) jmfScriptTimedOut(udata)

// The engine is private to the components library: its API is not exported.
#undef DUK_EXTERNAL_DECL
#undef DUK_EXTERNAL
#define DUK_EXTERNAL_DECL __attribute__((visibility("hidden"))) extern
#define DUK_EXTERNAL __attribute__((visibility("hidden")))

#endif
