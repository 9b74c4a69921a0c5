#include "model/Glyph.h"

#include "model/GlyphPath.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "softtypes/SoftType.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

namespace {

// The first character of the text: a surrogate pair, or one unit (a null
// character for an empty text).
QString firstCharacter(const QString &text)
{
    if (text.isEmpty())
        return QString(QChar(0));
    const bool pair = text.size() >= 2 && text.at(0).isHighSurrogate() && text.at(1).isLowSurrogate();
    return text.left(pair ? 2 : 1);
}

} // namespace

Glyph::Glyph(const QChar &character, const QFont &font, const QColor &fill, const QColor &stroke,
             double strokeWidth, const QPointF &pos)
    : Glyph(QString(character), font, fill, stroke, strokeWidth, pos)
{
}

Glyph::Glyph(const QString &character, const QFont &font, const QColor &fill, const QColor &stroke,
             double strokeWidth, const QPointF &pos)
    : Glyph(character, font, fill, stroke, strokeWidth, pos, GlyphPath(QPointF(0, 0), font, firstCharacter(character)))
{
}

Glyph::Glyph(const QChar &character, const QFont &font, const QColor &fill, const QColor &stroke,
             double strokeWidth, const QPointF &pos, const GlyphPath &paths)
    : Glyph(QString(character), font, fill, stroke, strokeWidth, pos, paths)
{
}

Glyph::Glyph(const QString &character, const QFont &font, const QColor &fill, const QColor &stroke,
             double strokeWidth, const QPointF &pos, const GlyphPath &paths)
    : TextObject(GlyphType, nullptr),
      m_character(firstCharacter(character)),
      m_font(font),
      m_fillColor(fill),
      m_strokeColor(stroke),
      m_strokeWidth(float(strokeWidth)),
      m_path(new GlyphPath(paths))
{
    setPos(pos);
}

Glyph::~Glyph()
{
    delete m_path;
    qDeleteAll(m_softTypes);
}

QRectF Glyph::boundingRect() const
{
    if (m_boundsKept)
        return m_keptBounds;
    const QRectF r = m_path->current.boundingRect();
    // Without a stroke there is nothing to grow by (asked first: the scene
    // asks every glyph for its bounds several times a frame).
    if (m_strokeWidth == 0 || !hasOutline())
        return r;
    const double half = double(m_strokeWidth) / 2;
    return r.adjusted(-half, -half, half, half);
}

void Glyph::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setRenderHint(QPainter::Antialiasing, true);
    if (m_strokeWidth <= 0)
        painter->setPen(Qt::NoPen);
    else
        painter->setPen(QPen(QBrush(m_strokeColor), double(m_strokeWidth), Qt::SolidLine, Qt::SquareCap,
                             Qt::BevelJoin));
    painter->setBrush(QBrush(m_fillColor));
    painter->drawPath(m_path->current);

    // A box at a right angle is drawn crisp, any other one smoothed.
    painter->setRenderHint(QPainter::Antialiasing, int(rotation()) % 90 != 0);
    const QVorrelScene *s = documentScene();
    if (hasOutline() && isSelected() && s && s->isSelectionVisible() && s->extrasVisible()) {
        painter->setPen(selectionBoxPen(m_locked));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(boundingRect());
    }

    painter->setRenderHint(QPainter::Antialiasing, true);
    if ((isHighlighted() || hasHighlightedAncestor()) && s && s->extrasVisible()) {
        painter->setPen(QPen(QColor(254, 206, 47, 200), 0));
        painter->setBrush(Qt::NoBrush);
        painter->drawPath(m_path->current);
    }
}

bool Glyph::hasSelectedDescendant() const
{
    return false;
}

Glyph *Glyph::firstGlyph()
{
    return this;
}

Glyph *Glyph::lastGlyph()
{
    return this;
}

bool Glyph::hasOutline() const
{
    return !m_path->current.isEmpty();
}

bool Glyph::isGlyph() const
{
    return true;
}

bool Glyph::isWord() const
{
    return false;
}

bool Glyph::isPassage() const
{
    return false;
}

