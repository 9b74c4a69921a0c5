#ifndef QTPROPERTYBROWSERUTILS_H
#define QTPROPERTYBROWSERUTILS_H

#include <QColor>
#include <QPixmap>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;
class QWidget;

// Value texts, component conversions and the editor set-up shared by the
// managers and factories. The set* functions fill an editor with its signals
// blocked, so a value coming from a manager never returns as an edit.
class QtPropertyBrowserUtils
{
public:
    // "#rrggbb (p%)": the colour's name without alpha, and its alpha in
    // percent truncated toward zero.
    static QString colorValueText(const QColor &color);
    static QPixmap colorSwatch(const QColor &color);
    static QString boolValueText(bool value);

    // An enumeration index is valid when it points into the list, or is -1
    // and the list is empty.
    static bool isEnumIndexValid(int index, int count);

    static QVector<double> components(const QPointF &point);
    static QVector<double> components(const QRectF &rect);
    static QPointF pointFromComponents(const QVector<double> &components);
    static QRectF rectFromComponents(const QVector<double> &components);
    static QString pointText(const QPointF &point, int decimals);
    static QString rectText(const QRectF &rect, int decimals);

    // Spin boxes take a value when the user finishes the edit (Enter, focus
    // out or a step), not on every keystroke.
    static QSpinBox *createSpinBox(QWidget *parent);
    static QDoubleSpinBox *createDoubleSpinBox(QWidget *parent);
    static void setSpinBox(QSpinBox *editor, int value, int minimum, int maximum, int step);
    static void setDoubleSpinBox(QDoubleSpinBox *editor, double value, double minimum, double maximum,
                                 double step, int decimals);
    static void setComboBox(QComboBox *editor, const QStringList &names, int index);
    static void setCheckBox(QCheckBox *editor, bool value);
    static void setLineEdit(QLineEdit *editor, const QString &text);

    // Takes an editor out of a browser's view. The removal may run inside
    // one of the editor's own signals (an edit whose consequences refresh
    // the browser), so the editor is only hidden now and deleted later. Until
    // then the keeper owns it, unless the editor is committing an edit: then
    // the keeper itself may go inside that edit, and the editor must outlive
    // it. Its signals stay silent, also when hiding it takes its focus away,
    // and its connections to the keeper go.
    static void dropEditor(QWidget *editor, QWidget *keeper);
};

#endif // QTPROPERTYBROWSERUTILS_H
