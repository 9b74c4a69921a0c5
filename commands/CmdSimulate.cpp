#include "commands/CmdSimulate.h"

#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"

CmdSimulate::CmdSimulate(QVorrelScene *scene)
    : Cmd(scene, QStringLiteral("Apply SoftTypes")), m_savedFrame(scene->frameCounter())
{
    GlyphIterator it(scene->root(), TextIterator::Forward | TextIterator::PostOrder);
    while (it.hasNext()) {
        Glyph *g = it.next();
        if (!g->softTypes().isEmpty() && !g->isLocked())
            m_before.record(g);
    }
}

CmdSimulate::~CmdSimulate() = default;

CmdResult CmdSimulate::execute()
{
    // The first execute comes at the end of the run and only records.
    if (m_after.isEmpty()) {
        m_after = m_before.retaken();
        return CmdResult(true, true);
    }
    m_after.restore();
    scene()->setFrameCounter(0);
    scene()->update(QRectF());
    return CmdResult(true, true);
}

CmdResult CmdSimulate::undo()
{
    scene()->setFrameCounter(m_savedFrame);
    m_before.restore();
    scene()->update(QRectF());
    return CmdResult(true, true);
}
