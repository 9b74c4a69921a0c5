#include "model/Canvas.h"
#include "model/Caret.h"
#include "model/DocumentStream.h"
#include "model/Glyph.h"
#include "model/GlyphIterator.h"
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

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>
#include <limits>

using Element = DocumentBytes::Element;
using Result = DocumentStream::Result;

namespace {

struct ReadBack
{
    std::unique_ptr<QVorrelScene> scene = SampleDocument::newScene();
    Result result = DocumentStream::Damaged;
};

ReadBack readFile(const QByteArray &file)
{
    ReadBack r;
    QBuffer buffer;
    buffer.setData(file);
    buffer.open(QIODevice::ReadOnly);
    r.result = DocumentStream::read(&buffer, *r.scene);
    return r;
}

const QVector<Element> triangle = {{0, 0, 0}, {1, 10, 0}, {1, 10, -10}};

// A glyph record with a triangle outline (a separator has none).
DocumentBytes glyphRecord(QChar c, double x, const QVector<Element> &rest = triangle,
                          const QVector<Element> &current = triangle)
{
    const bool blank = c == QLatin1Char(' ');
    DocumentBytes b;
    b.item(x, 0).font(QStringLiteral("Arial"), 72).u16(c.unicode()).rgba(0, 0, 0).rgba(0, 0, 0).f64(1.0);
    b.path(blank ? QVector<Element>() : rest).path(blank ? QVector<Element>() : current);
    return b.boolean(false).i32(0);
}

// A group record holding the given child records (type code 2: glyphs).
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

// Writes the two outlines as a glyph's outline record and reads it back.
bool writeAndReadBack(const QPainterPath &rest, const QPainterPath &current, GlyphPath &read)
{
    GlyphPath paths;
    paths.setPaths(rest, current);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_4_6);
    out << paths;
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_4_6);
    in >> read;
    return in.status() == QDataStream::Ok;
}

void verifyPath(const QPainterPath &path, const QVector<Element> &expected)
{
    QCOMPARE(path.elementCount(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        QCOMPARE(int(e.type), expected.at(i).type);
        QCOMPARE(e.x, expected.at(i).x);
        QCOMPARE(e.y, expected.at(i).y);
    }
}

} // namespace

class TestDocumentStream : public QObject
{
    Q_OBJECT
private slots:
    void handAssembledDocumentReadsAndWritesTheSameBytes();
    void headerIsCheckedBeforeTheBody_data();
    void headerIsCheckedBeforeTheBody();
    void writeReadWriteIsByteIdentical();
    void hiddenGroupKeepsItsChildrenOwnVisibility();
    void newSceneWritesThePlainFile();
    void pointsThatAreNotFiniteAreWrittenAtTheirRestPoint_data();
    void pointsThatAreNotFiniteAreWrittenAtTheirRestPoint();
    void glyphWritesOneSoftTypePerName();
    void unusableTextPositionIsResetToTheCaretPoint_data();
    void unusableTextPositionIsResetToTheCaretPoint();
    void exportSettingsAreClampedForRendering_data();
    void exportSettingsAreClampedForRendering();
    void exportResolutionBeyondSixteenBitsSavesAsTheLargestItHolds();
    void textpadFileNameIsKeptOnlyForARegularFile();
    void selectionIsSettledAsTheEditorKeepsIt();
    void rootStaysVisibleAndUnselected();
    void documentWithTextIsNotReadInto();
    void unknownTypeCodesAreSkipped();
    void charactersBeyondTheBasicPlaneSurviveSaving();
    void malformedBodiesFail_data();
    void malformedBodiesFail();
};

