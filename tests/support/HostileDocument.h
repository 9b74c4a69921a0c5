#pragma once

#include <QByteArray>
#include <QString>

// Documents shaped by an attacker: one record, as small as the reader takes it, repeated count times to ask for the
// most memory and time per byte. Each reads as a document; with a trailing byte it is refused after all before it.
namespace HostileDocument {

enum Shape {
    ManySoftTypes,     // one glyph carrying count SoftTypes, each a kind key and an empty record
    ManyOwnProperties, // the same with one property of its own in each record
    ManyProperties,    // one SoftType holding count properties of distinct two-letter names
    ManyPassages,      // count passages of one space each
    ManyWords,         // one passage of count words of one glyph each
    ManyGlyphs,        // one word of count glyphs
    LongTextpadLine,   // no text, and a textpad of count letters in one line without a space
    ShapeCount
};

QString name(Shape shape);
QByteArray build(Shape shape, int count);

} // namespace HostileDocument