QString Glyph::text() const
{
    return m_character;
}

void Glyph::rebuildOutline()
{
    updateInScene();
    m_path->build(QPointF(0, 0), m_font, m_character);
    updateInScene();
}

void Glyph::setFont(const QFont &font, bool rebuild)
{
    m_font = font;
    if (rebuild)
        rebuildOutline();
}

void Glyph::setFontSize(int pointSize)
{
    if (pointSize <= 0)
        return;
    const float old = float(m_font.pointSizeF());
    if (old <= 0) {
        // A font sized in pixels has no point size to scale from.
        m_font.setPointSize(pointSize);
        rebuildOutline();
        return;
    }
    updateInScene();
    const float factor = float(pointSize / old);
    m_path->scale(factor);
    m_font.setPointSize(pointSize);
    updateInScene();
}

void Glyph::setFillColor(QColor color)
{
    m_fillColor = color;
    update();
}

void Glyph::setFillRed(int value)
{
    m_fillColor.setRed(value);
    update();
}

void Glyph::setFillGreen(int value)
{
    m_fillColor.setGreen(value);
    update();
}

void Glyph::setFillBlue(int value)
{
    m_fillColor.setBlue(value);
    update();
}

void Glyph::setFillAlpha(int value)
{
    m_fillColor.setAlpha(value);
    update();
}

void Glyph::setStrokeColor(QColor color)
{
    m_strokeColor = color;
    update();
}

void Glyph::setStrokeRed(int value)
{
    m_strokeColor.setRed(value);
    update();
}

void Glyph::setStrokeGreen(int value)
{
    m_strokeColor.setGreen(value);
    update();
}

void Glyph::setStrokeBlue(int value)
{
    m_strokeColor.setBlue(value);
    update();
}

void Glyph::setStrokeAlpha(int value)
{
    m_strokeColor.setAlpha(value);
    update();
}

void Glyph::setStrokeWidth(float width)
{
    updateInScene();
    m_strokeWidth = width;
    updateInScene();
}

bool Glyph::isLocked() const
{
    return m_locked;
}

void Glyph::updateSelectedChain()
{
    if (isSelected())
        update();
    for (TextGroup *g = parentGroup(); g; g = g->parentGroup()) {
        if (g->isSelected())
            g->update();
    }
}

void Glyph::lock()
{
    m_locked = true;
    updateSelectedChain();
}

void Glyph::unlock()
{
    m_locked = false;
    update();
    updateSelectedChain();
}

void Glyph::resetDeform()
{
    updateInScene();
    m_path->resetCurrent();
    updateInScene();
}

void Glyph::bakeDeform()
{
    m_path->rest = m_path->current;
}

QMap<QString, SoftType *> Glyph::softTypesByName() const
{
    QMap<QString, SoftType *> map;
    for (SoftType *s : m_softTypes) {
        if (!map.contains(s->name()))
            map.insert(s->name(), s);
    }
    return map;
}

QStringList Glyph::softTypeKinds() const
{
    QStringList kinds;
    for (const SoftType *s : m_softTypes)
        kinds.append(s->typeKey());
    kinds.removeDuplicates();
    return kinds;
}

QStringList Glyph::softTypeNames() const
{
    QStringList names;
    for (const SoftType *s : m_softTypes)
        names.append(s->name());
    names.removeDuplicates();
    return names;
}

void Glyph::convertToCurves()
{
    updateInScene();
    m_path->convertToCurves();
    updateInScene();
}

void Glyph::convertToLines()
{
    updateInScene();
    m_path->flattenToLines();
    updateInScene();
}

void Glyph::resetGlyph()
{
    rebuildOutline();
}

double Glyph::advanceWidth() const
{
    // One unit by its own advance: measured as a string, a tab would jump
    // to a tab stop.
    const QFontMetrics metrics(m_font);
    if (m_character.size() == 1)
        return metrics.horizontalAdvance(m_character.at(0));
    return metrics.horizontalAdvance(m_character);
}

void Glyph::setCharacter(const QString &character, bool rebuild)
{
    m_character = firstCharacter(character);
    if (rebuild)
        rebuildOutline();
}