void TestDocumentStream::handAssembledDocumentReadsAndWritesTheSameBytes()
{
    // One passage of two words and a space, three glyphs; the caret after
    // 'b'; a grid; the second word selected.
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
    DocumentBytes word1 = groupRecord({{2, a}});
    DocumentBytes word2;
    word2.item(60, 0, true, 0, 2, true).i32(1).i8(2).bytes(b);
    DocumentBytes passage;
    passage.item(50, 100).i32(3).i8(1).bytes(word1).i8(2).bytes(space).i8(1).bytes(word2);
    DocumentBytes root = groupRecord({{1, passage}});
    DocumentBytes pointer;
    pointer.pointerPair({0}, 0).pointerPair({2, 0}, 2).pointerPair({0, 2, 0}, 0);

    DocumentBytes doc;
    doc.header().i32(640).i32(480).i32(1280).i32(960).i16(150).rgba(10, 20, 30, 40).boolean(true).i32(1 | 2 | 8);
    doc.bytes(root).bytes(pointer).point(90.5, 100).rgba(255, 0, 0);
    doc.font(QStringLiteral("Arial"), 36).rgba(1, 2, 3).rgba(4, 5, 6).f64(0.5);
    doc.i16(30).rgba(0, 0, 0, 25).i32(1).string(QStringLiteral("textpad")).string(QString());

    const ReadBack r = readFile(doc.data);
    QCOMPARE(r.result, DocumentStream::Ok);
    QVorrelScene &s = *r.scene;
    VERIFY_SCENE(&s);
    // The settings: screen, export, background, extras and flags, caret,
    // style for new text, grid, snapping and textpad.
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
    TextGroup *root0 = s.root();
    QCOMPARE(root0->count(), 1);
    TextGroup *p = static_cast<TextGroup *>(root0->child(0));
    QCOMPARE(p->pos(), QPointF(50, 100));
    QCOMPARE(p->count(), 3);
    QCOMPARE(p->text(), QStringLiteral("a b"));
    Glyph *ga = static_cast<Glyph *>(root0->objectAtPath({0, 0, 0}));
    QCOMPARE(ga->character(), QChar('a'));
    QCOMPARE(ga->font().family(), QStringLiteral("Arial"));
    QCOMPARE(ga->font().pointSizeF(), 72.0);
    QCOMPARE(ga->fillColor(), QColor(255, 0, 0));
    QCOMPARE(ga->strokeColor(), QColor(0, 0, 255, 128));
    QCOMPARE(ga->strokeWidth(), 2.5f);
    QVERIFY(ga->isLocked());
    QCOMPARE(ga->softTypes().size(), 1);
    const SoftType *melt = ga->softTypes().first();
    QCOMPARE(melt->typeKey(), QStringLiteral("originate linear"));
    QCOMPARE(melt->name(), QStringLiteral("Melt"));
    QVERIFY(!melt->isEnabled());
    QCOMPARE(melt->trigger(), 0);
    QCOMPARE(melt->radius(), 30);
    QCOMPARE(melt->property(QStringLiteral("toggle key"))->value(), QVariant(3));
    QCOMPARE(melt->property(QStringLiteral("speed"))->value(), QVariant(4.5));
    verifyPath(ga->path()->rest, aRest);
    verifyPath(ga->path()->current, aCurrent);
    Glyph *gs = static_cast<Glyph *>(p->child(1));
    QCOMPARE(gs->pos(), QPointF(40, 0));
    QCOMPARE(gs->zValue(), 1.0);
    QCOMPARE(gs->path()->current.elementCount(), 0);
    TextGroup *w2 = static_cast<TextGroup *>(p->child(2));
    QCOMPARE(w2->pos(), QPointF(60, 0));
    QCOMPARE(w2->zValue(), 2.0);
    QVERIFY(w2->isSelected());
    QCOMPARE(s.selectedObjects(), QList<TextObject *>{w2});
    Glyph *gb = static_cast<Glyph *>(w2->child(0));
    QCOMPARE(gb->rotation(), 15.0);
    QCOMPARE(gb->font().family(), QStringLiteral("Liberation Serif"));
    QCOMPARE(gb->font().pointSizeF(), 24.5);
    QCOMPARE(gb->strokeColor(), QColor(9, 8, 7));
    QCOMPARE(gb->path()->current.fillRule(), Qt::WindingFill);
    verifyPath(gb->path()->current, bPath);

    QCOMPARE(s.textPointer().passage, p);
    QCOMPARE(s.textPointer().passageIndex, 0);
    QCOMPARE(s.textPointer().word, w2);
    QCOMPARE(s.textPointer().wordIndex, 2);
    QCOMPARE(s.textPointer().glyph, gb);
    QCOMPARE(s.textPointer().glyphIndex, 0);
    QCOMPARE(SampleDocument::write(s).toHex(), doc.data.toHex());
}

