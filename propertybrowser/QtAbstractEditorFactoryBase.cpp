#include "propertybrowser/QtAbstractEditorFactoryBase.h"

#include "propertybrowser/QtAbstractPropertyManager.h"

#include <QWidget>

namespace {
// The editors whose edits are being committed, innermost last (GUI thread only).
QList<const QObject *> committingEditors;
} // namespace

QtAbstractEditorFactoryBase::CommitScope::CommitScope(QObject *editor)
{
    committingEditors.append(editor);
}

QtAbstractEditorFactoryBase::CommitScope::~CommitScope()
{
    committingEditors.removeLast();
}

bool QtAbstractEditorFactoryBase::isCommitting(const QObject *editor)
{
    return committingEditors.contains(editor);
}

QtAbstractEditorFactoryBase::QtAbstractEditorFactoryBase(QObject *parent)
    : QObject(parent)
{
}

QtAbstractEditorFactoryBase::~QtAbstractEditorFactoryBase()
{
    const QList<QObject *> editors = m_properties.keys();
    m_properties.clear();
    m_editors.clear();
    for (QObject *editor : editors) {
        disconnect(editor, nullptr, this, nullptr);
        // An editor inside its own edit goes once the edit is over.
        if (isCommitting(editor))
            editor->deleteLater();
        else
            delete editor;
    }
}

void QtAbstractEditorFactoryBase::addEditor(QtProperty *property, QWidget *editor)
{
    m_editors[property].append(editor);
    m_properties.insert(editor, property);
    connect(editor, &QObject::destroyed, this, &QtAbstractEditorFactoryBase::editorDestroyed);
}

void QtAbstractEditorFactoryBase::watchManager(QtAbstractPropertyManager *manager)
{
    connect(manager, &QObject::destroyed, this, &QtAbstractEditorFactoryBase::forgetManager);
    connect(manager, &QtAbstractPropertyManager::propertyDestroyed,
            this, &QtAbstractEditorFactoryBase::propertyDestroyed);
}

void QtAbstractEditorFactoryBase::editorDestroyed(QObject *editor)
{
    const QtProperty *property = m_properties.take(editor);
    const auto it = m_editors.find(property);
    if (it == m_editors.end())
        return;
    it->removeOne(editor);
    if (it->isEmpty())
        m_editors.erase(it);
}

void QtAbstractEditorFactoryBase::propertyDestroyed(QtProperty *property)
{
    // The editors live on in their browser until it drops them; they only
    // stop editing.
    for (QObject *editor : m_editors.take(property))
        m_properties.remove(editor);
}
