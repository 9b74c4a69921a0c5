#include "panels/TextpadEdit.h"

#include "panels/TextpadDocumentLayout.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <private/qtextdocument_p.h>

#include <algorithm>

namespace {

// Block format properties: the separator before the block, and the one after it, is soft.
const int SoftBefore = QTextFormat::UserProperty + 1;
const int SoftAfter = QTextFormat::UserProperty + 2;

// What a text cursor's insertText turns into a block separator; a CR LF pair
// is one.
bool breaksLine(QChar c)
{
    const ushort u = c.unicode();
    return u == '\n' || u == '\r' || u == QChar::ParagraphSeparator || u == 0xfdd0 || u == 0xfdd1;
}

int lineEnd(const QString &t, int start)
{
    while (start < t.size() && !breaksLine(t.at(start)))
        ++start;
    return start;
}

int breakLength(const QString &t, int at)
{
    return t.at(at) == QLatin1Char('\r') && at + 1 < t.size() && t.at(at + 1) == QLatin1Char('\n') ? 2 : 1;
}

// Where the first piece of a line running from `from` to `end`, longer than a
// piece, ends: after the last whitespace in the second half of the piece, so
// that it ends where the line could wrap anyway; else after PieceLength
// characters, moved back to the start of a user-perceived character.
int pieceEnd(const QString &t, int from, int end)
{
    const int limit = from + TextpadEdit::PieceLength;
    for (int i = limit; i > from + TextpadEdit::PieceLength / 2; --i) {
        if (t.at(i - 1).isSpace())
            return i;
    }
    // Clusters are short: a window keeps this independent of the line's length.
    const int low = std::max(from, limit - 32);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, t.constData() + low, std::min(end, limit + 32) - low);
    finder.setPosition(limit - low);
    if (finder.isAtBoundary())
        return limit;
    const int back = finder.toPreviousBoundary();
    return back > 0 ? low + back : limit;
}

// The ends of all pieces of the line [start, end) but the last.
QVector<int> pieceCuts(const QString &t, int start, int end)
{
    QVector<int> cuts;
    while (end - start > TextpadEdit::PieceLength) {
        start = pieceEnd(t, start, end);
        cuts << start;
    }
    return cuts;
}

bool flag(const QTextBlock &block, int property)
{
    return block.blockFormat().boolProperty(property);
}

// Sets the block's records of its two separators, where they differ. Called
// inside an edit block: a cursor moved outside one lays its block out.
void record(QTextCursor &cursor, const QTextBlock &block, bool softBefore, bool softAfter)
{
    if (flag(block, SoftBefore) == softBefore && flag(block, SoftAfter) == softAfter)
        return;
    QTextBlockFormat format;
    format.setProperty(SoftBefore, softBefore);
    format.setProperty(SoftAfter, softAfter);
    cursor.setPosition(block.position());
    cursor.mergeBlockFormat(format);
}

// The text Qt's key handler types: the key's text where it starts with a printable, format or private use
// character, a surrogate pair or a tab, unless Control is held without Alt (format characters aside); for
// Shift+Return a line separator.
QString typedText(QKeyEvent *event)
{
    if (event == QKeySequence::InsertLineSeparator)
        return QString(QChar::LineSeparator);
    const QString text = event->text();
    if (text.isEmpty())
        return text;
    const QChar c = text.at(0);
    if (c.category() == QChar::Other_Format)
        return text;
    const Qt::KeyboardModifiers held = event->modifiers();
    if (held == Qt::ControlModifier || held == (Qt::ControlModifier | Qt::ShiftModifier))
        return QString();
    const bool pair = c.isHighSurrogate() && text.size() > 1 && text.at(1).isLowSurrogate();
    return c.isPrint() || c.category() == QChar::Other_PrivateUse || pair || c == QLatin1Char('\t') ? text : QString();
}

} // namespace

TextpadEdit::TextpadEdit(QWidget *parent)
    : QPlainTextEdit(parent)
{
    auto *doc = new QTextDocument(this);
    const auto direction = [this](const QTextBlock &block) { return pieceDirection(block); };
    doc->setDocumentLayout(new TextpadDocumentLayout(doc, direction));
    setDocument(doc);
    connect(doc, &QTextDocument::contentsChange, this, &TextpadEdit::OnContentsChange);
    connect(doc, &QTextDocument::undoCommandAdded, this, [this] {
        for (auto run = m_runs.begin(); run != m_runs.end();)
            run = run.key() >= document()->availableUndoSteps() ? m_runs.erase(run) : std::next(run);
    });
}

