#ifndef STREAMREADER_H
#define STREAMREADER_H

#include <QBuffer>
#include <QByteArray>
#include <QDataStream>

class QColor;
class QFont;
class QPainterPath;
class QPointF;
class QString;
class QVariant;

// Reads values of untrusted input from a data stream. Every count and
// length is checked against the bytes the stream still holds before
// anything is allocated for it, every double must be finite, and a value
// outside what the format allows marks the stream as corrupt. Each read
// returns whether the stream is still sound; once it is not, the reads
// that follow yield nothing.
class StreamReader
{
public:
    explicit StreamReader(QDataStream &in);

    bool ok() const { return m_in.status() == QDataStream::Ok; }
    // Marks the stream as corrupt; always false.
    bool fail();
    // The next count bytes without consuming them; fails (read past end)
    // when fewer are left.
    bool peek(int count, QByteArray &head);
    qint64 bytesLeft() const;
    bool atEnd() const { return bytesLeft() == 0; }

    // Whether count items of at least itemBytes each fit in what is left;
    // when they do not, the stream fails.
    bool fits(qint64 count, qint64 itemBytes);

    // Plain values, through Qt's own readers.
    template<typename T>
    bool read(T &value)
    {
        m_in >> value;
        return ok();
    }

    // Whether an outline point may hold the coordinate: Qt's outline
    // reader drops a whole outline holding a coordinate that is not finite
    // or not below 1e128 in magnitude.
    static bool isOutlineCoordinate(double c) { return qIsFinite(c) && qAbs(c) < 1e128; }

    bool readFinite(double &value);
    bool readPoint(QPointF &point);
    // A double that a float can hold.
    bool readFloat(float &value);
    bool readString(QString &text);
    bool readColor(QColor &color);
    // A font with a finite, positive size.
    bool readFont(QFont &font);
    // Elements of type 0..3 at outline coordinates, a leading move-to and two
    // curve data after every curve-to; every element is kept as stored.
    bool readPath(QPainterPath &path);
    // An index path of at most maxEntries entries.
    bool readIndexPath(QList<int> &path, int maxEntries);
    // A variant of a plain type (numbers, text, colour, points, sizes,
    // rectangles) or an invalid one; containers and other types fail.
    bool readVariant(QVariant &value);

private:
    bool readRaw(QByteArray &bytes, qint64 size);

    QDataStream &m_in;
    qint64 m_end = 0;
    bool m_sequential = false;
    // Outlines are checked as raw bytes and then parsed by Qt from here.
    QByteArray m_scratch;
    QBuffer m_scratchDevice;
    QDataStream m_scratchStream;
};

#endif // STREAMREADER_H
