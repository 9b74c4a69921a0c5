#ifndef TEXTPADPANELDOCKWIDGET_H
#define TEXTPADPANELDOCKWIDGET_H

#include <QDockWidget>
#include <QIcon>
#include <QString>
#include <QVector>

class QAction;
class QComboBox;
class QToolBar;
class TextpadEdit;

// The textpad: a plain text area whose text feeds the nozzle, and a toolbar
// that switches the nozzle on and off and sets how it reads the text. Each
// nozzle step asks nextPiece for the next glyph, word or passage, which is
// then shown selected. The panel holds no document: the main window pushes
// the document's textpad text and the view's nozzle state in, and turns the
// panel's signals into changes. The nozzle settings belong to the panel and
// are the same for every open document.
class TextpadPanelDockWidget : public QDockWidget
{
    Q_OBJECT
public:
    explicit TextpadPanelDockWidget(QWidget *parent = nullptr);
    ~TextpadPanelDockWidget() override;

    // Setters for the main window's refresh; none emits a signal of the panel.
    void setNozzleType(int type);
    void setAdvance(int mode);
    void setLoop(bool on);
    void setNozzleOn(bool on);
    // Shows the text as plain text. A text equal to the one held changes
    // nothing, so refreshes keep the nozzle's reading position; another text
    // starts reading again at its start.
    void setText(const QString &text);

    // The next piece after the last one, preceded by at most one whitespace
    // character that stood before it (never LF), and selected in the text
    // area; empty when there is none. A glyph piece is one user-perceived
    // character: a surrogate pair or a letter with its combining marks is
    // never split. Emits nothing.
    QString nextPiece();

    // The nozzle settings. The main window and the view read them; the main
    // window writes nozzleInterval directly, the others change only through
    // the setters and the toolbar.
    bool nozzleOn = false;
    int nozzleType = 2;      // 2 glyph, 3 word, 4 passage
    int advance = 0;         // 0 forward, 1 repeat
    bool loop = true;
    int nozzleInterval = 100; // ms; 0: one piece per click
    int syncInterval = 5000;  // ms between two reads of the textpad's file

signals:
    void loadFile();
    void textChanged(const QString &text);
    void nozzleChanged(bool on);
    void advanceChanged();
    void loopChanged();
    void nozzleTypeChanged();

public slots:
    void OnActionTriggered(QAction *action);
    void OnTextChanged();
    void OnCurrentIndexChanged(const QString &itemText);

private:
    // The text area counts a CR LF pair as one position (one line break);
    // these map between positions in `text` and in the text area. At a soft
    // separator between the pieces of a long line, editPosition gives the end
    // of the piece before, or with `after` the start of the next.
    void indexLineBreaks();
    int editPosition(int textIndex, bool after) const;
    int textIndex(int inEdit) const;
    // Puts the text area's cursor at index with no selection, or selects
    // [start, end).
    void selectInEdit(int start, int end);

    QString text;
    // Indices in `text` of every LF that ends a CR LF pair, ascending.
    QVector<int> crlfEnds;

    QToolBar *toolBar;
    QComboBox *typeBox;
    TextpadEdit *textEdit;
    QAction *nozzleAction;
    QAction *advanceAction;
    QAction *loopAction;
    QAction *loadAction;
    QIcon nozzleOnIcon;
    QIcon nozzleOffIcon;
    QIcon forwardIcon;
    QIcon repeatIcon;
    QIcon loopOnIcon;
    QIcon loopOffIcon;
};

#endif // TEXTPADPANELDOCKWIDGET_H