void TestDocumentStream::headerIsCheckedBeforeTheBody_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("result");
    const QByteArray body = emptyRoot().mid(8);
    QTest::newRow("empty file") << QByteArray() << int(DocumentStream::NotVorrelFile);
    QTest::newRow("three bytes") << QByteArray::fromHex("00564f") << int(DocumentStream::NotVorrelFile);
    QTest::newRow("other magic") << DocumentBytes().i32(0x00564F53).i32(100).data + body
                                 << int(DocumentStream::NotVorrelFile);
    QTest::newRow("magic only") << DocumentBytes().i32(0x00564F52).data << int(DocumentStream::UnsupportedVersion);
    QTest::newRow("version 99") << DocumentBytes().header(99).data + body << int(DocumentStream::UnsupportedVersion);
    QTest::newRow("version 100") << DocumentBytes().header(100).data + body << int(DocumentStream::Ok);
    QTest::newRow("version 250") << DocumentBytes().header(250).data + body << int(DocumentStream::Ok);
    QTest::newRow("header without body") << DocumentBytes().header(100).data << int(DocumentStream::Damaged);
}

void TestDocumentStream::headerIsCheckedBeforeTheBody()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, result);
    QCOMPARE(int(readFile(bytes).result), result);
}

void TestDocumentStream::writeReadWriteIsByteIdentical()
{
    QTemporaryDir dir;
    const QString textpad = dir.filePath(QStringLiteral("pad.txt"));
    QFile f(textpad);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    auto original = SampleDocument::newScene();
    SampleDocument::fill(*original, textpad);
    const QByteArray first = SampleDocument::write(*original);

    const ReadBack r = readFile(first);
    QCOMPARE(r.result, DocumentStream::Ok);
    VERIFY_SCENE(r.scene.get());
    VERIFY_SAME_TREE(TreeDump::of(r.scene->root()), TreeDump::of(original->root()));
    QCOMPARE(r.scene->selectedObjects().size(), 2);
    QCOMPARE(r.scene->textpadFileName(), textpad);
    // Every kind comes back with every value, the extra property included.
    QStringList kinds;
    GlyphIterator before(original->root(), TextIterator::Forward | TextIterator::PostOrder);
    GlyphIterator after(r.scene->root(), TextIterator::Forward | TextIterator::PostOrder);
    while (before.hasNext() && after.hasNext()) {
        const QList<SoftType *> &expected = before.next()->softTypes();
        const QList<SoftType *> &actual = after.next()->softTypes();
        QCOMPARE(actual.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(actual.at(i)->propertyNames(), expected.at(i)->propertyNames());
            QCOMPARE(actual.at(i)->values(), expected.at(i)->values());
            kinds << actual.at(i)->typeKey();
        }
    }
    QStringList allKinds = SoftTypeFactory::typeKeys();
    allKinds.sort();
    kinds.sort();
    QCOMPARE(kinds, allKinds);
    QCOMPARE(r.scene->textPointer().glyph->text(), QStringLiteral("d"));
    // The deformed outline keeps the segment that ends on its own start.
    const Glyph *e = static_cast<Glyph *>(r.scene->root()->objectAtPath({1, 0, 0}));
    QCOMPARE(e->path()->current.elementCount(), e->path()->rest.elementCount());
    QCOMPARE(e->path()->current.elementAt(2).x, e->path()->current.elementAt(1).x);

    QCOMPARE(SampleDocument::write(*r.scene).toHex(), first.toHex());
}

void TestDocumentStream::hiddenGroupKeepsItsChildrenOwnVisibility()
{
    // Hiding a word hides its glyphs only through the word: after a save
    // and a load, showing the word again shows them.
    auto scene = SampleDocument::newScene();
    scene->root()->append(TreeBuilder::passage(QStringLiteral("ab cd")));
    TextGroup *word = static_cast<TextGroup *>(scene->root()->objectAtPath({0, 0}));
    word->child(1)->setVisible(false);
    word->setVisible(false);
    const ReadBack r = readFile(SampleDocument::write(*scene));
    QCOMPARE(r.result, DocumentStream::Ok);
    TextGroup *readWord = static_cast<TextGroup *>(r.scene->root()->objectAtPath({0, 0}));
    QVERIFY(!readWord->child(0)->isVisible());
    readWord->setVisible(true);
    QVERIFY(readWord->child(0)->isVisible());
    QVERIFY(!readWord->child(1)->isVisible());
}

