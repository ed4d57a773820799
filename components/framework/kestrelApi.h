#pragma once

// Marks what the module exports; everything else stays hidden inside the shared library.
#if defined(_WIN32)
#if defined(KESTREL_BUILDING)
#define KESTREL_API __declspec(dllexport)
#else
#define KESTREL_API __declspec(dllimport)
#endif
#else
#define KESTREL_API __attribute__((visibility("default")))
#endif
