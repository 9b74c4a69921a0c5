#ifndef QTCOLOREDITWIDGET_H
#define QTCOLOREDITWIDGET_H

#include <QColor>
#include <QWidget>

class QLabel;
class QToolButton;

// The in-place colour editor: a swatch, the colour's text and a "Pick"
// button that opens the colour dialog with alpha.
class QtColorEditWidget : public QWidget
{
    Q_OBJECT
public:
    explicit QtColorEditWidget(QWidget *parent = nullptr);

    QColor value() const { return m_color; }

public slots:
    // Shows a colour; emits nothing.
    void setValue(const QColor &color);

signals:
    void valueChanged(const QColor &color);

protected:
    void changeEvent(QEvent *event) override;

private slots:
    void buttonClicked();

private:
    void setLeadingMargin();

    QColor m_color;
    QLabel *m_pixmapLabel;
    QLabel *m_label;
    QToolButton *m_button;
};

#endif // QTCOLOREDITWIDGET_H
