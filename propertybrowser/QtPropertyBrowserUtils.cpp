#include "propertybrowser/QtPropertyBrowserUtils.h"

#include "propertybrowser/QtAbstractEditorFactoryBase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QSignalBlocker>
#include <QSpinBox>

QString QtPropertyBrowserUtils::colorValueText(const QColor &color)
{
    return QCoreApplication::translate("QtPropertyBrowserUtils", "%1 (%2%)")
        .arg(color.name())
        .arg(int(color.alphaF() * 100));
}

QPixmap QtPropertyBrowserUtils::colorSwatch(const QColor &color)
{
    // A translucent colour is painted over a checkerboard so its alpha shows.
    const int size = 16;
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    const int half = size / 2;
    painter.fillRect(0, 0, half, half, Qt::lightGray);
    painter.fillRect(half, half, half, half, Qt::lightGray);
    painter.fillRect(0, 0, size, size, color);
    return pixmap;
}

QString QtPropertyBrowserUtils::boolValueText(bool value)
{
    return value ? QCoreApplication::translate("QtPropertyBrowserUtils", "True")
                 : QCoreApplication::translate("QtPropertyBrowserUtils", "False");
}

bool QtPropertyBrowserUtils::isEnumIndexValid(int index, int count)
{
    return count == 0 ? index == -1 : index >= 0 && index < count;
}

QVector<double> QtPropertyBrowserUtils::components(const QPointF &point)
{
    return {point.x(), point.y()};
}

QVector<double> QtPropertyBrowserUtils::components(const QRectF &rect)
{
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

QPointF QtPropertyBrowserUtils::pointFromComponents(const QVector<double> &components)
{
    return QPointF(components.value(0), components.value(1));
}

QRectF QtPropertyBrowserUtils::rectFromComponents(const QVector<double> &components)
{
    return QRectF(components.value(0), components.value(1), components.value(2), components.value(3));
}

QString QtPropertyBrowserUtils::pointText(const QPointF &point, int decimals)
{
    const QLocale locale;
    return QStringLiteral("(%1, %2)")
        .arg(locale.toString(point.x(), 'f', decimals), locale.toString(point.y(), 'f', decimals));
}

QString QtPropertyBrowserUtils::rectText(const QRectF &rect, int decimals)
{
    const QLocale locale;
    return QStringLiteral("[(%1, %2), %3 x %4]")
        .arg(locale.toString(rect.x(), 'f', decimals), locale.toString(rect.y(), 'f', decimals),
             locale.toString(rect.width(), 'f', decimals), locale.toString(rect.height(), 'f', decimals));
}

QSpinBox *QtPropertyBrowserUtils::createSpinBox(QWidget *parent)
{
    auto *editor = new QSpinBox(parent);
    editor->setKeyboardTracking(false);
    return editor;
}

QDoubleSpinBox *QtPropertyBrowserUtils::createDoubleSpinBox(QWidget *parent)
{
    auto *editor = new QDoubleSpinBox(parent);
    editor->setKeyboardTracking(false);
    return editor;
}

void QtPropertyBrowserUtils::setSpinBox(QSpinBox *editor, int value, int minimum, int maximum, int step)
{
    const QSignalBlocker blocker(editor);
    editor->setRange(minimum, maximum);
    editor->setSingleStep(step);
    editor->setValue(value);
}

void QtPropertyBrowserUtils::setDoubleSpinBox(QDoubleSpinBox *editor, double value, double minimum,
                                              double maximum, double step, int decimals)
{
    const QSignalBlocker blocker(editor);
    // Decimals first: the spin box rounds its range and value to them.
    editor->setDecimals(decimals);
    editor->setRange(minimum, maximum);
    editor->setSingleStep(step);
    editor->setValue(value);
}

void QtPropertyBrowserUtils::setComboBox(QComboBox *editor, const QStringList &names, int index)
{
    const QSignalBlocker blocker(editor);
    QStringList shown;
    for (int i = 0; i < editor->count(); ++i)
        shown.append(editor->itemText(i));
    if (shown != names) {
        editor->clear();
        editor->addItems(names);
    }
    editor->setCurrentIndex(index);
}

void QtPropertyBrowserUtils::setCheckBox(QCheckBox *editor, bool value)
{
    const QSignalBlocker blocker(editor);
    editor->setChecked(value);
}

void QtPropertyBrowserUtils::setLineEdit(QLineEdit *editor, const QString &text)
{
    if (editor->text() == text)
        return;
    const QSignalBlocker blocker(editor);
    editor->setText(text);
}

void QtPropertyBrowserUtils::dropEditor(QWidget *editor, QWidget *keeper)
{
    QObject::disconnect(editor, nullptr, keeper, nullptr);
    editor->blockSignals(true);
    editor->hide();
    editor->setParent(QtAbstractEditorFactoryBase::isCommitting(editor) ? nullptr : keeper);
    editor->deleteLater();
}
