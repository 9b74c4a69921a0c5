#ifndef PROPERTIESPANELDOCKWIDGET_H
#define PROPERTIESPANELDOCKWIDGET_H

#include <QColor>
#include <QDockWidget>
#include <QFont>
#include <QHash>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>

class QtBoolPropertyManager;
class QtColorEditorFactory;
class QtColorPropertyManager;
class QtDoublePropertyManager;
class QtDoubleSpinBoxFactory;
class QtEnumEditorFactory;
class QtEnumPropertyManager;
class QtGroupBoxPropertyBrowser;
class QtGroupPropertyManager;
class QtIntPropertyManager;
class QtLineEditFactory;
class QtPointFPropertyManager;
class QtProperty;
class QtRectFPropertyManager;
class QtSpinBoxFactory;
class QtStringPropertyManager;

// The "Properties" dock: a property sheet showing where the user works in
// the active document (mouse, selection area, caret) and how the selected
// text looks (text, position, rotation, font, colours, stroke width). It
// holds no document: the main window pushes values in through the setters,
// which never come back as the dock's signals, and turns the signals (the
// user's edits) into commands.
class PropertiesPanelDockWidget : public QDockWidget
{
    Q_OBJECT
public:
    explicit PropertiesPanelDockWidget(QWidget *parent = nullptr);
    ~PropertiesPanelDockWidget() override;

    // Each setter shows its value with the dock's signals blocked.
    void setMousePosition(const QPointF &position);
    void setSelectionArea(const QRectF &area);
    void setCaretPosition(const QPointF &position);
    void setSelectedText(const QString &text);
    void setTextPosition(const QPointF &position);
    // Also the base from which the next edit of "Rotation" is measured.
    void setTextRotation(float degrees);
    // Family, style list, style and size. A family that is not in the list
    // shows the family the font really resolves to; the style shown is the
    // one of the font's weight and slant, an upright regular one preferred.
    void setTextFont(const QFont &font);
    void setTextFillColor(const QColor &color);
    void setTextStrokeColor(const QColor &color);
    void setTextStrokeWidth(float width);

    // The two groups, enabled and disabled as a whole by the main window.
    QtProperty *editingProperties() const { return m_editingGroup; }
    QtProperty *textProperties() const { return m_textGroup; }
    void setEditingPropertiesEnabled(bool enabled);
    void setTextPropertiesEnabled(bool enabled);
    // The value "Rotation" shows.
    double textRotation() const;

signals:
    void caretPositionChanged(QPointF position);
    void textPositionChanged(QPointF position);
    void textRotationChanged(float degrees);
    // The new rotation minus the one shown before the edit.
    void textRotationChangedBy(float degrees);
    void textFontChanged(QFont font);
    void textFontFamilyChanged(QString family);
    void textFontStyleChanged(QString style);
    void textFontSizeChanged(int pointSize);
    void textFillColorChanged(QColor color);
    void textStrokeColorChanged(QColor color);
    void textStrokeWidthChanged(float width);

private slots:
    void OnPointFValueChanged(QtProperty *property, const QPointF &value);
    void OnDoubleValueChanged(QtProperty *property, double value);
    void OnEnumValueChanged(QtProperty *property, int value);
    void OnIntValueChanged(QtProperty *property, int value);
    void OnColorValueChanged(QtProperty *property, const QColor &value);
    void OnBoolValueChanged(QtProperty *property, bool value);

private:
    // A style of a family with the weight and slant it stands for.
    struct Style
    {
        QString name;
        int weight;
        QFont::Style slant;
    };

    void updateFontFamilies();
    // Shows the scalable styles of the font's family; when the list changes
    // the index goes to the style that fits the font. True on a change.
    bool updateFontStyles(const QFont &font);
    // Composes the font from the family, style and size shown.
    const QFont &currentFont();
    void onFontStyleChanged();

    const QVector<Style> &stylesOf(const QString &family);
    // The family of the list the font is shown under: its own, else the
    // one it resolves to; empty when neither is listed.
    QString listedFamily(const QFont &font) const;
    int familyIndex(const QString &family) const;
    // The index of the style that fits the font best, -1 for no styles.
    int bestStyle(const QFont &font, const QString &family);
    QString enumText(QtProperty *property) const;
    void beginSetter();
    void endSetter();

    QtGroupPropertyManager *m_groupManager;
    QtPointFPropertyManager *m_pointManager;
    QtRectFPropertyManager *m_rectManager;
    QtStringPropertyManager *m_stringManager;
    QtDoublePropertyManager *m_doubleManager;
    QtEnumPropertyManager *m_enumManager;
    QtIntPropertyManager *m_intManager;
    QtColorPropertyManager *m_colorManager;
    QtBoolPropertyManager *m_boolManager;

    QtProperty *m_editingGroup;
    QtProperty *m_mouse;
    QtProperty *m_caret;
    QtProperty *m_selectionArea;
    QtProperty *m_textGroup;
    QtProperty *m_selectedText;
    QtProperty *m_position;
    QtProperty *m_rotation;
    QtProperty *m_fontFamily;
    QtProperty *m_fontStyle;
    QtProperty *m_fontSize;
    QtProperty *m_fill;
    QtProperty *m_stroke;
    QtProperty *m_strokeWidth;

    QFont m_composedFont;
    float m_lastRotation = 0;

    QtGroupBoxPropertyBrowser *m_browser;
    QtDoubleSpinBoxFactory *m_doubleFactory;
    QtLineEditFactory *m_lineEditFactory;
    QtEnumEditorFactory *m_enumFactory;
    QtSpinBoxFactory *m_spinBoxFactory;
    QtColorEditorFactory *m_colorFactory;

    // Set while the dock itself moves the font properties: the enum slot
    // then leaves the font alone.
    bool m_placingFont = false;
    QHash<QString, QVector<Style>> m_styles;
};

#endif // PROPERTIESPANELDOCKWIDGET_H
