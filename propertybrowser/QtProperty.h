#ifndef QTPROPERTY_H
#define QTPROPERTY_H

#include <QList>
#include <QString>

class QtAbstractPropertyManager;

// One entry of a property sheet. A property belongs to the manager that
// created it (which holds its value) and may be a sub-property of any number
// of other properties, also of properties from other managers. Deleting a
// property detaches it from its parents and children and tells its manager.
class QtProperty
{
public:
    virtual ~QtProperty();

    QtAbstractPropertyManager *propertyManager() const { return m_manager; }

    QString propertyName() const { return m_name; }
    void setPropertyName(const QString &name);
    QString toolTip() const { return m_extra ? m_extra->toolTip : QString(); }
    void setToolTip(const QString &toolTip);
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    bool hasValue() const;
    QString valueText() const;

    QList<QtProperty *> subProperties() const { return m_extra ? m_extra->children : QList<QtProperty *>(); }
    // The properties this one is a sub-property of, in the order it joined them.
    QList<QtProperty *> parentProperties() const;
    // Appends a sub-property; refused for the property itself, one of its
    // ancestors (that would make a cycle) and a property already a child.
    void addSubProperty(QtProperty *property);
    // Inserts after afterProperty (null: at the front).
    void insertSubProperty(QtProperty *property, QtProperty *afterProperty);
    void removeSubProperty(QtProperty *property);

protected:
    // What few properties have, kept beside the property once one of them is
    // set: a sheet of a hundred thousand rows with neither tool tips nor
    // sub-properties holds a few words per row. A property class with rare
    // data of its own extends it (createExtra).
    struct Extra
    {
        virtual ~Extra();
        QString toolTip;
        QList<QtProperty *> children;
        // The parents after the first.
        QList<QtProperty *> otherParents;
    };

    explicit QtProperty(QtAbstractPropertyManager *manager);
    // What deleting does: leaves the parents, lets the manager drop the
    // value, releases the children; once. A property whose manager keeps its
    // value in the property's own class calls it from that class's
    // destructor, while the value is still there.
    void release();
    // Tells the manager that something shown about the property changed.
    void propertyChanged();
    // The extra record, null until something was put there.
    Extra *extra() const { return m_extra; }
    // The extra record, made (by createExtra) when there is none yet.
    Extra &ensureExtra();
    virtual Extra *createExtra() const;

private:
    Q_DISABLE_COPY(QtProperty)
    friend class QtAbstractPropertyManager;
    bool isAncestorOf(const QtProperty *property) const;
    bool hasParent(const QtProperty *parent) const;
    QtProperty *firstParent() const { return m_parent; }
    void addParent(QtProperty *parent);
    void removeParent(QtProperty *parent);

    QtAbstractPropertyManager *m_manager;
    QString m_name;
    // The first parent; nearly every property has at most one.
    QtProperty *m_parent = nullptr;
    Extra *m_extra = nullptr;
    // Where the manager keeps the property among its own; -1 once forgotten.
    int m_registered = -1;
    // Packed into one byte: a property class may keep small fields of its
    // own in the bytes that follow.
    bool m_enabled : 1;
    bool m_released : 1;
};

#endif // QTPROPERTY_H
