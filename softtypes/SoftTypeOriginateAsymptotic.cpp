#include "softtypes/SoftTypeOriginateAsymptotic.h"

SoftTypeOriginateAsymptotic::SoftTypeOriginateAsymptotic(const QString &name)
    : SoftType(QString::fromLatin1(Key), name)
{
    m_partitions = addDoubleParameter(QStringLiteral("partitions"), 10.0, 1, 65535);
}

SoftType *SoftTypeOriginateAsymptotic::clone() const
{
    return cloneAs<SoftTypeOriginateAsymptotic>();
}

void SoftTypeOriginateAsymptotic::deform(Glyph *glyph, const Frame &frame)
{
    restoreElements(glyph, frame, partitions(), restoredPlace);
}

QPointF SoftTypeOriginateAsymptotic::restoredPlace(const Offset &offset, double partitions)
{
    if (offset.length > 1.0)
        return QPointF(offset.current.x() - offset.x / partitions, offset.current.y() - offset.y / partitions);
    return offset.rest;
}
