#include "support/TestSoftType.h"

#include "model/Glyph.h"


TestSoftType::TestSoftType(const QString &name, const QPointF &shift) : SoftType(QStringLiteral("test"), name), shift(shift) {}

SoftType *TestSoftType::clone() const
{
    TestSoftType *copy = new TestSoftType(name(), shift);
    copy->setValues(values());
    return copy;
}

void TestSoftType::apply(Glyph *glyph)
{
    ++applied;
    glyph->moveElementBy(0, shift);
}