void Glyph::copyPathsFrom(const GlyphPath &other)
{
    updateInScene();
    m_path->setPaths(other.rest, other.current);
    updateInScene();
}

void Glyph::moveElementBy(int index, const QPointF &sceneDelta)
{
    if (index < 0 || index >= m_path->current.elementCount() || !std::isfinite(sceneDelta.x())
        || !std::isfinite(sceneDelta.y()))
        return;
    const QPainterPath::Element e = m_path->current.elementAt(index);
    const QPointF moved = mapFromScene(mapToScene(QPointF(e.x, e.y)) + sceneDelta);
    m_path->current.setElementPositionAt(index, moved.x(), moved.y());
}

void Glyph::rotateAbout(float angle, const QPointF &centre)
{
    const QPointF o = mapToScene(QPointF(0, 0));
    const float a = angle / 180.0f * 3.1415927f;
    const float cs = float(std::cos(double(a)));
    const float sn = float(std::sin(double(a)));
    const double dx = float(o.x()) - centre.x();
    const double dy = o.y() - centre.y();
    setRotation(rotation() + angle);
    const QPointF target(centre.x() + dx * cs - dy * sn, centre.y() + dx * sn + dy * cs);
    setPos(target.x() - o.x() + pos().x(), target.y() - o.y() + pos().y());
}

void Glyph::addSoftType(SoftType *softType)
{
    m_softTypes.append(softType);
}

bool Glyph::insertSoftType(SoftType *softType, int index)
{
    if (index < 0 || index > m_softTypes.size())
        return false;
    m_softTypes.insert(index, softType);
    return true;
}

void Glyph::removeSoftTypeAt(int index)
{
    if (index >= 0 && index < m_softTypes.size())
        m_softTypes.removeAt(index);
}

void Glyph::removeSoftType(SoftType *softType)
{
    m_softTypes.removeOne(softType);
}

SoftType *Glyph::findSoftType(const QString &name)
{
    return const_cast<SoftType *>(findSoftTypeConst(name));
}

const SoftType *Glyph::findSoftTypeConst(const QString &name) const
{
    for (const SoftType *s : m_softTypes) {
        if (s->name() == name)
            return s;
    }
    return nullptr;
}

bool Glyph::playsSoftTypes() const
{
    return !m_locked && isVisible() && !m_softTypes.isEmpty();
}

void Glyph::settleNonFiniteElements()
{
    QPainterPath &current = m_path->current;
    const QPainterPath &rest = m_path->rest;
    for (int i = 0; i < current.elementCount(); ++i) {
        const QPainterPath::Element e = current.elementAt(i);
        if (std::isfinite(e.x) && std::isfinite(e.y))
            continue;
        const QPointF to = i < rest.elementCount() ? QPointF(rest.elementAt(i)) : QPointF();
        current.setElementPositionAt(i, to.x(), to.y());
    }
}

void Glyph::keepBounds()
{
    settleNonFiniteElements();
    m_boundsKept = false;
    m_keptBounds = boundingRect();
    m_boundsKept = true;
}

void Glyph::applySoftTypes()
{
    if (!playsSoftTypes())
        return;
    aboutToReshape();
    const int n = m_softTypes.size();
    for (int i = 0; i < n; ++i) {
        SoftType *s = m_softTypes.at(i);
        if (s->isEnabled())
            s->apply(this);
    }
    settleNonFiniteElements();
    reshaped();
}

QStringList Glyph::characters(const QString &text)
{
    QStringList list;
    for (int i = 0; i < text.size();) {
        const QString character = firstCharacter(text.mid(i, 2));
        list.append(character);
        i += character.size();
    }
    return list;
}

Glyph *Glyph::cloneGlyph() const
{
    Glyph *copy = new Glyph(m_character, m_font, m_fillColor, m_strokeColor, double(m_strokeWidth), pos());
    copy->setRotation(rotation());
    copy->copyPathsFrom(*m_path);
    for (const SoftType *s : m_softTypes)
        copy->addSoftType(s->clone());
    return copy;
}
