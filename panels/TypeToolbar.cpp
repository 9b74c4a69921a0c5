#include "panels/TypeToolbar.h"

#include "modal/Modal.h"

#include <QAction>
#include <QComboBox>
#include <QDoubleValidator>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QSignalBlocker>
#include <QSlider>

#include <cstdlib>

namespace {
const QString typeIconPath = QStringLiteral(":/res/icon/TypeToolbar/32/png/type.png");
const QString fillIconPath = QStringLiteral(":/res/icon/TypeToolbar/32/png/fill.png");
const QString strokeIconPath = QStringLiteral(":/res/icon/TypeToolbar/32/png/stroke.png");
const QString widthIconPath = QStringLiteral(":/res/icon/TypeToolbar/32/png/width.png");

void fixSize(QWidget *widget, int width)
{
    widget->setFixedWidth(width);
    widget->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}
}

TypeToolbar::TypeToolbar(const QString &title, QWidget *parent)
    : QToolBar(title, parent)
{
    setIconSize(QSize(32, 32));

    m_typeLabel = new QLabel(this);
    m_typeLabel->setPixmap(QPixmap(typeIconPath));
    addWidget(m_typeLabel);
    addSeparator();

    fontComboBox = new QFontComboBox(this);
    fontComboBox->setEditable(false);
    fontComboBox->setFontFilters(QFontComboBox::ScalableFonts);
    addWidget(fontComboBox);

    fontStyleComboBox = new QComboBox(this);
    fillStyles(fontComboBox->currentFont().family());
    selectClosestStyle(fontComboBox->currentFont().family(), false, QFont::Normal);
    addWidget(fontStyleComboBox);
    addSeparator();

    fontSizeComboBox = new QComboBox(this);
    fontSizeComboBox->setEditable(true);
    fontSizes << "14" << "18" << "24" << "30" << "36" << "48" << "60" << "72" << "96" << "120" << "144"
              << "192" << "240" << "288";
    fontSizeComboBox->addItems(fontSizes);
    fontSizeComboBox->setMaxVisibleItems(fontSizes.size() + 1);
    fontSizeComboBox->setCurrentIndex(fontSizes.indexOf("72"));
    fontSizeComboBox->setValidator(new QIntValidator(1, 5000, this));
    addWidget(fontSizeComboBox);

    fontSizeSlider = addSlider(1, fontSizes.last().toInt(), 72);
    addSeparator();

    fillImage.load(fillIconPath);
    fillColorAction = new QAction(QIcon(QPixmap::fromImage(fillImage)), tr("New"), this);
    fillColorAction->setObjectName("FillColor");
    addAction(fillColorAction);
    fillOpacityTextEdit = addOpacityField();
    fillOpacitySlider = addSlider(0, 100, 100);
    addSeparator();

    strokeImage.load(strokeIconPath);
    strokeColorAction = new QAction(QIcon(QPixmap::fromImage(strokeImage)), tr("New"), this);
    strokeColorAction->setObjectName("StrokeColor");
    addAction(strokeColorAction);
    strokeOpacityTextEdit = addOpacityField();
    strokeOpacitySlider = addSlider(0, 100, 100);

    m_widthLabel = new QLabel(this);
    m_widthLabel->setPixmap(QPixmap(widthIconPath));
    addWidget(m_widthLabel);

    strokeWidthTextEdit = new QLineEdit(tr("1"), this);
    fixSize(strokeWidthTextEdit, qMax(40, strokeWidthTextEdit->fontMetrics().horizontalAdvance("500.00") + 10));
    strokeWidthTextEdit->setAlignment(Qt::AlignRight);
    m_widthValidator = new QDoubleValidator(0.0, 500.0, 2, this);
    strokeWidthTextEdit->setValidator(m_widthValidator);
    addWidget(strokeWidthTextEdit);

    setFillColor(Qt::black);
    setStrokeColor(Qt::black);

    connect(fontComboBox, &QFontComboBox::currentFontChanged, this, &TypeToolbar::OnCurrentFontChanged);
    connect(fontSizeComboBox, &QComboBox::textActivated, this,
            &TypeToolbar::OnFontSizeChanged);
    connect(fontSizeSlider, &QSlider::valueChanged, this, &TypeToolbar::OnFontSizeSliderChanged);
    connect(fillOpacityTextEdit, &QLineEdit::editingFinished, this, &TypeToolbar::OnFillOpacityTextEditFinished);
    connect(fillOpacitySlider, &QSlider::valueChanged, this, &TypeToolbar::OnFillOpacitySliderChanged);
    connect(strokeOpacityTextEdit, &QLineEdit::editingFinished, this,
            &TypeToolbar::OnStrokeOpacityTextEditFinished);
    connect(strokeOpacitySlider, &QSlider::valueChanged, this, &TypeToolbar::OnStrokeOpacitySliderChanged);
    connect(this, &QToolBar::actionTriggered, this, &TypeToolbar::OnActionTriggered);
}