void TextpadEdit::setText(const QString &text)
{
    // The text as shown: a line break after each piece but the last of a line, and the numbers of the blocks that
    // continue a line.
    QString shown;
    QVector<int> continuing;
    int copied = 0;
    for (int start = 0, block = 0;; ++block) {
        const int end = lineEnd(text, start);
        for (int cut : pieceCuts(text, start, end)) {
            if (shown.isEmpty())
                shown.reserve(text.size() + text.size() / (PieceLength / 2) + 1);
            shown.append(text.constData() + copied, cut - copied).append(QLatin1Char('\n'));
            copied = cut;
            continuing << ++block;
        }
        if (end == text.size())
            break;
        start = end + breakLength(text, end);
    }

    m_tidying = true;
    if (continuing.isEmpty()) {
        setPlainText(text);
    } else {
        setPlainText(shown.append(text.constData() + copied, text.size() - copied));
        QTextDocument *doc = document();
        const bool undo = doc->isUndoRedoEnabled();
        doc->setUndoRedoEnabled(false);
        QTextCursor cursor(doc);
        cursor.beginEditBlock(); // where a cursor moves outside one, it lays its block out
        for (int number : continuing) {
            const QTextBlock block = doc->findBlockByNumber(number);
            record(cursor, block.previous(), flag(block.previous(), SoftBefore), true);
            record(cursor, block, true, false);
        }
        cursor.endEditBlock();
        doc->setUndoRedoEnabled(undo);
    }
    m_tidying = false;
    m_pieced = !continuing.isEmpty();
    m_dirtyFrom = m_dirtyTo = -1;
    m_separatorsKnown = false;
    m_lineDirections.clear();
    m_tripleLine = QTextCursor();
    m_runs.clear();
}

QString TextpadEdit::text() const
{
    QString t = document()->toRawText();
    const QVector<int> &soft = softSeparators();
    QChar *data = t.data();
    int written = 0;
    int k = 0;
    for (int i = 0; i < t.size(); ++i) {
        if (k < soft.size() && soft.at(k) == i) {
            ++k;
            continue;
        }
        const ushort u = data[i].unicode();
        const bool lineBreak = u == QChar::ParagraphSeparator || u == QChar::LineSeparator || u == 0xfdd0 || u == 0xfdd1;
        data[written++] = lineBreak ? QChar(QLatin1Char('\n')) : data[i];
    }
    t.truncate(written);
    return t;
}

int TextpadEdit::editPosition(int index, bool after) const
{
    // Soft separator k stands before the character of index soft[k] - k.
    const QVector<int> &soft = softSeparators();
    int low = 0;
    int high = soft.size();
    while (low < high) {
        const int mid = (low + high) / 2;
        const int before = soft.at(mid) - mid;
        if (before < index || (after && before == index))
            low = mid + 1;
        else
            high = mid;
    }
    return index + low;
}

int TextpadEdit::textIndex(int position) const
{
    const QVector<int> &soft = softSeparators();
    return position - int(std::lower_bound(soft.cbegin(), soft.cend(), position) - soft.cbegin());
}

bool TextpadEdit::continuesLine(const QTextBlock &block) const
{
    return block.isValid() && block.previous().isValid() && softBetween(block.previous(), block);
}

QTextBlock TextpadEdit::firstOfLine(QTextBlock block) const
{
    while (continuesLine(block))
        block = block.previous();
    return block;
}

QTextBlock TextpadEdit::lastOfLine(QTextBlock block) const
{
    while (continuesLine(block.next()))
        block = block.next();
    return block;
}

bool TextpadEdit::softBetween(const QTextBlock &before, const QTextBlock &after) const
{
    const bool softAfter = flag(before, SoftAfter);
    const bool softBefore = flag(after, SoftBefore);
    if (softAfter == softBefore)
        return softBefore;
    // An edit merged blocks and kept one block's records: the block it did not touch holds the right one.
    return touched(after) && !touched(before) ? softAfter : softBefore;
}

bool TextpadEdit::touched(const QTextBlock &block) const
{
    return m_dirtyFrom >= 0 && block.position() <= m_dirtyTo && block.position() + block.length() - 1 >= m_dirtyFrom;
}

const QVector<int> &TextpadEdit::softSeparators() const
{
    if (!m_separatorsKnown) {
        m_separators.clear();
        if (m_pieced) {
            QTextBlock before = document()->firstBlock();
            for (QTextBlock block = before.next(); block.isValid(); before = block, block = block.next()) {
                if (softBetween(before, block))
                    m_separators << block.position() - 1;
            }
        }
        m_separatorsKnown = true;
    }
    return m_separators;
}

void TextpadEdit::OnContentsChange(int position, int removed, int added)
{
    m_separatorsKnown = false;
    m_lineDirections.clear();
    // An edit may turn the direction of a line, and with it the pieces of the line in view.
    if (m_pieced)
        viewport()->update();
    if (m_tidying)
        return;
    if (m_dirtyFrom < 0) {
        m_dirtyFrom = position;
        m_dirtyTo = position + added;
    } else {
        m_dirtyTo = position <= m_dirtyTo ? std::max(m_dirtyTo + added - removed, position + added) : position + added;
        m_dirtyFrom = std::min(m_dirtyFrom, position);
    }
    // Edits that pass none of the handlers below (the context menu, moving text by drag) are tidied after.
    if (!m_tidyQueued) {
        m_tidyQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_tidyQueued = false;
                tidy();
            },
            Qt::QueuedConnection);
    }
}

