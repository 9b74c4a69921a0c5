#ifndef QTCOLORPROPERTYMANAGER_H
#define QTCOLORPROPERTYMANAGER_H

#include "propertybrowser/QtAbstractPropertyManager.h"

#include <QColor>
#include <QMap>

// Colour properties. A colour, alpha included, is one value without
// sub-properties; a new property holds an invalid colour. Its text is
// QtPropertyBrowserUtils::colorValueText.
class QtColorPropertyManager : public QtAbstractPropertyManager
{
    Q_OBJECT
public:
    explicit QtColorPropertyManager(QObject *parent = nullptr);
    ~QtColorPropertyManager() override;

    QColor value(const QtProperty *property) const;

public slots:
    void setValue(QtProperty *property, const QColor &value);

signals:
    void valueChanged(QtProperty *property, const QColor &value);

protected:
    QString valueText(const QtProperty *property) const override;
    void initializeProperty(QtProperty *property) override;
    void uninitializeProperty(QtProperty *property) override;

private:
    QMap<const QtProperty *, QColor> m_values;
};

#endif // QTCOLORPROPERTYMANAGER_H
