#include "ViewFixture.h"

#include "commands/Cmd.h"
#include "model/Glyph.h"
#include "model/GlyphPath.h"
#include "softtypes/SoftTypeFactory.h"
#include "support/TestSoftType.h"
#include "support/Typist.h"

#include <QtTest>

#include <memory>

namespace {

// Play ticks every 33 ms; a few frames come well within this.
constexpr int Patience = 3000;

QStringList entryTexts(const QVorrelScene *scene)
{
    QStringList texts;
    for (int i = 0; i < scene->historyIndex(); ++i)
        texts << scene->history().at(i)->text();
    return texts;
}

} // namespace

class TestViewPlay : public QObject
{
    Q_OBJECT

private slots:
    void ticksAdvanceFramesAndStepSoftTypes();
    void startingTwiceRunsOneTimer();
    void stoppingAStoppedViewDoesNothing();
    void eachRunIsOneUndoStep();
    void twirlFollowsTheHeldButton();
    void documentChangeMarksTitle();
};

void TestViewPlay::ticksAdvanceFramesAndStepSoftTypes()
{
    ViewFixture f;
    Typist::type(f.scene, QStringLiteral("I"));
    auto *probe = new TestSoftType(QStringLiteral("probe"));
    f.glyph(0)->addSoftType(probe);
    const int before = f.entries();

    f.view->setPlaying(true);
    QVERIFY(f.view->isPlaying());
    QCOMPARE(f.scene->playState(), 1);
    QCOMPARE(f.scene->frameCounter(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(f.scene->frameCounter() >= 3, Patience);
    // One step of the SoftTypes per frame.
    QCOMPARE(probe->applied, f.scene->frameCounter());

    f.view->setPlaying(false);
    QVERIFY(!f.view->isPlaying());
    QCOMPARE(f.scene->playState(), 0);
    QCOMPARE(f.scene->frameCounter(), 0);
    QCOMPARE(f.entries(), before + 1);
    QCOMPARE(entryTexts(f.scene).last(), QStringLiteral("Apply SoftTypes"));
    const int applied = probe->applied;
    QTest::qWait(150);
    QCOMPARE(probe->applied, applied);
}

void TestViewPlay::startingTwiceRunsOneTimer()
{
    ViewFixture f;
    f.view->setPlaying(true);
    f.view->setPlaying(true);
    QTRY_VERIFY_WITH_TIMEOUT(f.scene->frameCounter() >= 1, Patience);
    f.view->setPlaying(false);
    // A second timer would go on counting frames after the stop.
    QTest::qWait(150);
    QCOMPARE(f.scene->frameCounter(), 0);
    QCOMPARE(entryTexts(f.scene), QStringList{QStringLiteral("Apply SoftTypes")});
}

void TestViewPlay::stoppingAStoppedViewDoesNothing()
{
    ViewFixture f;
    f.view->setPlaying(false);
    QCOMPARE(f.entries(), 0);
    QVERIFY(!f.view->isModified());
    QCOMPARE(f.view->windowTitle(), QStringLiteral("untitled"));
}

void TestViewPlay::eachRunIsOneUndoStep()
{
    ViewFixture f;
    Typist::type(f.scene, QStringLiteral("I"));
    Glyph *g = f.glyph(0);
    g->addSoftType(new TestSoftType(QStringLiteral("probe"), QPointF(2, 0)));
    const QPainterPath rest = g->path()->current;
    const int before = f.entries();

    for (int run = 0; run < 2; ++run) {
        const int frames = f.entries();
        f.view->setPlaying(true);
        QTRY_VERIFY_WITH_TIMEOUT(f.scene->frameCounter() >= 2, Patience);
        f.view->setPlaying(false);
        QCOMPARE(f.entries(), frames + 1);
    }
    QCOMPARE(entryTexts(f.scene).mid(before), QStringList({QStringLiteral("Apply SoftTypes"), QStringLiteral("Apply SoftTypes")}));
    QVERIFY(g->path()->current != rest);
    f.scene->undo();
    f.scene->undo();
    QCOMPARE(g->path()->current, rest);
}

void TestViewPlay::twirlFollowsTheHeldButton()
{
    ViewFixture f;
    Typist::type(f.scene, QStringLiteral("O"));
    Glyph *o = f.glyph(0);
    f.scene->restoreSelection({o});
    const std::unique_ptr<SoftType> twirl(SoftTypeFactory::create(QStringLiteral("Twirl"), QStringLiteral("Twirl-1")));
    f.scene->addSoftType(twirl.get());
    QCOMPARE(o->softTypes().size(), 1);
    const QPainterPath rest = o->path()->current;

    // The pointer beside the letter, where the twirl pulls hardest.
    const QPoint p = f.view->mapFromScene(o->sceneBoundingRect().center() + QPointF(20, 0));
    f.view->setPlaying(true);
    f.move(p, Qt::NoButton);
    QTest::qWait(150);
    // Twirl acts while the left button is held, which the view tells the scene.
    QCOMPARE(o->path()->current, rest);
    f.press(p);
    QTRY_VERIFY_WITH_TIMEOUT(o->path()->current != rest, Patience);
    f.release(p);
    QTest::qWait(60);
    const QPainterPath released = o->path()->current;
    QTest::qWait(150);
    QCOMPARE(o->path()->current, released);
    f.view->setPlaying(false);
    QCOMPARE(f.scene->history().at(f.entries() - 1)->text(), QStringLiteral("Apply SoftTypes"));
}

void TestViewPlay::documentChangeMarksTitle()
{
    ViewFixture f;
    f.scene->setFileName(QStringLiteral("/tmp/letters.vrl"));
    QVERIFY(!f.view->isModified());
    Typist::type(f.scene, QStringLiteral("a"));
    QCOMPARE(f.view->windowTitle(), QStringLiteral("letters*"));
    QVERIFY(f.view->isModified());
}

QTEST_MAIN(TestViewPlay)
#include "tst_viewplay.moc"
