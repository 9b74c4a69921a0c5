#include "model/StreamReader.h"

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVariant>
#include <QtEndian>
#include <cstring>
#include <limits>

namespace {

constexpr quint32 NullString = 0xffffffff;

// The colour specs of the stream format: invalid, RGB, HSV, CMYK and HSL.
bool isStoredSpec(qint8 spec)
{
    return spec >= QColor::Invalid && spec <= QColor::Hsl;
}

bool isFinitePoint(const QPointF &p)
{
    return qIsFinite(p.x()) && qIsFinite(p.y());
}

// Raw values in the stream's byte order.
class RawDecoder
{
public:
    explicit RawDecoder(QDataStream::ByteOrder order) : m_big(order == QDataStream::BigEndian) {}

    qint32 int32(const char *p) const { return m_big ? qFromBigEndian<qint32>(p) : qFromLittleEndian<qint32>(p); }
    quint32 uint32(const char *p) const { return quint32(int32(p)); }
    double float64(const char *p) const
    {
        const quint64 bits = m_big ? qFromBigEndian<quint64>(p) : qFromLittleEndian<quint64>(p);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    float float32(const char *p) const
    {
        const quint32 bits = uint32(p);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }

private:
    bool m_big;
};

// Whether the raw elements of an outline (type, x, y each) are well formed:
// types 0..3, points at outline coordinates, a leading move-to, exactly two curve data after
// each curve-to and nowhere else; then the subpath start and the fill rule.
bool isWellFormedPath(const char *p, qint32 count, int doubleBytes, const RawDecoder &raw)
{
    const int elementBytes = 4 + 2 * doubleBytes;
    int pendingData = 0;
    for (qint32 i = 0; i < count; ++i, p += elementBytes) {
        const qint32 type = raw.int32(p);
        const double x = doubleBytes == 8 ? raw.float64(p + 4) : raw.float32(p + 4);
        const double y = doubleBytes == 8 ? raw.float64(p + 4 + doubleBytes) : raw.float32(p + 4 + doubleBytes);
        if (!StreamReader::isOutlineCoordinate(x) || !StreamReader::isOutlineCoordinate(y))
            return false;
        if (pendingData > 0) {
            if (type != QPainterPath::CurveToDataElement)
                return false;
            --pendingData;
            continue;
        }
        switch (type) {
        case QPainterPath::MoveToElement:
            break;
        case QPainterPath::LineToElement:
            if (i == 0)
                return false;
            break;
        case QPainterPath::CurveToElement:
            if (i == 0)
                return false;
            pendingData = 2;
            break;
        default:
            return false;
        }
    }
    const qint32 subpathStart = raw.int32(p);
    const qint32 fillRule = raw.int32(p + 4);
    return pendingData == 0 && subpathStart >= 0 && subpathStart < count
           && (fillRule == Qt::OddEvenFill || fillRule == Qt::WindingFill);
}

} // namespace

StreamReader::StreamReader(QDataStream &in)
    : m_in(in), m_scratchDevice(&m_scratch), m_scratchStream(&m_scratchDevice)
{
    if (QIODevice *d = in.device()) {
        m_sequential = d->isSequential();
        m_end = m_sequential ? 0 : d->pos() + d->bytesAvailable();
    }
    m_scratchDevice.open(QIODevice::ReadOnly);
    m_scratchStream.setVersion(in.version());
    m_scratchStream.setByteOrder(in.byteOrder());
    m_scratchStream.setFloatingPointPrecision(in.floatingPointPrecision());
}

bool StreamReader::fail()
{
    m_in.setStatus(QDataStream::ReadCorruptData);
    return false;
}

qint64 StreamReader::bytesLeft() const
{
    const QIODevice *d = m_in.device();
    if (!d)
        return 0;
    return m_sequential ? d->bytesAvailable() : m_end - d->pos();
}

bool StreamReader::fits(qint64 count, qint64 itemBytes)
{
    if (!ok())
        return false;
    if (count < 0 || count > bytesLeft() / qMax<qint64>(1, itemBytes))
        return fail();
    return true;
}

bool StreamReader::readRaw(QByteArray &bytes, qint64 size)
{
    if (!fits(size, 1))
        return false;
    if (size > std::numeric_limits<int>::max() - bytes.size())
        return fail();
    const int offset = bytes.size();
    bytes.resize(offset + int(size));
    if (m_in.readRawData(bytes.data() + offset, int(size)) != size) {
        m_in.setStatus(QDataStream::ReadPastEnd);
        return false;
    }
    return true;
}

bool StreamReader::readFinite(double &value)
{
    m_in >> value;
    return ok() && (qIsFinite(value) || fail());
}

bool StreamReader::readPoint(QPointF &point)
{
    double x = 0;
    double y = 0;
    if (!readFinite(x) || !readFinite(y))
        return false;
    point = QPointF(x, y);
    return true;
}

bool StreamReader::readFloat(float &value)
{
    double d = 0;
    if (!readFinite(d))
        return false;
    if (qAbs(d) > double(std::numeric_limits<float>::max()))
        return fail();
    value = float(d);
    return true;
}

bool StreamReader::readString(QString &text)
{
    quint32 bytes = 0;
    if (!read(bytes))
        return false;
    if (bytes == NullString) {
        text = QString();
        return true;
    }
    if (bytes % 2 != 0 || !fits(bytes, 1))
        return fail();
    if (bytes == 0) {
        text = QString(QLatin1String(""));
        return true;
    }
    const int length = int(bytes / 2);
    text.resize(length);
    ushort *units = reinterpret_cast<ushort *>(text.data());
    if (m_in.readRawData(reinterpret_cast<char *>(units), int(bytes)) != int(bytes)) {
        m_in.setStatus(QDataStream::ReadPastEnd);
        return false;
    }
    if (m_in.byteOrder() == QDataStream::BigEndian)
        qFromBigEndian<ushort>(units, length, units);
    else
        qFromLittleEndian<ushort>(units, length, units);
    return true;
}

bool StreamReader::peek(int count, QByteArray &head)
{
    QIODevice *d = m_in.device();
    head = d ? d->peek(count) : QByteArray();
    if (!ok())
        return false;
    if (head.size() < count) {
        m_in.setStatus(QDataStream::ReadPastEnd);
        return false;
    }
    return true;
}

bool StreamReader::readColor(QColor &color)
{
    // Qt's colour reader keeps whatever spec byte it finds, even one that is
    // no colour spec at all: check it before Qt reads it.
    QByteArray head;
    if (!peek(1, head))
        return false;
    if (!isStoredSpec(qint8(head.at(0))))
        return fail();
    m_in >> color;
    return ok();
}

bool StreamReader::readFont(QFont &font)
{
    // Qt's font reader trusts the length of the family name: check it
    // before Qt reads it.
    QByteArray head;
    if (!peek(4, head))
        return false;
    const quint32 familyBytes = RawDecoder(m_in.byteOrder()).uint32(head.constData());
    if (familyBytes != NullString && (familyBytes % 2 != 0 || familyBytes > quint64(bytesLeft() - 4)))
        return fail();
    m_in >> font;
    if (!ok())
        return false;
    const double points = font.pointSizeF();
    return (qIsFinite(points) && (points > 0 || font.pixelSize() > 0)) || fail();
}

bool StreamReader::readPath(QPainterPath &path)
{
    qint32 count = 0;
    if (!read(count))
        return false;
    if (count == 0) {
        // Qt writes an empty outline as its count alone.
        path = QPainterPath();
        return true;
    }
    const int doubleBytes = m_in.floatingPointPrecision() == QDataStream::SinglePrecision ? 4 : 8;
    const qint64 elementBytes = 4 + 2 * doubleBytes;
    if (count < 0)
        return fail();
    // Qt's reader trusts the count, empties an outline holding a point that
    // is not an outline coordinate and takes any type; so the bytes are checked first and Qt
    // then parses checked bytes, appending every element as stored.
    m_scratch.resize(4);
    if (m_in.byteOrder() == QDataStream::BigEndian)
        qToBigEndian<qint32>(count, m_scratch.data());
    else
        qToLittleEndian<qint32>(count, m_scratch.data());
    if (!readRaw(m_scratch, count * elementBytes + 8))
        return false;
    if (!isWellFormedPath(m_scratch.constData() + 4, count, doubleBytes, RawDecoder(m_in.byteOrder())))
        return fail();
    m_scratchDevice.seek(0);
    m_scratchStream.resetStatus();
    path = QPainterPath();
    m_scratchStream >> path;
    return m_scratchStream.status() == QDataStream::Ok || fail();
}

bool StreamReader::readIndexPath(QList<int> &path, int maxEntries)
{
    quint32 count = 0;
    if (!read(count))
        return false;
    if (count > quint32(maxEntries))
        return fail();
    path.clear();
    for (quint32 i = 0; i < count; ++i) {
        qint32 index = 0;
        if (!read(index))
            return false;
        path.append(index);
    }
    return true;
}

namespace {

template<typename T>
bool loadInto(QDataStream &in, QVariant &value)
{
    T t;
    in >> t;
    value = QVariant::fromValue(t);
    return in.status() == QDataStream::Ok;
}

} // namespace

bool StreamReader::readVariant(QVariant &value)
{
    quint32 type = 0;
    qint8 isNull = 0;
    if (!read(type) || !read(isNull))
        return false;
    switch (type) {
    case QMetaType::UnknownType: {
        // An invalid variant is followed by a null string at this version.
        QString ignored;
        value = QVariant();
        return readString(ignored);
    }
    case QMetaType::QString: {
        QString text;
        if (!readString(text))
            return false;
        value = text;
        return true;
    }
    case QMetaType::Bool:
        return loadInto<bool>(m_in, value);
    case QMetaType::Int:
        return loadInto<qint32>(m_in, value);
    case QMetaType::QChar:
        return loadInto<QChar>(m_in, value);
    case QMetaType::QPoint:
        return loadInto<QPoint>(m_in, value);
    case QMetaType::QSize:
        return loadInto<QSize>(m_in, value);
    case QMetaType::QRect:
        return loadInto<QRect>(m_in, value);
    case QMetaType::Double: {
        double d = 0;
        if (!readFinite(d))
            return false;
        value = d;
        return true;
    }
    case QMetaType::QPointF:
        return loadInto<QPointF>(m_in, value) && (isFinitePoint(value.toPointF()) || fail());
    case QMetaType::QSizeF: {
        const bool loaded = loadInto<QSizeF>(m_in, value);
        const QSizeF s = value.toSizeF();
        return loaded && ((qIsFinite(s.width()) && qIsFinite(s.height())) || fail());
    }
    case QMetaType::QRectF: {
        const bool loaded = loadInto<QRectF>(m_in, value);
        const QRectF r = value.toRectF();
        return loaded && ((isFinitePoint(r.topLeft()) && isFinitePoint(QPointF(r.width(), r.height()))) || fail());
    }
    case QMetaType::QColor: {
        QColor color;
        if (!readColor(color))
            return false;
        value = color;
        return true;
    }
    default:
        return fail();
    }
}
