#include "stream/DocumentBytes.h"

#include <cstring>

DocumentBytes &DocumentBytes::i8(int v)
{
    data.append(char(v & 0xff));
    return *this;
}

DocumentBytes &DocumentBytes::i16(int v)
{
    return i8(v >> 8).i8(v);
}

DocumentBytes &DocumentBytes::u16(int v)
{
    return i16(v);
}

DocumentBytes &DocumentBytes::i32(qint64 v)
{
    return i8(int(v >> 24)).i8(int(v >> 16)).i8(int(v >> 8)).i8(int(v));
}

DocumentBytes &DocumentBytes::f64(double v)
{
    quint64 bits;
    std::memcpy(&bits, &v, sizeof bits);
    return i32(qint64(bits >> 32)).i32(qint64(bits & 0xffffffffu));
}

DocumentBytes &DocumentBytes::string(const QString &s)
{
    if (s.isNull())
        return i32(0xffffffff);
    i32(2 * s.size());
    for (const QChar c : s)
        u16(c.unicode());
    return *this;
}

DocumentBytes &DocumentBytes::rgba(int r, int g, int b, int a)
{
    return i8(1).u16(a * 0x101).u16(r * 0x101).u16(g * 0x101).u16(b * 0x101).u16(0);
}

DocumentBytes &DocumentBytes::invalidColor()
{
    // QColor() is spec 0 with an opaque alpha and zero channels.
    return i8(0).u16(0xffff).u16(0).u16(0).u16(0).u16(0);
}

DocumentBytes &DocumentBytes::font(const QString &family, double points)
{
    // Family, point size, pixel size -1, style hint AnyStyle, strategy
    // PreferDefault, 0, weight Normal, bits (kerning), stretch 0, extended
    // bits (ignore pitch), letter and word spacing 0.
    return string(family).f64(points).i32(-1).i8(5).i8(1).i8(0).i8(50).i8(0x10).u16(0).i8(1).i32(0).i32(0);
}

DocumentBytes &DocumentBytes::path(const QVector<Element> &elements, int fillRule)
{
    i32(elements.size());
    if (elements.isEmpty())
        return *this;
    int lastMove = 0;
    for (int i = 0; i < elements.size(); ++i) {
        const Element &e = elements.at(i);
        i32(e.type).f64(e.x).f64(e.y);
        if (e.type == 0)
            lastMove = i;
    }
    return i32(lastMove).i32(fillRule);
}

DocumentBytes &DocumentBytes::item(double x, double y, bool visible, double rotation, double z, bool selected)
{
    return point(x, y).boolean(visible).f64(rotation).f64(z).boolean(selected);
}

DocumentBytes &DocumentBytes::pointerPair(const QVector<int> &path, int index)
{
    boolean(true).i32(path.size());
    for (int i : path)
        i32(i);
    return i32(index);
}

DocumentBytes &DocumentBytes::stringProperty(const QString &name, const QString &value)
{
    return string(name).i32(10).i8(0).string(value);
}

DocumentBytes &DocumentBytes::boolProperty(const QString &name, bool value)
{
    return string(name).i32(1).i8(0).boolean(value);
}

DocumentBytes &DocumentBytes::intProperty(const QString &name, int value)
{
    return string(name).i32(2).i8(0).i32(value);
}

DocumentBytes &DocumentBytes::doubleProperty(const QString &name, double value)
{
    return string(name).i32(6).i8(0).f64(value);
}

DocumentBytes &DocumentBytes::bytes(const QByteArray &raw)
{
    data.append(raw);
    return *this;
}

DocumentBytes &DocumentBytes::header(int version)
{
    return i32(0x00564F52).i32(version);
}
