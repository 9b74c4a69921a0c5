#include "panels/SoftTypePanelDockWidget.h"

#include "dialogs/SoftTypeDlg.h"
#include "modal/Modal.h"
#include "softtypes/SoftType.h"

#include <QCoreApplication>
#include <QListWidget>
#include <QVBoxLayout>
#include <memory>

SoftTypePanelDockWidget::SoftTypePanelDockWidget(QWidget *parent)
    : QDockWidget(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("SoftTypePanelDockWidgetClass"));
    resize(200, 272);
    setWindowTitle(QCoreApplication::translate("SoftTypePanelDockWidgetClass", "SoftTypes"));

    m_list = new QListWidget;
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_container = new QWidget(this);
    auto *layout = new QVBoxLayout(m_container);
    layout->addWidget(m_list);
    setWidget(m_container);

    connect(m_list, &QListWidget::itemClicked, this, &SoftTypePanelDockWidget::OnItemClicked);
}

SoftTypePanelDockWidget::~SoftTypePanelDockWidget()
{
    qDeleteAll(m_clones);
}

void SoftTypePanelDockWidget::setSoftTypes(const QMap<QString, SoftType *> &softTypes)
{
    const QList<SoftType *> shown = softTypes.values();
    const int n = shown.size();
    // Rows are matched by position: an item is renamed only when its text
    // differs.
    for (int i = 0; i < m_list->count() && i < n; ++i) {
        QListWidgetItem *item = m_list->item(i);
        const QString name = shown.at(i)->name();
        if (item->text() != name)
            item->setText(name);
    }
    for (int i = m_list->count(); i < n; ++i)
        m_list->addItem(shown.at(i)->name());
    while (m_list->count() > n)
        delete m_list->takeItem(m_list->count() - 1);

    for (auto it = m_clones.begin(); it != m_clones.end();) {
        if (softTypes.contains(it.key())) {
            ++it;
        } else {
            delete it.value();
            it = m_clones.erase(it);
        }
    }
    for (const SoftType *softType : shown) {
        const QString name = softType->name();
        SoftType *old = m_clones.value(name);
        m_clones.insert(name, softType->clone());
        delete old;
    }
}

void SoftTypePanelDockWidget::OnItemClicked(QListWidgetItem *item)
{
    const SoftType *stored = m_clones.value(item->text());
    if (!stored)
        return;
    // The dialog edits a copy in place; the stored clone stays as given.
    const std::unique_ptr<SoftType> copy(stored->clone());
    const QString name = stored->name();
    int result;
    int buttonCode;
    {
        SoftTypeDlg dialog(copy.get(), nullptr);
        result = Modal::exec(&dialog);
        buttonCode = dialog.buttonCode;
    }
    if (result != QDialog::Accepted)
        return;
    m_lastName = name;
    if (buttonCode == 1) {
        m_lastValues = copy->values();
        emit softtypeChanged(m_lastName, m_lastValues);
    } else if (buttonCode == 2) {
        emit softtypeRemoved(m_lastName);
    }
}