QLineEdit *TypeToolbar::addOpacityField()
{
    auto *field = new QLineEdit(tr("100%"), this);
    // 40 pixels, or what "100%" needs in a larger interface font.
    fixSize(field, qMax(40, field->fontMetrics().horizontalAdvance(field->text()) + 10));
    field->setAlignment(Qt::AlignRight);
    addWidget(field);
    return field;
}

QSlider *TypeToolbar::addSlider(int minimum, int maximum, int value)
{
    auto *slider = new QSlider(Qt::Horizontal, this);
    fixSize(slider, 120);
    slider->setRange(minimum, maximum);
    slider->setValue(value);
    addWidget(slider);
    return slider;
}

// Colours.

void TypeToolbar::setFillColor(const QColor &color)
{
    showColor(fillSection(), color);
}

void TypeToolbar::setStrokeColor(const QColor &color)
{
    showColor(strokeSection(), color);
}

void TypeToolbar::showColor(const Section &section, const QColor &color)
{
    *section.color = color;

    const QSize size = section.image->isNull() ? iconSize() : section.image->size();
    QPixmap icon(size);
    icon.fill(Qt::transparent);
    {
        QPainter painter(&icon);
        painter.fillRect(QRect(4, size.height() - 4, size.width() - 8, 3), color);
        painter.drawImage(0, 0, *section.image);
    }
    section.action->setIcon(QIcon(icon));

    const int percent = int(color.alphaF() * 100.0 + 0.5);
    {
        const QSignalBlocker blocker(section.field);
        section.field->setText(QString::number(percent) + "%");
    }
    const QSignalBlocker blocker(section.slider);
    section.slider->setValue(percent);
}

void TypeToolbar::showOpacity(const Section &section, int percent)
{
    QColor color = *section.color;
    color.setAlphaF(percent / 100.0);
    showColor(section, color);
}

int TypeToolbar::typedPercent(const QLineEdit *field)
{
    QString text = field->text();
    text.remove('%');
    return qBound(0, text.toInt(), 100);
}

bool TypeToolbar::chooseColor(const Section &section, const QString &title)
{
    const QColor color = Modal::getColor(*section.color, parentWidget(), title, QColorDialog::ShowAlphaChannel);
    if (!color.isValid())
        return false;
    showColor(section, color);
    return true;
}

void TypeToolbar::OnFillOpacitySliderChanged(int value)
{
    showOpacity(fillSection(), value);
    emit fillColorChanged(fillColor);
}

void TypeToolbar::OnFillOpacityTextEditFinished()
{
    showOpacity(fillSection(), typedPercent(fillOpacityTextEdit));
    emit fillColorChanged(fillColor);
}

void TypeToolbar::OnStrokeOpacitySliderChanged(int value)
{
    showOpacity(strokeSection(), value);
    emit strokeColorChanged(strokeColor);
}

void TypeToolbar::OnStrokeOpacityTextEditFinished()
{
    showOpacity(strokeSection(), typedPercent(strokeOpacityTextEdit));
    emit strokeColorChanged(strokeColor);
}

void TypeToolbar::OnActionTriggered(QAction *action)
{
    const QString name = action->objectName();
    if (name == QLatin1String("FillColor")) {
        if (chooseColor(fillSection(), tr("Fill Color")))
            emit fillColorChanged(fillColor);
    } else if (name == QLatin1String("StrokeColor")) {
        if (chooseColor(strokeSection(), tr("Stroke Color")))
            emit strokeColorChanged(strokeColor);
    }
}

// Stroke width.

