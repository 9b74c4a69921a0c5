#ifndef QTPOINTFPROPERTYMANAGER_H
#define QTPOINTFPROPERTYMANAGER_H

#include "propertybrowser/QtCompositePropertyManager.h"

#include <QPointF>

// Point properties, (0, 0) when created, with the sub-properties "X" and "Y".
class QtPointFPropertyManager : public QtCompositePropertyManager
{
    Q_OBJECT
public:
    explicit QtPointFPropertyManager(QObject *parent = nullptr);
    ~QtPointFPropertyManager() override;

    QPointF value(const QtProperty *property) const;

public slots:
    void setValue(QtProperty *property, const QPointF &value);

signals:
    void valueChanged(QtProperty *property, const QPointF &value);

protected:
    QString componentsText(const QVector<double> &components) const override;
    void emitValueChanged(QtProperty *property) override;
};

#endif // QTPOINTFPROPERTYMANAGER_H
