#include "model/GlyphPath.h"
#include "support/ModalRecorder.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {

struct El
{
    int type;
    double x, y;
};

// A path holding exactly these elements, built through the stream form so
// that shapes QPainterPath's own builders refuse can be made too.
QPainterPath pathOf(const QVector<El> &elements)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << qint32(elements.size());
    for (const El &e : elements)
        out << qint32(e.type) << e.x << e.y;
    out << qint32(0) << qint32(Qt::OddEvenFill);
    QDataStream in(bytes);
    QPainterPath p;
    in >> p;
    return p;
}

QVector<El> elementsOf(const QPainterPath &p)
{
    QVector<El> v;
    for (int i = 0; i < p.elementCount(); ++i)
        v.append({int(p.elementAt(i).type), p.elementAt(i).x, p.elementAt(i).y});
    return v;
}

bool sameElements(const QPainterPath &a, const QPainterPath &b)
{
    if (a.elementCount() != b.elementCount())
        return false;
    for (int i = 0; i < a.elementCount(); ++i) {
        const QPainterPath::Element ea = a.elementAt(i);
        const QPainterPath::Element eb = b.elementAt(i);
        if (ea.type != eb.type || ea.x != eb.x || ea.y != eb.y)
            return false;
    }
    return true;
}

bool sameTypes(const QPainterPath &a, const QPainterPath &b)
{
    if (a.elementCount() != b.elementCount())
        return false;
    for (int i = 0; i < a.elementCount(); ++i) {
        if (a.elementAt(i).type != b.elementAt(i).type)
            return false;
    }
    return true;
}

// Only moves and whole cubics (curve-to followed by two data elements).
bool onlyMovesAndCubics(const QPainterPath &p)
{
    for (int i = 0; i < p.elementCount(); ++i) {
        switch (p.elementAt(i).type) {
        case QPainterPath::MoveToElement:
            break;
        case QPainterPath::CurveToElement:
            if (i + 2 >= p.elementCount() || p.elementAt(i + 1).type != QPainterPath::CurveToDataElement
                || p.elementAt(i + 2).type != QPainterPath::CurveToDataElement)
                return false;
            i += 2;
            break;
        default:
            return false;
        }
    }
    return true;
}

QImage rendered(const QPainterPath &p)
{
    QImage img(160, 160, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter painter(&img);
    painter.translate(30, 130);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawPath(p);
    return img;
}

// Deforms the current outline the way a SoftType does.
void deform(GlyphPath &path)
{
    for (int i = 0; i < path.current.elementCount(); ++i) {
        const QPainterPath::Element e = path.current.elementAt(i);
        path.current.setElementPositionAt(i, e.x + (i % 3) - 1, e.y + (i % 2) * 2);
    }
}

const QFont arial(QStringLiteral("Arial"), 72);

} // namespace

class TestGlyphPath : public QObject
{
    Q_OBJECT
private slots:
    void buildPlacesTheBaselineAtZero();
    void convertToCurvesKeepsShapeAndIsIdempotent_data();
    void convertToCurvesKeepsShapeAndIsIdempotent();
    void convertToCurvesTurnsALineIntoAStraightCubic();
    void convertToCurvesKeepsOverlongRunsAsCubicsWithoutAMessage();
    void flattenToLinesEndsACurveAtItsFirstControlPoint();
    void flattenToLinesKeepsAPolygon();
    void scaleHalvesRestAndDeformation();
    void emptyOutlineStaysEmpty();
    void outlinesOfDifferentLengthAreEachWalkedByTheirOwnCount();
    void degenerateSegmentsOfADeformedOutlineAreKept();
    void resetAndSetPaths();
};

void TestGlyphPath::buildPlacesTheBaselineAtZero()
{
    const GlyphPath x(QPointF(0, 0), arial, QStringLiteral("x"));
    const QRectF r = x.rest.boundingRect();
    const QFontMetricsF fm(arial);
    QVERIFY(qAbs(r.bottom()) < 1.0);
    QVERIFY2(qAbs(-r.top() - fm.xHeight()) < 2.0, qPrintable(QString::number(r.top())));
    QVERIFY(sameElements(x.rest, x.current));
}

void TestGlyphPath::convertToCurvesKeepsShapeAndIsIdempotent_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("curves") << "a";
    QTest::newRow("lines") << "1";
    QTest::newRow("holes") << "O";
    QTest::newRow("mixed") << "R";
}

