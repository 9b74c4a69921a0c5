// The step spread over threads equals the glyph-by-glyph one bit for bit,
// repaints all it changes and keeps the groups' cached bounds right.
#include "model/Glyph.h"
#include "model/GlyphPath.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "model/TextIterator.h"
#include "softtypes/PseudoRandom.h"
#include "softtypes/SoftType.h"
#include "softtypes/SoftTypeFactory.h"
#include "softtypes/SoftTypeStepper.h"
#include "support/TreeBuilder.h"

#include <QGraphicsView>
#include <QScreen>
#include <QtTest>

namespace {

// Three passages, the second turned. Glyph i carries the kinds of entry i % n of `kinds` ("explode,Twirl|pulse"); "-"
// before a key adds it disabled. Explode spreads its kicks, so that it draws random numbers; `values` go to every SoftType.
struct Document
{
    explicit Document(const QString &kinds, QVariantHash values = {})
    {
        values.insert(QStringLiteral("randomness"), 0.5);
        for (int p = 0; p < 3; ++p)
            scene.root()->append(TreeBuilder::passage(QStringLiteral("Vorrel bends plenty of letters"),
                                                      QFont(QStringLiteral("Arial"), 40 + 8 * p), QPointF(20, 130 * (p + 1))));
        scene.root()->child(1)->setRotation(20);
        // Sheared, so that the restoring kinds have work to do.
        const QTransform shear(1, 0, 0.1, 1, 0, 0);
        GlyphPath bent;
        const QStringList lists = kinds.split(QLatin1Char('|'));
        TextIterator it(scene.root(), TextIterator::Forward | TextIterator::PostOrder);
        while (Glyph *g = qobject_cast<Glyph *>(it.nextMatching([](TextObject *o) { return o->isGlyph(); }))) {
            for (QString key : lists.at(glyphs.size() % lists.size()).split(QLatin1Char(','))) {
                const bool disabled = key.startsWith(QLatin1Char('-'));
                SoftType *s = SoftTypeFactory::create(key.remove(QLatin1Char('-')), key);
                values.insert(QStringLiteral("enabled"), !disabled);
                s->setValues(values);
                g->addSoftType(s);
            }
            bent.setPaths(g->path()->rest, shear.map(g->path()->rest));
            g->copyPathsFrom(bent);
            glyphs << g;
        }
    }
    // The mouse on a circle, the button let go at frame 6.
    void frame(int f, bool spread)
    {
        scene.setFrameCounter(scene.frameCounter() + 1);
        scene.setMousePosition(QPointF(300 + 150 * std::cos(f * 0.4), 250 + 150 * std::sin(f * 0.4)));
        scene.setMouseButtons(f == 6 ? Qt::NoButton : Qt::LeftButton);
        if (spread)
            scene.stepSoftTypes();
        else
            for (Glyph *g : qAsConst(glyphs))
                g->applySoftTypes();
    }
    QVorrelScene scene{-5000, -5000, 10000, 10000};
    QList<Glyph *> glyphs;
};

// Every bit of a glyph's outlines and SoftType values.
QByteArray state(const Glyph *g)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    for (const QPainterPath *path : {&g->path()->rest, &g->path()->current})
        for (int i = 0; i < path->elementCount(); ++i)
            out << path->elementAt(i).x << path->elementAt(i).y;
    for (const SoftType *s : g->softTypes())
        out << *s << s->lastFrame();
    return bytes;
}

QRectF freshBounds(const TextObject *o)
{
    if (const Glyph *g = qobject_cast<const Glyph *>(o)) { // the outline's, grown by half the stroke
        const double half = g->hasOutline() ? g->strokeWidth() / 2.0 : 0.0;
        return g->path()->current.boundingRect().adjusted(-half, -half, half, half);
    }
    QRectF r;
    for (const TextObject *c : static_cast<const TextGroup *>(o)->children())
        r |= c->mapRectToParent(freshBounds(c));
    return r;
}

} // namespace

class TestParallelStep : public QObject
{
    Q_OBJECT
private slots:
    void init() { SoftTypeStepper::setThreadCount(4); }
    void cleanup() { SoftTypeStepper::setThreadCount(0); }