void TestDocumentStream::newSceneWritesThePlainFile()
{
    // Every setting a new document stores, byte for byte: the plain file
    // with the view flags of grid hidden, caret, work area and selection
    // shown; the text position as three absent pairs.
    QByteArray plain = emptyRoot();
    plain.replace(8 + 18 + 11 + 1, 4, DocumentBytes().i32(14).data);
    QCOMPARE(SampleDocument::write(*SampleDocument::newScene()).toHex(), plain.toHex());
    const ReadBack r = readFile(plain);
    QCOMPARE(r.result, DocumentStream::Ok);
    QCOMPARE(r.scene->root()->count(), 0);
}

void TestDocumentStream::pointsThatAreNotFiniteAreWrittenAtTheirRestPoint_data()
{
    QTest::addColumn<QPointF>("current1");
    QTest::addColumn<QPointF>("current2");
    QTest::addColumn<QPointF>("rest2");
    QTest::addColumn<QPointF>("written2"); // element 1 is written at its rest point (5, 6)
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    // A deformation that divided by zero must not make the saved file
    // unreadable: the point goes back to its rest place (the origin when
    // that is lost too).
    QTest::newRow("not finite") << QPointF(nan, 3) << QPointF(9, inf) << QPointF(nan, 8) << QPointF(0, 0);
    // A runaway deformation can leave a point finite but beyond 1e128,
    // where an outline read from a stream is dropped whole: such a point
    // is saved as a lost one is.
    QTest::newRow("pointsBeyondWhatAnOutlineHoldsAreWrittenAtTheirRestPoint")
        << QPointF(1e200, 3) << QPointF(9, -1e128) << QPointF(7, 8) << QPointF(7, 8);
}

void TestDocumentStream::pointsThatAreNotFiniteAreWrittenAtTheirRestPoint()
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
    GlyphPath read;
    QVERIFY(writeAndReadBack(rest, current, read));
    const QVector<Element> expected = {{0, 1, 2}, {1, 5, 6}, {1, written2.x(), written2.y()}};
    verifyPath(read.rest, expected);
    verifyPath(read.current, expected);
}

void TestDocumentStream::glyphWritesOneSoftTypePerName()
{
    Glyph *g = TreeBuilder::glyph('x');
    for (const char *name : {"a", "b", "a"})
        g->addSoftType(SoftTypeFactory::create(QStringLiteral("pull"), QLatin1String(name)));
    g->softTypes().at(2)->setEnabled(false);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_4_6);
    out << *g;
    delete g;

    Glyph read(' ', QFont(), Qt::black, Qt::black, 1.0, QPointF());
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_4_6);
    in >> read;
    QCOMPARE(in.status(), QDataStream::Ok);
    QVERIFY(in.atEnd());
    QCOMPARE(read.softTypeNames(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    // The first of the two named "a" is the one written.
    QVERIFY(read.softTypes().first()->isEnabled());
}

void TestDocumentStream::unusableTextPositionIsResetToTheCaretPoint_data()
{
    QTest::addColumn<QByteArray>("pointer");
    QTest::addColumn<QString>("read"); // passage, word, glyph: index path or - , then the indexes
    // A word of another passage, an index past the end, a glyph outside
    // the passage, a passage index past the end, a word without passage:
    // each gives the position a click on the caret gives.
    const QString reset = QStringLiteral("- - - 1 -1 -1");
    QTest::newRow("word of another passage")
        << DocumentBytes().pointerPair({0}, 0).pointerPair({0, 1}, 0).absentPair(-1).data << reset;
    QTest::newRow("glyph index past the end")
        << DocumentBytes().pointerPair({0}, 0).pointerPair({0, 0}, 0).absentPair(5).data << reset;
    QTest::newRow("glyph outside the passage")
        << DocumentBytes().pointerPair({1}, 1).absentPair(0).pointerPair({0, 0, 0}, 0).data << reset;
    QTest::newRow("passage index past the end") << DocumentBytes().absentPair(7).absentPair(-1).absentPair(-1).data << reset;
    QTest::newRow("word without passage") << DocumentBytes().absentPair(0).pointerPair({0, 0}, 0).absentPair(-1).data << reset;
    // The glyph pair's path leads to the word: it stays null; its index is kept.
    QTest::newRow("glyph pair leading to a word")
        << DocumentBytes().pointerPair({0}, 0).pointerPair({0, 0}, 0).pointerPair({0, 0}, -1).data
        << QStringLiteral("0 0,0 - 0 0 -1");
}

void TestDocumentStream::unusableTextPositionIsResetToTheCaretPoint()
{
    QFETCH(QByteArray, pointer);
    const DocumentBytes twoPassages = groupRecord(
        {{1, groupRecord({{1, groupRecord({{2, glyphRecord('x', 0)}})}})},
         {1, groupRecord({{1, groupRecord({{2, glyphRecord('y', 0)}})}})}});
    const ReadBack r = readFile(file(twoPassages, DocumentBytes().bytes(pointer)));
    QCOMPARE(r.result, DocumentStream::Ok);
    const TextPointer &p = r.scene->textPointer();
    auto path = [](const TextObject *o) {
        QStringList out;
        for (int i : o ? o->indexPath() : QList<int>{-1})
            out << QString::number(i);
        return o ? out.join(',') : QStringLiteral("-");
    };
    QTEST(QStringLiteral("%1 %2 %3 %4 %5 %6").arg(path(p.passage), path(p.word), path(p.glyph)).arg(p.passageIndex)
              .arg(p.wordIndex).arg(p.glyphIndex), "read");
    QCOMPARE(r.scene->caret()->pos(), QPointF(0, 100));
}

void TestDocumentStream::exportSettingsAreClampedForRendering_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("resolution");
    QTest::addColumn<int>("grid");
    QTest::addColumn<QString>("read"); // width, height, resolution, grid spacing
    QTest::newRow("as stored") << 1920 << 1080 << 300 << 50 << "1920 1080 300 50";
    QTest::newRow("zero") << 0 << 0 << 0 << 0 << "1 1 1 2";
    QTest::newRow("negative") << -5 << -1 << -32768 << -7 << "1 1 1 2";
    QTest::newRow("grid of one") << 1920 << 1080 << 300 << 1 << "1920 1080 300 2";
    QTest::newRow("huge") << 100000 << std::numeric_limits<int>::max() << 32767 << 32767 << "32767 32767 32767 32767";
}

