#include "model/DocumentStream.h"

#include "model/Caret.h"
#include "model/DocumentReader.h"
#include "model/Glyph.h"
#include "model/GlyphPath.h"
#include "model/Grid.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "model/TextPointer.h"
#include "softtypes/SoftType.h"

#include <QIODevice>
#include <QSet>
#include <QVector>

namespace {

// Every group and glyph record starts with the item's own state. The
// visibility written is the object's own, not the one it takes from a
// hidden group above it.
void writeItemState(QDataStream &out, const TextObject &object)
{
    out << object.pos() << object.isVisibleTo(object.parentItem()) << object.rotation() << object.zValue()
        << object.isSelected();
}

void writePointerPair(QDataStream &out, const TextObject *object, int index)
{
    out << bool(object);
    if (object)
        out << object->indexPath();
    out << qint32(index);
}

bool isFiniteElement(const QPainterPath::Element &e)
{
    return StreamReader::isOutlineCoordinate(e.x) && StreamReader::isOutlineCoordinate(e.y);
}

// The outline as the reader accepts it: a point that is not finite (a
// deformation can divide by zero) or that is too far out for an outline to
// be read back is written at the fallback outline's point when that one is
// sound, else at the origin.
QPainterPath finiteOutline(const QPainterPath &path, const QPainterPath &fallback)
{
    const int n = path.elementCount();
    int i = 0;
    while (i < n && isFiniteElement(path.elementAt(i)))
        ++i;
    if (i == n)
        return path;
    QPainterPath finite = path;
    const bool paired = fallback.elementCount() == n;
    for (; i < n; ++i) {
        if (isFiniteElement(path.elementAt(i)))
            continue;
        const QPainterPath::Element other = paired ? fallback.elementAt(i) : QPainterPath::Element{0, 0, {}};
        if (isFiniteElement(other))
            finite.setElementPositionAt(i, other.x, other.y);
        else
            finite.setElementPositionAt(i, 0, 0);
    }
    return finite;
}

// Qt's outline writer stores an outline of a lone move-to (a space's, a
// tab's, a line break's) as an empty one, count 0, which drops its point:
// a play run that moved it would come back unmoved. Such an outline is
// written out element by element in the form Qt's writer uses for every
// other outline, which Qt's reader reads back as it was.
void writeOutline(QDataStream &out, const QPainterPath &path)
{
    if (path.elementCount() != 1) {
        out << path;
        return;
    }
    const QPainterPath::Element e = path.elementAt(0);
    out << qint32(1) << qint32(e.type) << double(e.x) << double(e.y) << qint32(0) << qint32(path.fillRule());
}

// The file keeps the export resolution in 16 bits: a larger one is saved as
// the largest the field holds rather than as its low bits, which would read
// back as another, often negative, value.
qint16 exportResolution16(int resolution)
{
    return qint16(qBound(-32768, resolution, 32767));
}

// A reader's outcome as the stream's status.
QDataStream &settle(QDataStream &in, bool read)
{
    if (!read)
        in.setStatus(QDataStream::ReadCorruptData);
    return in;
}

} // namespace

void DocumentStream::writeHeader(QDataStream &out)
{
    out << Magic << Version;
    out.setVersion(QDataStream::Qt_4_6);
}

DocumentStream::Result DocumentStream::readHeader(QDataStream &in)
{
    qint32 magic = 0;
    qint32 version = 0;
    in >> magic;
    if (magic != Magic)
        return NotVorrelFile;
    in >> version;
    if (version < Version)
        return UnsupportedVersion;
    in.setVersion(QDataStream::Qt_4_6);
    return Ok;
}

bool DocumentStream::write(QIODevice *device, const QVorrelScene &scene)
{
    QDataStream out(device);
    out.setByteOrder(QDataStream::BigEndian);
    out.setFloatingPointPrecision(QDataStream::DoublePrecision);
    writeHeader(out);
    out << scene;
    return out.status() == QDataStream::Ok;
}

DocumentStream::Result DocumentStream::read(QIODevice *device, QVorrelScene &scene)
{
    QDataStream in(device);
    in.setByteOrder(QDataStream::BigEndian);
    in.setFloatingPointPrecision(QDataStream::DoublePrecision);
    const Result header = readHeader(in);
    if (header != Ok)
        return header;
    in >> scene;
    return in.status() == QDataStream::Ok ? Ok : Damaged;
}

