#ifndef HOSTILEDOCUMENT_H
#define HOSTILEDOCUMENT_H

#include <QByteArray>
#include <QString>

// Document files shaped as an attacker would shape them: one record, as small as the reader accepts it, repeated
// count times, so that the file asks for as much memory and time per byte as it can. Each file is complete and reads
// as a document; with a trailing byte it is refused, after the reader has built everything before that byte.
namespace HostileDocument {

enum Shape {
    // One glyph carrying count SoftTypes, each a kind key and an empty record.
    ManySoftTypes,
    // The same with one property of its own in each record.
    ManyOwnProperties,
    // One SoftType holding count properties of distinct two-letter names.
    ManyProperties,
    // count passages of one space each.
    ManyPassages,
    // One passage of count words of one glyph each.
    ManyWords,
    // One word of count glyphs.
    ManyGlyphs,
    ShapeCount
};

QString name(Shape shape);
QByteArray build(Shape shape, int count);

} // namespace HostileDocument

#endif // HOSTILEDOCUMENT_H
