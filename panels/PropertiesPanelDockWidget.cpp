#include "panels/PropertiesPanelDockWidget.h"

#include "propertybrowser/QtBoolPropertyManager.h"
#include "propertybrowser/QtColorEditorFactory.h"
#include "propertybrowser/QtColorPropertyManager.h"
#include "propertybrowser/QtDoublePropertyManager.h"
#include "propertybrowser/QtDoubleSpinBoxFactory.h"
#include "propertybrowser/QtEnumEditorFactory.h"
#include "propertybrowser/QtEnumPropertyManager.h"
#include "propertybrowser/QtGroupBoxPropertyBrowser.h"
#include "propertybrowser/QtGroupPropertyManager.h"
#include "propertybrowser/QtIntPropertyManager.h"
#include "propertybrowser/QtLineEditFactory.h"
#include "propertybrowser/QtPointFPropertyManager.h"
#include "propertybrowser/QtRectFPropertyManager.h"
#include "propertybrowser/QtSpinBoxFactory.h"
#include "propertybrowser/QtStringPropertyManager.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <cstdlib>

namespace {
const QString kCaret = QStringLiteral("Caret");
const QString kPosition = QStringLiteral("Position");
const QString kRotation = QStringLiteral("Rotation");
const QString kFontFamily = QStringLiteral("Font Family");
const QString kFontStyle = QStringLiteral("Font Style");
const QString kFontSize = QStringLiteral("Font Size");
const QString kFill = QStringLiteral("Fill");
const QString kStroke = QStringLiteral("Stroke");
const QString kStrokeWidth = QStringLiteral("Stroke Width");

bool isSlanted(QFont::Style slant)
{
    return slant != QFont::StyleNormal;
}
} // namespace

