#pragma once

// Format context handed to the formatter; the default one formats for documents.
struct mfScriptContext {};
