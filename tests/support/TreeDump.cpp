#include "support/TreeDump.h"

#include "model/Glyph.h"
#include "model/GlyphPath.h"
#include "model/TextGroup.h"
#include "softtypes/SoftType.h"

namespace {

QString num(double v)
{
    return QString::number(v, 'g', 17);
}

QString point(const QPointF &p)
{
    return QStringLiteral("(%1, %2)").arg(num(p.x()), num(p.y()));
}

QString colour(const QColor &c)
{
    if (!c.isValid())
        return QStringLiteral("invalid");
    const QRgba64 v = c.rgba64();
    return QStringLiteral("spec %1 argb64 %2,%3,%4,%5")
        .arg(int(c.spec())).arg(v.alpha()).arg(v.red()).arg(v.green()).arg(v.blue());
}

void dumpPath(QStringList &lines, const QString &indent, const char *name, const QPainterPath &path)
{
    lines << QStringLiteral("%1%2: %3 elements").arg(indent, QLatin1String(name)).arg(path.elementCount());
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        lines << QStringLiteral("%1  %2[%3] type %4 %5")
                     .arg(indent, QLatin1String(name)).arg(i).arg(int(e.type)).arg(point(QPointF(e.x, e.y)));
    }
}

QString itemState(const TextObject *o)
{
    return QStringLiteral("pos %1 rotation %2 z %3 visible %4 selected %5 locked %6")
        .arg(point(o->pos()), num(o->rotation()), num(o->zValue()))
        .arg(o->isVisible()).arg(o->isSelected()).arg(o->isLocked());
}

void dumpObject(QStringList &lines, const TextObject *o, int depth)
{
    const QString indent(2 * depth, QLatin1Char(' '));
    if (o->textType() == TextObject::GroupType) {
        const TextGroup *g = static_cast<const TextGroup *>(o);
        lines << QStringLiteral("%1group of %2: %3").arg(indent).arg(g->count()).arg(itemState(o));
        for (const TextObject *c : g->children())
            dumpObject(lines, c, depth + 1);
        return;
    }
    const Glyph *g = static_cast<const Glyph *>(o);
    lines << QStringLiteral("%1glyph U+%2: %3").arg(indent).arg(g->character().unicode(), 4, 16, QLatin1Char('0'))
                 .arg(itemState(o));
    lines << QStringLiteral("%1  font %2 fill %3 stroke %4 width %5")
                 .arg(indent, g->font().toString(), colour(g->fillColor()), colour(g->strokeColor()),
                      num(g->strokeWidth()));
    for (const SoftType *s : g->softTypes())
        lines << QStringLiteral("%1  softtype %2 \"%3\" enabled %4").arg(indent, s->typeKey(), s->name())
                     .arg(s->isEnabled());
    dumpPath(lines, indent + QStringLiteral("  "), "rest", g->path()->rest);
    dumpPath(lines, indent + QStringLiteral("  "), "current", g->path()->current);
}

} // namespace

TreeDump TreeDump::of(const TextObject *root)
{
    TreeDump d;
    if (root)
        dumpObject(d.lines, root, 0);
    return d;
}

QString TreeDump::diff(const TreeDump &expected, const TreeDump &actual)
{
    if (expected == actual)
        return QString();
    const QStringList &a = expected.lines;
    const QStringList &b = actual.lines;
    int first = 0;
    while (first < a.size() && first < b.size() && a.at(first) == b.at(first))
        ++first;
    QString out = QStringLiteral("trees differ at line %1 (expected %2 lines, actual %3)\n")
                      .arg(first + 1).arg(a.size()).arg(b.size());
    const int from = qMax(0, first - 2);
    auto excerpt = [&](const char *title, const QStringList &lines) {
        out += QLatin1String(title);
        for (int i = from; i < qMin(lines.size(), first + 3); ++i)
            out += QStringLiteral("%1 %2: %3\n").arg(i == first ? QStringLiteral(">") : QStringLiteral(" "))
                       .arg(i + 1).arg(lines.at(i));
    };
    excerpt("expected:\n", a);
    excerpt("actual:\n", b);
    return out;
}
