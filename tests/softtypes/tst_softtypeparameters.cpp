#include "propertybrowser/QtVariantPropertyManager.h"
#include "softtypes/SoftTypePulse.h"
#include "support/SoftTypeStage.h"

#include <QDataStream>
#include <QRandomGenerator>
#include <QtTest>

// A SoftType keeps its parameters without properties until something shows
// them. Whatever it is given, it must hold exactly what it would hold had
// its properties existed all along.
class TestSoftTypeParameters : public QObject
{
    Q_OBJECT
private slots:
    void keptValuesAreWhatPropertiesTake();
};

namespace {

QByteArray record(const SoftType &s)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_4_6);
    out << s;
    return bytes;
}

} // namespace

void TestSoftTypeParameters::keptValuesAreWhatPropertiesTake()
{
    // Two Pulses in play, one shown from the start, one only half way: a
    // seeded run of values of every kind set by name, with the frames that
    // write "time", must leave both with the same record, byte for byte.
    const QVector<QPointF> square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    SoftTypeStage shownStage(square);
    SoftTypeStage keptStage(square);
    SoftType *shown = shownStage.add(new SoftTypePulse(QStringLiteral("p")));
    SoftType *kept = keptStage.add(new SoftTypePulse(QStringLiteral("p")));
    shown->propertyManager();
    const QStringList names = {"name", "enabled", "trigger", "radius", "toggle key", "phase", "time", "a", "b"};
    const QVariantList values = {true, 0, -7, 3, 70000, 4.75, -1e300, qQNaN(), QStringLiteral("12"), QString(), QString(QLatin1String("")),
                                 QStringLiteral("x"), QColor(1, 2, 3, 4), QPointF(1.5, -2), QPoint(3, 4),
                                 QByteArray("5"), QVariant(), QSizeF(1, 2), QChar('9')};
    const int types[] = {QVariant::Bool, QVariant::Int, QVariant::Double, QVariant::String, QVariant::Color,
                         QVariant::PointF, QVariant::Size, QtVariantPropertyManager::enumTypeId()};
    QRandomGenerator random(20261207);
    for (int i = 0; i < 3000; ++i) {
        if (i == 1500)
            QVERIFY(kept->property(QStringLiteral("time")));
        if (random.bounded(4) == 0) {
            const QPointF mouse(random.bounded(20), random.bounded(20));
            shownStage.frame(mouse);
            keptStage.frame(mouse);
        } else {
            const QString name = names.at(random.bounded(names.size()));
            const QVariant value = values.at(random.bounded(values.size()));
            const int type = types[random.bounded(8)];
            QCOMPARE(kept->addOrSetValue(type, name, value), bool(shown->addOrSetProperty(type, name, value)));
        }
        QCOMPARE(record(*kept), record(*shown));
        QCOMPARE(keptStage.at(2), shownStage.at(2));
    }
    QCOMPARE(kept->propertyManager()->properties().size(), shown->propertyManager()->properties().size());
}

QTEST_MAIN(TestSoftTypeParameters)
#include "tst_softtypeparameters.moc"
