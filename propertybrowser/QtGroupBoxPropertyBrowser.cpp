#include "propertybrowser/QtGroupBoxPropertyBrowser.h"

#include "propertybrowser/QtProperty.h"
#include "propertybrowser/QtPropertyBrowserUtils.h"
#include "propertybrowser/QtPropertyRowList.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {
// The most rows a box lays out as a form; longer ones are listed.
constexpr int MaxFormRows = 100;
} // namespace

QtGroupBoxPropertyBrowser::QtGroupBoxPropertyBrowser(QWidget *parent)
    : QtAbstractPropertyBrowser(parent)
    , m_layout(new QVBoxLayout(this))
{
    m_layout->addStretch();
}

QtGroupBoxPropertyBrowser::~QtGroupBoxPropertyBrowser()
{
    clear();
}

void QtGroupBoxPropertyBrowser::itemInserted(QtBrowserItem *item, QtBrowserItem *)
{
    View view;
    if (!item->parent()) {
        auto *box = new QGroupBox(this);
        auto *boxLayout = new QVBoxLayout(box);
        view.field = view.box = box;
        view.fieldLayout = boxLayout;
        if (item->isListed()) {
            addList(item, view, boxLayout);
        } else {
            view.rows = new QFormLayout;
            boxLayout->addLayout(view.rows);
        }
        m_layout->insertWidget(topLevelItems().indexOf(item), box);
    } else {
        View &parentView = m_views[item->parent()];
        view.label = new QLabel;
        view.field = new QWidget;
        view.fieldLayout = new QVBoxLayout(view.field);
        view.fieldLayout->setContentsMargins(0, 0, 0, 0);
        rowsOf(parentView)->insertRow(item->parent()->children().indexOf(item), view.label, view.field);
        parentView.box->show();
        if (item->isListed()) {
            view.box = new QGroupBox(view.field);
            addList(item, view, new QVBoxLayout(view.box));
            view.fieldLayout->addWidget(view.box);
        }
    }
    if (item->property()->hasValue())
        addValueWidget(item, view);
    m_views.insert(item, view);
    itemChanged(item);
}

void QtGroupBoxPropertyBrowser::itemRemoved(QtBrowserItem *item)
{
    const View view = m_views.take(item);
    if (view.editor) {
        m_editorItems.remove(view.editor);
        QtPropertyBrowserUtils::dropEditor(view.editor, this);
    }
    if (!item->parent()) {
        delete view.field;
        return;
    }
    View &parentView = m_views[item->parent()];
    parentView.rows->removeRow(view.field);
    // A nested box without rows would show as an empty frame.
    if (parentView.box != parentView.field && parentView.rows->rowCount() == 0)
        parentView.box->hide();
}

void QtGroupBoxPropertyBrowser::itemChanged(QtBrowserItem *item)
{
    const auto it = m_views.find(item);
    if (it == m_views.end())
        return;
    const QtProperty *property = item->property();
    if (it->label) {
        it->label->setText(property->propertyName());
        it->label->setToolTip(property->toolTip());
        it->label->setEnabled(property->isEnabled());
    } else {
        static_cast<QGroupBox *>(it->field)->setTitle(property->propertyName());
    }
    it->field->setToolTip(property->toolTip());
    it->field->setEnabled(property->isEnabled());
    if (it->valueLabel)
        it->valueLabel->setText(property->valueText());
}

bool QtGroupBoxPropertyBrowser::showsAsList(const QtProperty *property) const
{
    return property->subProperties().size() > MaxFormRows;
}

void QtGroupBoxPropertyBrowser::listedChanged(QtBrowserItem *item, QtProperty *property)
{
    if (QtPropertyRowList *list = m_views.value(item).list)
        list->propertyChanged(property);
}

void QtGroupBoxPropertyBrowser::listedRowsChanged(QtBrowserItem *item)
{
    if (QtPropertyRowList *list = m_views.value(item).list)
        list->rowsChanged();
}

void QtGroupBoxPropertyBrowser::addList(QtBrowserItem *item, View &view, QVBoxLayout *boxLayout)
{
    view.list = new QtPropertyRowList(
        item->property(), [this](QtProperty *property, QWidget *parent) { return createEditor(property, parent); },
        view.box);
    boxLayout->addWidget(view.list);
}

void QtGroupBoxPropertyBrowser::addValueWidget(QtBrowserItem *item, View &view)
{
    view.editor = createEditor(item->property(), view.field);
    if (!view.editor) {
        showValueLabel(view, item->property());
        return;
    }
    view.fieldLayout->insertWidget(0, view.editor);
    m_editorItems.insert(view.editor, item);
    connect(view.editor, &QObject::destroyed, this, &QtGroupBoxPropertyBrowser::editorDestroyed);
}

void QtGroupBoxPropertyBrowser::showValueLabel(View &view, QtProperty *property)
{
    view.valueLabel = new QLabel(property->valueText(), view.field);
    view.valueLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    view.fieldLayout->insertWidget(0, view.valueLabel);
}

QFormLayout *QtGroupBoxPropertyBrowser::rowsOf(View &view)
{
    if (!view.rows) {
        view.box = new QGroupBox(view.field);
        view.rows = new QFormLayout(view.box);
        view.fieldLayout->addWidget(view.box);
    }
    return view.rows;
}

void QtGroupBoxPropertyBrowser::editorDestroyed(QObject *editor)
{
    // The editor's factory went away: show the value as text instead.
    QtBrowserItem *item = m_editorItems.take(editor);
    const auto it = m_views.find(item);
    if (it == m_views.end())
        return;
    it->editor = nullptr;
    showValueLabel(*it, item->property());
}
