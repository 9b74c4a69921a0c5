#include "support/HostileDocument.h"

#include <QDataStream>
#include <QPointF>

namespace {

// The records the shapes repeat, written field by field at stream version Qt 4.6, big-endian, each as short as the
// reader takes it: a colour, and a font without a family (a point size and Qt's defaults).
struct Colour {};
struct Font {};

QDataStream &operator<<(QDataStream &out, Colour)
{
    return out << qint8(1) << quint16(0xffff) << quint16(0) << quint16(0) << quint16(0) << quint16(0);
}

QDataStream &operator<<(QDataStream &out, Font)
{
    return out << QString() << 12.0 << qint32(-1) << quint8(5) << quint8(1) << quint8(0) << quint8(50) << quint8(0)
               << quint16(0) << quint8(1) << qint32(0) << qint32(0);
}

// An item record, tagged as a group (1) whose count children follow (a tag of 0: the root group, untagged), or as a
// glyph (2) with empty outlines and softTypes SoftTypes to follow.
void group(QDataStream &out, qint32 count, qint8 tag = 1)
{
    if (tag)
        out << tag;
    out << QPointF(0, 0) << true << 0.0 << 0.0 << false << count;
}

void glyph(QDataStream &out, QChar c, qint32 softTypes)
{
    out << qint8(2) << QPointF(0, 0) << true << 0.0 << 0.0 << false << Font() << c << Colour() << Colour() << 1.0
        << qint32(0) << qint32(0) << false << softTypes;
}

} // namespace

QString HostileDocument::name(Shape shape)
{
    static const char *names[] = {"SoftTypes on one glyph", "SoftTypes with a property of their own", "properties on one SoftType",
                                  "passages", "words in one passage", "glyphs in one word", "textpad line"};
    return QString::fromLatin1(names[unsigned(shape) < LongTextpadLine ? shape : LongTextpadLine]);
}

QByteArray HostileDocument::build(Shape shape, int count)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_4_6);
    out << qint32(0x00564F52) << qint32(100) << qint32(800) << qint32(600) << qint32(800) << qint32(600) << qint16(72)
        << Colour() << true << qint32(0);
    const bool many = shape == ManySoftTypes || shape == ManyOwnProperties;
    if (many || shape == ManyProperties) {
        for (const qint8 tag : {0, 1, 1})
            group(out, 1, tag);
        glyph(out, QLatin1Char('a'), many ? count : 1);
        if (shape == ManyProperties)
            out << QStringLiteral("pull") << qint32(count);
        for (int i = 0; i < count; ++i) {
            if (many)
                out << QStringLiteral("pull") << qint32(shape == ManySoftTypes ? 0 : 1);
            // Two code units outside the surrogates: a million names.
            const QChar name[2] = {QChar(ushort(0x100 + (i >> 15))), QChar(ushort(0x100 + (i & 0x7fff)))};
            if (shape != ManySoftTypes)
                out << (many ? QStringLiteral("a") : QString(name, 2)) << qint32(QMetaType::Bool) << qint8(0) << true;
        }
    } else if (shape == ManyPassages) {
        group(out, count, 0);
        for (int i = 0; i < count; ++i) {
            group(out, 1);
            glyph(out, QLatin1Char(' '), 0);
        }
    } else if (shape == LongTextpadLine) {
        group(out, 0, 0);
    } else if (shape == ManyWords || shape == ManyGlyphs) {
        const bool words = shape == ManyWords;
        group(out, 1, 0);
        group(out, words ? count : 1);
        for (int i = 0; i < (words ? count : 1); ++i) {
            group(out, words ? 1 : count);
            for (int j = 0; j < (words ? 1 : count); ++j)
                glyph(out, QLatin1Char('a'), 0);
        }
    }
    for (int i = 0; i < 3; ++i)
        out << false << qint32(-1);
    QString textpad;
    if (shape == LongTextpadLine) {
        textpad.resize(count);
        for (int i = 0; i < count; ++i)
            textpad[i] = QLatin1Char('a' + i % 26);
    }
    out << QPointF(0, 0) << Colour() << Font() << Colour() << Colour() << 1.0 << qint16(10) << Colour() << qint32(0)
        << textpad << QString();
    return bytes;
}