void TestGlyphPath::convertToCurvesKeepsShapeAndIsIdempotent()
{
    QFETCH(QString, text);
    GlyphPath p(QPointF(0, 0), arial, text);
    const QImage before = rendered(p.current);
    p.convertToCurves();
    QVERIFY(onlyMovesAndCubics(p.rest));
    QVERIFY(sameElements(p.rest, p.current));
    QCOMPARE(rendered(p.current), before);

    const GlyphPath once = p;
    p.convertToCurves();
    QVERIFY(sameElements(p.rest, once.rest));
    QVERIFY(sameElements(p.current, once.current));

    // Deformed: the two outlines keep one list of element types.
    deform(p);
    p.convertToCurves();
    QVERIFY(sameTypes(p.rest, p.current));
    QVERIFY(onlyMovesAndCubics(p.current));
}

void TestGlyphPath::convertToCurvesTurnsALineIntoAStraightCubic()
{
    GlyphPath p;
    p.setPaths(pathOf({{0, 0, 0}, {1, 30, 0}, {1, 30, 60}}), pathOf({{0, 3, 3}, {1, 33, 3}, {1, 33, 63}}));
    p.convertToCurves();
    // L -> Q becomes cubic(L + 2(Q-L)/3, L + (Q-L)/3, Q).
    const QVector<El> rest = elementsOf(p.rest);
    QCOMPARE(rest.size(), 7);
    const El expected[] = {{0, 0, 0}, {2, 20, 0}, {3, 10, 0}, {3, 30, 0}, {2, 30, 40}, {3, 30, 20}, {3, 30, 60}};
    for (int i = 0; i < 7; ++i) {
        QCOMPARE(rest[i].type, expected[i].type);
        QCOMPARE(rest[i].x, expected[i].x);
        QCOMPARE(rest[i].y, expected[i].y);
    }
    QCOMPARE(p.current.elementAt(1).x, 23.0);
    QCOMPARE(p.current.elementAt(5).y, 23.0);
}

void TestGlyphPath::convertToCurvesKeepsOverlongRunsAsCubicsWithoutAMessage()
{
    ModalRecorder modal;
    GlyphPath p;
    // A curve-to followed by five data elements: six points, two cubics.
    const QPainterPath six = pathOf({{0, 0, 0}, {2, 1, 1}, {3, 2, 2}, {3, 3, 3}, {3, 4, 4}, {3, 5, 5}, {3, 6, 6}});
    QCOMPARE(six.elementCount(), 7);
    p.setPaths(six, six);
    p.convertToCurves();
    QVERIFY(modal.calls.isEmpty());
    QVERIFY(sameElements(p.rest, pathOf({{0, 0, 0}, {2, 1, 1}, {3, 2, 2}, {3, 3, 3}, {2, 4, 4}, {3, 5, 5}, {3, 6, 6}})));
    QVERIFY(sameElements(p.current, p.rest));

    // Four points: one cubic, the fourth point as a line from the third.
    const QPainterPath four = pathOf({{0, 0, 0}, {2, 3, 0}, {3, 6, 0}, {3, 9, 0}, {3, 9, 30}});
    p.setPaths(four, four);
    p.convertToCurves();
    QVERIFY(modal.calls.isEmpty());
    QVERIFY(sameElements(p.rest, pathOf({{0, 0, 0}, {2, 3, 0}, {3, 6, 0}, {3, 9, 0}, {2, 9, 20}, {3, 9, 10}, {3, 9, 30}})));
}

void TestGlyphPath::flattenToLinesEndsACurveAtItsFirstControlPoint()
{
    GlyphPath p;
    const QPainterPath curve = pathOf({{0, 0, 0}, {2, 10, 20}, {3, 30, 20}, {3, 40, 0}, {1, 0, 0}});
    p.setPaths(curve, curve);
    p.current.setElementPositionAt(1, 11, 21);
    p.flattenToLines();
    QVERIFY(sameElements(p.rest, pathOf({{0, 0, 0}, {1, 10, 20}, {1, 0, 0}})));
    QVERIFY(sameElements(p.current, pathOf({{0, 0, 0}, {1, 11, 21}, {1, 0, 0}})));
}

void TestGlyphPath::flattenToLinesKeepsAPolygon()
{
    GlyphPath p;
    const QPainterPath square = pathOf({{0, 0, 0}, {1, 10, 0}, {1, 10, 10}, {1, 0, 10}, {1, 0, 0}});
    p.setPaths(square, square);
    p.flattenToLines();
    QVERIFY(sameElements(p.rest, square));
    QVERIFY(sameElements(p.current, square));
}

