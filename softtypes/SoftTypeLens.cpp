#include "softtypes/SoftTypeLens.h"

SoftTypeLens::SoftTypeLens(const QString &name)
    : SoftType(QString::fromLatin1(Key), name)
{
    m_magnification = addDoubleParameter(QStringLiteral("magnification"), 1.0, 0, 65535);
    m_diameter = addDoubleParameter(QStringLiteral("diameter"), 20.0, 0, 65535);
}

SoftType *SoftTypeLens::clone() const
{
    return cloneAs<SoftTypeLens>();
}

void SoftTypeLens::reset(QVorrelScene *scene)
{
    m_offsets.clear();
    SoftType::reset(scene);
}

void SoftTypeLens::deform(Glyph *glyph, const Frame &frame)
{
    const double half = diameter() * 0.5f;
    const double m = magnification();
    const int n = frame.outline->elementCount();
    for (int i = 0; i < n; ++i) {
        const QPointF p = frame.sceneAt(i);
        const MouseVector v(frame.mouse, p);
        const double d = v.length;
        if (!frame.reaches(d))
            continue;
        // The target offset: away from the mouse by m * k, k running from 1
        // at the mouse toward half the diameter far from it.
        float tx = 0;
        float ty = 0;
        if (d != 0) {
            const double k = half - (half - 1) / (d + 1);
            tx = float(((-v.x * m) / d * k - v.x) + v.x);
            ty = float(((-v.y * m) / d * k - v.y) + v.y);
        }
        ElementVectors::Vector &applied = appliedOffset(i);
        frame.moveBy(i, p, QPointF(double(tx) - applied.x, double(ty) - applied.y));
        applied.x = tx;
        applied.y = ty;
    }
}
