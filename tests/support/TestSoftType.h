#pragma once

#include "softtypes/SoftType.h"

#include <QPointF>

// A SoftType for tests: each apply moves element 0 of the glyph's current outline by a fixed scene displacement and
// counts the call. Its clones count their own calls; destroyed counts every destruction.
class TestSoftType : public SoftType
{
public:
    explicit TestSoftType(const QString &name, const QPointF &shift = QPointF(1, 0));
    ~TestSoftType() override { ++destroyed; }

    SoftType *clone() const override;
    void apply(Glyph *glyph) override;

    QPointF shift;
    int applied = 0;
    static inline int destroyed = 0;
};

