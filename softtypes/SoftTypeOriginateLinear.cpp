#include "softtypes/SoftTypeOriginateLinear.h"

SoftTypeOriginateLinear::SoftTypeOriginateLinear(const QString &name)
    : SoftType(QString::fromLatin1(Key), name)
{
    m_speed = addDoubleParameter(QStringLiteral("speed"), 2.0, 0, 65535);
}

SoftType *SoftTypeOriginateLinear::clone() const
{
    return cloneAs<SoftTypeOriginateLinear>();
}

void SoftTypeOriginateLinear::deform(Glyph *glyph, const Frame &frame)
{
    restoreElements(glyph, frame, speed(), restoredPlace);
}

QPointF SoftTypeOriginateLinear::restoredPlace(const Offset &offset, double speed)
{
    if (offset.length <= speed)
        return offset.rest;
    return QPointF(offset.current.x() - speed * offset.x / offset.length,
                   offset.current.y() - speed * offset.y / offset.length);
}
