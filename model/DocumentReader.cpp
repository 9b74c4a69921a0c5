#include "model/DocumentReader.h"

#include "model/Caret.h"
#include "model/Glyph.h"
#include "model/GlyphPath.h"
#include "model/Grid.h"
#include "model/QVorrelScene.h"
#include "model/SelectedIterator.h"
#include "model/Selection.h"
#include "model/TextGroup.h"
#include "model/TextPointer.h"
#include "softtypes/SoftType.h"
#include "softtypes/SoftTypeFactory.h"

#include <QFileInfo>
#include <QSet>

namespace {

// Depths in the text tree: the root, its passages, their words.
constexpr int RootDepth = 0;
constexpr int PassageDepth = 1;
constexpr int WordDepth = 2;
// An index path reaches at most a glyph in a word in a passage.
constexpr int MaxIndexPath = 3;
// The least bytes of a child (its type code), of a SoftType (an empty key
// and an empty record) and of a SoftType property (an empty name and an
// invalid value's type and null flag).
constexpr int MinChildBytes = 1;
constexpr int MinSoftTypeBytes = 8;
constexpr int MinPropertyBytes = 9;

// Sizes and resolutions are kept as stored, but at least 1: rendering
// divides by them. A size that cannot be rendered is refused when exporting.
int usableExtent(int value)
{
    return qMax(1, value);
}

// Spaces, tabs and line breaks lie in their passage, every other glyph in a
// word.
bool isSeparator(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c.unicode() == Glyph::LineBreak;
}

bool sameElementTypes(const QPainterPath &a, const QPainterPath &b)
{
    const int n = a.elementCount();
    if (b.elementCount() != n)
        return false;
    for (int i = 0; i < n; ++i) {
        if (a.elementAt(i).type != b.elementAt(i).type)
            return false;
    }
    return true;
}

int depthOf(const TextObject *object)
{
    int depth = 0;
    for (const TextGroup *g = object->parentGroup(); g; g = g->parentGroup())
        ++depth;
    return depth;
}

bool hasMarkedAncestor(const TextObject *object, const QSet<TextObject *> &marked)
{
    for (TextGroup *g = object->parentGroup(); g; g = g->parentGroup()) {
        if (marked.contains(g))
            return true;
    }
    return false;
}

bool inRange(int value, int first, int last)
{
    return value >= first && value <= last;
}

} // namespace

DocumentReader::GlyphRecord::~GlyphRecord()
{
    qDeleteAll(softTypes);
}

DocumentReader::DocumentReader(QDataStream &in)
    : m_reader(in)
{
}

bool DocumentReader::readScene(QVorrelScene &scene)
{
    TextGroup *root = scene.root();
    if (root->count() != 0)
        return m_reader.fail();

    qint32 screenWidth = 0;
    qint32 screenHeight = 0;
    if (!m_reader.read(screenWidth) || !m_reader.read(screenHeight))
        return false;
    scene.setScreenSize(usableExtent(screenWidth), usableExtent(screenHeight));

    qint32 exportWidth = 0;
    qint32 exportHeight = 0;
    qint16 resolution = 0;
    if (!m_reader.read(exportWidth) || !m_reader.read(exportHeight) || !m_reader.read(resolution))
        return false;
    scene.setExportSettings(usableExtent(exportWidth), usableExtent(exportHeight), usableExtent(resolution));

    QColor background;
    bool extras = true;
    qint32 viewFlags = 0;
    if (!m_reader.readColor(background) || !m_reader.read(extras) || !m_reader.read(viewFlags))
        return false;
    scene.setBackgroundColor(background);
    scene.setExtrasVisible(extras);
    scene.setViewFlags(viewFlags);

    // The root holds the document: it stays visible and is never selected.
    ItemState rootState;
    if (!readItemState(rootState))
        return false;
    rootState.visible = true;
    rootState.selected = false;
    applyItemState(root, rootState);
    if (!readChildren(*root, RootDepth))
        return false;
    settleSelection(scene);
    const QRectF box = scene.selection()->sceneRect();
    scene.selection()->moveTo(QPointF(box.x() + 0.5 * box.width(), box.y() + 0.5 * box.height()));

    TextPointer pointer;
    if (!readTextPointer(pointer, root))
        return false;
    if (!isUsable(pointer, root)) {
        // What a click on the caret's place gives: the next text typed
        // starts a new passage after the last one.
        pointer = TextPointer();
        pointer.passageIndex = root->count() - 1;
    }
    scene.setTextPointer(pointer);
    if (!readCaret(*scene.caret()))
        return false;

    QFont font;
    QColor fill;
    QColor stroke;
    float strokeWidth = 0;
    if (!m_reader.readFont(font) || !m_reader.readColor(fill) || !m_reader.readColor(stroke)
        || !m_reader.readFloat(strokeWidth))
        return false;
    scene.setFont(font);
    scene.setFillColor(fill);
    scene.setStrokeColor(stroke);
    scene.setStrokeWidth(strokeWidth);

    qint32 snapFlags = 0;
    QString textpadText;
    QString textpadFileName;
    if (!readGrid(*scene.grid()) || !m_reader.read(snapFlags) || !m_reader.readString(textpadText)
        || !m_reader.readString(textpadFileName))
        return false;
    scene.setSnapFlags(snapFlags);
    scene.setTextpadText(textpadText);
    // The name is only kept; opening it here could block on a pipe or a
    // device. No file name holds a null character (Qt warns of one).
    if (!textpadFileName.contains(QChar(0)) && QFileInfo(textpadFileName).isFile())
        scene.setTextpadFileName(textpadFileName);
    // Nothing follows the body.
    return m_reader.atEnd() || m_reader.fail();
}

