#ifndef DOCUMENTSTREAM_H
#define DOCUMENTSTREAM_H

#include <QDataStream>

class Caret;
class Glyph;
class GlyphPath;
class Grid;
class QIODevice;
class QVorrelScene;
class TextGroup;
class TextPointer;

// The document file: a header (magic number and file version) and the
// document body at stream version Qt 4.6, big-endian. The save path of the
// view and the open path of the main window call write and read; the
// record operators below stream the parts of a body.
class DocumentStream
{
public:
    static constexpr qint32 Magic = 0x00564F52;
    static constexpr qint32 Version = 100;

    // The outcome of reading a document file, for the open path to report.
    enum Result {
        Ok,
        // Another magic number: "Not a Vorrel file".
        NotVorrelFile,
        // A version below 100: "Unsupported file version.".
        UnsupportedVersion,
        // A body that is truncated, damaged or not one the editor writes.
        Damaged
    };

    // The header, then the stream set to the body's version.
    static void writeHeader(QDataStream &out);
    // Reads and checks the header; on Ok the stream is set to the body's
    // version. Versions above 100 are read like 100.
    static Result readHeader(QDataStream &in);

    // Writes header and body; false when the device took not every byte.
    static bool write(QIODevice *device, const QVorrelScene &scene);
    // Reads header and body into a scene fresh from its constructor. Any
    // result but Ok leaves the scene half read: the caller discards it.
    static Result read(QIODevice *device, QVorrelScene &scene);

    // A text position record, resolved against the root of its tree.
    static QDataStream &readTextPointer(QDataStream &in, TextPointer &pointer, TextGroup *root);
};

// The body and its records. A reader that meets a fault leaves the stream
// in a failed status (ReadPastEnd or ReadCorruptData).
QDataStream &operator<<(QDataStream &out, const QVorrelScene &scene);
QDataStream &operator>>(QDataStream &in, QVorrelScene &scene);
QDataStream &operator<<(QDataStream &out, const TextGroup &group);
QDataStream &operator>>(QDataStream &in, TextGroup &group);
QDataStream &operator<<(QDataStream &out, const Glyph &glyph);
QDataStream &operator>>(QDataStream &in, Glyph &glyph);
QDataStream &operator<<(QDataStream &out, const GlyphPath &paths);
QDataStream &operator>>(QDataStream &in, GlyphPath &paths);
QDataStream &operator<<(QDataStream &out, const TextPointer &pointer);
QDataStream &operator<<(QDataStream &out, const Caret &caret);
QDataStream &operator>>(QDataStream &in, Caret &caret);
QDataStream &operator<<(QDataStream &out, const Grid &grid);
QDataStream &operator>>(QDataStream &in, Grid &grid);

#endif // DOCUMENTSTREAM_H
