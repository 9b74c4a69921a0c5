#ifndef DOCUMENTBYTES_H
#define DOCUMENTBYTES_H

#include <QByteArray>
#include <QPointF>
#include <QString>
#include <QVector>

// Assembles document bytes by hand, value by value, big-endian, in the
// formats of a data stream at version Qt 4.6.
class DocumentBytes
{
public:
    // One outline element: type (0 move, 1 line, 2 curve, 3 curve data).
    struct Element
    {
        int type;
        double x;
        double y;
    };

    QByteArray data;

    DocumentBytes &i8(int v);
    DocumentBytes &i16(int v);
    DocumentBytes &u16(int v);
    DocumentBytes &i32(qint64 v);
    DocumentBytes &f64(double v);
    DocumentBytes &boolean(bool v) { return i8(v ? 1 : 0); }
    DocumentBytes &point(double x, double y) { return f64(x).f64(y); }
    // Length in bytes and UTF-16BE; a null string is length 0xffffffff.
    DocumentBytes &string(const QString &s);
    // Spec 1 (RGB) with 8-bit channels widened to 16 bits.
    DocumentBytes &rgba(int r, int g, int b, int a = 255);
    DocumentBytes &invalidColor();
    // A font as Qt 5 writes one made from a family and a point size.
    DocumentBytes &font(const QString &family, double points);
    // Elements, then the last move-to's index and the fill rule; no
    // elements is the count 0 alone.
    DocumentBytes &path(const QVector<Element> &elements, int fillRule = 0);
    // The common record of a group or glyph.
    DocumentBytes &item(double x, double y, bool visible = true, double rotation = 0, double z = 0,
                        bool selected = false);
    // A text position pair: an index path (child index first) and the index.
    DocumentBytes &pointerPair(const QVector<int> &path, int index);
    DocumentBytes &absentPair(int index) { return boolean(false).i32(index); }
    // A SoftType property: its name, then its value as a variant (type,
    // null flag, value).
    DocumentBytes &stringProperty(const QString &name, const QString &value);
    DocumentBytes &boolProperty(const QString &name, bool value);
    DocumentBytes &intProperty(const QString &name, int value);
    DocumentBytes &doubleProperty(const QString &name, double value);
    DocumentBytes &bytes(const QByteArray &raw);
    DocumentBytes &bytes(const DocumentBytes &other) { return bytes(other.data); }
    DocumentBytes &header(int version = 100);
};

#endif // DOCUMENTBYTES_H