void TextpadEdit::keyPressEvent(QKeyEvent *event)
{
    dropEmptySelection();
    QTextCursor cursor = textCursor();
    const QTextBlock block = cursor.block();
    const bool editable = !isReadOnly();
    const bool pieced = continuesLine(block) || continuesLine(block.next());

    // Ctrl+K (under X11's key bindings) deletes to the end of the line.
    if (editable && event == QKeySequence::DeleteEndOfLine && continuesLine(block.next())) {
        const QTextBlock last = lastOfLine(block);
        cursor.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
        cursor.removeSelectedText(); // an edit block of its own
        placeCursor(cursor);
        event->accept();
        return;
    }

    // A word key in a line of several pieces finds the word's edge in the line taken whole; at the line's end it
    // steps over the line break, as Qt's does. Moving and selecting go to the word on the left or the right, which
    // in a right-to-left line is the next or the previous.
    const bool wordBack = event == QKeySequence::MoveToPreviousWord || event == QKeySequence::SelectPreviousWord
                          || event == QKeySequence::DeleteStartOfWord;
    const bool wordSelect = event == QKeySequence::SelectPreviousWord || event == QKeySequence::SelectNextWord;
    const bool wordDelete = event == QKeySequence::DeleteStartOfWord || event == QKeySequence::DeleteEndOfWord;
    const bool wordKey = wordBack || wordSelect || wordDelete || event == QKeySequence::MoveToNextWord;
    const bool back = wordKey && wordBack != (!wordDelete && lineRightToLeft(block, false));
    const bool lineEnds = back ? cursor.atBlockStart() && !continuesLine(block)
                               : cursor.atBlockEnd() && !continuesLine(block.next());
    if (editable && wordKey && !lineEnds && pieced && !(wordDelete && cursor.hasSelection())) {
        const int to = wordStep(cursor.position(), back);
        cursor.setPosition(to, wordSelect || wordDelete ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
        if (wordDelete)
            cursor.removeSelectedText(); // an edit block of its own
        placeCursor(cursor);
        if (wordSelect)
            offerSelection(); // as Qt's keys that select do
        event->accept();
        return;
    }

    // Edits that may leave pieces to tidy: Backspace or Delete over a separator (which may join pieces whose records
    // disagree; joining two lines, it may make a block longer than two pieces) or emptying a piece, and text typed
    // into a block of two pieces. Qt makes a one-character edit no edit block of its own and merges the next one into
    // it, so that a tidying joined to it would undo apart from it; these edits are made here, each an edit block of
    // its own, and so is a removal that meets a run of them. (Qt's key handler asks the layout where the cursor is,
    // and Qt lays the blocks an edit changed out again only when its edit block closes: the handler never runs inside
    // one.)
    const bool backspace = event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier);
    const bool del = event == QKeySequence::Delete;
    const QString typed = typedText(event);
    // The block beyond the separator the key would remove.
    const QTextBlock beyond = backspace && cursor.atBlockStart() ? block.previous()
                              : del && cursor.atBlockEnd()       ? block.next()
                                                                 : QTextBlock();
    const QPair<int, int> range = editable && !cursor.hasSelection() && (backspace || del) ? removal(cursor, backspace)
                                                                                             : qMakePair(-1, -1);
    const Run removed = range.first >= 0 ? removedRun(range) : Run();
    const QTextBlock from = document()->findBlock(range.first);
    const QTextBlock to = document()->findBlock(range.second);
    // Qt never merges the removal of a line break, nor another removal into it.
    const bool lineBreak = from != to && !continuesLine(to);
    const bool joins = from != to
                       && (m_pieced || (beyond.isValid() && block.length() + beyond.length() - 2 > 2 * PieceLength));
    const bool empties = range.second - range.first == from.length() - 1
                         && (continuesLine(from) || continuesLine(from.next()));
    if (range.first >= 0 && (joins || empties || (lastRun().own && meetsRun(removed)))) {
        removeInRun(cursor, removed, backspace, lineBreak);
        event->accept();
        return;
    }
    if (editable && !cursor.hasSelection() && !typed.isEmpty() && !overwriteMode()
        && block.length() > 2 * PieceLength) {
        cursor.beginEditBlock();
        cursor.insertText(typed);
        cursor.endEditBlock();
        placeCursor(cursor, typed.size());
        event->accept();
        return;
    }

    const bool step = event == QKeySequence::MoveToNextChar || event == QKeySequence::MoveToPreviousChar
                      || event == QKeySequence::SelectNextChar || event == QKeySequence::SelectPreviousChar;
    const int was = step ? textIndex(cursor.position()) : 0;
    const Run before = lastRun();
    const bool merges = range.first >= 0 && meetsRun(removed);
    const int steps = document()->availableUndoSteps();
    const int revision = document()->revision();
    keyInLine(event);
    // A step that crossed only a soft separator goes on to the next character.
    if (step && textCursor().position() != cursor.position() && textIndex(textCursor().position()) == was)
        keyInLine(event);
    // Qt's own removal: a run of its own, or merged into the one before.
    if (range.first >= 0) {
        const bool added = document()->availableUndoSteps() > steps;
        Run run = added ? removed : joinedRun(before, removed);
        run.at = (added || merges) && !lineBreak ? run.at : -1;
        keepRun(run);
    }
    if (event == QKeySequence::InsertParagraphSeparator && editable) {
        // The new block took the records of the one it was split from; the line break between them is real.
        QTextCursor after = textCursor();
        const QTextBlock split = after.block();
        if (split.previous().isValid() && (flag(split, SoftBefore) || flag(split.previous(), SoftAfter))) {
            after.joinPreviousEditBlock();
            record(after, split.previous(), flag(split.previous(), SoftBefore), false);
            record(after, split, false, flag(split, SoftAfter));
            endStep(after, 0);
            after.endEditBlock();
        }
    }
    // The key's step ends with the text it typed, where Qt's handler typed it.
    tidy(!typed.isEmpty() && document()->revision() != revision ? typed.size() : 0);
}