PropertiesPanelDockWidget::PropertiesPanelDockWidget(QWidget *parent)
    : QDockWidget(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("PropertiesPanelDockWidget"));
    resize(200, 272);
    setWindowTitle(tr("Properties"));

    // The dock owns its managers and factories; the destructor takes the
    // browser down first.
    m_groupManager = new QtGroupPropertyManager(this);
    m_pointManager = new QtPointFPropertyManager(this);
    m_rectManager = new QtRectFPropertyManager(this);
    m_stringManager = new QtStringPropertyManager(this);
    m_doubleManager = new QtDoublePropertyManager(this);
    m_enumManager = new QtEnumPropertyManager(this);
    m_intManager = new QtIntPropertyManager(this);
    m_colorManager = new QtColorPropertyManager(this);
    m_boolManager = new QtBoolPropertyManager(this);

    m_mouse = m_pointManager->addProperty(QStringLiteral("Mouse"));
    m_mouse->setEnabled(false);
    m_selectionArea = m_rectManager->addProperty(QStringLiteral("Selection Area"));
    m_selectionArea->setEnabled(false);
    m_caret = m_pointManager->addProperty(kCaret);
    m_editingGroup = m_groupManager->addProperty(QStringLiteral("Editing Properties"));
    m_editingGroup->addSubProperty(m_mouse);
    m_editingGroup->addSubProperty(m_selectionArea);
    m_editingGroup->addSubProperty(m_caret);

    m_selectedText = m_stringManager->addProperty(QStringLiteral("Selected Text"));
    m_selectedText->setEnabled(false);
    m_position = m_pointManager->addProperty(kPosition);
    m_rotation = m_doubleManager->addProperty(kRotation);
    m_fontFamily = m_enumManager->addProperty(kFontFamily);
    updateFontFamilies();
    m_fontStyle = m_enumManager->addProperty(kFontStyle);
    m_fontSize = m_intManager->addProperty(kFontSize);
    m_fill = m_colorManager->addProperty(kFill);
    m_stroke = m_colorManager->addProperty(kStroke);
    m_strokeWidth = m_doubleManager->addProperty(kStrokeWidth);
    // The type toolbar's ranges: no size below one point, no negative width.
    m_intManager->setRange(m_fontSize, 1, 5000);
    m_doubleManager->setRange(m_strokeWidth, 0, 500);
    m_textGroup = m_groupManager->addProperty(QStringLiteral("Text Properties"));
    for (QtProperty *property : {m_selectedText, m_position, m_rotation, m_fontFamily, m_fontStyle, m_fontSize,
                                 m_fill, m_stroke, m_strokeWidth})
        m_textGroup->addSubProperty(property);

    m_browser = new QtGroupBoxPropertyBrowser;
    m_doubleFactory = new QtDoubleSpinBoxFactory(this);
    m_lineEditFactory = new QtLineEditFactory(this);
    m_enumFactory = new QtEnumEditorFactory(this);
    m_spinBoxFactory = new QtSpinBoxFactory(this);
    m_colorFactory = new QtColorEditorFactory(this);
    m_browser->setFactoryForManager(m_pointManager->subDoublePropertyManager(), m_doubleFactory);
    m_browser->setFactoryForManager(m_rectManager->subDoublePropertyManager(), m_doubleFactory);
    m_browser->setFactoryForManager(m_doubleManager, m_doubleFactory);
    m_browser->setFactoryForManager(m_stringManager, m_lineEditFactory);
    m_browser->setFactoryForManager(m_enumManager, m_enumFactory);
    m_browser->setFactoryForManager(m_intManager, m_spinBoxFactory);
    m_browser->setFactoryForManager(m_colorManager, m_colorFactory);
    m_browser->addProperty(m_editingGroup);
    m_browser->addProperty(m_textGroup);

    auto *scrollArea = new QScrollArea(this);
    // The browser follows the area's width and never gets less than its
    // layout needs; the area scrolls then. (A fixed size of its own, taken
    // before it was ever laid out, squeezed the rows into each other.)
    scrollArea->setWidgetResizable(true);
    scrollArea->setWidget(m_browser);
    setWidget(scrollArea);

    // Last, so that none of the values set above reaches a slot.
    connect(m_pointManager, &QtPointFPropertyManager::valueChanged, this,
            &PropertiesPanelDockWidget::OnPointFValueChanged);
    connect(m_doubleManager, &QtDoublePropertyManager::valueChanged, this,
            &PropertiesPanelDockWidget::OnDoubleValueChanged);
    connect(m_enumManager, &QtEnumPropertyManager::valueChanged, this,
            &PropertiesPanelDockWidget::OnEnumValueChanged);
    connect(m_intManager, &QtIntPropertyManager::valueChanged, this, &PropertiesPanelDockWidget::OnIntValueChanged);
    connect(m_colorManager, &QtColorPropertyManager::valueChanged, this,
            &PropertiesPanelDockWidget::OnColorValueChanged);
    connect(m_boolManager, &QtBoolPropertyManager::valueChanged, this,
            &PropertiesPanelDockWidget::OnBoolValueChanged);
}

PropertiesPanelDockWidget::~PropertiesPanelDockWidget()
{
    // The browser and its editors go before the factories and managers
    // (children of the dock) that they follow.
    delete widget();
}

void PropertiesPanelDockWidget::beginSetter()
{
    blockSignals(true);
}

void PropertiesPanelDockWidget::endSetter()
{
    // Unblocked whatever the state before: a setter may run inside one of
    // the dock's own emits (the main window refreshes during an edit).
    blockSignals(false);
}

void PropertiesPanelDockWidget::setMousePosition(const QPointF &position)
{
    beginSetter();
    m_pointManager->setValue(m_mouse, position);
    endSetter();
}

void PropertiesPanelDockWidget::setSelectionArea(const QRectF &area)
{
    beginSetter();
    m_rectManager->setValue(m_selectionArea, area);
    endSetter();
}

void PropertiesPanelDockWidget::setCaretPosition(const QPointF &position)
{
    beginSetter();
    m_pointManager->setValue(m_caret, position);
    endSetter();
}

void PropertiesPanelDockWidget::setSelectedText(const QString &text)
{
    beginSetter();
    m_stringManager->setValue(m_selectedText, text);
    endSetter();
}

void PropertiesPanelDockWidget::setTextPosition(const QPointF &position)
{
    beginSetter();
    m_pointManager->setValue(m_position, position);
    endSetter();
}

void PropertiesPanelDockWidget::setTextRotation(float degrees)
{
    beginSetter();
    m_doubleManager->setValue(m_rotation, degrees);
    m_lastRotation = degrees;
    endSetter();
}

