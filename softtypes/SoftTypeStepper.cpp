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
#include <functional>
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

// Calls of work(i), i in 0..count-1, handed out chunk by chunk: start
// hands them to up to threadCount() - 1 helpers and returns at once; finish
// takes the GUI thread's share of what is left and returns when every call
// has returned. One spread of calls runs at a time: start finishes the one
// before.
class Spread
{
public:
    ~Spread() { finish(); }

    void start(int count, std::function<void(int)> work)
    {
        finish();
        m_work = std::move(work);
        m_count = count;
        m_chunks = (count + ChunkSize - 1) / ChunkSize;
        m_next = 0;
        m_helping = qMax(0, qMin(SoftTypeStepper::threadCount(), m_chunks) - 1);
        QThreadPool &pool = helpers();
        if (pool.maxThreadCount() < m_helping)
            pool.setMaxThreadCount(m_helping);
        for (int h = 0; h < m_helping; ++h) {
            pool.start([this] {
                drain();
                m_done.release();
            });
        }
    }

    void finish()
    {
        drain();
        m_done.acquire(m_helping);
        m_helping = 0;
        m_chunks = 0;
    }

private:
    static constexpr int ChunkSize = 16;

    void drain()
    {
        for (int c = m_next++; c < m_chunks; c = m_next++) {
            const int end = qMin(m_count, (c + 1) * ChunkSize);
            for (int i = c * ChunkSize; i < end; ++i)
                m_work(i);
        }
    }

    std::function<void(int)> m_work;
    int m_count = 0;
    int m_chunks = 0;
    int m_helping = 0;
    std::atomic<int> m_next{0};
    QSemaphore m_done;
};

// work(i) for i in 0..count-1, spread; returns when every call has returned.
void forEachSpread(int count, std::function<void(int)> work)
{
    Spread spread;
    spread.start(count, std::move(work));
    spread.finish();
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
    struct BegunFrame
    {
        SoftType *softType;
        SoftType::Frame frame;
    };
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
    // Kept from frame to frame, so that a step allocates no list; steps run
    // on the GUI thread only, one at a time. The helpers read the entries
    // of the glyphs handed to them while later ones are added: a list may
    // move only once they are done.
    static std::vector<GlyphFrames> glyphs;
    static std::vector<BegunFrame> frames;
    // The glyphs begun on the last step, by which the work is cut in batches.
    static int lastCount = 0;
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

    const auto deform = [](const GlyphFrames &g, BegunFrame *frame, int from, int to) {
        for (int f = from; f < to; ++f)
            frame[f].softType->deform(g.glyph, frame[f].frame);
    };
    // Deforms a glyph up to its first frame that draws random values and
    // counts what that frame will draw; a glyph that draws nothing is done,
    // its new bounds (which the scene and painting ask for next) worked out
    // and kept. A single thread deforms the glyphs in glyph order: they draw
    // from the sequence itself, uncounted.
    const bool inTurn = threadCount() == 1;
    const auto deformUntilDrawing = [inTurn, deform](GlyphFrames &g, BegunFrame *frame) {
        // Pasted glyphs share their outline's data until one of them writes
        // it, and working out its bounds writes them into that data: each
        // glyph first takes a copy of its own (only reading the shared one).
        QPainterPath &current = g.glyph->path()->current;
        if (current.elementCount() > 0) {
            const QPainterPath::Element e = current.elementAt(0);
            current.setElementPositionAt(0, e.x, e.y);
        }
        int f = g.first;
        while (f < g.end && (inTurn || !frame[f].softType->drawsRandom()))
            ++f;
        deform(g, frame, g.first, f);
        g.drawing = f;
        if (f == g.end) {
            g.glyph->keepBounds();
            return;
        }
        g.draws = frame[f].softType->randomDraws(frame[f].frame);
        for (int later = f + 1; later < g.end; ++later) {
            if (frame[later].softType->drawsRandom())
                g.draws = -1;
        }
    };

    // On the GUI thread, in glyph order, the frames begin; batch after batch
    // the glyphs begun go to the helpers, which deform one batch while the
    // next one begins.
    Spread spread;
    int handedOut = 0;
    const int batch = qMax(64, lastCount / 8);
    const auto handOut = [&] {
        GlyphFrames *const g = glyphs.data() + handedOut;
        BegunFrame *const frame = frames.data();
        spread.start(int(glyphs.size()) - handedOut, [=](int i) { deformUntilDrawing(g[i], frame); });
        handedOut = int(glyphs.size());
    };
    bool drawing = false;
    forEachGlyph(root, [&](Glyph *g) {
        if (!g->playsSoftTypes())
            return;
        if (!alone(g)) {
            g->applySoftTypes();
            return;
        }
        if (glyphs.size() == glyphs.capacity() || frames.capacity() - frames.size() < size_t(g->softTypes().size()))
            spread.finish();
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
        if (int(glyphs.size()) - handedOut >= batch)
            handOut();
    });
    handOut();
    spread.finish();
    lastCount = int(glyphs.size());

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
            deform(g, frames.data(), g.drawing, g.end);
            g.glyph->keepBounds();
            g.drawing = g.end;
        }
        forEachSpread(int(glyphs.size()), [&](int i) {
            GlyphFrames &g = glyphs[i];
            if (g.drawing == g.end)
                return;
            for (int f = g.drawing; f < g.end; ++f)
                frames[f].frame.random = &g.random;
            deform(g, frames.data(), g.drawing, g.end);
            g.glyph->keepBounds();
        });
    }

    // Nothing asked for the groups' bounds since the glyphs dropped them
    // before changing: only the frames are left to end.
    for (const BegunFrame &f : frames)
        f.softType->endFrame(f.frame);
}
