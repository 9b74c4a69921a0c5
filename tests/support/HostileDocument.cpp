#include "support/HostileDocument.h"

#include <QDataStream>
#include <QPointF>

namespace {

// The records the shapes repeat, written field by field at stream version
// Qt 4.6, big-endian, each as short as the reader takes it.
class Writer
{
public:
    explicit Writer(QByteArray &bytes) : m_out(&bytes, QIODevice::WriteOnly)
    {
        m_out.setVersion(QDataStream::Qt_4_6);
    }

    QDataStream &out() { return m_out; }

    void item() { m_out << QPointF(0, 0) << true << 0.0 << 0.0 << false; }
    void color() { m_out << qint8(1) << quint16(0xffff) << quint16(0) << quint16(0) << quint16(0) << quint16(0); }
    // A font without a family: a point size and Qt's defaults.
    void font()
    {
        m_out << QString() << 12.0 << qint32(-1) << quint8(5) << quint8(1) << quint8(0) << quint8(50) << quint8(0)
              << quint16(0) << quint8(1) << qint32(0) << qint32(0);
    }
    // A glyph record with empty outlines and softTypes SoftTypes to follow.
    void glyph(QChar c, qint32 softTypes)
    {
        item();
        font();
        m_out << c;
        color();
        color();
        m_out << 1.0 << qint32(0) << qint32(0) << false << softTypes;
    }
    // A group record whose count children follow.
    void group(qint32 count)
    {
        item();
        m_out << count;
    }

    void bodyStart()
    {
        m_out << qint32(0x00564F52) << qint32(100);
        m_out << qint32(800) << qint32(600) << qint32(800) << qint32(600) << qint16(72);
        color();
        m_out << true << qint32(0);
    }
    void bodyEnd()
    {
        for (int i = 0; i < 3; ++i)
            m_out << false << qint32(-1);
        m_out << QPointF(0, 0);
        color();
        font();
        color();
        color();
        m_out << 1.0 << qint16(10);
        color();
        m_out << qint32(0) << QString() << QString();
    }

private:
    QDataStream m_out;
};

} // namespace

QString HostileDocument::name(Shape shape)
{
    switch (shape) {
    case ManySoftTypes:
        return QStringLiteral("SoftTypes on one glyph");
    case ManyOwnProperties:
        return QStringLiteral("SoftTypes with a property of their own");
    case ManyProperties:
        return QStringLiteral("properties on one SoftType");
    case ManyPassages:
        return QStringLiteral("passages");
    case ManyWords:
        return QStringLiteral("words in one passage");
    default:
        return QStringLiteral("glyphs in one word");
    }
}

QByteArray HostileDocument::build(Shape shape, int count)
{
    QByteArray bytes;
    Writer w(bytes);
    QDataStream &out = w.out();
    w.bodyStart();
    switch (shape) {
    case ManySoftTypes:
    case ManyOwnProperties:
    case ManyProperties:
        w.group(1);
        out << qint8(1);
        w.group(1);
        out << qint8(1);
        w.group(1);
        out << qint8(2);
        if (shape != ManyProperties) {
            w.glyph(QLatin1Char('a'), count);
            for (int i = 0; i < count; ++i) {
                out << QStringLiteral("pull") << qint32(shape == ManySoftTypes ? 0 : 1);
                if (shape == ManyOwnProperties)
                    out << QStringLiteral("a") << qint32(QMetaType::Bool) << qint8(0) << true;
            }
        } else {
            w.glyph(QLatin1Char('a'), 1);
            out << QStringLiteral("pull") << qint32(count);
            for (int i = 0; i < count; ++i) {
                // Two code units outside the surrogates: a million names.
                const QChar name[2] = {QChar(ushort(0x100 + (i >> 15))), QChar(ushort(0x100 + (i & 0x7fff)))};
                out << QString(name, 2) << qint32(QMetaType::Bool) << qint8(0) << true;
            }
        }
        break;
    case ManyPassages:
        w.group(count);
        for (int i = 0; i < count; ++i) {
            out << qint8(1);
            w.group(1);
            out << qint8(2);
            w.glyph(QLatin1Char(' '), 0);
        }
        break;
    case ManyWords:
    case ManyGlyphs:
        w.group(1);
        out << qint8(1);
        w.group(shape == ManyWords ? count : 1);
        for (int i = 0; i < (shape == ManyWords ? count : 1); ++i) {
            out << qint8(1);
            w.group(shape == ManyWords ? 1 : count);
            for (int j = 0; j < (shape == ManyWords ? 1 : count); ++j) {
                out << qint8(2);
                w.glyph(QLatin1Char('a'), 0);
            }
        }
        break;
    default:
        break;
    }
    w.bodyEnd();
    return bytes;
}
