#include "stream/DocumentBytes.h"

#include <cstring>

DocumentBytes &DocumentBytes::i8(int v)
{
    data.append(char(v & 0xff));
    return *this;
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

DocumentBytes &DocumentBytes::path(const QVector<Element> &elements, int fillRule)
{
    i32(elements.size());
    if (elements.isEmpty())
        return *this;
    int lastMove = 0;
    for (int i = 0; i < elements.size(); ++i) {
        i32(elements.at(i).type).f64(elements.at(i).x).f64(elements.at(i).y);
        if (elements.at(i).type == 0)
            lastMove = i;
    }
    return i32(lastMove).i32(fillRule);
}

DocumentBytes &DocumentBytes::pointerPair(const QVector<int> &path, int index)
{
    boolean(true).i32(path.size());
    for (int i : path)
        i32(i);
    return i32(index);
}