QLocale TypeToolbar::widthLocale() const
{
    QLocale locale = m_widthValidator->locale();
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale;
}

void TypeToolbar::setStrokeWidth(float width)
{
    const QSignalBlocker blocker(strokeWidthTextEdit);
    strokeWidthTextEdit->setText(widthLocale().toString(double(width), 'g', 6));
}

float TypeToolbar::strokeWidth() const
{
    const QString text = strokeWidthTextEdit->text();
    bool ok = false;
    float width = widthLocale().toFloat(text, &ok);
    if (!ok)
        width = QLocale::c().toFloat(text, &ok);
    return ok ? width : 0.0f;
}

// Font.

void TypeToolbar::fillStyles(const QString &family)
{
    const QSignalBlocker blocker(fontStyleComboBox);
    fontStyleComboBox->clear();
    fontStyleComboBox->addItems(QFontDatabase().styles(family));
}

void TypeToolbar::selectClosestStyle(const QString &family, bool italic, int weight)
{
    // Slant first, then weight; among equals the plainest name, since
    // widths come as extra words ("Condensed Bold" beside "Bold").
    const QFontDatabase database;
    int best = -1;
    int bestScore = 0;
    for (int i = 0; i < fontStyleComboBox->count(); ++i) {
        const QString style = fontStyleComboBox->itemText(i);
        const QFont face = database.font(family, style, 12);
        const int score = ((face.italic() != italic ? 1000 : 0) + std::abs(face.weight() - weight)) * 1000
                          + style.size();
        if (best < 0 || score < bestScore) {
            best = i;
            bestScore = score;
        }
    }
    const QSignalBlocker blocker(fontStyleComboBox);
    fontStyleComboBox->setCurrentIndex(best);
}

void TypeToolbar::OnCurrentFontChanged(const QFont &font)
{
    // A new family starts in its upright face of normal weight, whichever
    // face the font database lists first.
    fillStyles(font.family());
    selectClosestStyle(font.family(), false, QFont::Normal);
}

void TypeToolbar::setFont(const QFont &font)
{
    {
        // The list shows the family the font resolves to (Liberation Sans
        // for Arial) but, with its signals blocked, keeps the font it was
        // given as its current font; hand it the shown family as well.
        const QSignalBlocker blocker(fontComboBox);
        fontComboBox->setCurrentFont(font);
        if (fontComboBox->currentIndex() >= 0 && fontComboBox->currentText() != fontComboBox->currentFont().family())
            fontComboBox->setCurrentFont(QFont(fontComboBox->currentText()));
    }
    // A substituted family has no styles of its own: take the shown one's.
    const QString family = fontComboBox->currentFont().family();
    fillStyles(family);
    const int exact =
        fontStyleComboBox->findText(QFontDatabase().styleString(font), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (exact >= 0) {
        const QSignalBlocker blocker(fontStyleComboBox);
        fontStyleComboBox->setCurrentIndex(exact);
    } else {
        // The database names styles its own way ("Regular" for "Normal").
        selectClosestStyle(family, font.italic(), font.weight());
    }

    const int size = font.pointSize();
    showSizeText(QString::number(size));
    const QSignalBlocker blocker(fontSizeSlider);
    fontSizeSlider->setValue(size);
}

QFont TypeToolbar::currentFont() const
{
    return QFontDatabase().font(fontComboBox->currentFont().family(), fontStyleComboBox->currentText(),
                                fontSizeComboBox->currentText().toInt());
}

void TypeToolbar::showSizeText(const QString &text)
{
    if (fontSizeComboBox->currentText() == text)
        return;
    const QSignalBlocker blocker(fontSizeComboBox);
    fontSizeComboBox->clear();
    fontSizeComboBox->addItems(fontSizes);
    int index = fontSizes.indexOf(text);
    if (index < 0) {
        fontSizeComboBox->addItem(text);
        index = fontSizeComboBox->count() - 1;
    }
    fontSizeComboBox->setCurrentIndex(index);
}

void TypeToolbar::OnFontSizeSliderChanged(int value)
{
    showSizeText(QString::number(value));
}

void TypeToolbar::OnFontSizeChanged(const QString &text)
{
    const QSignalBlocker blocker(fontSizeSlider);
    fontSizeSlider->setValue(text.toInt());
}
