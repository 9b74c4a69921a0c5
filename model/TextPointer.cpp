#include "model/TextPointer.h"

TextPointer::TextPointer()
    : passage(nullptr), passageIndex(-1), word(nullptr), wordIndex(-1), glyph(nullptr), glyphIndex(-1)
{
}
