// What the frame benchmarks share: a large document of 72 pt letters, one
// frame of play as the view's timer runs it, the honest floor of a step
// (every glyph's own outlines read and written back) and of painting
// (the same outlines filled with a bare QPainter), medians, and running on
// one core.
#ifndef BENCHDOCUMENT_H
#define BENCHDOCUMENT_H

#include "model/Glyph.h"
#include "model/GlyphPath.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "softtypes/SoftTypeStepper.h"

#include <QImage>
#include <QPainter>
#include <QVector>
#include <algorithm>
#include <cmath>
#include <sched.h>

namespace bench {

// Passages of ten words of ten letters, one passage a line 90 units below
// the one before: 10,000 glyphs make a page of about 5,900 x 9,000.
inline QList<Glyph *> fill(QVorrelScene &scene, int glyphs)
{
    const QFont font(QStringLiteral("Arial"), 72);
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    QList<Glyph *> all;
    for (int n = 0; n < glyphs;) {
        auto *passage = new TextGroup;
        for (int w = 0; w < 10 && n < glyphs; ++w) {
            if (w > 0)
                passage->append(new Glyph(' ', font, Qt::black, Qt::black, 0, QPointF()));
            auto *word = new TextGroup;
            for (int i = 0; i < 10 && n < glyphs; ++i, ++n) {
                auto *g = new Glyph(letters.at(n % letters.size()), font, Qt::black, Qt::black, 0, QPointF());
                word->append(g);
                all << g;
            }
            passage->append(word);
        }
        if (Glyph *first = passage->firstGlyph())
            first->setPos(0, 90 * (1 + scene.root()->count()));
        passage->relayout();
        scene.root()->append(passage);
    }
    return all;
}

// One frame of play as the view's timer runs it, the mouse on a circle
// over the top left of the text with the left button held.
inline void tick(QVorrelScene &scene)
{
    const int f = scene.frameCounter() + 1;
    scene.setFrameCounter(f);
    scene.setMousePosition(QPointF(600 + 300 * std::cos(f * 0.05), 600 + 300 * std::sin(f * 0.05)));
    scene.stepSoftTypes();
}

// The floor of a step: each glyph's rest and current outline read element
// by element and the current one written back, as every kind at least
// does. Returns a sum of the rest outlines so that the reads stay.
inline double touchOutlines(const QList<Glyph *> &glyphs)
{
    double sum = 0;
    for (Glyph *g : glyphs) {
        QPainterPath &current = g->path()->current;
        const QPainterPath &rest = g->path()->rest;
        const int n = qMin(current.elementCount(), rest.elementCount());
        for (int i = 0; i < n; ++i) {
            const QPainterPath::Element &r = rest.elementAt(i);
            const QPainterPath::Element &c = current.elementAt(i);
            sum += r.x + r.y;
            current.setElementPositionAt(i, c.x, c.y);
        }
    }
    return sum;
}

// Leaves the outlines as a frame leaves them, their bounds worked out, so
// that the floor's writing does not add work to the next step. Untimed.
inline void settleOutlines(const QList<Glyph *> &glyphs)
{
    for (Glyph *g : glyphs)
        g->path()->current.boundingRect();
}

// The floor of painting: the same outlines, each with its glyph's
// transformation into the view, filled antialiased as a glyph fills itself
// with a bare QPainter into an image of the view's size. No scene. It paints
// copies of the outlines taken before (untimed, by take), so that what the
// painter keeps with a path it drew stays off the glyphs' own.
struct BarePainting
{
    BarePainting(const QList<Glyph *> &glyphs, const QTransform &toView, const QSize &size)
        : glyphs(glyphs), image(size, QImage::Format_ARGB32_Premultiplied)
    {
        for (Glyph *g : glyphs)
            transforms << g->sceneTransform() * toView;
    }
    void take()
    {
        paths.clear();
        for (Glyph *g : glyphs) {
            paths << g->path()->current;
            if (paths.last().elementCount() > 0)
                paths.last().setElementPositionAt(0, paths.last().elementAt(0).x, paths.last().elementAt(0).y);
        }
    }
    void paint()
    {
        image.fill(Qt::lightGray);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        for (int i = 0; i < paths.size(); ++i) {
            p.setTransform(transforms.at(i));
            p.drawPath(paths.at(i));
        }
    }
    QList<Glyph *> glyphs;
    QImage image;
    QVector<QPainterPath> paths;
    QVector<QTransform> transforms;
};

inline double median(QVector<double> v)
{
    if (v.isEmpty())
        return 0;
    std::sort(v.begin(), v.end());
    const int m = v.size() / 2;
    return v.size() % 2 ? v.at(m) : (v.at(m - 1) + v.at(m)) / 2;
}

// With `one` set, until destroyed: the SoftTypes deform on the calling
// thread alone, which stays on the core it runs on, as under `taskset -c`.
class OneCore
{
public:
    explicit OneCore(bool one)
        : m_one(one)
    {
        if (!m_one)
            return;
        SoftTypeStepper::setThreadCount(1);
        sched_getaffinity(0, sizeof(m_saved), &m_saved);
        cpu_set_t only;
        CPU_ZERO(&only);
        CPU_SET(sched_getcpu(), &only);
        sched_setaffinity(0, sizeof(only), &only);
    }
    ~OneCore()
    {
        if (!m_one)
            return;
        SoftTypeStepper::setThreadCount(0);
        sched_setaffinity(0, sizeof(m_saved), &m_saved);
    }

private:
    bool m_one;
    cpu_set_t m_saved;
};

} // namespace bench

#endif // BENCHDOCUMENT_H
