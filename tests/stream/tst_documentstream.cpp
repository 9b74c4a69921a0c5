#include "model/Canvas.h"
#include "model/Caret.h"
#include "model/DocumentStream.h"
#include "model/Glyph.h"
#include "model/GlyphPath.h"
#include "model/Grid.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "propertybrowser/QtVariantProperty.h"
#include "softtypes/SoftType.h"
#include "softtypes/SoftTypeFactory.h"
#include "stream/DocumentBytes.h"
#include "stream/SampleDocument.h"
#include "support/TreeBuilder.h"
#include "support/TreeCheck.h"
#include "support/TreeDump.h"

#include <QTemporaryDir>
#include <QtTest>
#include <limits>

using Element = DocumentBytes::Element;

namespace {

const double notANumber = std::numeric_limits<double>::quiet_NaN();
const double infinity = std::numeric_limits<double>::infinity();

// A value streamed out at Qt 4.6; read back into another: true when the read is clean and takes every byte.
template <typename T>
QByteArray streamed(const T &value)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_4_6);
    out << value;
    return bytes;
}

template <typename T, typename U>
bool roundTrip(const T &value, U &read)
{
    const QByteArray bytes = streamed(value);
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_4_6);
    in >> read;
    return in.status() == QDataStream::Ok && in.atEnd();
}

QString text(const QVector<Element> &elements)
{
    QStringList out;
    for (const Element &e : elements)
        out << QStringLiteral("%1:%2,%3").arg(e.type).arg(e.x, 0, 'g', 17).arg(e.y, 0, 'g', 17);
    return out.join(' ');
}

QString text(const QPainterPath &path)
{
    QVector<Element> elements;
    for (int i = 0; i < path.elementCount(); ++i)
        elements.append({int(path.elementAt(i).type), path.elementAt(i).x, path.elementAt(i).y});
    return text(elements);
}

const QVector<Element> triangle = {{0, 0, 0}, {1, 10, 0}, {1, 10, -10}};

// A glyph record with a triangle outline (a separator has none).
DocumentBytes glyphRecord(QChar c, double x, const QVector<Element> &rest = triangle, const QVector<Element> &current = triangle)
{
    const bool blank = c == QLatin1Char(' ');
    DocumentBytes b;
    b.item(x, 0).font(QStringLiteral("Arial"), 72).u16(c.unicode()).rgba(0, 0, 0).rgba(0, 0, 0).f64(1.0);
    b.path(blank ? QVector<Element>() : rest).path(blank ? QVector<Element>() : current);
    return b.boolean(false).i32(0);
}

// A group record holding the given child records (type code 1: groups, 2: glyphs).
DocumentBytes groupRecord(const QList<QPair<int, DocumentBytes>> &children, bool selected = false)
{
    DocumentBytes b;
    b.item(0, 0, true, 0, 0, selected).i32(children.size());
    for (const auto &c : children)
        b.i8(c.first).bytes(c.second);
    return b;
}

DocumentBytes oneWord(const DocumentBytes &glyph)
{
    return groupRecord({{1, groupRecord({{1, groupRecord({{2, glyph}})}})}});
}

DocumentBytes absentPointer()
{
    return DocumentBytes().absentPair(-1).absentPair(-1).absentPair(-1);
}

// A whole file around a root record, with plain settings.
QByteArray file(const DocumentBytes &root, const DocumentBytes &pointer = absentPointer(), int exportWidth = 1024,
                int exportHeight = 768, int resolution = 72, int gridSpacing = 50, const QString &textpad = QString(),
                const QString &textpadFile = QString())
{
    DocumentBytes b;
    b.header().i32(1024).i32(768).i32(exportWidth).i32(exportHeight).i16(resolution).rgba(255, 255, 255);
    b.boolean(true).i32(6).bytes(root).bytes(pointer);
    b.point(0, 100).invalidColor();
    b.font(QStringLiteral("Arial"), 72).rgba(0, 0, 0).rgba(0, 0, 0).f64(0);
    b.i16(gridSpacing).rgba(0, 0, 0, 25).i32(0).string(textpad).string(textpadFile);
    return b.data;
}

QByteArray emptyRoot()
{
    return file(groupRecord({}));
}

// A one-glyph file whose glyph record starts with `head` and goes on from byte `from` of glyphRecord('x', 0)
// (16 the position, 25 the rotation, 34 the font, 76 the character, 100 the stroke width, 108 the outlines).
QByteArray glyphFile(const DocumentBytes &head, int from)
{
    return file(oneWord(DocumentBytes(head).bytes(glyphRecord('x', 0).data.mid(from))));
}

} // namespace

