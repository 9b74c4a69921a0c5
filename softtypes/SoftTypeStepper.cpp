#include "softtypes/SoftTypeStepper.h"

#include "model/Glyph.h"
#include "model/GlyphPath.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "softtypes/PseudoRandom.h"
#include "softtypes/SoftType.h"

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>
#include <atomic>
#include <sched.h>
#include <vector>

namespace {

int requestedThreads = 0;

// The helpers of the GUI thread; the pool keeps them between frames.
QThreadPool &helpers()
{
    static QThreadPool pool;
    return pool;
}

// Calls work(i) for i in 0..count-1, chunk by chunk, on the GUI thread and
// up to threadCount() - 1 helpers; returns when every call has returned.
template<typename Work>
void forEachSpread(int count, const Work &work)
{
    constexpr int ChunkSize = 16;
    const int chunks = (count + ChunkSize - 1) / ChunkSize;
    const int helping = qMin(SoftTypeStepper::threadCount(), chunks) - 1;
    std::atomic<int> nextChunk{0};
    const auto drain = [&] {
        for (int c = nextChunk++; c < chunks; c = nextChunk++) {
            const int end = qMin(count, (c + 1) * ChunkSize);
            for (int i = c * ChunkSize; i < end; ++i)
                work(i);
        }
    };
    if (helping <= 0) {
        drain();
        return;
    }
    QSemaphore done;
    QThreadPool &pool = helpers();
    if (pool.maxThreadCount() < helping)
        pool.setMaxThreadCount(helping);
    for (int h = 0; h < helping; ++h) {
        pool.start([&] {
            drain();
            done.release();
        });
    }
    drain();
    done.acquire(helping);
}

template<typename Visit>
void forEachGlyph(TextGroup *group, const Visit &visit)
{
    for (TextObject *c : group->children()) {
        if (c->textType() == TextObject::GroupType)
            forEachGlyph(static_cast<TextGroup *>(c), visit);
        else
            visit(static_cast<Glyph *>(c));
    }
}

} // namespace

void SoftTypeStepper::setThreadCount(int count)
{
    requestedThreads = qMax(0, count);
}

int SoftTypeStepper::threadCount()
{
    if (requestedThreads > 0)
        return requestedThreads;
    // The cores the process may run on (`taskset` narrows them), which
    // QThread::idealThreadCount does not look at.
    cpu_set_t allowed;
    if (sched_getaffinity(0, sizeof(allowed), &allowed) == 0)
        return qMax(1, CPU_COUNT(&allowed));
    return qMax(1, QThread::idealThreadCount());
}

void SoftTypeStepper::step(TextGroup *root)
{
    // The frames begun for one glyph are entries first..end-1 of the list.
    struct GlyphFrames
    {
        Glyph *glyph;
        int first;
        int end;
        // The first frame that draws random values, end when none does; how
        // many the glyph draws, -1 when only drawing them tells (a later
        // frame draws too); the glyph's own generator, standing where its
        // values fall in the sequence.
        int drawing;
        int draws;
        PseudoRandom random;
    };
    struct BegunFrame
    {
        SoftType *softType;
        SoftType::Frame frame;
    };
    // Kept from frame to frame, so that a step allocates nothing; steps run
    // on the GUI thread only, one at a time.
    static std::vector<GlyphFrames> glyphs;
    static std::vector<BegunFrame> frames;
    glyphs.clear();
    frames.clear();

    const auto alone = [](const Glyph *g) {
        for (const SoftType *s : g->softTypes()) {
            if (s->isEnabled() && !s->deformsAlone())
                return false;
        }
        return true;
    };

    QVorrelScene *scene = root->documentScene();
    if (!scene) {
        forEachGlyph(root, [](Glyph *g) { g->applySoftTypes(); });
        return;
    }
    // The glyphs in document order, as a forward walk meets them.
    bool drawing = false;
    forEachGlyph(root, [&](Glyph *g) {
        if (!g->playsSoftTypes())
            return;
        if (!alone(g)) {
            g->applySoftTypes();
            return;
        }
        const int first = int(frames.size());
        const QTransform toScene = g->sceneTransform();
        for (SoftType *s : g->softTypes()) {
            if (!s->isEnabled())
                continue;
            frames.push_back({s, SoftType::Frame()});
            if (!s->beginFrame(g, scene, toScene, frames.back().frame))
                frames.pop_back();
            else if (s->drawsRandom())
                drawing = true;
        }
        const int end = int(frames.size());
        if (end == first)
            return;
        g->aboutToReshape();
        glyphs.push_back({g, first, end, end, 0, PseudoRandom()});
    });

    const auto deform = [](const GlyphFrames &g, int from, int to) {
        for (int f = from; f < to; ++f)
            frames[f].softType->deform(g.glyph, frames[f].frame);
    };
    // The new bounds, which the scene and painting ask for next, are worked
    // out with the deformation and kept in the glyph.
    const auto finish = [](const GlyphFrames &g) { g.glyph->keepBounds(); };

    // Deforms each glyph up to its first frame that draws random values and
    // counts what that frame will draw. A single thread deforms the glyphs
    // in glyph order: they draw from the sequence itself, uncounted.
    const bool inTurn = threadCount() == 1;
    forEachSpread(int(glyphs.size()), [&](int i) {
        GlyphFrames &g = glyphs[i];
        // Pasted glyphs share their outline's data until one of them writes
        // it, and working out its bounds writes them into that data: each
        // glyph first takes a copy of its own (only reading the shared one).
        QPainterPath &current = g.glyph->path()->current;
        if (current.elementCount() > 0) {
            const QPainterPath::Element e = current.elementAt(0);
            current.setElementPositionAt(0, e.x, e.y);
        }
        int f = g.first;
        while (f < g.end && (inTurn || !frames[f].softType->drawsRandom()))
            ++f;
        deform(g, g.first, f);
        g.drawing = f;
        if (f == g.end) {
            finish(g);
            return;
        }
        g.draws = frames[f].softType->randomDraws(frames[f].frame);
        for (int later = f + 1; later < g.end; ++later) {
            if (frames[later].softType->drawsRandom())
                g.draws = -1;
        }
    });

    if (drawing && !inTurn) {
        // In glyph order, where each glyph's values start; the sequence
        // moves on as if they had been drawn. A glyph whose count only its
        // drawing tells draws from the sequence itself, here.
        PseudoRandom &sequence = PseudoRandom::shared();
        for (GlyphFrames &g : glyphs) {
            if (g.drawing == g.end)
                continue;
            if (g.draws >= 0) {
                g.random = sequence;
                sequence.skip(quint64(g.draws));
                continue;
            }
            deform(g, g.drawing, g.end);
            finish(g);
            g.drawing = g.end;
        }
        forEachSpread(int(glyphs.size()), [&](int i) {
            GlyphFrames &g = glyphs[i];
            if (g.drawing == g.end)
                return;
            for (int f = g.drawing; f < g.end; ++f)
                frames[f].frame.random = &g.random;
            deform(g, g.drawing, g.end);
            finish(g);
        });
    }

    // Nothing asked for the groups' bounds since the glyphs dropped them
    // before changing: only the frames are left to end.
    for (const BegunFrame &f : frames)
        f.softType->endFrame(f.frame);
}