void TestGlyphPath::scaleHalvesRestAndDeformation()
{
    GlyphPath p(QPointF(0, 0), arial, QStringLiteral("k"));
    deform(p);
    const GlyphPath before = p;
    p.scale(0.5f);
    QVERIFY(sameTypes(p.rest, before.rest));
    QVERIFY(sameTypes(p.current, before.current));
    for (int i = 0; i < p.rest.elementCount(); ++i) {
        QCOMPARE(p.rest.elementAt(i).x, before.rest.elementAt(i).x / 2);
        QCOMPARE(p.rest.elementAt(i).y, before.rest.elementAt(i).y / 2);
        // The deformation itself halves too.
        QCOMPARE(p.current.elementAt(i).x - p.rest.elementAt(i).x,
                 (before.current.elementAt(i).x - before.rest.elementAt(i).x) / 2);
        QCOMPARE(p.current.elementAt(i).y, before.current.elementAt(i).y / 2);
    }
}

void TestGlyphPath::emptyOutlineStaysEmpty()
{
    GlyphPath space(QPointF(0, 0), arial, QStringLiteral(" "));
    QVERIFY(space.rest.isEmpty());
    space.scale(2);
    space.flattenToLines();
    space.convertToCurves();
    QVERIFY(space.rest.isEmpty());
    QVERIFY(space.current.isEmpty());
    QCOMPARE(space.rest.elementCount(), space.current.elementCount());

    GlyphPath none;
    none.scale(2);
    none.flattenToLines();
    none.convertToCurves();
    QCOMPARE(none.rest.elementCount(), 0);
    QCOMPARE(none.current.elementCount(), 0);
}

void TestGlyphPath::outlinesOfDifferentLengthAreEachWalkedByTheirOwnCount()
{
    const QPainterPath longer = pathOf({{0, 0, 0}, {1, 10, 0}, {1, 10, 10}, {1, 0, 0}});
    const QPainterPath shorter = pathOf({{0, 2, 2}, {1, 12, 2}});

    GlyphPath p;
    p.setPaths(longer, shorter);
    p.scale(2);
    QVERIFY(sameElements(p.rest, pathOf({{0, 0, 0}, {1, 20, 0}, {1, 20, 20}, {1, 0, 0}})));
    QVERIFY(sameElements(p.current, pathOf({{0, 4, 4}, {1, 24, 4}})));

    p.setPaths(shorter, longer);
    p.scale(2);
    QVERIFY(sameElements(p.current, pathOf({{0, 0, 0}, {1, 20, 0}, {1, 20, 20}, {1, 0, 0}})));

    p.setPaths(longer, QPainterPath());
    p.flattenToLines();
    QVERIFY(sameElements(p.rest, longer));
    QCOMPARE(p.current.elementCount(), 0);
    p.convertToCurves();
    QCOMPARE(p.rest.elementCount(), 10);
    QCOMPARE(p.current.elementCount(), 0);

    p.setPaths(shorter, longer);
    p.convertToCurves();
    QCOMPARE(p.rest.elementCount(), 4);
    QCOMPARE(p.current.elementCount(), 10);
}

void TestGlyphPath::degenerateSegmentsOfADeformedOutlineAreKept()
{
    // A deformation can pull a point onto the one before it, or make it
    // not finite; converting must still keep both outlines element for
    // element alike.
    GlyphPath p(QPointF(0, 0), arial, QStringLiteral("H"));
    p.current.setElementPositionAt(1, p.current.elementAt(0).x, p.current.elementAt(0).y);
    p.current.setElementPositionAt(3, qQNaN(), 0);
    p.convertToCurves();
    QVERIFY(sameTypes(p.rest, p.current));
    QVERIFY(qIsNaN(p.current.elementAt(9).x));

    GlyphPath q(QPointF(0, 0), arial, QStringLiteral("o"));
    q.current.setElementPositionAt(1, q.current.elementAt(0).x, q.current.elementAt(0).y);
    q.flattenToLines();
    QVERIFY(sameTypes(q.rest, q.current));
    QCOMPARE(q.current.elementAt(1).x, q.current.elementAt(0).x);
}

void TestGlyphPath::resetAndSetPaths()
{
    GlyphPath p(QPointF(0, 0), arial, QStringLiteral("v"));
    const QPainterPath rest = p.rest;
    deform(p);
    QVERIFY(!sameElements(p.rest, p.current));
    p.resetCurrent();
    QVERIFY(sameElements(p.current, rest));
}

QTEST_MAIN(TestGlyphPath)
#include "tst_glyphpath.moc"