void TestDocumentStream::exportSettingsAreClampedForRendering()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, resolution);
    QFETCH(int, grid);
    // The screen size, the body's first two values, is kept in the same
    // range as the export size.
    QByteArray bytes = file(groupRecord({}), absentPointer(), width, height, resolution, grid);
    bytes.replace(8, 8, DocumentBytes().i32(width).i32(height).data);
    const ReadBack r = readFile(bytes);
    QCOMPARE(r.result, DocumentStream::Ok);
    const QVorrelScene &s = *r.scene;
    QCOMPARE(QSize(s.screenWidth(), s.screenHeight()), QSize(s.exportWidth(), s.exportHeight()));
    QTEST(QStringLiteral("%1 %2 %3 %4").arg(s.exportWidth()).arg(s.exportHeight()).arg(s.exportResolution())
              .arg(int(s.grid()->spacing())), "read");
    // The checkerboard keeps its own cell size.
    QCOMPARE(s.canvas()->cellSize(), 50);
}

void TestDocumentStream::exportResolutionBeyondSixteenBitsSavesAsTheLargestItHolds()
{
    // The file holds the resolution in 16 bits: 40000 must not come back
    // as its low bits read as a negative number (and then as 1).
    for (int resolution : {32767, 32768, 40000, 65536 + 300}) {
        auto scene = SampleDocument::newScene();
        scene->setExportSettings(1920, 1080, resolution);
        const ReadBack r = readFile(SampleDocument::write(*scene));
        QCOMPARE(r.result, DocumentStream::Ok);
        QCOMPARE(r.scene->exportResolution(), 32767);
    }
}

void TestDocumentStream::textpadFileNameIsKeptOnlyForARegularFile()
{
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("pad.txt"));
    QFile f(existing);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write("unchanged"), 9);
    f.close();
    const QString text = QStringLiteral("kept text");
    for (const QString &name : {existing, dir.filePath(QStringLiteral("gone.txt")), dir.path(),
                                QStringLiteral("/dev/zero"), QString()}) {
        const ReadBack r = readFile(file(groupRecord({}), absentPointer(), 1024, 768, 72, 50, text, name));
        QCOMPARE(r.result, DocumentStream::Ok);
        QCOMPARE(r.scene->textpadText(), text);
        QCOMPARE(r.scene->textpadFileName(), name == existing ? existing : QString());
    }
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("unchanged"));
}

