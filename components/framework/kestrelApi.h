#pragma once

// Marks what a shared library exports. The module hides everything else; the platform layers
// export everything, so that in them it only repeats the default.
#if defined(_WIN32)
#if defined(KESTREL_BUILDING)
#define KESTREL_API __declspec(dllexport)
#else
#define KESTREL_API __declspec(dllimport)
#endif
#else
#define KESTREL_API __attribute__((visibility("default")))
#endif