// As Qt's Backspace and Delete: a code point (a surrogate pair whole) before the cursor, a grapheme after it, or the
// line break; next to a soft separator, the character beyond it with the separator.
QPair<int, int> TextpadEdit::removal(const QTextCursor &cursor, bool back) const
{
    const QTextBlock block = cursor.block();
    const int at = cursor.position();
    if (back) {
        const QTextBlock before = cursor.atBlockStart() ? block.previous() : block;
        if (!before.isValid())
            return {-1, -1};
        const int end = before != block ? before.position() + before.length() - 1 : at;
        int from = end - (before == block || (continuesLine(block) && end > before.position()) ? 1 : 0);
        const QString t = before.text();
        const int i = from - before.position();
        if (i > 0 && i < t.size() && t.at(i).isLowSurrogate() && t.at(i - 1).isHighSurrogate())
            --from;
        return {from, at};
    }
    const QTextBlock after = cursor.atBlockEnd() ? block.next() : block;
    if (!after.isValid())
        return {-1, -1};
    if (after != block && !continuesLine(after))
        return {at, at + 1};
    return {at, after.position() + after.layout()->nextCursorPosition(after != block ? 0 : at - block.position())};
}

// Qt merges a one-character removal into the removal before where the two meet, also after the cursor moved, and
// where their characters lie side by side in the document's store of text: where they were put in together.
bool TextpadEdit::meetsRun(const Run &removed) const
{
    const Run run = lastRun();
    if (run.at < 0 || !document()->isModified())
        return false;
    if (removed.at == run.at) // after the run
        return follows(run.last, stored(removed.firstPosition), removed.firstPosition - 1);
    return removed.at + removed.length == run.at
           && follows(stored(removed.lastPosition), run.first, removed.lastPosition + 1);
}

// Whether one stored character lies right after another in the document's store of text, as in a plain editor's: a
// soft separator between them at the edit position `between` is no character, where it was put in with the text
// around it (as the line break it was then).
bool TextpadEdit::follows(int stored, int next, int between) const
{
    return next == stored + 1
           || (next == stored + 2 && softSeparatorAt(between)
               && breaksLine(document()->docHandle()->buffer().at(stored + 1)));
}

// The one-character removal of the edit positions in `range`, as a run of its own.
TextpadEdit::Run TextpadEdit::removedRun(QPair<int, int> range) const
{
    Run run;
    run.at = textIndex(range.first);
    run.length = textIndex(range.second) - run.at;
    run.firstPosition = softSeparatorAt(range.first) ? range.first + 1 : range.first;
    run.lastPosition = softSeparatorAt(range.second - 1) ? range.second - 2 : range.second - 1;
    run.first = stored(run.firstPosition);
    run.last = stored(run.lastPosition);
    return run;
}

// The run a removal merged into makes, with it.
TextpadEdit::Run TextpadEdit::joinedRun(const Run &run, const Run &removed)
{
    Run joined = removed;
    joined.length += run.length;
    if (removed.at == run.at)
        joined.first = run.first;
    else
        joined.last = run.last;
    return joined;
}

int TextpadEdit::stored(int position) const
{
    const QTextDocumentPrivate::FragmentIterator fragment = document()->docHandle()->find(position);
    return fragment->stringPosition + position - fragment.position();
}

bool TextpadEdit::softSeparatorAt(int position) const
{
    const QTextBlock block = document()->findBlock(position);
    return block.isValid() && position == block.position() + block.length() - 1 && continuesLine(block.next());
}

TextpadEdit::Run TextpadEdit::lastRun() const
{
    return m_runs.value(document()->availableUndoSteps());
}

void TextpadEdit::keepRun(const Run &run)
{
    m_runs.insert(document()->availableUndoSteps(), run);
}