void TestDocumentStream::selectionIsSettledAsTheEditorKeepsIt()
{
    // Marked selected: glyph x, its word (which wins over x), glyph z, and
    // hidden glyph w (which cannot be selected). Children come before their
    // groups in the list.
    DocumentBytes x = glyphRecord('x', 0);
    DocumentBytes xSelected;
    xSelected.item(0, 0, true, 0, 0, true).bytes(x.data.mid(34));
    DocumentBytes z;
    z.item(5, 0, true, 0, 0, true).bytes(x.data.mid(34));
    DocumentBytes w;
    w.item(9, 0, false, 0, 0, true).bytes(x.data.mid(34));
    const DocumentBytes root = groupRecord({{1, groupRecord({{1, groupRecord({{2, xSelected}}, true)},
                                                             {1, groupRecord({{2, z}, {2, w}})}})}});
    const ReadBack r = readFile(file(root));
    QCOMPARE(r.result, DocumentStream::Ok);
    VERIFY_SCENE(r.scene.get());
    TextGroup *rootGroup = r.scene->root();
    QCOMPARE(r.scene->selectedObjects(),
             (QList<TextObject *>{rootGroup->objectAtPath({0, 0}), rootGroup->objectAtPath({0, 1, 0})}));
    QVERIFY(!rootGroup->objectAtPath({0, 0, 0})->isSelected());
    QVERIFY(!rootGroup->objectAtPath({1, 1, 0})->isSelected());
}

void TestDocumentStream::rootStaysVisibleAndUnselected()
{
    DocumentBytes root;
    root.item(3, 4, false, 0, 0, true).i32(0);
    const ReadBack r = readFile(file(root));
    QCOMPARE(r.result, DocumentStream::Ok);
    QVERIFY(r.scene->root()->isVisible());
    QVERIFY(!r.scene->root()->isSelected());
    QVERIFY(r.scene->selectedObjects().isEmpty());
    QCOMPARE(r.scene->root()->pos(), QPointF(3, 4));
}

void TestDocumentStream::documentWithTextIsNotReadInto()
{
    auto scene = SampleDocument::newScene();
    scene->root()->append(TreeBuilder::passage(QStringLiteral("open")));
    const TreeDump before = TreeDump::of(scene->root());
    QBuffer buffer;
    buffer.setData(emptyRoot());
    buffer.open(QIODevice::ReadOnly);
    QCOMPARE(DocumentStream::read(&buffer, *scene), DocumentStream::Damaged);
    VERIFY_SAME_TREE(TreeDump::of(scene->root()), before);
    QCOMPARE(scene->screenWidth(), 1024);
}

void TestDocumentStream::unknownTypeCodesAreSkipped()
{
    DocumentBytes word;
    word.item(0, 0).i32(3).i8(0).i8(2).bytes(glyphRecord('x', 0)).i8(77);
    const ReadBack r = readFile(file(groupRecord({{1, groupRecord({{1, word}})}})));
    QCOMPARE(r.result, DocumentStream::Ok);
    QCOMPARE(r.scene->root()->text(), QStringLiteral("x"));
}

void TestDocumentStream::charactersBeyondTheBasicPlaneSurviveSaving()
{
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    // A pair split over two glyphs, as older files hold it, stays two glyphs.
    DocumentBytes word;
    word.item(0, 0).i32(2).i8(2).bytes(glyphRecord(emoji.at(0), 0)).i8(2).bytes(glyphRecord(emoji.at(1), 20));
    const ReadBack split = readFile(file(groupRecord({{1, groupRecord({{1, word}})}})));
    QCOMPARE(split.result, DocumentStream::Ok);
    QCOMPARE(split.scene->root()->firstGlyph()->text(), QString(emoji.at(0)));
    QCOMPARE(split.scene->root()->lastGlyph()->text(), QString(emoji.at(1)));

    // One glyph of a pair keeps both its halves through a save.
    auto scene = SampleDocument::newScene();
    scene->insertString(QStringLiteral("a") + emoji + QStringLiteral("b"), QPointF(0, 100), false);
    const QByteArray first = SampleDocument::write(*scene);
    const ReadBack r = readFile(first);
    QCOMPARE(r.result, DocumentStream::Ok);
    VERIFY_SAME_TREE(TreeDump::of(r.scene->root()), TreeDump::of(scene->root()));
    QCOMPARE(r.scene->root()->text(), QStringLiteral("a") + emoji + QStringLiteral("b"));
    QCOMPARE(SampleDocument::write(*r.scene), first);
}