class TestDocumentStream : public QObject
{
    Q_OBJECT
private slots:
    void handAssembledDocumentReadsAndWritesTheSameBytes()
    {
        // One passage of two words and a space, three glyphs; the caret after 'b'; a grid; the second word selected.
        const QVector<Element> aRest = {{0, 0, 0}, {1, 20, 0}, {1, 10, -30}, {1, 0, 0}};
        const QVector<Element> aCurrent = {{0, 1.5, 0.25}, {1, 20, 0}, {1, 10, -30}, {1, 1.5, 0.25}};
        const QVector<Element> bPath = {{0, 0, 0}, {2, 5, -20}, {3, 15, -20}, {3, 20, 0}, {0, 2, -2}, {1, 4, -4}};
        DocumentBytes a;
        a.item(0, 0).font(QStringLiteral("Arial"), 72).u16('a').rgba(255, 0, 0).rgba(0, 0, 255, 128).f64(2.5);
        a.path(aRest).path(aCurrent).boolean(true).i32(1).string(QStringLiteral("originate linear")).i32(6);
        a.stringProperty(QStringLiteral("name"), QStringLiteral("Melt")).boolProperty(QStringLiteral("enabled"), false);
        a.intProperty(QStringLiteral("trigger"), 0).intProperty(QStringLiteral("radius"), 30);
        a.intProperty(QStringLiteral("toggle key"), 3).doubleProperty(QStringLiteral("speed"), 4.5);
        DocumentBytes space;
        space.item(40, 0, true, 0, 1).font(QStringLiteral("Arial"), 72).u16(' ').rgba(0, 0, 0).rgba(0, 0, 0).f64(1);
        space.path({}).path({}).boolean(false).i32(0);
        DocumentBytes b;
        b.item(0, 0, true, 15, 0).font(QStringLiteral("Liberation Serif"), 24.5).u16('b').rgba(0, 0, 0).rgba(9, 8, 7);
        b.f64(0).path(bPath, 1).path(bPath, 1).boolean(false).i32(0);
        DocumentBytes word2;
        word2.item(60, 0, true, 0, 2, true).i32(1).i8(2).bytes(b);
        DocumentBytes passage;
        passage.item(50, 100).i32(3).i8(1).bytes(groupRecord({{2, a}})).i8(2).bytes(space).i8(1).bytes(word2);
        DocumentBytes doc;
        doc.header().i32(640).i32(480).i32(1280).i32(960).i16(150).rgba(10, 20, 30, 40).boolean(true).i32(1 | 2 | 8);
        doc.bytes(groupRecord({{1, passage}})).pointerPair({0}, 0).pointerPair({2, 0}, 2).pointerPair({0, 2, 0}, 0);
        doc.point(90.5, 100).rgba(255, 0, 0).font(QStringLiteral("Arial"), 36).rgba(1, 2, 3).rgba(4, 5, 6).f64(0.5);
        doc.i16(30).rgba(0, 0, 0, 25).i32(1).string(QStringLiteral("textpad")).string(QString());

        const auto r = SampleDocument::read(doc.data);
        QCOMPARE(r.result, DocumentStream::Ok);
        QVorrelScene &s = *r.scene;
        VERIFY_SCENE(&s);
        // The settings: screen, export, background, extras and flags, caret, style for new text, grid, snapping and textpad.
        const QString settings = QStringLiteral("%1x%2 %3x%4@%5 %6 %7 %8 %9").arg(s.screenWidth()).arg(s.screenHeight())
            .arg(s.exportWidth()).arg(s.exportHeight()).arg(s.exportResolution()).arg(s.backgroundColor().name(QColor::HexArgb))
            .arg(s.extrasVisible()).arg(s.viewFlags()).arg(s.grid()->isVisible())
            + QStringLiteral(" (%1, %2) %3 %4 %5 %6 %7 %8 %9").arg(s.caret()->x()).arg(s.caret()->y())
            .arg(s.caret()->color().name(), QString::number(s.textFont().pointSize()), s.fillColor().name(),
                 s.caret()->strokeColor().name(), QString::number(s.strokeWidth()), QString::number(s.grid()->spacing()),
                 s.grid()->color().name(QColor::HexArgb))
            + QStringLiteral(" %1 \"%2\" \"%3\" %4").arg(s.snapFlags()).arg(s.textpadText(), s.textpadFileName()).arg(s.history().size());
        QCOMPARE(settings, QStringLiteral("640x480 1280x960@150 #280a141e 1 11 1 (90.5, 100) #ff0000 36 #010203 #040506 0.5 30 "
                                          "#19000000 1 \"textpad\" \"\" 0"));
        // The tree: places, styles, the SoftType and its values, the outlines.
        TextGroup *p = static_cast<TextGroup *>(s.root()->child(0));
        TextGroup *w2 = static_cast<TextGroup *>(p->child(2));
        const Glyph *ga = static_cast<Glyph *>(s.root()->objectAtPath({0, 0, 0}));
        const Glyph *gs = static_cast<Glyph *>(p->child(1));
        const Glyph *gb = static_cast<Glyph *>(w2->child(0));
        auto placed = [](const TextObject *o) {
            return QStringLiteral("%1 (%2, %3) r%4 z%5%6").arg(o->text()).arg(o->pos().x()).arg(o->pos().y()).arg(o->rotation())
                .arg(o->zValue()).arg(o->isSelected() ? " selected" : "");
        };
        auto style = [](const Glyph *g) {
            return QStringLiteral("%1 %2 %3 %4 %5%6").arg(g->font().family()).arg(g->font().pointSizeF())
                .arg(g->fillColor().name(QColor::HexArgb), g->strokeColor().name(QColor::HexArgb)).arg(g->strokeWidth())
                .arg(g->isLocked() ? " locked" : "");
        };
        const SoftType *melt = ga->softTypes().value(0);
        QCOMPARE(QStringList({QString::number(s.root()->count()), placed(p), placed(w2), placed(gs), placed(gb), style(ga), style(gb),
                              QString::number(ga->softTypes().size()), melt->typeKey(), melt->name(),
                              QStringLiteral("%1 %2 %3").arg(melt->isEnabled()).arg(melt->trigger()).arg(melt->radius()),
                              melt->property(QStringLiteral("toggle key"))->value().toString(),
                              melt->property(QStringLiteral("speed"))->value().toString()}).join(" | "),
                 QStringLiteral("1 | a b (50, 100) r0 z0 | b (60, 0) r0 z2 selected |   (40, 0) r0 z1 | b (0, 0) r15 z0 | "
                                "Arial 72 #ffff0000 #800000ff 2.5 locked | Liberation Serif 24.5 #ff000000 #ff090807 0 | "
                                "1 | originate linear | Melt | 0 0 30 | 3 | 4.5"));
        QCOMPARE(QStringList({text(ga->path()->rest), text(ga->path()->current), text(gs->path()->current), text(gb->path()->rest),
                              text(gb->path()->current)}), QStringList({text(aRest), text(aCurrent), QString(), text(bPath), text(bPath)}));
        QCOMPARE(gb->path()->current.fillRule(), Qt::WindingFill);
        QCOMPARE(s.selectedObjects(), QList<TextObject *>{w2});
        const TextPointer &t = s.textPointer();
        QVERIFY(t.passage == p && t.passageIndex == 0 && t.word == w2 && t.wordIndex == 2 && t.glyph == gb && t.glyphIndex == 0);
        QCOMPARE(SampleDocument::write(s).toHex(), doc.data.toHex());
    }

