#ifndef TEXTPADEDIT_H
#define TEXTPADEDIT_H

#include <QHash>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVector>

#include <functional>

class QTextBlock;

// The textpad's text area. Qt lays a paragraph out whole, at every change of
// it, and wraps a run without a break opportunity in time that grows with the
// square of its length: one line of a few megabytes would freeze the window.
// So a line longer than PieceLength characters is held as several blocks, its
// pieces, joined by soft separators; only the pieces in view are laid out,
// each in bounded time. A piece shows as its line wrapped a little early at
// its end; text() joins the pieces again, and positions map between the text
// and the edit. Typing, deleting, pasting, copying, moving the cursor and
// undo treat a soft separator as no character.
//
// Each block records in its format whether the separator before it and the
// one after it are soft. Qt keeps one block's format when an edit merges
// blocks, so the two records disagree around a merge; the block the edit did
// not touch tells which is right. After each edit the pieces are tidied in
// the same undo step: records made to agree, no empty piece, no block longer
// than twice PieceLength.
//
// A piece is laid out, and Qt's cursor keys step in it, in its line's
// direction. Keys and clicks that reach the ends of a line or of a word (Ctrl+K,
// word keys, a double-click, a triple-click) find them in the line taken whole.
//
// Undo and redo go step by step as in a plain editor: a run of Backspace and
// Delete that a plain editor undoes in one step undoes in one here, and the
// cursor lands where a plain editor's does.
class TextpadEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    // The most characters setText or a paste puts into one piece.
    static const int PieceLength = 8192;

    explicit TextpadEdit(QWidget *parent = nullptr);

    // Replaces the text, with an empty undo history and the cursor at the start.
    void setText(const QString &text);
    // The text: every character as set or typed, lines separated by "\n"
    // (a line break of any kind, CR LF included, reads as "\n").
    QString text() const;
    // The position in the edit of an index in text(). At a soft separator,
    // the end of the piece before it, or with `after` the start of the next.
    int editPosition(int index, bool after) const;
    // The index in text() of a position in the edit.
    int textIndex(int position) const;
    // Whether the separator before the block is soft: the block continues
    // the line of the block before it.
    bool continuesLine(const QTextBlock &block) const;
    // The first and the last block of the line the block is a piece of.
    QTextBlock firstOfLine(QTextBlock block) const;
    QTextBlock lastOfLine(QTextBlock block) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // A run of one-character removals that a plain editor merges into one undo step.
    struct Run
    {
        int at = -1;
        int length = 0;
        bool own = false;
        // Where its first and last characters lie in the document's store of text, and, for a removal not yet made,
        // in the edit.
        int first = -1;
        int last = -1;
        int firstPosition = -1;
        int lastPosition = -1;
    };

    void OnContentsChange(int position, int removed, int added);
    bool softBetween(const QTextBlock &before, const QTextBlock &after) const;
    bool touched(const QTextBlock &block) const;
    // The edit positions of the soft separators, ascending.
    const QVector<int> &softSeparators() const;
    // What `find` finds in the text of the pieces around an edit position, read as one string, given the
    // position's index in it: two indices in it, given back as indices in text().
    QPair<int, int> inLine(int position, const std::function<QPair<int, int>(const QString &, int)> &find) const;
    // Where a word key's step from an edit position ends, back or on, in the line taken whole.
    int wordStep(int position, bool back) const;
    // Whether Qt takes a block that holds the whole line of the block for right to left: its cursor keys by the
    // line's first strong character, its layout by the first outside directional isolates.
    bool lineRightToLeft(const QTextBlock &block, bool layout) const;
    bool firstStrongRightToLeft(QTextBlock first, bool layout) const;
    // The direction the block is laid out in: its line's, where that is not its own text's (else Auto).
    Qt::LayoutDirection pieceDirection(const QTextBlock &block) const;
    // Qt's handler of the key, which steps by the direction of the line where a cursor key would by the block's.
    void keyInLine(QKeyEvent *event);
    // A selection of soft separators alone holds no character: as in a plain editor, it becomes no selection.
    void dropEmptySelection();
    // What Backspace (`back`) or Delete at the cursor, which has no selection, removes: edit positions.
    QPair<int, int> removal(const QTextCursor &cursor, bool back) const;
    // Whether a removal meets the run of removals a plain editor would merge it into.
    bool meetsRun(const Run &removed) const;
    Run removedRun(QPair<int, int> range) const;
    static Run joinedRun(const Run &run, const Run &removed);
    // Where the character at an edit position lies in the document's store of text, which Qt only appends to.
    int stored(int position) const;
    bool softSeparatorAt(int position) const;
    bool follows(int stored, int next, int between) const;
    // The run of the last undo step, where it holds one; a run kept for the last undo step.
    Run lastRun() const;
    void keepRun(const Run &run);
    // The removal (removedRun) made through a cursor, in one undo step with the run it meets, unless it removes a
    // line break.
    void removeInRun(QTextCursor cursor, Run removed, bool back, bool lineBreak);
    // The selection a click or a move of the pointer makes: the view stays, the X11 selection follows.
    void selectByPointer(const QTextCursor &cursor);
    // The selection made the X11 selection, where there is one.
    void offerSelection();
    // The line holding the position selected, with its line break.
    QTextCursor line(int position) const;
    // The selection a triple-click's extends to, by lines, with the pointer at the position.
    QTextCursor byLines(int position) const;
    // `inserted`: how many characters the edit put in just before the cursor, as the last change of its step.
    void placeCursor(const QTextCursor &cursor, int inserted = 0);
    void endStep(QTextCursor &cursor, int inserted);
    void tidy(int inserted = 0);

    bool m_pieced = false;     // a soft separator may exist
    int m_dirtyFrom = -1;      // what edits since the last tidy touched
    int m_dirtyTo = -1;
    bool m_tidying = false;    // the edits under way are setText's or tidy's own
    bool m_tidyQueued = false;
    mutable bool m_separatorsKnown = true;
    mutable QVector<int> m_separators;
    mutable QHash<int, bool> m_lineDirections; // lineRightToLeft's answers, forgotten with the separators
    // While the button stays down after a double-click: the word Qt selected in a piece, and the word in the line.
    QPair<int, int> m_pieceWord{-1, -1};
    QPair<int, int> m_lineWord{-1, -1};
    // The line a triple-click selected in a line of several pieces, until the next click; a move with the button
    // down or a Shift+click extends the selection from it line by line.
    QTextCursor m_tripleLine;
    // The runs of Backspace and Delete that undo steps hold, as a plain editor merges them, by the number of undo
    // steps up to theirs: where each removed its text and how much, as indices in text() after it; whether it was
    // made here; where its characters lay in the document's store of text. A step added drops the runs of its number
    // and beyond.
    QHash<int, Run> m_runs;
    // While Qt's drop handler runs, its edit block is open and the layout behind: the cursor of the text dropped is
    // placed once it has closed.
    bool m_dropping = false;
    QTextCursor m_dropped;
    int m_droppedInserted = 0;
};

#endif // TEXTPADEDIT_H
