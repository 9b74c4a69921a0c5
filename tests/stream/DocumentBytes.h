#ifndef DOCUMENTBYTES_H
#define DOCUMENTBYTES_H

#include <QByteArray>
#include <QPointF>
#include <QString>
#include <QVector>

// Assembles document bytes by hand, value by value, big-endian, in the formats of a data stream at version Qt 4.6.
class DocumentBytes
{
public:
    // One outline element: type (0 move, 1 line, 2 curve, 3 curve data).
    struct Element { int type; double x; double y; };

    QByteArray data;

    DocumentBytes &i8(int v);
    DocumentBytes &i16(int v) { return i8(v >> 8).i8(v); }
    DocumentBytes &u16(int v) { return i16(v); }
    DocumentBytes &i32(qint64 v) { return i8(int(v >> 24)).i8(int(v >> 16)).i8(int(v >> 8)).i8(int(v)); }
    DocumentBytes &f64(double v);
    DocumentBytes &boolean(bool v) { return i8(v ? 1 : 0); }
    DocumentBytes &point(double x, double y) { return f64(x).f64(y); }
    // Length in bytes and UTF-16BE; a null string is length 0xffffffff.
    DocumentBytes &string(const QString &s);
    // Spec 1 (RGB) with 8-bit channels widened to 16 bits; QColor() is spec 0, opaque, zero channels.
    DocumentBytes &rgba(int r, int g, int b, int a = 255) { return i8(1).u16(a * 0x101).u16(r * 0x101).u16(g * 0x101).u16(b * 0x101).u16(0); }
    DocumentBytes &invalidColor() { return i8(0).u16(0xffff).u16(0).u16(0).u16(0).u16(0); }
    // A font as Qt 5 writes one made from a family and a point size: pixel size -1, style hint AnyStyle, strategy
    // PreferDefault, 0, weight Normal, bits (kerning), stretch 0, extended bits (ignore pitch), spacings 0.
    DocumentBytes &font(const QString &family, double points)
    {
        return string(family).f64(points).i32(-1).i8(5).i8(1).i8(0).i8(50).i8(0x10).u16(0).i8(1).i32(0).i32(0);
    }
    // Elements, then the last move-to's index and the fill rule; no elements is the count 0 alone.
    DocumentBytes &path(const QVector<Element> &elements, int fillRule = 0);
    // The common record of a group or glyph.
    DocumentBytes &item(double x, double y, bool visible = true, double rotation = 0, double z = 0, bool selected = false)
    {
        return point(x, y).boolean(visible).f64(rotation).f64(z).boolean(selected);
    }
    // A text position pair: an index path (child index first) and the index.
    DocumentBytes &pointerPair(const QVector<int> &path, int index);
    DocumentBytes &absentPair(int index) { return boolean(false).i32(index); }
    // A SoftType property: its name, then its value as a variant (type, null flag, value).
    DocumentBytes &stringProperty(const QString &name, const QString &value) { return string(name).i32(10).i8(0).string(value); }
    DocumentBytes &boolProperty(const QString &name, bool value) { return string(name).i32(1).i8(0).boolean(value); }
    DocumentBytes &intProperty(const QString &name, int value) { return string(name).i32(2).i8(0).i32(value); }
    DocumentBytes &doubleProperty(const QString &name, double value) { return string(name).i32(6).i8(0).f64(value); }
    DocumentBytes &bytes(const QByteArray &raw)
    {
        data.append(raw);
        return *this;
    }
    DocumentBytes &bytes(const DocumentBytes &other) { return bytes(other.data); }
    DocumentBytes &header(int version = 100) { return i32(0x00564F52).i32(version); }
};

#endif // DOCUMENTBYTES_H