// Where the removal meets a run that a plain editor would merge it into (Qt's own or made here), the run is taken
// back and removed again with it, in one removal at one place: so the whole run undoes in one step, with the cursor
// where a plain editor's goes.
void TextpadEdit::removeInRun(QTextCursor cursor, Run removed, bool back, bool lineBreak)
{
    QTextDocument *doc = document();
    int start = removed.at;
    int end = start + removed.length;
    if (!lineBreak && meetsRun(removed)) {
        const Run run = lastRun();
        const QSignalBlocker blocker(this); // the text goes back only for a moment
        doc->undo();
        end = start == run.at ? end + run.length : run.at + run.length;
        start = std::min(start, run.at);
        removed = joinedRun(run, removed);
    }
    // Qt removes the text before the cursor with the cursor after it, and the text after it with the cursor before.
    cursor.setPosition(editPosition(back ? start : end, false));
    cursor.setPosition(editPosition(back ? end : start, false), QTextCursor::KeepAnchor);
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    cursor.endEditBlock();
    placeCursor(cursor);
    removed.at = lineBreak ? -1 : start;
    removed.own = true;
    keepRun(removed);
}

// The pieces around the position are read, twice as many each time, until what is found and the position lie clear
// of the ends of the text read that are not the line's, where the word boundaries may differ from the line's.
QPair<int, int> TextpadEdit::inLine(int position,
                                    const std::function<QPair<int, int>(const QString &, int)> &find) const
{
    const int clear = 16;
    QTextBlock first = document()->findBlock(position);
    QTextBlock last = first;
    for (int more = 1;; more *= 2) {
        QString text;
        for (QTextBlock b = first;; b = b.next()) {
            text += b.text();
            if (b == last)
                break;
        }
        const int start = textIndex(first.position());
        const int from = textIndex(position) - start;
        const QPair<int, int> found = find(text, from);
        const int low = std::min({from, found.first, found.second});
        const int high = std::max({from, found.first, found.second});
        const bool before = low < clear && continuesLine(first);
        const bool after = text.size() - high < clear && continuesLine(last.next());
        if (!before && !after)
            return {start + found.first, start + found.second};
        for (int i = 0; i < more; ++i) {
            if (before && continuesLine(first))
                first = first.previous();
            if (after && continuesLine(last.next()))
                last = last.next();
        }
    }
}

// Where a word step from a position ends: where Qt's ends in the line taken whole.
int TextpadEdit::wordStep(int position, bool back) const
{
    const int to = inLine(position, [back](const QString &text, int from) {
                       QTextLayout layout(text);
                       const int to = back ? layout.previousCursorPosition(from, QTextLayout::SkipWords)
                                           : layout.nextCursorPosition(from, QTextLayout::SkipWords);
                       return qMakePair(to, to);
                   }).first;
    return editPosition(to, back);
}

bool TextpadEdit::lineRightToLeft(const QTextBlock &block, bool layout) const
{
    const QTextBlock b = firstOfLine(block);
    // A line with no strong character is read to its end: once until the next edit.
    const int key = 2 * b.position() + (layout ? 1 : 0);
    const auto known = m_lineDirections.constFind(key);
    if (known != m_lineDirections.cend())
        return known.value();
    const bool rightToLeft = firstStrongRightToLeft(b, layout);
    m_lineDirections.insert(key, rightToLeft);
    return rightToLeft;
}

bool TextpadEdit::firstStrongRightToLeft(QTextBlock b, bool layout) const
{
    int isolates = 0;
    for (;; b = b.next()) {
        const QString t = b.text();
        for (int i = 0; i < t.size(); ++i) {
            uint c = t.at(i).unicode();
            if (QChar::isHighSurrogate(c) && i + 1 < t.size() && t.at(i + 1).isLowSurrogate()) {
                c = QChar::surrogateToUcs4(t.at(i), t.at(i + 1));
                ++i;
            }
            switch (QChar::direction(c)) {
            case QChar::DirLRI:
            case QChar::DirRLI:
            case QChar::DirFSI:
                isolates += layout ? 1 : 0;
                break;
            case QChar::DirPDI:
                isolates -= isolates > 0 ? 1 : 0;
                break;
            case QChar::DirL:
                if (isolates == 0)
                    return false;
                break;
            case QChar::DirR:
            case QChar::DirAL:
                if (isolates == 0)
                    return true;
                break;
            default:
                break;
            }
        }
        if (!continuesLine(b.next()))
            return false;
    }
}

Qt::LayoutDirection TextpadEdit::pieceDirection(const QTextBlock &block) const
{
    if (!continuesLine(block) && !continuesLine(block.next()))
        return Qt::LayoutDirectionAuto;
    const bool rightToLeft = lineRightToLeft(block, true);
    if (rightToLeft == block.text().isRightToLeft())
        return Qt::LayoutDirectionAuto;
    return rightToLeft ? Qt::RightToLeft : Qt::LeftToRight;
}

