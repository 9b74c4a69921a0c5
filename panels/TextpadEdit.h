#ifndef TEXTPADEDIT_H
#define TEXTPADEDIT_H

#include <QPlainTextEdit>
#include <QVector>

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
class TextpadEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    // The most characters setText or a paste puts into one piece.
    static const int PieceLength = 4096;

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

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    void OnContentsChange(int position, int removed, int added);
    bool softBetween(const QTextBlock &before, const QTextBlock &after) const;
    bool touched(const QTextBlock &block) const;
    // The edit positions of the soft separators, ascending.
    const QVector<int> &softSeparators() const;
    // Where a word key's step from an edit position ends, back or on, in the line taken whole.
    int wordStep(int position, bool back) const;
    void tidy();

    bool m_pieced = false;     // a soft separator may exist
    int m_dirtyFrom = -1;      // what edits since the last tidy touched
    int m_dirtyTo = -1;
    bool m_tidying = false;    // the edits under way are setText's or tidy's own
    bool m_tidyQueued = false;
    mutable bool m_separatorsKnown = true;
    mutable QVector<int> m_separators;
};

#endif // TEXTPADEDIT_H
