// kestrel_vocabulary: writes the reference of the load-document vocabulary (docs/vocabulary.md).
#include <iostream>

#include "kestrel/document/kestrelVocabulary.h"

int main() {
    std::cout << kestrel::vocabularyReference();
    return std::cout.good() ? 0 : 2;
}
