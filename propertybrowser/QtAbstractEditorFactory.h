#ifndef QTABSTRACTEDITORFACTORY_H
#define QTABSTRACTEDITORFACTORY_H

#include "propertybrowser/QtAbstractEditorFactoryBase.h"
#include "propertybrowser/QtAbstractPropertyManager.h"

#include <QHash>
#include <QSet>

// An editor factory for one kind of manager. One factory may serve several
// managers of its kind (sub-managers included).
template <class Manager>
class QtAbstractEditorFactory : public QtAbstractEditorFactoryBase
{
public:
    void addPropertyManager(Manager *manager)
    {
        if (!manager || m_managers.contains(manager))
            return;
        m_managers.insert(manager, manager);
        watchManager(manager);
        connectPropertyManager(manager);
    }

    void removePropertyManager(Manager *manager)
    {
        if (m_managers.remove(manager))
            disconnect(manager, nullptr, this, nullptr);
    }

    QSet<Manager *> propertyManagers() const
    {
        const QList<Manager *> managers = m_managers.values();
        return QSet<Manager *>(managers.cbegin(), managers.cend());
    }

    // The served manager of the property, or null.
    Manager *propertyManager(const QtProperty *property) const
    {
        return m_managers.value(property->propertyManager());
    }

    QWidget *createEditor(QtProperty *property, QWidget *parent) override
    {
        Manager *manager = propertyManager(property);
        if (!manager)
            return nullptr;
        QWidget *editor = createManagerEditor(manager, property, parent);
        if (editor)
            addEditor(property, editor);
        return editor;
    }

protected:
    explicit QtAbstractEditorFactory(QObject *parent)
        : QtAbstractEditorFactoryBase(parent)
    {
    }

    // Connects the manager's change signals to the editor updates.
    virtual void connectPropertyManager(Manager *manager) = 0;
    // Builds an editor filled from the manager and wired back to it.
    virtual QWidget *createManagerEditor(Manager *manager, QtProperty *property, QWidget *parent) = 0;

    void forgetManager(QObject *manager) override
    {
        for (auto it = m_managers.begin(); it != m_managers.end(); ++it) {
            if (static_cast<const QObject *>(it.key()) == manager) {
                m_managers.erase(it);
                return;
            }
        }
    }

    // Hands an edit made in an editor to the manager of its property.
    template <class Value>
    void commit(QObject *editor, const Value &value)
    {
        QtProperty *property = editedProperty(editor);
        if (Manager *manager = property ? propertyManager(property) : nullptr) {
            const CommitScope scope(editor);
            manager->setValue(property, value);
        }
    }

    // Runs fill(manager, property, editor) on each live editor of the class.
    template <class Editor, class Fill>
    void updateEditors(QtProperty *property, Fill fill)
    {
        if (Manager *manager = propertyManager(property)) {
            for (Editor *editor : editors<Editor>(property))
                fill(manager, property, editor);
        }
    }

private:
    QHash<const QtAbstractPropertyManager *, Manager *> m_managers;
};

#endif // QTABSTRACTEDITORFACTORY_H
