#include "support/TreeDump.h"

#include "model/Glyph.h"
#include "model/GlyphPath.h"
#include "model/TextGroup.h"
#include "softtypes/SoftType.h"

namespace {

QString num(double v) { return QString::number(v, 'g', 17); }

QString colour(const QColor &c)
{
    const QRgba64 v = c.rgba64();
    return c.isValid() ? QStringLiteral("spec %1 argb64 %2,%3,%4,%5").arg(int(c.spec())).arg(v.alpha()).arg(v.red()).arg(v.green()).arg(v.blue())
                       : QStringLiteral("invalid");
}

void dumpObject(QStringList &lines, const TextObject *o, int depth)
{
    const QString indent(2 * depth, QLatin1Char(' '));
    const QString state = QStringLiteral("pos (%1, %2) rotation %3 z %4 visible %5 selected %6 locked %7")
                              .arg(num(o->x()), num(o->y()), num(o->rotation()), num(o->zValue()))
                              .arg(o->isVisible()).arg(o->isSelected()).arg(o->isLocked());
    if (o->textType() == TextObject::GroupType) {
        const TextGroup *g = static_cast<const TextGroup *>(o);
        lines << QStringLiteral("%1group of %2: %3").arg(indent).arg(g->count()).arg(state);
        for (const TextObject *c : g->children())
            dumpObject(lines, c, depth + 1);
        return;
    }
    const Glyph *g = static_cast<const Glyph *>(o);
    lines << QStringLiteral("%1glyph U+%2: %3").arg(indent).arg(g->character().unicode(), 4, 16, QLatin1Char('0')).arg(state);
    lines << QStringLiteral("%1  font %2 fill %3 stroke %4 width %5")
                 .arg(indent, g->font().toString(), colour(g->fillColor()), colour(g->strokeColor()), num(g->strokeWidth()));
    for (const SoftType *s : g->softTypes())
        lines << QStringLiteral("%1  softtype %2 \"%3\" enabled %4").arg(indent, s->typeKey(), s->name()).arg(s->isEnabled());
    for (const QString &name : {QStringLiteral("rest"), QStringLiteral("current")}) {
        const QPainterPath &path = name == "rest" ? g->path()->rest : g->path()->current;
        lines << QStringLiteral("%1  %2: %3 elements").arg(indent, name).arg(path.elementCount());
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPainterPath::Element e = path.elementAt(i);
            lines << QStringLiteral("%1    %2[%3] type %4 (%5, %6)").arg(indent, name).arg(i).arg(int(e.type)).arg(num(e.x), num(e.y));
        }
    }
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
    const QStringList &a = expected.lines, &b = actual.lines;
    int first = 0;
    while (first < a.size() && first < b.size() && a.at(first) == b.at(first))
        ++first;
    if (first == a.size() && first == b.size())
        return QString();
    // The differing lines after the one before them.
    return QStringLiteral("trees differ at line %1 (expected %2 lines, actual %3)\n  %4\nexpected %5\nactual   %6\n")
        .arg(first + 1).arg(a.size()).arg(b.size()).arg(a.value(first - 1), a.value(first, QStringLiteral("(end)")), b.value(first, QStringLiteral("(end)")));
}
