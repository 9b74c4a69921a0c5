#ifndef QTABSTRACTEDITORFACTORYBASE_H
#define QTABSTRACTEDITORFACTORYBASE_H

#include <QHash>
#include <QList>
#include <QObject>

class QtAbstractPropertyManager;
class QtProperty;
class QWidget;

// Creates in-place editors for the properties of the managers it serves
// and keeps them in step with the values. It remembers every editor it
// made until the editor is destroyed, and deletes those still alive when
// it is deleted itself. An editor outliving its property is forgotten.
class QtAbstractEditorFactoryBase : public QObject
{
    Q_OBJECT
public:
    ~QtAbstractEditorFactoryBase() override;

    // Null when the property's manager is not served by this factory.
    virtual QWidget *createEditor(QtProperty *property, QWidget *parent) = 0;

    // True while an edit made in the editor is being handed to its manager,
    // that is while the editor is inside its own change signal: it must not
    // be deleted then, only later.
    static bool isCommitting(const QObject *editor);

protected:
    explicit QtAbstractEditorFactoryBase(QObject *parent);

    // Marks an editor as committing for its lifetime.
    class CommitScope
    {
    public:
        explicit CommitScope(QObject *editor);
        ~CommitScope();
        CommitScope(const CommitScope &) = delete;
        CommitScope &operator=(const CommitScope &) = delete;
    };

    void addEditor(QtProperty *property, QWidget *editor);
    // The live editors of a property that are of the given class.
    template <class Editor>
    QList<Editor *> editors(const QtProperty *property) const
    {
        QList<Editor *> result;
        for (QObject *editor : m_editors.value(property)) {
            if (Editor *typed = qobject_cast<Editor *>(editor))
                result.append(typed);
        }
        return result;
    }
    // The property an editor edits; null once the property is gone.
    QtProperty *editedProperty(QObject *editor) const { return m_properties.value(editor); }
    // Follows the manager's deletion and its properties' deletion.
    void watchManager(QtAbstractPropertyManager *manager);
    virtual void forgetManager(QObject *manager) = 0;

private:
    void editorDestroyed(QObject *editor);
    void propertyDestroyed(QtProperty *property);

    QHash<const QtProperty *, QList<QObject *>> m_editors;
    QHash<QObject *, QtProperty *> m_properties;
};

#endif // QTABSTRACTEDITORFACTORYBASE_H
