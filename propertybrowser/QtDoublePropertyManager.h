#ifndef QTDOUBLEPROPERTYMANAGER_H
#define QTDOUBLEPROPERTYMANAGER_H

#include "propertybrowser/QtAbstractPropertyManager.h"
#include "propertybrowser/QtNumberRange.h"

#include <QMap>

// Real properties: 0 when created, range +-2147483647, step 1, 2 decimals
// (0 to 13). A value set outside the range is clamped into it.
class QtDoublePropertyManager : public QtAbstractPropertyManager
{
    Q_OBJECT
public:
    explicit QtDoublePropertyManager(QObject *parent = nullptr);
    ~QtDoublePropertyManager() override;

    double value(const QtProperty *property) const;
    double minimum(const QtProperty *property) const;
    double maximum(const QtProperty *property) const;
    double singleStep(const QtProperty *property) const;
    int decimals(const QtProperty *property) const;

public slots:
    void setValue(QtProperty *property, double value);
    void setMinimum(QtProperty *property, double minimum);
    void setMaximum(QtProperty *property, double maximum);
    void setRange(QtProperty *property, double minimum, double maximum);
    void setSingleStep(QtProperty *property, double step);
    void setDecimals(QtProperty *property, int decimals);

signals:
    void valueChanged(QtProperty *property, double value);
    void rangeChanged(QtProperty *property, double minimum, double maximum);
    void singleStepChanged(QtProperty *property, double step);
    void decimalsChanged(QtProperty *property, int decimals);

protected:
    QString valueText(const QtProperty *property) const override;
    void initializeProperty(QtProperty *property) override;
    void uninitializeProperty(QtProperty *property) override;

private:
    struct Data : QtNumberRange<double>
    {
        int decimals = 2;
    };

    QMap<const QtProperty *, Data> m_values;
};

#endif // QTDOUBLEPROPERTYMANAGER_H