void TextpadEdit::keyInLine(QKeyEvent *event)
{
    const QTextBlock block = textCursor().block();
    const bool sideways = (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)
                          && (event == QKeySequence::MoveToNextChar || event == QKeySequence::MoveToPreviousChar
                              || event == QKeySequence::SelectNextChar || event == QKeySequence::SelectPreviousChar
                              || event == QKeySequence::MoveToNextWord || event == QKeySequence::MoveToPreviousWord
                              || event == QKeySequence::SelectNextWord || event == QKeySequence::SelectPreviousWord);
    if (!sideways || (!continuesLine(block) && !continuesLine(block.next()))
        || (block.textDirection() == Qt::RightToLeft) == lineRightToLeft(block, false)) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent turned(event->type(), event->key() == Qt::Key_Left ? Qt::Key_Right : Qt::Key_Left, event->modifiers(),
                     event->nativeScanCode(), event->nativeVirtualKey(), event->nativeModifiers(), event->text(),
                     event->isAutoRepeat(), event->count());
    QPlainTextEdit::keyPressEvent(&turned);
    event->setAccepted(turned.isAccepted());
}

void TextpadEdit::dropEmptySelection()
{
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection() && textIndex(cursor.anchor()) == textIndex(cursor.position())) {
        cursor.clearSelection();
        setTextCursor(cursor);
    }
}

void TextpadEdit::contextMenuEvent(QContextMenuEvent *event)
{
    dropEmptySelection(); // so Cut, Copy and Delete show disabled, as in a plain editor
    QPlainTextEdit::contextMenuEvent(event);
}

// Qt selects a block on a triple-click, and while the button stays down, or on a Shift+click, extends the selection
// by blocks: in a line of several pieces, by lines instead.
void TextpadEdit::mousePressEvent(QMouseEvent *event)
{
    const QTextCursor was = textCursor();
    QPlainTextEdit::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QTextCursor cursor = textCursor();
    const QTextBlock block = cursor.block().position() == cursor.selectionStart() ? cursor.block()
                                                                                   : cursor.block().previous();
    const bool shift = event->modifiers() == Qt::ShiftModifier;
    if (shift && m_tripleLine.hasSelection()) {
        selectByPointer(byLines(cursorForPosition(event->pos()).position()));
        return;
    }
    m_tripleLine = QTextCursor();
    // Qt's triple-click: the block under the pointer selected from its start over its line break.
    const bool triple = !shift && cursor.hasSelection()
                        && (cursor.anchor() != was.anchor() || cursor.position() != was.position())
                        && cursor.anchor() == block.position()
                        && cursor.position() == block.position() + block.length() - (block.next().isValid() ? 0 : 1);
    if (triple && (continuesLine(block) || continuesLine(block.next()))) {
        m_tripleLine = line(block.position());
        selectByPointer(m_tripleLine);
    }
}

// Qt selects the word under the pointer in its block. Where that word reaches a soft separator, or the pointer is
// at one, the word is found in the line taken whole.
void TextpadEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseDoubleClickEvent(event);
    m_pieceWord = m_lineWord = qMakePair(-1, -1);
    QTextCursor cursor = textCursor();
    const QTextBlock block = document()->findBlock(cursor.selectionStart());
    if (event->button() != Qt::LeftButton
        || !((cursor.selectionStart() == block.position() && continuesLine(block))
             || (cursor.selectionEnd() == block.position() + block.length() - 1 && continuesLine(block.next()))))
        return;
    const QPair<int, int> word = inLine(cursorForPosition(event->pos()).position(), [](const QString &text, int from) {
        QTextDocument line(text);
        QTextCursor c(&line);
        c.setPosition(from);
        c.select(QTextCursor::WordUnderCursor);
        return qMakePair(c.selectionStart(), c.selectionEnd());
    });
    m_pieceWord = qMakePair(cursor.selectionStart(), cursor.selectionEnd());
    cursor.setPosition(editPosition(word.first, true));
    cursor.setPosition(editPosition(word.second, false), QTextCursor::KeepAnchor);
    m_lineWord = qMakePair(cursor.selectionStart(), cursor.selectionEnd());
    selectByPointer(cursor);
}

// Moved with the button down after a double-click, Qt keeps the word it selected, or extends the selection from
// one of its ends: the word in the line instead. After a triple-click it keeps the block or extends the selection
// by blocks: the line, and lines, instead.
void TextpadEdit::mouseMoveEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseMoveEvent(event);
    if (!(event->buttons() & Qt::LeftButton))
        return;
    QTextCursor cursor = textCursor();
    const int anchor = cursor.anchor();
    const int position = cursor.position();
    if (m_tripleLine.hasSelection()) {
        cursor = byLines(cursorForPosition(event->pos()).position());
    } else if (m_pieceWord.first >= 0 && (anchor == m_pieceWord.first || anchor == m_pieceWord.second)) {
        if (position >= m_lineWord.first && position <= m_lineWord.second) {
            cursor.setPosition(m_lineWord.first);
            cursor.setPosition(m_lineWord.second, QTextCursor::KeepAnchor);
        } else {
            cursor.setPosition(position < m_lineWord.first ? m_lineWord.second : m_lineWord.first);
            cursor.setPosition(position, QTextCursor::KeepAnchor);
        }
    }
    if (cursor.anchor() != anchor || cursor.position() != position)
        selectByPointer(cursor);
}

