#ifndef SOFTTYPEPANELDOCKWIDGET_H
#define SOFTTYPEPANELDOCKWIDGET_H

#include <QDockWidget>
#include <QHash>
#include <QMap>
#include <QString>
#include <QVariant>

class QListWidget;
class QListWidgetItem;
class SoftType;

// The "SoftTypes" dock: the names of the SoftTypes carried by the selected
// text, in name order. It keeps clones of its own of the SoftTypes it was
// last given (never the document's). Clicking a name opens the SoftType
// dialog on a further clone; Ok reports the edited values under the old
// name, Remove reports the name.
class SoftTypePanelDockWidget : public QDockWidget
{
    Q_OBJECT
public:
    explicit SoftTypePanelDockWidget(QWidget *parent = nullptr);
    ~SoftTypePanelDockWidget() override;

    // Shows the set by name. The SoftTypes are only read during the call.
    void setSoftTypes(const QMap<QString, SoftType *> &softTypes);

signals:
    void softtypeChanged(const QString &name, const QHash<QString, QVariant> &values);
    void softtypeRemoved(const QString &name);

private slots:
    void OnItemClicked(QListWidgetItem *item);

private:
    QListWidget *m_list;
    QHash<QString, SoftType *> m_clones;
    QWidget *m_container;
    QString m_lastName;
    QHash<QString, QVariant> m_lastValues;
};

#endif // SOFTTYPEPANELDOCKWIDGET_H
