#include "dialogs/SoftTypeDlg.h"

#include "ui_SoftTypeDlg.h"

#include "propertybrowser/QtGroupBoxPropertyBrowser.h"
#include "propertybrowser/QtGroupPropertyManager.h"
#include "propertybrowser/QtVariantEditorFactory.h"
#include "propertybrowser/QtVariantProperty.h"
#include "softtypes/SoftType.h"

#include <QLayout>
#include <QShowEvent>

SoftTypeDlg::SoftTypeDlg(SoftType *softType, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui_SoftTypeDlgClass)
{
    ui->setupUi(this);
    setWindowTitle(softType->typeKey());

    auto *browser = new QtGroupBoxPropertyBrowser(this);
    // Owned by the dialog: the group goes with it, the SoftType's own
    // properties stay with the SoftType.
    m_groups = new QtGroupPropertyManager(this);
    QtProperty *group = m_groups->addProperty(QStringLiteral("Properties"));
    // The SoftType's own list, shared: a SoftType read with a hundred
    // thousand properties costs no list of names or properties here.
    const QVector<QtVariantProperty *> properties = softType->properties();
    for (QtVariantProperty *property : properties) {
        if (property && property->propertyName() != QLatin1String("toggle key"))
            group->addSubProperty(property);
    }
    auto *factory = new QtVariantEditorFactory(this);
    browser->setFactoryForManager(softType->propertyManager(), factory);
    browser->addProperty(group);
    ui->scrollArea->setWidget(browser);

    connect(ui->OkButton, &QPushButton::clicked, this, &SoftTypeDlg::OkPressed);
    connect(ui->RemoveButton, &QPushButton::clicked, this, &SoftTypeDlg::RemovePressed);
    connect(ui->CancelButton, &QPushButton::clicked, this, &SoftTypeDlg::CancelPressed);
    ui->OkButton->setFocus(Qt::OtherFocusReason);
    // Return in a field means Ok. Left to itself, the dialog would make the
    // first push button after the focus in the tab chain the default one:
    // Cancel, so that Return threw the edit away.
    ui->OkButton->setDefault(true);
}

SoftTypeDlg::~SoftTypeDlg()
{
    // The browser, inside the form's scroll area, goes first; the group and
    // the factory follow as children of the dialog.
    delete ui->scrollArea;
}

void SoftTypeDlg::hideRemoveButton()
{
    ui->RemoveButton->setVisible(false);
}

void SoftTypeDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The browser's layouts still hold the size hints from before it was
    // polished, a few pixels short: fitted to those, the area would scroll.
    QScrollArea *area = ui->scrollArea;
    for (QLayout *layout : area->widget()->findChildren<QLayout *>())
        layout->invalidate();
    area->adjustSize();
    const int x = area->x() + area->width();
    for (QPushButton *button : {ui->OkButton, ui->CancelButton, ui->RemoveButton})
        button->move(x, button->y());
    adjustSize();
}

void SoftTypeDlg::RemovePressed()
{
    buttonCode = 2;
    accept();
}

void SoftTypeDlg::OkPressed()
{
    buttonCode = 1;
    accept();
}

void SoftTypeDlg::CancelPressed()
{
    reject();
}
