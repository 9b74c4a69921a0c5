#include "propertybrowser/QtColorEditWidget.h"

#include "modal/Modal.h"
#include "propertybrowser/QtPropertyBrowserUtils.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

QtColorEditWidget::QtColorEditWidget(QWidget *parent)
    : QWidget(parent)
    , m_pixmapLabel(new QLabel(this))
    , m_label(new QLabel(this))
    , m_button(new QToolButton(this))
{
    auto *layout = new QHBoxLayout(this);
    setLeadingMargin();
    layout->setSpacing(5);
    layout->addWidget(m_pixmapLabel);
    layout->addWidget(m_label);
    layout->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Ignored));
    layout->addWidget(m_button);

    m_button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    m_button->setFixedWidth(30);
    m_button->setText(tr("Pick"));
    setFocusProxy(m_button);
    connect(m_button, &QToolButton::clicked, this, &QtColorEditWidget::buttonClicked);

    m_pixmapLabel->setPixmap(QtPropertyBrowserUtils::colorSwatch(m_color));
    m_label->setText(QtPropertyBrowserUtils::colorValueText(m_color));
}

void QtColorEditWidget::setValue(const QColor &color)
{
    if (m_color == color)
        return;
    m_color = color;
    m_pixmapLabel->setPixmap(QtPropertyBrowserUtils::colorSwatch(color));
    m_label->setText(QtPropertyBrowserUtils::colorValueText(color));
}

void QtColorEditWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LayoutDirectionChange)
        setLeadingMargin();
    QWidget::changeEvent(event);
}

void QtColorEditWidget::setLeadingMargin()
{
    // Layouts do not mirror their margins: put the 4 pixels on the side
    // where the line starts.
    if (layoutDirection() == Qt::LeftToRight)
        layout()->setContentsMargins(4, 0, 0, 0);
    else
        layout()->setContentsMargins(0, 0, 4, 0);
}

void QtColorEditWidget::buttonClicked()
{
    // The dialog starts from the colour's RGBA value (an invalid colour
    // reads as opaque black); a cancelled dialog gives an invalid colour.
    // Any colour picked over an invalid one is a change, black included.
    const QColor picked = Modal::getColor(QColor::fromRgba(m_color.rgba()), this, QString(),
                                          QColorDialog::ShowAlphaChannel);
    if (!picked.isValid() || (m_color.isValid() && picked.rgba() == m_color.rgba()))
        return;
    setValue(picked);
    emit valueChanged(picked);
}