bool DocumentReader::readItemState(ItemState &state)
{
    return m_reader.readPoint(state.pos) && m_reader.read(state.visible) && m_reader.readFinite(state.rotation)
           && m_reader.readFinite(state.z) && m_reader.read(state.selected);
}

void DocumentReader::applyItemState(TextObject *object, const ItemState &state)
{
    object->setPos(state.pos);
    object->setVisible(state.visible);
    object->setRotation(state.rotation);
    object->setZValue(state.z);
    object->setSelected(state.selected);
}

bool DocumentReader::readGroup(TextGroup &group)
{
    ItemState state;
    if (!readItemState(state))
        return false;
    applyItemState(&group, state);
    return readChildren(group, depthOf(&group));
}

bool DocumentReader::readListCount(qint32 &count, qint64 itemBytes)
{
    // A count below one stands for an empty list.
    return m_reader.read(count) && (count < 1 || m_reader.fits(count, itemBytes));
}

bool DocumentReader::readChildren(TextGroup &group, int depth)
{
    qint32 count = 0;
    if (!readListCount(count, MinChildBytes))
        return false;
    for (qint32 i = 0; i < count; ++i) {
        qint8 type = 0;
        if (!m_reader.read(type))
            return false;
        if (type == TextObject::GroupType) {
            // Groups are passages and words, nothing deeper.
            if (depth >= WordDepth)
                return m_reader.fail();
            TextGroup *child = new TextGroup;
            ItemState state;
            const bool read = readItemState(state);
            if (read)
                applyItemState(child, state);
            if (!read || !readChildren(*child, depth + 1) || child->count() == 0) {
                delete child;
                return m_reader.fail();
            }
            group.append(child);
        } else if (type == TextObject::GlyphType) {
            GlyphRecord record;
            if (!readGlyphRecord(record))
                return false;
            if (depth == RootDepth || isSeparator(record.character.at(0)) != (depth == PassageDepth))
                return m_reader.fail();
            group.append(newGlyph(record));
        }
        // Any other type code has no record after it.
    }
    return true;
}

bool DocumentReader::readOutlines(QPainterPath &rest, QPainterPath &current)
{
    if (!m_reader.readPath(rest) || !m_reader.readPath(current))
        return false;
    return sameElementTypes(rest, current) || m_reader.fail();
}

bool DocumentReader::readPaths(GlyphPath &paths)
{
    QPainterPath rest;
    QPainterPath current;
    if (!readOutlines(rest, current))
        return false;
    paths.setPaths(rest, current);
    return true;
}

bool DocumentReader::readCharacter(QString &character)
{
    QChar unit;
    if (!m_reader.read(unit))
        return false;
    character = QString(unit);
    if (!unit.isHighSurrogate())
        return true;
    // The low surrogate of a pair, when one follows; the fill colour's spec
    // byte (0 to 4) never begins one.
    QByteArray head;
    if (!m_reader.peek(2, head))
        return false;
    if (!QChar(ushort((uchar(head.at(0)) << 8) | uchar(head.at(1)))).isLowSurrogate())
        return true;
    if (!m_reader.read(unit))
        return false;
    character.append(unit);
    return true;
}

bool DocumentReader::readGlyphRecord(GlyphRecord &record)
{
    return readItemState(record.state) && m_reader.readFont(record.font) && readCharacter(record.character)
           && m_reader.readColor(record.fill) && m_reader.readColor(record.stroke)
           && m_reader.readFloat(record.strokeWidth) && readOutlines(record.rest, record.current)
           && m_reader.read(record.locked) && readSoftTypes(record.softTypes);
}

Glyph *DocumentReader::newGlyph(GlyphRecord &record)
{
    GlyphPath paths;
    paths.setPaths(record.rest, record.current);
    Glyph *glyph = new Glyph(record.character, record.font, record.fill, record.stroke, double(record.strokeWidth),
                             record.state.pos, paths);
    applyItemState(glyph, record.state);
    if (record.locked)
        glyph->lock();
    giveSoftTypes(record, glyph);
    return glyph;
}