void TestDocumentStream::malformedBodiesFail_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    auto withPath = [](const QVector<Element> &rest, const QVector<Element> &current) {
        return file(oneWord(glyphRecord('x', 0, rest, current)));
    };
    QTest::newRow("NaN in an outline") << withPath(triangle, {{0, 0, 0}, {1, nan, 0}, {1, 10, -10}});
    QTest::newRow("infinity in an outline") << withPath({{0, 0, 0}, {1, 10, inf}, {1, 10, -10}}, triangle);
    QTest::newRow("coordinate of 1e128") << withPath({{0, 0, 0}, {1, 1e128, 0}, {1, 10, -10}}, {{0, 0, 0}, {1, 1e128, 0}, {1, 10, -10}});
    QTest::newRow("coordinate of -1e200") << withPath(triangle, {{0, 0, 0}, {1, 10, 0}, {1, 10, -1e200}});
    QTest::newRow("element type 9") << withPath({{0, 0, 0}, {9, 10, 0}, {1, 10, -10}}, {{0, 0, 0}, {9, 10, 0}, {1, 10, -10}});
    QTest::newRow("leading line-to") << withPath({{1, 0, 0}, {1, 10, 0}}, {{1, 0, 0}, {1, 10, 0}});
    QTest::newRow("curve-to without data") << withPath({{0, 0, 0}, {2, 1, 1}, {1, 2, 2}}, {{0, 0, 0}, {2, 1, 1}, {1, 2, 2}});
    QTest::newRow("curve data alone") << withPath({{0, 0, 0}, {3, 1, 1}}, {{0, 0, 0}, {3, 1, 1}});
    QTest::newRow("outlines of different types") << withPath(triangle, {{0, 0, 0}, {1, 10, 0}, {0, 10, -10}});
    QTest::newRow("outlines of different lengths") << withPath(triangle, {{0, 0, 0}, {1, 10, 0}});
    {
        DocumentBytes g;
        g.item(0, 0).font(QStringLiteral("Arial"), 72).u16('x').rgba(0, 0, 0).rgba(0, 0, 0).f64(1);
        g.i32(0x7fffffff).i32(0);
        QTest::newRow("outline count beyond the file") << file(oneWord(g));
    }
    {
        DocumentBytes g;
        g.item(0, 0).font(QStringLiteral("Arial"), 72).u16('x').rgba(0, 0, 0).rgba(0, 0, 0).f64(1);
        g.i32(-3).i32(0);
        QTest::newRow("negative outline count") << file(oneWord(g));
    }
    {
        DocumentBytes g;
        g.item(0, 0).i32(0x7ffffffe).data += QByteArray(16, 'a');
        QTest::newRow("font family beyond the file") << file(oneWord(g));
    }
    {
        DocumentBytes g;
        g.item(0, 0).font(QStringLiteral("Arial"), nan);
        QTest::newRow("font size NaN") << file(oneWord(g.bytes(glyphRecord('x', 0).data.mid(34 + 42))));
    }
    {
        DocumentBytes g;
        g.item(0, 0).font(QStringLiteral("Arial"), 0);
        QTest::newRow("font without a size") << file(oneWord(g.bytes(glyphRecord('x', 0).data.mid(34 + 42))));
    }
    {
        DocumentBytes g;
        g.item(0, 0).font(QStringLiteral("Arial"), 72).u16('x').rgba(0, 0, 0).i8(9).bytes(QByteArray(10, 0));
        g.bytes(glyphRecord('x', 0).data.mid(34 + 42 + 2 + 22));
        QTest::newRow("colour of an unknown spec") << file(oneWord(g));
    }
    {
        DocumentBytes g;
        g.item(0, 0).font(QStringLiteral("Arial"), 72).u16('x').rgba(0, 0, 0).rgba(0, 0, 0).f64(1e300);
        g.bytes(glyphRecord('x', 0).data.mid(34 + 42 + 2 + 22 + 8));
        QTest::newRow("stroke width beyond a float") << file(oneWord(g));
    }
    {
        DocumentBytes g;
        g.point(nan, 0).bytes(glyphRecord('x', 0).data.mid(16));
        QTest::newRow("position NaN") << file(oneWord(g));
    }
    {
        DocumentBytes g;
        g.point(0, 0).boolean(true).f64(inf).bytes(glyphRecord('x', 0).data.mid(25));
        QTest::newRow("rotation infinite") << file(oneWord(g));
    }
    QTest::newRow("group below a word")
        << file(groupRecord({{1, groupRecord({{1, groupRecord({{1, groupRecord({{2, glyphRecord('x', 0)}})}})}})}}));
    QTest::newRow("glyph in the root") << file(groupRecord({{2, glyphRecord('x', 0)}}));
    QTest::newRow("letter outside a word") << file(groupRecord({{1, groupRecord({{2, glyphRecord('x', 0)}})}}));
    QTest::newRow("space inside a word") << file(oneWord(glyphRecord(' ', 0)));
    QTest::newRow("empty passage") << file(groupRecord({{1, groupRecord({})}}));
    QTest::newRow("empty word") << file(groupRecord({{1, groupRecord({{1, groupRecord({})}})}}));
    {
        DocumentBytes root;
        root.item(0, 0).i32(0x7fffffff).i8(1);
        QTest::newRow("child count beyond the file") << file(root);
    }
    {
        DocumentBytes pointer;
        pointer.boolean(true).i32(4).i32(0).i32(0).i32(0).i32(0).i32(0);
        QTest::newRow("index path of four entries") << file(groupRecord({}), pointer.absentPair(-1).absentPair(-1));
        DocumentBytes huge;
        huge.boolean(true).i32(0xffffffff).i32(0);
        QTest::newRow("index path count unsigned huge") << file(groupRecord({}), huge.absentPair(-1).absentPair(-1));
    }
    {
        QByteArray odd = emptyRoot();
        odd.chop(8);
        odd += DocumentBytes().i32(3).i8(0).i8(1).i8(2).i32(0xffffffff).data;
        QTest::newRow("string of odd length") << odd;
        QByteArray longText = emptyRoot();
        longText.chop(8);
        longText += DocumentBytes().i32(0x7ffffffe).i32(0xffffffff).data;
        QTest::newRow("string beyond the file") << longText;
    }
    QTest::newRow("byte after the body") << emptyRoot() + QByteArray(1, 0);

    auto withSoftType = [](const QString &key, const DocumentBytes &record) {
        DocumentBytes g = glyphRecord('x', 0);
        g.data.chop(4);
        return file(oneWord(g.i32(1).string(key).bytes(record)));
    };
    const DocumentBytes plain = DocumentBytes().i32(1).intProperty(QStringLiteral("radius"), 5);
    QVERIFY(readFile(withSoftType(QStringLiteral("pull"), plain)).result == DocumentStream::Ok);
    QTest::newRow("SoftType key of no kind") << withSoftType(QStringLiteral("twirl"), plain);
    QTest::newRow("SoftType key null") << withSoftType(QString(), plain);
    QTest::newRow("property count beyond the file")
        << withSoftType(QStringLiteral("pull"), DocumentBytes().i32(0xfffffff0).intProperty(QStringLiteral("radius"), 5));
    {
        DocumentBytes g = glyphRecord('x', 0);
        g.data.chop(4);
        g.i32(0x7fffffff).string(QStringLiteral("pull")).i32(0);
        QTest::newRow("SoftType count beyond the file") << file(oneWord(g));
    }
    QTest::newRow("property value NaN")
        << withSoftType(QStringLiteral("pull"), DocumentBytes().i32(1).doubleProperty(QStringLiteral("strength"), nan));
    // A list trusts its count in Qt's reader, an image decodes whatever
    // follows: neither is a parameter value.
    DocumentBytes list;
    list.i32(1).string(QStringLiteral("radius")).i32(9).i8(0).i32(0x7fffffff);
    QTest::newRow("property value a list") << withSoftType(QStringLiteral("pull"), list);
    DocumentBytes image;
    image.i32(1).string(QStringLiteral("radius")).i32(70).i8(0).i32(0);
    QTest::newRow("property value an image") << withSoftType(QStringLiteral("pull"), image);
    DocumentBytes userType;
    userType.i32(1).string(QStringLiteral("radius")).i32(127).i8(0).i32(0x7ffffff0);
    QTest::newRow("property value a user type") << withSoftType(QStringLiteral("pull"), userType);
}

void TestDocumentStream::malformedBodiesFail()
{
    QFETCH(QByteArray, bytes);
    QCOMPARE(readFile(bytes).result, DocumentStream::Damaged);
}

QTEST_MAIN(TestDocumentStream)
#include "tst_documentstream.moc"