void TextpadEdit::selectByPointer(const QTextCursor &cursor)
{
    const int top = verticalScrollBar()->value();
    const int left = horizontalScrollBar()->value();
    setTextCursor(cursor);
    verticalScrollBar()->setValue(top);
    horizontalScrollBar()->setValue(left);
    offerSelection();
}

void TextpadEdit::offerSelection()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (textCursor().hasSelection() && clipboard->supportsSelection())
        clipboard->setMimeData(createMimeDataFromSelection(), QClipboard::Selection);
}

QTextCursor TextpadEdit::line(int position) const
{
    const QTextBlock block = document()->findBlock(position);
    const QTextBlock first = firstOfLine(block);
    const QTextBlock last = lastOfLine(block);
    QTextCursor cursor(document());
    cursor.setPosition(first.position());
    cursor.setPosition(last.position() + last.length() - (last.next().isValid() ? 0 : 1), QTextCursor::KeepAnchor);
    return cursor;
}

// As Qt extends a triple-click's selection by blocks to the block at a position: by lines.
QTextCursor TextpadEdit::byLines(int position) const
{
    if (position >= m_tripleLine.selectionStart() && position <= m_tripleLine.selectionEnd())
        return m_tripleLine;
    const bool before = position < m_tripleLine.selectionStart();
    const QTextCursor to = line(position);
    QTextCursor cursor = m_tripleLine;
    cursor.setPosition(before ? m_tripleLine.selectionEnd() : m_tripleLine.selectionStart());
    cursor.setPosition(before ? to.selectionStart() : to.selectionEnd(), QTextCursor::KeepAnchor);
    return cursor;
}

void TextpadEdit::mouseReleaseEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    if (!(event->buttons() & Qt::LeftButton))
        m_pieceWord = m_lineWord = qMakePair(-1, -1);
}

void TextpadEdit::inputMethodEvent(QInputMethodEvent *event)
{
    const int revision = document()->revision();
    QPlainTextEdit::inputMethodEvent(event);
    tidy(document()->revision() != revision ? event->commitString().size() : 0);
}

QMimeData *TextpadEdit::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    const int from = textIndex(cursor.selectionStart());
    auto *data = new QMimeData;
    data->setText(text().mid(from, textIndex(cursor.selectionEnd()) - from));
    return data;
}