void PropertiesPanelDockWidget::setTextFont(const QFont &font)
{
    beginSetter();
    {
        const QScopedValueRollback<bool> placing(m_placingFont, true);
        const QString family = listedFamily(font);
        const QString styleFamily = family.isEmpty() ? QFontInfo(font).family() : family;
        updateFontStyles(font);
        // A family found nowhere in the list leaves the one shown.
        if (!family.isEmpty())
            m_enumManager->setValue(m_fontFamily, familyIndex(family));
        m_enumManager->setValue(m_fontStyle, bestStyle(font, styleFamily));
        m_intManager->setValue(m_fontSize, font.pointSize());
        currentFont();
    }
    endSetter();
}

void PropertiesPanelDockWidget::setTextFillColor(const QColor &color)
{
    beginSetter();
    m_colorManager->setValue(m_fill, color);
    endSetter();
}

void PropertiesPanelDockWidget::setTextStrokeColor(const QColor &color)
{
    beginSetter();
    m_colorManager->setValue(m_stroke, color);
    endSetter();
}

void PropertiesPanelDockWidget::setTextStrokeWidth(float width)
{
    beginSetter();
    m_doubleManager->setValue(m_strokeWidth, width);
    endSetter();
}

void PropertiesPanelDockWidget::setEditingPropertiesEnabled(bool enabled)
{
    m_editingGroup->setEnabled(enabled);
}

void PropertiesPanelDockWidget::setTextPropertiesEnabled(bool enabled)
{
    m_textGroup->setEnabled(enabled);
}

double PropertiesPanelDockWidget::textRotation() const
{
    return m_doubleManager->value(m_rotation);
}

void PropertiesPanelDockWidget::OnPointFValueChanged(QtProperty *property, const QPointF &value)
{
    const QString name = property->propertyName();
    if (name == kCaret)
        emit caretPositionChanged(value);
    else if (name == kPosition)
        emit textPositionChanged(value);
}

void PropertiesPanelDockWidget::OnDoubleValueChanged(QtProperty *property, double value)
{
    const QString name = property->propertyName();
    if (name == kRotation) {
        const float by = float(value - m_lastRotation);
        // The base moves before the emits: the main window refreshes the
        // dock inside them, and what that refresh shows must stay the base.
        m_lastRotation = float(value);
        emit textRotationChangedBy(by);
        emit textRotationChanged(float(value));
    } else if (name == kStrokeWidth) {
        emit textStrokeWidthChanged(float(value));
    }
}

void PropertiesPanelDockWidget::OnEnumValueChanged(QtProperty *property, int)
{
    if (m_placingFont)
        return;
    const QString name = property->propertyName();
    if (name == kFontFamily) {
        emit textFontFamilyChanged(enumText(m_fontFamily));
        currentFont();
        if (updateFontStyles(m_composedFont))
            onFontStyleChanged();
        emit textFontChanged(m_composedFont);
    } else if (name == kFontStyle) {
        onFontStyleChanged();
    }
}

void PropertiesPanelDockWidget::onFontStyleChanged()
{
    emit textFontStyleChanged(enumText(m_fontStyle));
    emit textFontChanged(currentFont());
}

void PropertiesPanelDockWidget::OnIntValueChanged(QtProperty *property, int value)
{
    if (property->propertyName() == kFontSize)
        emit textFontSizeChanged(value);
}

void PropertiesPanelDockWidget::OnColorValueChanged(QtProperty *property, const QColor &value)
{
    const QString name = property->propertyName();
    if (name == kFill)
        emit textFillColorChanged(value);
    else if (name == kStroke)
        emit textStrokeColorChanged(value);
}

void PropertiesPanelDockWidget::OnBoolValueChanged(QtProperty *, bool)
{
}

void PropertiesPanelDockWidget::updateFontFamilies()
{
    const QFontDatabase database;
    QStringList families;
    for (const QString &family : database.families()) {
        if (database.isScalable(family, QString()))
            families.append(family);
    }
    m_enumManager->setEnumNames(m_fontFamily, families);
}

