#include "stream/SampleDocument.h"

#include "model/Caret.h"
#include "model/DocumentStream.h"
#include "model/Glyph.h"
#include "model/GlyphPath.h"
#include "model/GlyphIterator.h"
#include "model/Grid.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "softtypes/SoftType.h"
#include "softtypes/SoftTypeFactory.h"
#include "support/TreeBuilder.h"

#include <QBuffer>

std::unique_ptr<QVorrelScene> SampleDocument::newScene()
{
    return std::make_unique<QVorrelScene>(-32768, -32768, 65535, 65535);
}

void SampleDocument::fill(QVorrelScene &scene, const QString &textpadFile, int kinds)
{
    TextGroup *root = scene.root();
    auto glyphAt = [root](const QList<int> &path) { return static_cast<Glyph *>(root->objectAtPath(path)); };
    const QFont font(QStringLiteral("Arial"), 36);
    root->append(TreeBuilder::passage(QStringLiteral("Hello world"), font, QPointF(50, 150)));
    root->append(TreeBuilder::passage(QStringLiteral("ab\rcd"), font, QPointF(60, 400)));
    TextGroup *hello = static_cast<TextGroup *>(root->objectAtPath({0, 0}));
    TextGroup *world = static_cast<TextGroup *>(root->objectAtPath({2, 0}));
    TextGroup *ab = static_cast<TextGroup *>(root->objectAtPath({0, 1}));
    TextGroup *cd = static_cast<TextGroup *>(root->objectAtPath({2, 1}));

    world->setVisible(false);
    glyphAt({0, 2, 1})->lock();
    glyphAt({1, 0, 0})->setRotation(12.5);
    hello->setZValue(3);
    Glyph *o = glyphAt({4, 0, 0});
    o->setFillColor(QColor(200, 10, 10, 128));
    o->setStrokeColor(QColor(0, 0, 255));
    o->setStrokeWidth(1.5f);

    // A deformed outline: element 2 moved onto element 1, so that the segment ending there ends on its own start.
    Glyph *e = glyphAt({1, 0, 0});
    QPainterPath current = e->path()->current;
    const QPainterPath::Element at1 = current.elementAt(1);
    current.setElementPositionAt(2, at1.x, at1.y);
    current.setElementPositionAt(0, current.elementAt(0).x + 3.25, current.elementAt(0).y - 1.5);
    GlyphPath deformed;
    deformed.setPaths(e->path()->rest, current);
    e->copyPathsFrom(deformed);

    // One SoftType of every kind, each with its own values; one disabled, one with a property of its own.
    const QStringList keys = SoftTypeFactory::typeKeys().mid(0, kinds);
    GlyphIterator it(root, TextIterator::Forward | TextIterator::PostOrder);
    for (int k = 0; k < keys.size() && it.hasNext();) {
        Glyph *g = it.next();
        if (!g->hasOutline())
            continue;
        SoftType *s = SoftTypeFactory::create(keys.at(k), keys.at(k) + QStringLiteral("-%1").arg(k + 1));
        s->addOrSetProperty(QVariant::Int, QStringLiteral("radius"), 10 * k);
        s->addOrSetProperty(QVariant::Int, QStringLiteral("trigger"), k % 4);
        g->addSoftType(s);
        ++k;
    }
    glyphAt({0, 0, 0})->softTypes().first()->setEnabled(false);
    glyphAt({1, 0, 0})->softTypes().first()->addOrSetProperty(QVariant::String, QStringLiteral("note"),
                                                                     QStringLiteral("kept"));

    scene.setSelected(glyphAt({0, 0, 0}), true, false);
    scene.setSelected(ab, true, false);

    TextPointer pointer;
    pointer.passage = root->child(1);
    pointer.passageIndex = 1;
    pointer.word = cd;
    pointer.wordIndex = 2;
    pointer.glyph = cd->child(1);
    pointer.glyphIndex = 1;
    scene.setTextPointer(pointer);
    scene.caret()->setPos(140.5, 460);
    scene.caret()->setColor(QColor(255, 0, 0));

    scene.setScreenSize(800, 600);
    scene.setExportSettings(1920, 1080, 300);
    scene.setBackgroundColor(QColor(250, 240, 230, 200));
    scene.setViewFlags(QVorrelScene::GridShown | QVorrelScene::CaretShown);
    scene.setFont(QFont(QStringLiteral("Arial"), 48));
    scene.setFillColor(QColor(1, 2, 3));
    scene.setStrokeColor(QColor(4, 5, 6, 7));
    scene.setStrokeWidth(2.5f);
    scene.setGridSpacing(25);
    scene.grid()->setColor(QColor(0, 128, 0, 60));
    scene.setSnapFlags(1);
    scene.setTextpadText(QStringLiteral("Lorem ipsum\ndolor sit amet"));
    scene.setTextpadFileName(textpadFile);
}

void SampleDocument::shortenOutlines(QVorrelScene &scene)
{
    GlyphIterator it(scene.root(), TextIterator::Forward | TextIterator::PostOrder);
    double shift = 0;
    while (it.hasNext()) {
        Glyph *g = it.next();
        if (!g->hasOutline())
            continue;
        QPainterPath rest;
        rest.lineTo(20, 0);
        rest.cubicTo(25, -10, 15, -30, 10, -40);
        QPainterPath current = rest;
        current.setElementPositionAt(3, 15 + shift, -30);
        shift += 0.5;
        GlyphPath paths;
        paths.setPaths(rest, current);
        g->copyPathsFrom(paths);
    }
}

QByteArray SampleDocument::write(const QVorrelScene &scene)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    return DocumentStream::write(&buffer, scene) ? buffer.data() : QByteArray(); // a failed write reads as nothing
}

SampleDocument::ReadBack SampleDocument::read(const QByteArray &file, std::unique_ptr<QVorrelScene> scene)
{
    QBuffer buffer;
    buffer.setData(file);
    buffer.open(QIODevice::ReadOnly);
    const DocumentStream::Result result = DocumentStream::read(&buffer, *scene);
    return {std::move(scene), result};
}
