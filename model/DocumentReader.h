#ifndef DOCUMENTREADER_H
#define DOCUMENTREADER_H

#include "model/StreamReader.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QPainterPath>
#include <QPointF>

class Caret;
class Glyph;
class GlyphPath;
class Grid;
class QVorrelScene;
class SoftType;
class TextGroup;
class TextObject;
class TextPointer;

// Reads the records of a document body. A document file is untrusted
// input: every count is bounded by the bytes left and by what the format
// allows, the stream status is checked after every record, and the text
// tree must have the shape the editor keeps (passages in the root, words and
// separators in passages, other glyphs in words, no empty group). Each read
// returns false on the first fault and leaves the stream failed; what it
// built is then only fit to be discarded.
class DocumentReader
{
public:
    explicit DocumentReader(QDataStream &in);

    // The whole body, into a scene fresh from its constructor.
    bool readScene(QVorrelScene &scene);
    // A group record; the group's depth in its tree decides what its
    // children may be (an unlinked group reads as a root).
    bool readGroup(TextGroup &group);
    bool readGlyph(Glyph &glyph);
    bool readPaths(GlyphPath &paths);
    // A text position whose index paths are resolved against root; a pair
    // whose path leads nowhere or to the wrong kind keeps its object.
    bool readTextPointer(TextPointer &pointer, TextGroup *root);
    bool readCaret(Caret &caret);
    bool readGrid(Grid &grid);

    // Whether a text position names objects of the tree at indices that the
    // caret commands and glyph insertion can use.
    static bool isUsable(const TextPointer &pointer, const TextGroup *root);

private:
    struct ItemState
    {
        QPointF pos;
        bool visible = true;
        double rotation = 0;
        double z = 0;
        bool selected = false;
    };

    // A glyph record before it becomes a glyph; it owns its SoftTypes
    // until they are handed over.
    struct GlyphRecord
    {
        GlyphRecord() = default;
        ~GlyphRecord();
        Q_DISABLE_COPY(GlyphRecord)

        ItemState state;
        QFont font;
        QString character;
        QColor fill;
        QColor stroke;
        float strokeWidth = 0;
        QPainterPath rest;
        QPainterPath current;
        bool locked = false;
        QList<SoftType *> softTypes;
    };

    bool readItemState(ItemState &state);
    static void applyItemState(TextObject *object, const ItemState &state);
    // Reads the signed count of a list whose items take at least itemBytes
    // each; fails, as the stream does, when they cannot all fit.
    bool readListCount(qint32 &count, qint64 itemBytes);
    bool readChildren(TextGroup &group, int depth);
    bool readOutlines(QPainterPath &rest, QPainterPath &current);
    // A glyph's character: one UTF-16 unit, or a surrogate pair.
    bool readCharacter(QString &character);
    bool readGlyphRecord(GlyphRecord &record);
    static Glyph *newGlyph(GlyphRecord &record);
    static void giveSoftTypes(GlyphRecord &record, Glyph *glyph);
    bool readSoftTypes(QList<SoftType *> &softTypes);
    bool readSoftTypeRecord(SoftType &softType);
    // Selects what the file marks selected the way the editor would: no
    // object with a selected ancestor, the root never.
    static void settleSelection(QVorrelScene &scene);

    StreamReader m_reader;
};

#endif // DOCUMENTREADER_H