bool PropertiesPanelDockWidget::updateFontStyles(const QFont &font)
{
    QString family = listedFamily(font);
    if (family.isEmpty())
        family = QFontInfo(font).family();
    QStringList names;
    for (const Style &style : stylesOf(family))
        names.append(style.name);
    if (names == m_enumManager->enumNames(m_fontStyle))
        return false;
    // A new list would start at its first style, which fontconfig may well
    // hold to be an oblique or condensed one: the index goes to the style
    // that fits the font before anyone hears of the change.
    const QScopedValueRollback<bool> placing(m_placingFont, true);
    m_enumManager->setEnumNames(m_fontStyle, names);
    m_enumManager->setValue(m_fontStyle, bestStyle(font, family));
    return true;
}

const QFont &PropertiesPanelDockWidget::currentFont()
{
    const QString family = enumText(m_fontFamily);
    const QString styleName = enumText(m_fontStyle);
    m_composedFont = QFontDatabase().font(family, styleName, m_intManager->value(m_fontSize));
    // A style name the family lacks (the previous family's, while the
    // list is being replaced) lends only its weight and slant: kept as a
    // name, the database would pick a face of that family by it at random.
    bool known = false;
    for (const Style &style : stylesOf(family))
        known = known || style.name == styleName;
    if (!known)
        m_composedFont.setStyleName(QString());
    return m_composedFont;
}

const QVector<PropertiesPanelDockWidget::Style> &PropertiesPanelDockWidget::stylesOf(const QString &family)
{
    auto it = m_styles.find(family);
    if (it == m_styles.end()) {
        const QFontDatabase database;
        QVector<Style> styles;
        for (const QString &name : database.styles(family)) {
            if (!database.isScalable(family, name))
                continue;
            const QFont face = database.font(family, name, 12);
            styles.append({name, face.weight(), face.style()});
        }
        it = m_styles.insert(family, styles);
    }
    return it.value();
}

int PropertiesPanelDockWidget::familyIndex(const QString &family) const
{
    const QStringList families = m_enumManager->enumNames(m_fontFamily);
    const int index = families.indexOf(family);
    if (index >= 0 || family.isEmpty())
        return index;
    // Families held by several foundries are listed as "Family [foundry]".
    const QString prefix = family + QStringLiteral(" [");
    for (int i = 0; i < families.size(); ++i) {
        if (families.at(i).startsWith(prefix))
            return i;
    }
    return -1;
}

QString PropertiesPanelDockWidget::listedFamily(const QFont &font) const
{
    const QStringList families = m_enumManager->enumNames(m_fontFamily);
    int index = familyIndex(font.family());
    // "Arial" and the like are fontconfig aliases: show the real family.
    if (index < 0)
        index = familyIndex(QFontInfo(font).family());
    return families.value(index);
}

int PropertiesPanelDockWidget::bestStyle(const QFont &font, const QString &family)
{
    const QVector<Style> &styles = stylesOf(family);
    if (styles.isEmpty())
        return -1;
    if (!font.styleName().isEmpty()) {
        for (int i = 0; i < styles.size(); ++i) {
            if (styles.at(i).name == font.styleName())
                return i;
        }
    }
    // Slant first (upright, italic or oblique), then its exact kind, then
    // the nearest weight.
    QVector<int> best;
    int bestScore = 0;
    for (int i = 0; i < styles.size(); ++i) {
        const Style &style = styles.at(i);
        const int score = (isSlanted(style.slant) != isSlanted(font.style()) ? 100000 : 0)
                          + (style.slant != font.style() ? 1000 : 0) + std::abs(style.weight - font.weight());
        if (best.isEmpty() || score < bestScore) {
            best = {i};
            bestScore = score;
        } else if (score == bestScore) {
            best.append(i);
        }
    }
    if (best.size() == 1)
        return best.first();
    // Faces alike in weight and slant ("Book" and "Condensed"): the one the
    // font really gets, else a plain regular one.
    const QString actual = QFontInfo(font).styleName();
    for (const QString &preferred : {actual, QStringLiteral("Regular"), QStringLiteral("Book"),
                                     QStringLiteral("Normal"), QStringLiteral("Roman")}) {
        for (int i : best) {
            if (styles.at(i).name == preferred)
                return i;
        }
    }
    return best.first();
}

QString PropertiesPanelDockWidget::enumText(QtProperty *property) const
{
    return m_enumManager->enumNames(property).value(m_enumManager->value(property));
}