void DocumentReader::giveSoftTypes(GlyphRecord &record, Glyph *glyph)
{
    for (SoftType *s : qAsConst(record.softTypes))
        glyph->addSoftType(s);
    record.softTypes.clear();
}

bool DocumentReader::readGlyph(Glyph &glyph)
{
    GlyphRecord record;
    if (!readGlyphRecord(record))
        return false;
    applyItemState(&glyph, record.state);
    glyph.setFont(record.font, false);
    glyph.setCharacter(record.character, false);
    glyph.setFillColor(record.fill);
    glyph.setStrokeColor(record.stroke);
    glyph.setStrokeWidth(record.strokeWidth);
    GlyphPath paths;
    paths.setPaths(record.rest, record.current);
    glyph.copyPathsFrom(paths);
    if (record.locked)
        glyph.lock();
    else
        glyph.unlock();
    giveSoftTypes(record, &glyph);
    return true;
}

bool DocumentReader::readSoftTypes(QList<SoftType *> &softTypes)
{
    qint32 count = 0;
    if (!readListCount(count, MinSoftTypeBytes))
        return false;
    for (qint32 i = 0; i < count; ++i) {
        QString key;
        if (!m_reader.readString(key))
            return false;
        SoftType *softType = SoftTypeFactory::create(key, QStringLiteral("unnamed"));
        if (!softType)
            return m_reader.fail();
        softTypes.append(softType);
        if (!readSoftTypeRecord(*softType))
            return false;
    }
    return true;
}

bool DocumentReader::readSoftTypeRecord(SoftType &softType)
{
    // The engine's own record reader serves trusted copies; a file may
    // hold any variant type, so its values go through the bounded reader.
    quint32 count = 0;
    if (!m_reader.read(count) || !m_reader.fits(count, MinPropertyBytes))
        return false;
    for (quint32 i = 0; i < count; ++i) {
        QString name;
        QVariant value;
        if (!m_reader.readString(name) || !m_reader.readVariant(value))
            return false;
        softType.addOrSetValue(value.userType(), name, value);
    }
    return true;
}

bool DocumentReader::readTextPointer(TextPointer &pointer, TextGroup *root)
{
    struct Pair
    {
        TextObject *&object;
        int &index;
        int type;
    };
    const Pair pairs[] = {{pointer.passage, pointer.passageIndex, TextObject::GroupType},
                          {pointer.word, pointer.wordIndex, TextObject::GroupType},
                          {pointer.glyph, pointer.glyphIndex, TextObject::GlyphType}};
    for (const Pair &pair : pairs) {
        bool present = false;
        if (!m_reader.read(present))
            return false;
        if (present) {
            QList<int> path;
            if (!m_reader.readIndexPath(path, MaxIndexPath))
                return false;
            TextObject *object = root ? root->objectAtPath(path) : nullptr;
            if (object && object->textType() == pair.type)
                pair.object = object;
        }
        qint32 index = 0;
        if (!m_reader.read(index))
            return false;
        pair.index = index;
    }
    return true;
}

bool DocumentReader::isUsable(const TextPointer &p, const TextGroup *root)
{
    if (!p.passage)
        return !p.word && !p.glyph && inRange(p.passageIndex, -1, root->count() - 1) && p.wordIndex == -1;
    if (p.passage->parentGroup() != root || !inRange(p.passageIndex, 0, root->count() - 1))
        return false;
    const TextGroup *passage = static_cast<const TextGroup *>(p.passage);
    if (p.glyph && !p.glyph->isDescendantOf(passage))
        return false;
    if (!p.word)
        return inRange(p.wordIndex, -1, passage->count() - 1);
    return p.word->parentGroup() == passage && inRange(p.wordIndex, 0, passage->count() - 1)
           && inRange(p.glyphIndex, -1, static_cast<const TextGroup *>(p.word)->count() - 1);
}

bool DocumentReader::readCaret(Caret &caret)
{
    QPointF pos;
    QColor color;
    if (!m_reader.readPoint(pos) || !m_reader.readColor(color))
        return false;
    caret.setPos(pos);
    caret.setColor(color);
    return true;
}

bool DocumentReader::readGrid(Grid &grid)
{
    qint16 spacing = 0;
    QColor color;
    if (!m_reader.read(spacing) || !m_reader.readColor(color))
        return false;
    grid.setSpacing(qMax<int>(2, spacing));
    grid.setColor(color);
    return true;
}

void DocumentReader::settleSelection(QVorrelScene &scene)
{
    const QList<TextObject *> marked = walkList<SelectedIterator>(scene.root());
    // Only objects without a marked ancestor are selected, so that no
    // selection has to undo another: settling stays linear.
    const QSet<TextObject *> markedSet(marked.cbegin(), marked.cend());
    QList<TextObject *> selected;
    for (TextObject *o : marked) {
        o->setSelected(false);
        if (o != scene.root() && !hasMarkedAncestor(o, markedSet))
            selected.append(o);
    }
    scene.restoreSelection(selected);
}