    void spreadStepEqualsGlyphByGlyph_data()
    {
        QTest::addColumn<QString>("kinds");
        QTest::addColumn<QVariantHash>("values");
        QTest::addColumn<int>("threads");
        const QVariantHash none;
        for (const QString &key : SoftTypeFactory::typeKeys())
            QTest::newRow(qPrintable(key)) << key << none << 4;
        QTest::newRow("two kinds a glyph") << QStringLiteral("Twirl,pulse,lens") << none << 4;
        QTest::newRow("random draws among spread glyphs") << QStringLiteral("explode|rubber,drift|pulse,explode") << none << 4;
        QTest::newRow("disabled explode") << QStringLiteral("cloth,-explode") << none << 4;
        // Some points out of reach, some coasting unkicked; a glyph that draws twice has a count only its first Explode's
        // values decide.
        const QString mixed = QStringLiteral("explode|pulse,explode,explode|rubber|explode");
        const QVariantHash reach{{QStringLiteral("radius"), 300}, {QStringLiteral("attenuation"), 200}};
        QTest::newRow("explode kicks some points") << mixed << reach << 4;
        QTest::newRow("explode on one thread") << mixed << reach << 1;
    }
    void spreadStepEqualsGlyphByGlyph()
    {
        QFETCH(QString, kinds);
        QFETCH(QVariantHash, values);
        QFETCH(int, threads);
        SoftTypeStepper::setThreadCount(threads);
        Document serial(kinds, values), spread(kinds, values);
        const QPainterPath start = serial.glyphs.first()->path()->current;
        int nextRandom[2];
        for (const bool s : {false, true}) {
            PseudoRandom::seed(19);
            for (int f = 0; f < 12; ++f)
                (s ? spread : serial).frame(f, s);
            nextRandom[s] = PseudoRandom::next();
        }
        QVERIFY(serial.glyphs.first()->path()->current != start);
        QCOMPARE(nextRandom[1], nextRandom[0]);
        for (int i = 0; i < serial.glyphs.size(); ++i)
            QVERIFY2(state(serial.glyphs.at(i)) == state(spread.glyphs.at(i)), qPrintable(QString::number(i)));
    }

    // The view repaints only what the scene reports changed: after frames
    // that move and shrink glyphs what it shows is a full painting.
    void repaintsEveryChangedArea()
    {
        Document doc(QStringLiteral("Twirl|pulse"));
        QGraphicsView view(&doc.scene);
        view.resize(700, 500);
        view.centerOn(300, 250);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        for (int f = 0; f < 8; ++f) {
            doc.frame(f, true);
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
        }
        QCOMPARE(view.screen()->grabWindow(view.winId()).toImage().convertToFormat(QImage::Format_RGB32),
                 view.grab().toImage().convertToFormat(QImage::Format_RGB32));
    }

    void groupBoundsFollowTheirChildren()
    {
        Document doc(QStringLiteral("Twirl"));
        TextGroup *passage = static_cast<TextGroup *>(doc.scene.root()->child(0));
        TextGroup *word = static_cast<TextGroup *>(passage->child(0));
        Glyph *g = doc.glyphs.at(1);
        const auto check = [&] { // every object's bounds against a fresh union
            for (TextIterator it(doc.scene.root(), TextIterator::Forward | TextIterator::PreOrder); it.hasNext();) {
                const TextObject *o = it.next();
                QCOMPARE(o->boundingRect(), freshBounds(o));
            }
        };
        const QList<std::function<void()>> changes = { // the first leaves the document as built
            [] {}, [&] { doc.frame(1, true); }, [&] { doc.frame(2, true); },
            [&] { g->setPos(g->pos() + QPointF(400, 90)); }, [&] { g->setRotation(30); },
            [&] { word->setPos(-50, 10); },   [&] { g->setStrokeWidth(9); },
            [&] { passage->setFontSize(20); }, [&] { delete word->takeAt(0); },
            [&] { word->append(TreeBuilder::glyph(QLatin1Char('W'), QFont(), QPointF(900, 0))); },
        };
        for (const auto &change : changes) {
            change();
            check();
        }
    }
};

QTEST_MAIN(TestParallelStep)
#include "tst_parallelstep.moc"