    void headerIsCheckedBeforeTheBody_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("result");
        const QByteArray body = emptyRoot().mid(8);
        QTest::newRow("empty file") << QByteArray() << int(DocumentStream::NotVorrelFile);
        QTest::newRow("three bytes") << QByteArray::fromHex("00564f") << int(DocumentStream::NotVorrelFile);
        QTest::newRow("other magic") << DocumentBytes().i32(0x00564F53).i32(100).data + body << int(DocumentStream::NotVorrelFile);
        QTest::newRow("magic only") << DocumentBytes().i32(0x00564F52).data << int(DocumentStream::UnsupportedVersion);
        QTest::newRow("version 99") << DocumentBytes().header(99).data + body << int(DocumentStream::UnsupportedVersion);
        QTest::newRow("version 100") << DocumentBytes().header(100).data + body << int(DocumentStream::Ok);
        QTest::newRow("version 250") << DocumentBytes().header(250).data + body << int(DocumentStream::Ok);
        QTest::newRow("header without body") << DocumentBytes().header(100).data << int(DocumentStream::Damaged);
    }

    void headerIsCheckedBeforeTheBody()
    {
        QFETCH(QByteArray, bytes);
        QTEST(int(SampleDocument::read(bytes).result), "result");
    }

    void writeReadWriteIsByteIdentical()
    {
        // The sample holds every record kind and every SoftType kind (each with its own values, one with an extra
        // property); what it reads back dumps the same tree and writes the same bytes.
        QTemporaryDir dir;
        const QString textpad = dir.filePath(QStringLiteral("pad.txt"));
        QVERIFY(QFile(textpad).open(QIODevice::WriteOnly));
        auto original = SampleDocument::newScene();
        SampleDocument::fill(*original, textpad);
        const QByteArray first = SampleDocument::write(*original);
        const auto r = SampleDocument::read(first);
        QCOMPARE(r.result, DocumentStream::Ok);
        VERIFY_SCENE(r.scene.get());
        VERIFY_SAME_TREE(TreeDump::of(r.scene->root()), TreeDump::of(original->root()));
        QVERIFY(r.scene->selectedObjects().size() == 2 && r.scene->textPointer().glyph->text() == "d");
        QCOMPARE(r.scene->textpadFileName(), textpad);
        // The deformed outline keeps the segment that ends on its own start.
        const Glyph *e = static_cast<Glyph *>(r.scene->root()->objectAtPath({1, 0, 0}));
        QVERIFY(e->path()->current.elementCount() == e->path()->rest.elementCount() && e->path()->current.elementAt(2).x == e->path()->current.elementAt(1).x);
        QCOMPARE(SampleDocument::write(*r.scene).toHex(), first.toHex());
    }

    void hiddenGroupKeepsItsChildrenOwnVisibility()
    {
        // A hidden word hides its glyphs only through itself: after a save and a load, showing it shows them again.
        auto scene = SampleDocument::newScene();
        scene->root()->append(TreeBuilder::passage(QStringLiteral("ab cd")));
        TextGroup *word = static_cast<TextGroup *>(scene->root()->objectAtPath({0, 0}));
        word->child(1)->setVisible(false);
        word->setVisible(false);
        const auto r = SampleDocument::read(SampleDocument::write(*scene));
        QCOMPARE(r.result, DocumentStream::Ok);
        TextGroup *readWord = static_cast<TextGroup *>(r.scene->root()->objectAtPath({0, 0}));
        QVERIFY(!readWord->child(0)->isVisible());
        readWord->setVisible(true);
        QVERIFY(readWord->child(0)->isVisible() && !readWord->child(1)->isVisible());
    }

    void newSceneWritesThePlainFile()
    {
        // A new document, byte for byte: the plain file with the view flags of grid hidden, caret, work area and
        // selection shown; the text position as three absent pairs.
        QByteArray plain = emptyRoot();
        plain.replace(8 + 18 + 11 + 1, 4, DocumentBytes().i32(14).data);
        QCOMPARE(SampleDocument::write(*SampleDocument::newScene()).toHex(), plain.toHex());
        const auto r = SampleDocument::read(plain);
        QVERIFY(r.result == DocumentStream::Ok && r.scene->root()->count() == 0);
    }

    void pointsThatAreNotFiniteAreWrittenAtTheirRestPoint_data()
    {
        // A deformation that divided by zero, or ran away beyond 1e128 (where an outline read from a stream is dropped
        // whole), must not make the saved file unreadable: the point goes back to its rest place (the origin when that is
        // lost too). Element 1 has its rest point (5, 6).
        QTest::addColumn<QPointF>("current1");
        QTest::addColumn<QPointF>("current2");
        QTest::addColumn<QPointF>("rest2");
        QTest::addColumn<QPointF>("written2");
        QTest::newRow("not finite") << QPointF(notANumber, 3) << QPointF(9, infinity) << QPointF(notANumber, 8) << QPointF(0, 0);
        QTest::newRow("pointsBeyondWhatAnOutlineHoldsAreWrittenAtTheirRestPoint")
            << QPointF(1e200, 3) << QPointF(9, -1e128) << QPointF(7, 8) << QPointF(7, 8);
    }

    void pointsThatAreNotFiniteAreWrittenAtTheirRestPoint()
    {
        QFETCH(QPointF, current1);
        QFETCH(QPointF, current2);
        QFETCH(QPointF, rest2);
        QFETCH(QPointF, written2);
        QPainterPath rest;
        rest.moveTo(1, 2);
        rest.lineTo(5, 6);
        rest.lineTo(7, 8);
        QPainterPath current = rest;
        current.setElementPositionAt(1, current1.x(), current1.y());
        current.setElementPositionAt(2, current2.x(), current2.y());
        rest.setElementPositionAt(2, rest2.x(), rest2.y());
        GlyphPath paths;
        paths.setPaths(rest, current);
        GlyphPath read;
        QVERIFY(roundTrip(paths, read));
        const QString expected = text({{0, 1, 2}, {1, 5, 6}, {1, written2.x(), written2.y()}});
        QVERIFY(text(read.rest) == expected && text(read.current) == expected);
    }

    void glyphWritesOneSoftTypePerName()
    {
        // Of two SoftTypes named "a" the first is written: the same bytes as without the second.
        std::unique_ptr<Glyph> g(TreeBuilder::glyph('x')), once(TreeBuilder::glyph('x'));
        for (const char *name : {"a", "b", "a"})
            g->addSoftType(SoftTypeFactory::create(QStringLiteral("pull"), QLatin1String(name)));
        for (const char *name : {"a", "b"})
            once->addSoftType(SoftTypeFactory::create(QStringLiteral("pull"), QLatin1String(name)));
        g->softTypes().at(2)->setEnabled(false);
        QCOMPARE(streamed(*g).toHex(), streamed(*once).toHex());
        Glyph read(' ', QFont(), Qt::black, Qt::black, 1.0, QPointF());
        QVERIFY(roundTrip(*g, read));
        QCOMPARE(read.softTypeNames(), QStringList({"a", "b"}));
        QVERIFY(read.softTypes().first()->isEnabled());
    }

    void unusableTextPositionIsResetToTheCaretPoint_data()
    {
        // A word of another passage, an index past the end, a glyph outside the passage, a passage index past the end, a
        // word without passage: each gives the position a click on the caret gives.
        QTest::addColumn<QByteArray>("pointer");
        QTest::addColumn<QString>("read"); // passage, word, glyph: index path or - , then the indexes
        const QString reset = QStringLiteral("- - - 1 -1 -1");
        QTest::newRow("word of another passage") << DocumentBytes().pointerPair({0}, 0).pointerPair({0, 1}, 0).absentPair(-1).data << reset;
        QTest::newRow("glyph index past the end") << DocumentBytes().pointerPair({0}, 0).pointerPair({0, 0}, 0).absentPair(5).data << reset;
        QTest::newRow("glyph outside the passage") << DocumentBytes().pointerPair({1}, 1).absentPair(0).pointerPair({0, 0, 0}, 0).data << reset;
        QTest::newRow("passage index past the end") << DocumentBytes().absentPair(7).absentPair(-1).absentPair(-1).data << reset;
        QTest::newRow("word without passage") << DocumentBytes().absentPair(0).pointerPair({0, 0}, 0).absentPair(-1).data << reset;
        // The glyph pair's path leads to the word: it stays null; its index is kept.
        QTest::newRow("glyph pair leading to a word")
            << DocumentBytes().pointerPair({0}, 0).pointerPair({0, 0}, 0).pointerPair({0, 0}, -1).data << QStringLiteral("0 0,0 - 0 0 -1");
    }

    void unusableTextPositionIsResetToTheCaretPoint()
    {
        QFETCH(QByteArray, pointer);
        auto passage = [](QChar c) { return groupRecord({{1, groupRecord({{2, glyphRecord(c, 0)}})}}); };
        const auto r = SampleDocument::read(file(groupRecord({{1, passage('x')}, {1, passage('y')}}), DocumentBytes().bytes(pointer)));
        QCOMPARE(r.result, DocumentStream::Ok);
        const TextPointer &p = r.scene->textPointer();
        auto path = [](const TextObject *o) {
            QStringList out;
            for (int i : o ? o->indexPath() : QList<int>())
                out << QString::number(i);
            return o ? out.join(',') : QStringLiteral("-");
        };
        QTEST(QStringLiteral("%1 %2 %3 %4 %5 %6").arg(path(p.passage), path(p.word), path(p.glyph)).arg(p.passageIndex)
                  .arg(p.wordIndex).arg(p.glyphIndex), "read");
        QCOMPARE(r.scene->caret()->pos(), QPointF(0, 100));
    }

    void exportSettingsAreClampedForRendering_data()
    {
        QTest::addColumn<QVector<int>>("stored"); // export width, height, resolution, grid spacing
        QTest::addColumn<QString>("read");
        QTest::newRow("as stored") << QVector<int>{1920, 1080, 300, 50} << "1920 1080 300 50, screen 1920 1080";
        QTest::newRow("zero") << QVector<int>{0, 0, 0, 0} << "1 1 1 2, screen 1 1";
        QTest::newRow("negative") << QVector<int>{-5, -1, -32768, -7} << "1 1 1 2, screen 1 1";
        QTest::newRow("grid of one") << QVector<int>{1920, 1080, 300, 1} << "1920 1080 300 2, screen 1920 1080";
        // guards: largeSizesAreKept. Sizes are kept as stored, also past the largest the canvas dialog gives (screen
        // 65535, export 999999999); the resolution is held in 16 bits.
        QTest::newRow("40000 pixels") << QVector<int>{40000, 30000, 300, 50} << "40000 30000 300 50, screen 40000 30000";
        QTest::newRow("screen 70000") << QVector<int>{70000, 768, 32767, 50} << "70000 768 32767 50, screen 70000 768";
        QTest::newRow("export 2000000000") << QVector<int>{2000000000, std::numeric_limits<int>::max(), 32767, 32767}
                                           << "2000000000 2147483647 32767 32767, screen 2000000000 2147483647";
    }

    void exportSettingsAreClampedForRendering()
    {
        QFETCH(QVector<int>, stored);
        // The screen size, the body's first two values, is stored as the export size is; the checkerboard keeps its own
        // cell size.
        QByteArray bytes = file(groupRecord({}), absentPointer(), stored[0], stored[1], stored[2], stored[3]);
        bytes.replace(8, 8, DocumentBytes().i32(stored[0]).i32(stored[1]).data);
        const auto r = SampleDocument::read(bytes);
        QCOMPARE(r.result, DocumentStream::Ok);
        QCOMPARE(r.scene->canvas()->cellSize(), 50);
        const auto settings = [](const QVorrelScene &s) {
            return QStringLiteral("%1 %2 %3 %4, screen %5 %6").arg(s.exportWidth()).arg(s.exportHeight())
                .arg(s.exportResolution()).arg(int(s.grid()->spacing())).arg(s.screenWidth()).arg(s.screenHeight());
        };
        QTEST(settings(*r.scene), "read");
        // Saved, the document reads back with the same values.
        QTEST(settings(*SampleDocument::read(SampleDocument::write(*r.scene)).scene), "read");
    }

    void exportResolutionBeyondSixteenBitsSavesAsTheLargestItHolds()
    {
        // Held in 16 bits: 40000 must not come back as its low bits read as a negative number (and then as 1).
        for (int resolution : {32767, 32768, 40000, 65536 + 300}) {
            auto scene = SampleDocument::newScene();
            scene->setExportSettings(1920, 1080, resolution);
            const auto r = SampleDocument::read(SampleDocument::write(*scene));
            QVERIFY(r.result == DocumentStream::Ok && r.scene->exportResolution() == 32767);
        }
    }

    void textpadFileNameIsKeptOnlyForARegularFile()
    {
        QTemporaryDir dir;
        const QString existing = dir.filePath(QStringLiteral("pad.txt"));
        QFile f(existing);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("unchanged") == 9);
        f.close();
        for (const QString &name : {existing, dir.filePath(QStringLiteral("gone.txt")), dir.path(), QStringLiteral("/dev/zero"), QString()}) {
            const auto r = SampleDocument::read(file(groupRecord({}), absentPointer(), 1024, 768, 72, 50, QStringLiteral("kept text"), name));
            QCOMPARE(r.result, DocumentStream::Ok);
            QCOMPARE(r.scene->textpadText() + '|' + r.scene->textpadFileName(), "kept text|" + (name == existing ? existing : QString()));
        }
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("unchanged"));
    }

    void selectionIsSettledAsTheEditorKeepsIt()
    {
        // Marked selected: glyph x, its word (which wins over x), glyph z, hidden glyph w (which cannot be selected) and
        // the hidden root, which stays visible and unselected. Children come before their groups in the list. Type codes
        // 0 and 77 in the second word are skipped.
        const QByteArray rest = glyphRecord('x', 0).data.mid(34);
        const DocumentBytes x = DocumentBytes().item(0, 0, true, 0, 0, true).bytes(rest);
        const DocumentBytes z = DocumentBytes().item(5, 0, true, 0, 0, true).bytes(rest);
        const DocumentBytes w = DocumentBytes().item(9, 0, false, 0, 0, true).bytes(rest);
        const DocumentBytes word2 = DocumentBytes().item(0, 0).i32(4).i8(0).i8(2).bytes(z).i8(2).bytes(w).i8(77);
        const DocumentBytes passage = groupRecord({{1, groupRecord({{2, x}}, true)}, {1, word2}});
        const auto r = SampleDocument::read(file(DocumentBytes().item(3, 4, false, 0, 0, true).i32(1).i8(1).bytes(passage)));
        QCOMPARE(r.result, DocumentStream::Ok);
        VERIFY_SCENE(r.scene.get());
        TextGroup *root = r.scene->root();
        QCOMPARE(r.scene->selectedObjects(), (QList<TextObject *>{root->objectAtPath({0, 0}), root->objectAtPath({0, 1, 0})}));
        QVERIFY(!root->objectAtPath({0, 0, 0})->isSelected() && !root->objectAtPath({1, 1, 0})->isSelected());
        // guards: rootStaysVisibleAndUnselected
        QVERIFY(root->isVisible() && !root->isSelected() && root->pos() == QPointF(3, 4));
        // guards: unknownTypeCodesAreSkipped
        QCOMPARE(static_cast<TextGroup *>(root->objectAtPath({1, 0}))->count(), 2);
    }

    void documentWithTextIsNotReadInto()
    {
        auto scene = SampleDocument::newScene();
        scene->root()->append(TreeBuilder::passage(QStringLiteral("open")));
        const TreeDump before = TreeDump::of(scene->root());
        const auto r = SampleDocument::read(emptyRoot(), std::move(scene));
        QCOMPARE(r.result, DocumentStream::Damaged);
        VERIFY_SAME_TREE(TreeDump::of(r.scene->root()), before);
        QCOMPARE(r.scene->screenWidth(), 1024);
    }

    void charactersBeyondTheBasicPlaneSurviveSaving()
    {
        // A pair split over two glyphs, as older files hold it, stays two glyphs; one glyph of a pair keeps both halves.
        const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
        DocumentBytes word;
        word.item(0, 0).i32(2).i8(2).bytes(glyphRecord(emoji.at(0), 0)).i8(2).bytes(glyphRecord(emoji.at(1), 20));
        const auto split = SampleDocument::read(file(groupRecord({{1, groupRecord({{1, word}})}})));
        QCOMPARE(split.result, DocumentStream::Ok);
        QCOMPARE(split.scene->root()->firstGlyph()->text() + '|' + split.scene->root()->lastGlyph()->text(), QString(emoji.at(0)) + '|' + emoji.at(1));
        auto scene = SampleDocument::newScene();
        scene->insertString(QStringLiteral("a") + emoji + QStringLiteral("b"), QPointF(0, 100), false);
        const QByteArray first = SampleDocument::write(*scene);
        const auto r = SampleDocument::read(first);
        QCOMPARE(r.result, DocumentStream::Ok);
        VERIFY_SAME_TREE(TreeDump::of(r.scene->root()), TreeDump::of(scene->root()));
        QCOMPARE(r.scene->root()->text(), QStringLiteral("a") + emoji + QStringLiteral("b"));
        QCOMPARE(SampleDocument::write(*r.scene), first);
    }

    void malformedBodiesFail_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        auto withPath = [](const QVector<Element> &rest, const QVector<Element> &current) { return file(oneWord(glyphRecord('x', 0, rest, current))); };
        QTest::newRow("NaN in an outline") << withPath(triangle, {{0, 0, 0}, {1, notANumber, 0}, {1, 10, -10}});
        QTest::newRow("infinity in an outline") << withPath({{0, 0, 0}, {1, 10, infinity}, {1, 10, -10}}, triangle);
        QTest::newRow("coordinate of 1e128") << withPath({{0, 0, 0}, {1, 1e128, 0}, {1, 10, -10}}, {{0, 0, 0}, {1, 1e128, 0}, {1, 10, -10}});
        QTest::newRow("coordinate of -1e200") << withPath(triangle, {{0, 0, 0}, {1, 10, 0}, {1, 10, -1e200}});
        QTest::newRow("element type 9") << withPath({{0, 0, 0}, {9, 10, 0}, {1, 10, -10}}, {{0, 0, 0}, {9, 10, 0}, {1, 10, -10}});
        QTest::newRow("leading line-to") << withPath({{1, 0, 0}, {1, 10, 0}}, {{1, 0, 0}, {1, 10, 0}});
        QTest::newRow("curve-to without data") << withPath({{0, 0, 0}, {2, 1, 1}, {1, 2, 2}}, {{0, 0, 0}, {2, 1, 1}, {1, 2, 2}});
        QTest::newRow("curve data alone") << withPath({{0, 0, 0}, {3, 1, 1}}, {{0, 0, 0}, {3, 1, 1}});
        QTest::newRow("outlines of different types") << withPath(triangle, {{0, 0, 0}, {1, 10, 0}, {0, 10, -10}});
        QTest::newRow("outlines of different lengths") << withPath(triangle, {{0, 0, 0}, {1, 10, 0}});
        const DocumentBytes styled = DocumentBytes().item(0, 0).font(QStringLiteral("Arial"), 72).u16('x').rgba(0, 0, 0).rgba(0, 0, 0);
        QTest::newRow("outline count beyond the file") << file(oneWord(DocumentBytes(styled).f64(1).i32(0x7fffffff).i32(0)));
        QTest::newRow("negative outline count") << file(oneWord(DocumentBytes(styled).f64(1).i32(-3).i32(0)));
        QTest::newRow("font family beyond the file") << file(oneWord(DocumentBytes().item(0, 0).i32(0x7ffffffe).bytes(QByteArray(16, 'a'))));
        QTest::newRow("font size NaN") << glyphFile(DocumentBytes().item(0, 0).font(QStringLiteral("Arial"), notANumber), 76);
        QTest::newRow("font without a size") << glyphFile(DocumentBytes().item(0, 0).font(QStringLiteral("Arial"), 0), 76);
        QTest::newRow("colour of an unknown spec")
            << glyphFile(DocumentBytes().item(0, 0).font(QStringLiteral("Arial"), 72).u16('x').rgba(0, 0, 0).i8(9).bytes(QByteArray(10, 0)), 100);
        QTest::newRow("stroke width beyond a float") << glyphFile(DocumentBytes(styled).f64(1e300), 108);
        QTest::newRow("position NaN") << glyphFile(DocumentBytes().point(notANumber, 0), 16);
        QTest::newRow("rotation infinite") << glyphFile(DocumentBytes().point(0, 0).boolean(true).f64(infinity), 25);
        QTest::newRow("group below a word") << file(groupRecord({{1, groupRecord({{1, groupRecord({{1, groupRecord({{2, glyphRecord('x', 0)}})}})}})}}));
        QTest::newRow("glyph in the root") << file(groupRecord({{2, glyphRecord('x', 0)}}));
        QTest::newRow("letter outside a word") << file(groupRecord({{1, groupRecord({{2, glyphRecord('x', 0)}})}}));
        QTest::newRow("space inside a word") << file(oneWord(glyphRecord(' ', 0)));
        QTest::newRow("empty passage") << file(groupRecord({{1, groupRecord({})}}));
        QTest::newRow("empty word") << file(groupRecord({{1, groupRecord({{1, groupRecord({})}})}}));
        QTest::newRow("child count beyond the file") << file(DocumentBytes().item(0, 0).i32(0x7fffffff).i8(1));
        const DocumentBytes twoAbsent = DocumentBytes().absentPair(-1).absentPair(-1);
        QTest::newRow("index path of four entries") << file(groupRecord({}), DocumentBytes().boolean(true).i32(4).i32(0).i32(0).i32(0).i32(0).i32(0).bytes(twoAbsent));
        QTest::newRow("index path count unsigned huge") << file(groupRecord({}), DocumentBytes().boolean(true).i32(0xffffffff).i32(0).bytes(twoAbsent));
        // The textpad text replaced by a string of 3 bytes, or one longer than the file.
        const QByteArray withoutTextpad = emptyRoot().chopped(8);
        QTest::newRow("string of odd length") << withoutTextpad + DocumentBytes().i32(3).i8(0).i8(1).i8(2).i32(0xffffffff).data;
        QTest::newRow("string beyond the file") << withoutTextpad + DocumentBytes().i32(0x7ffffffe).i32(0xffffffff).data;
        QTest::newRow("byte after the body") << emptyRoot() + QByteArray(1, 0);

        auto withSoftType = [](const QString &key, const DocumentBytes &record, int count = 1) {
            return file(oneWord(DocumentBytes().bytes(glyphRecord('x', 0).data.chopped(4)).i32(count).string(key).bytes(record)));
        };
        const DocumentBytes plain = DocumentBytes().i32(1).intProperty(QStringLiteral("radius"), 5);
        QVERIFY(SampleDocument::read(withSoftType(QStringLiteral("pull"), plain)).result == DocumentStream::Ok);
        QTest::newRow("SoftType key of no kind") << withSoftType(QStringLiteral("twirl"), plain);
        QTest::newRow("SoftType key null") << withSoftType(QString(), plain);
        QTest::newRow("property count beyond the file") << withSoftType(QStringLiteral("pull"), DocumentBytes().i32(0xfffffff0).intProperty(QStringLiteral("radius"), 5));
        QTest::newRow("SoftType count beyond the file") << withSoftType(QStringLiteral("pull"), DocumentBytes().i32(0), 0x7fffffff);
        QTest::newRow("property value NaN") << withSoftType(QStringLiteral("pull"), DocumentBytes().i32(1).doubleProperty(QStringLiteral("strength"), notANumber));
        // A list trusts its count in Qt's reader, an image decodes whatever follows: neither is a parameter value.
        const DocumentBytes radius = DocumentBytes().i32(1).string(QStringLiteral("radius"));
        QTest::newRow("property value a list") << withSoftType(QStringLiteral("pull"), DocumentBytes(radius).i32(9).i8(0).i32(0x7fffffff));
        QTest::newRow("property value an image") << withSoftType(QStringLiteral("pull"), DocumentBytes(radius).i32(70).i8(0).i32(0));
        QTest::newRow("property value a user type") << withSoftType(QStringLiteral("pull"), DocumentBytes(radius).i32(127).i8(0).i32(0x7ffffff0));
    }

    void malformedBodiesFail()
    {
        QFETCH(QByteArray, bytes);
        QCOMPARE(SampleDocument::read(bytes).result, DocumentStream::Damaged);
    }
};

QTEST_MAIN(TestDocumentStream)
#include "tst_documentstream.moc"
