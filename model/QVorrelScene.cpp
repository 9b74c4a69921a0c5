#include "model/QVorrelScene.h"

#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/TextGroup.h"

QVorrelScene::QVorrelScene(qreal x, qreal y, qreal width, qreal height, QObject *parent)
    : QGraphicsScene(x, y, width, height, parent), m_root(new TextGroup)
{
    // Glyph outlines change shape every play frame: an item index would
    // only be rebuilt over and over.
    setItemIndexMethod(NoIndex);
    addItem(m_root);
}

QVorrelScene::~QVorrelScene() = default;

void QVorrelScene::setViewFlags(int flags)
{
    m_viewFlags = flags;
    update();
}

void QVorrelScene::setExtrasVisible(bool visible)
{
    m_extrasVisible = visible;
    update();
}

void QVorrelScene::stepSoftTypes()
{
    GlyphIterator it(m_root, TextIterator::Forward | TextIterator::PostOrder);
    while (it.hasNext())
        it.next()->applySoftTypes();
}