void TextpadEdit::insertFromMimeData(const QMimeData *source)
{
    if (isReadOnly() || !source || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    // As typed, except that a long line goes in as pieces; an empty text changes nothing, as Qt pastes no empty
    // fragment.
    const QString t = source->text();
    if (t.isEmpty()) {
        ensureCursorVisible();
        return;
    }
    QTextCursor cursor = textCursor();
    // A new block takes the records of the block it is split from, and so the tail of that block keeps the record
    // of its separator after; the part before gets the new separator's.
    // (The record of the part before is set first, so that the step ends with text or a block put in, where redo
    // places the cursor.)
    const auto separate = [&cursor](bool soft) {
        QTextBlockFormat format = cursor.blockFormat();
        format.setProperty(SoftBefore, soft);
        if (flag(cursor.block(), SoftAfter) != soft) {
            QTextBlockFormat after;
            after.setProperty(SoftAfter, soft);
            cursor.mergeBlockFormat(after);
        }
        cursor.insertBlock(format);
    };
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    int inserted = 0; // the step ends with the text of the last piece put in, where it has any
    for (int start = 0;;) {
        const int end = lineEnd(t, start);
        for (int cut : pieceCuts(t, start, end)) {
            cursor.insertText(t.mid(start, cut - start));
            separate(true);
            m_pieced = true;
            start = cut;
        }
        cursor.insertText(t.mid(start, end - start));
        inserted = end - start;
        if (end == t.size())
            break;
        separate(false);
        start = end + breakLength(t, end);
    }
    cursor.endEditBlock();
    if (m_dropping) {
        m_dropped = cursor;
        m_droppedInserted = inserted;
    } else {
        placeCursor(cursor, inserted);
    }
}

void TextpadEdit::dropEvent(QDropEvent *event)
{
    m_dropping = true;
    QPlainTextEdit::dropEvent(event);
    m_dropping = false;
    if (!m_dropped.isNull()) {
        const QTextCursor dropped = m_dropped;
        m_dropped = QTextCursor();
        placeCursor(dropped, m_droppedInserted);
    }
}

// The cursor of an edit made here, shown, and the pieces the edit touched tidied.
void TextpadEdit::placeCursor(const QTextCursor &cursor, int inserted)
{
    setTextCursor(cursor);
    ensureCursorVisible();
    tidy(inserted);
}

// Redo puts the cursor where the last change of a step leaves it, which a change of a block's records does nowhere
// (at the end of all the step changed); and Qt merges text typed next into a step that ends with text put in just
// before the cursor, as the typed or pasted text of a plain editor's step ends it. So a step that changed records ends
// with a change at the cursor: where the edit ended with text put in before the cursor, that text (within its block)
// taken out and put in again; else a character put in and taken out again.
void TextpadEdit::endStep(QTextCursor &cursor, int inserted)
{
    const QTextCursor at = textCursor();
    const int back = std::min(inserted, at.positionInBlock());
    cursor.setPosition(at.position());
    if (back > 0) {
        cursor.setPosition(at.position() - back, QTextCursor::KeepAnchor);
        const QString text = cursor.selectedText();
        cursor.removeSelectedText();
        cursor.insertText(text);
    } else {
        cursor.insertText(QStringLiteral(" "));
        cursor.deletePreviousChar();
    }
}

// After an edit, in its undo step: the records of every separator the edit
// touched agree, no piece is empty (an empty block next to a soft separator
// would show as a line of its own), and no block holds more than twice
// PieceLength characters (edits that merge pieces may make one longer).
void TextpadEdit::tidy(int inserted)
{
    if (m_dirtyFrom < 0)
        return;
    QTextDocument *doc = document();
    // While redo steps remain, an undo or redo put the blocks back as they were, already tidy. (Qt's count of redo
    // steps leaves out the next one.)
    if (doc->isRedoAvailable()) {
        m_dirtyFrom = m_dirtyTo = -1;
        m_separatorsKnown = false;
        m_lineDirections.clear();
        return;
    }

    // The blocks touched, with an untouched one on either side where there is one.
    const int lastPosition = doc->characterCount() - 1;
    QTextBlock first = doc->findBlock(qBound(0, m_dirtyFrom, lastPosition));
    QTextBlock last = doc->findBlock(qBound(0, m_dirtyTo, lastPosition));
    if (first.previous().isValid())
        first = first.previous();
    if (last.next().isValid())
        last = last.next();
    QVector<QTextBlock> blocks;
    for (QTextBlock block = first;; block = block.next()) {
        blocks << block;
        if (block == last)
            break;
    }
    const int n = blocks.size();
    // soft[i]: the separator before block i is soft; soft[n]: the one after the last.
    QVector<bool> soft(n + 1);
    soft[0] = continuesLine(first);
    for (int i = 1; i < n; ++i)
        soft[i] = softBetween(blocks.at(i - 1), blocks.at(i));
    soft[n] = last.next().isValid() && softBetween(last, last.next());

    // The blocks as they should be: an empty block next to a soft separator merges over it.
    struct Unit
    {
        int start;
        int length;
        bool softBefore;
    };
    QVector<Unit> units;
    QVector<int> drops; // positions of the separators to remove, ascending
    bool splits = false;
    for (int i = 0; i < n; ++i) {
        const int length = blocks.at(i).length() - 1;
        if (i > 0 && soft.at(i) && (units.last().length == 0 || length == 0)) {
            drops << blocks.at(i).position() - 1;
            units.last().length += length;
        } else {
            units << Unit{blocks.at(i).position() - drops.size(), length, soft.at(i)};
        }
        splits = splits || units.last().length > 2 * PieceLength;
    }
    bool recordsAgree = drops.isEmpty();
    for (int i = 0; i < n && recordsAgree; ++i)
        recordsAgree = flag(blocks.at(i), SoftBefore) == soft.at(i) && flag(blocks.at(i), SoftAfter) == soft.at(i + 1);
    if (recordsAgree && !splits) {
        m_dirtyFrom = m_dirtyTo = -1;
        m_separatorsKnown = false;
        m_lineDirections.clear();
        return;
    }

    m_tidying = true;
    const QSignalBlocker blocker(this); // the text stays as it is
    QTextCursor cursor(doc);
    cursor.joinPreviousEditBlock();
    for (int i = drops.size() - 1; i >= 0; --i) {
        cursor.setPosition(drops.at(i));
        cursor.deleteChar();
    }
    // Long blocks split into pieces, the last first so that the starts before stay.
    QVector<bool> softs; // the separator before each block of the region, in order, reversed
    softs.reserve(units.size());
    for (int u = units.size() - 1; u >= 0; --u) {
        const Unit &unit = units.at(u);
        if (unit.length > 2 * PieceLength) {
            const QString text = doc->findBlock(unit.start).text();
            const QVector<int> cuts = pieceCuts(text, 0, text.size());
            for (int c = cuts.size() - 1; c >= 0; --c) {
                cursor.setPosition(unit.start + cuts.at(c));
                cursor.insertBlock();
                softs << true;
            }
            m_pieced = true;
        }
        softs << unit.softBefore;
    }
    QTextBlock block = doc->findBlock(units.first().start);
    for (int i = softs.size() - 1; i >= 0; --i, block = block.next())
        record(cursor, block, softs.at(i), i > 0 ? softs.at(i - 1) : soft.at(n));
    endStep(cursor, inserted);
    cursor.endEditBlock();
    m_tidying = false;
    m_dirtyFrom = m_dirtyTo = -1;
    m_separatorsKnown = false;
    m_lineDirections.clear();
}
