#ifndef QTRECTFPROPERTYMANAGER_H
#define QTRECTFPROPERTYMANAGER_H

#include "propertybrowser/QtCompositePropertyManager.h"

#include <QRectF>

// Rectangle properties, empty at (0, 0) when created, with the
// sub-properties "X", "Y", "Width" and "Height".
class QtRectFPropertyManager : public QtCompositePropertyManager
{
    Q_OBJECT
public:
    explicit QtRectFPropertyManager(QObject *parent = nullptr);
    ~QtRectFPropertyManager() override;

    QRectF value(const QtProperty *property) const;

public slots:
    void setValue(QtProperty *property, const QRectF &value);

signals:
    void valueChanged(QtProperty *property, const QRectF &value);

protected:
    QString componentsText(const QVector<double> &components) const override;
    void emitValueChanged(QtProperty *property) override;
};

#endif // QTRECTFPROPERTYMANAGER_H