QDataStream &DocumentStream::readTextPointer(QDataStream &in, TextPointer &pointer, TextGroup *root)
{
    return settle(in, DocumentReader(in).readTextPointer(pointer, root));
}

QDataStream &operator<<(QDataStream &out, const QVorrelScene &scene)
{
    out << qint32(scene.screenWidth()) << qint32(scene.screenHeight()) << qint32(scene.exportWidth())
        << qint32(scene.exportHeight()) << exportResolution16(scene.exportResolution()) << scene.backgroundColor()
        << scene.extrasVisible() << qint32(scene.viewFlags());
    out << *scene.root() << scene.textPointer() << *scene.caret();
    out << scene.textFont() << scene.fillColor() << scene.strokeColor() << double(scene.strokeWidth());
    out << *scene.grid() << qint32(scene.snapFlags()) << scene.textpadText() << scene.textpadFileName();
    return out;
}

QDataStream &operator>>(QDataStream &in, QVorrelScene &scene)
{
    return settle(in, DocumentReader(in).readScene(scene));
}

QDataStream &operator<<(QDataStream &out, const TextGroup &group)
{
    writeItemState(out, group);
    out << qint32(group.count());
    for (const TextObject *child : group.children()) {
        out << qint8(child->textType());
        if (child->textType() == TextObject::GroupType)
            out << *static_cast<const TextGroup *>(child);
        else
            out << *static_cast<const Glyph *>(child);
    }
    return out;
}

QDataStream &operator>>(QDataStream &in, TextGroup &group)
{
    return settle(in, DocumentReader(in).readGroup(group));
}

QDataStream &operator<<(QDataStream &out, const Glyph &glyph)
{
    writeItemState(out, glyph);
    // A character outside the basic plane is its two UTF-16 units: the low
    // surrogate follows the high one. A reader tells it from the fill colour
    // that otherwise follows, whose first byte (its spec) is at most 4.
    out << glyph.font();
    for (const QChar unit : glyph.text())
        out << unit;
    out << glyph.fillColor() << glyph.strokeColor()
        << double(glyph.strokeWidth()) << *glyph.path() << glyph.isLocked();
    // One SoftType per name: the first of that name, in one pass, so that
    // a glyph with many SoftTypes saves in linear time.
    QVector<const SoftType *> firstOfName;
    QSet<QString> names;
    for (const SoftType *softType : glyph.softTypes()) {
        const QString name = softType->name();
        if (!names.contains(name)) {
            names.insert(name);
            firstOfName.append(softType);
        }
    }
    out << qint32(firstOfName.size());
    for (const SoftType *softType : qAsConst(firstOfName))
        out << softType->typeKey() << *softType;
    return out;
}

QDataStream &operator>>(QDataStream &in, Glyph &glyph)
{
    return settle(in, DocumentReader(in).readGlyph(glyph));
}

QDataStream &operator<<(QDataStream &out, const GlyphPath &paths)
{
    const QPainterPath rest = finiteOutline(paths.rest, QPainterPath());
    writeOutline(out, rest);
    writeOutline(out, finiteOutline(paths.current, rest));
    return out;
}

QDataStream &operator>>(QDataStream &in, GlyphPath &paths)
{
    return settle(in, DocumentReader(in).readPaths(paths));
}

QDataStream &operator<<(QDataStream &out, const TextPointer &pointer)
{
    writePointerPair(out, pointer.passage, pointer.passageIndex);
    writePointerPair(out, pointer.word, pointer.wordIndex);
    writePointerPair(out, pointer.glyph, pointer.glyphIndex);
    return out;
}

QDataStream &operator<<(QDataStream &out, const Caret &caret)
{
    return out << caret.pos() << caret.color();
}

QDataStream &operator>>(QDataStream &in, Caret &caret)
{
    return settle(in, DocumentReader(in).readCaret(caret));
}

QDataStream &operator<<(QDataStream &out, const Grid &grid)
{
    return out << qint16(grid.spacing()) << grid.color();
}

QDataStream &operator>>(QDataStream &in, Grid &grid)
{
    return settle(in, DocumentReader(in).readGrid(grid));
}
