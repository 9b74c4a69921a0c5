#include "panels/TextpadPanelDockWidget.h"

#include "panels/TextpadEdit.h"

#include <QAction>
#include <QComboBox>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QChar CR(13);
const QChar LF(10);

QAction *makeAction(const QString &name, const QIcon &icon, QObject *owner)
{
    QAction *action = new QAction(icon, name, owner);
    action->setObjectName(name);
    action->setStatusTip(name);
    return action;
}

bool isLineEnd(QChar c)
{
    return c == CR || c == LF;
}

// The length of the user-perceived character at start: a surrogate pair,
// a letter with its combining marks, an emoji sequence count as one.
int glyphLength(const QString &t, int start)
{
    // Clusters are short; a window keeps each call independent of the
    // length of the text.
    const int window = std::min(t.size() - start, 32);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, t.constData() + start, window);
    const int next = finder.toNextBoundary();
    if (next > 0)
        return next;
    return t.at(start).isHighSurrogate() && start + 1 < t.size() && t.at(start + 1).isLowSurrogate() ? 2 : 1;
}

} // namespace

TextpadPanelDockWidget::TextpadPanelDockWidget(QWidget *parent)
    : QDockWidget(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("TextpadPanelDockWidget"));
    resize(200, 272);
    setWindowTitle(tr("Textpad"));

    const QString dir = QStringLiteral(":/res/icon/TextpadToolbar/24/png/");
    nozzleOnIcon = QIcon(dir + QStringLiteral("nozzle_on.png"));
    nozzleOffIcon = QIcon(dir + QStringLiteral("nozzle_off.png"));
    forwardIcon = QIcon(dir + QStringLiteral("forward.png"));
    repeatIcon = QIcon(dir + QStringLiteral("repeat.png"));
    loopOnIcon = QIcon(dir + QStringLiteral("loop_on.png"));
    loopOffIcon = QIcon(dir + QStringLiteral("loop_off.png"));

    toolBar = new QToolBar;
    nozzleAction = makeAction(QStringLiteral("Nozzle"), nozzleOffIcon, this);
    toolBar->addAction(nozzleAction);
    typeBox = new QComboBox;
    typeBox->addItems({QStringLiteral("Glyph"), QStringLiteral("Word"), QStringLiteral("Passage")});
    toolBar->addWidget(typeBox);
    advanceAction = makeAction(QStringLiteral("Advance"), forwardIcon, this);
    loopAction = makeAction(QStringLiteral("Loop"), loopOnIcon, this);
    loadAction = makeAction(QStringLiteral("Load"), QIcon(dir + QStringLiteral("open.png")), this);
    toolBar->addAction(advanceAction);
    toolBar->addAction(loopAction);
    toolBar->addAction(loadAction);

    textEdit = new TextpadEdit;

    QWidget *container = new QWidget;
    QVBoxLayout *layout = new QVBoxLayout(container);
    layout->addWidget(toolBar);
    layout->addWidget(textEdit);
    setWidget(container);

    connect(toolBar, &QToolBar::actionTriggered, this, &TextpadPanelDockWidget::OnActionTriggered);
    connect(textEdit, &QPlainTextEdit::textChanged, this, &TextpadPanelDockWidget::OnTextChanged);
    connect(typeBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int index) { OnCurrentIndexChanged(typeBox->itemText(index)); });
}

TextpadPanelDockWidget::~TextpadPanelDockWidget() = default;

void TextpadPanelDockWidget::setNozzleType(int type)
{
    nozzleType = type;
    const QSignalBlocker blocker(typeBox);
    if (type >= 2 && type <= 4)
        typeBox->setCurrentIndex(type - 2);
}

void TextpadPanelDockWidget::setAdvance(int mode)
{
    advance = mode;
    if (mode == 0)
        advanceAction->setIcon(forwardIcon);
    else if (mode == 1)
        advanceAction->setIcon(repeatIcon);
}

void TextpadPanelDockWidget::setLoop(bool on)
{
    loop = on;
    loopAction->setIcon(on ? loopOnIcon : loopOffIcon);
}

void TextpadPanelDockWidget::setNozzleOn(bool on)
{
    nozzleOn = on;
    nozzleAction->setIcon(on ? nozzleOnIcon : nozzleOffIcon);
}

void TextpadPanelDockWidget::setText(const QString &newText)
{
    if (newText == text)
        return;
    {
        // Plain text always: a text that looks like HTML is still the text
        // the nozzle reads, position for position.
        const QSignalBlocker blocker(textEdit);
        textEdit->setText(newText);
    }
    text = newText;
    indexLineBreaks();
}

void TextpadPanelDockWidget::OnActionTriggered(QAction *action)
{
    const QString name = action->objectName();
    if (name == QLatin1String("Nozzle")) {
        setNozzleOn(!nozzleOn);
        emit nozzleChanged(nozzleOn);
    } else if (name == QLatin1String("Advance")) {
        if (advance == 0)
            setAdvance(1);
        else if (advance == 1)
            setAdvance(0);
        emit advanceChanged();
    } else if (name == QLatin1String("Loop")) {
        setLoop(!loop);
        emit loopChanged();
    } else if (name == QLatin1String("Load")) {
        emit loadFile();
    }
}

void TextpadPanelDockWidget::OnTextChanged()
{
    const QString edited = textEdit->text();
    if (edited == text)
        return;
    text = edited;
    indexLineBreaks();
    emit textChanged(text);
}

void TextpadPanelDockWidget::OnCurrentIndexChanged(const QString &itemText)
{
    const QString type = itemText.toLower();
    if (type == QLatin1String("passage"))
        nozzleType = 4;
    else if (type == QLatin1String("word"))
        nozzleType = 3;
    else if (type == QLatin1String("glyph"))
        nozzleType = 2;
    emit nozzleTypeChanged();
}

QString TextpadPanelDockWidget::nextPiece()
{
    const QString &t = text;
    const int n = t.size();
    if (std::all_of(t.cbegin(), t.cend(), [](QChar c) { return c.isSpace(); }))
        return QString();

    QString prefix;
    const QTextCursor cursor = textEdit->textCursor();
    int p = textIndex(advance == 1 ? cursor.selectionStart() : cursor.selectionEnd());
    // Never start on the second half of a surrogate pair.
    if (p > 0 && p < n && t.at(p).isLowSurrogate() && t.at(p - 1).isHighSurrogate())
        --p;

    if (p >= n) {
        if (!loop) {
            selectInEdit(n, n);
            return QString();
        }
        p = 0;
    }
    // Skip whitespace; the last character skipped that is not LF becomes
    // the prefix. The text holds something else, so this ends.
    while (t.at(p).isSpace()) {
        if (t.at(p) != LF)
            prefix = t.at(p);
        if (++p == n) {
            if (!loop) {
                selectInEdit(n, n);
                return QString();
            }
            p = 0;
        }
    }

    int start = p;
    int end;
    if (nozzleType == 3) {
        while (start > 0 && !t.at(start - 1).isSpace())
            --start;
        end = start + 1;
        while (end < n && !t.at(end).isSpace())
            ++end;
    } else if (nozzleType == 4) {
        while (start > 0 && !isLineEnd(t.at(start - 1)))
            --start;
        end = start + 1;
        while (end < n && !isLineEnd(t.at(end)))
            ++end;
    } else {
        end = start + glyphLength(t, start);
    }

    selectInEdit(start, end);
    return prefix + t.mid(start, end - start);
}

void TextpadPanelDockWidget::indexLineBreaks()
{
    crlfEnds.clear();
    for (int i = 1; i < text.size(); ++i) {
        if (text.at(i) == LF && text.at(i - 1) == CR)
            crlfEnds.append(i);
    }
}

int TextpadPanelDockWidget::editPosition(int index, bool after) const
{
    // Every pair ending before index is one position short in the edit.
    return textEdit->editPosition(
        index - int(std::lower_bound(crlfEnds.cbegin(), crlfEnds.cend(), index) - crlfEnds.cbegin()), after);
}

int TextpadPanelDockWidget::textIndex(int inEdit) const
{
    const int position = textEdit->textIndex(inEdit);
    // Pair k (ending at crlfEnds[k]) starts at edit position
    // crlfEnds[k] - 1 - k; each pair starting before position adds one.
    int low = 0;
    int high = crlfEnds.size();
    while (low < high) {
        const int mid = (low + high) / 2;
        if (crlfEnds.at(mid) - 1 - mid < position)
            low = mid + 1;
        else
            high = mid;
    }
    return std::min(position + low, text.size());
}

void TextpadPanelDockWidget::selectInEdit(int start, int end)
{
    QTextCursor cursor = textEdit->textCursor();
    cursor.setPosition(editPosition(start, true));
    if (end != start)
        cursor.setPosition(editPosition(end, false), QTextCursor::KeepAnchor);
    textEdit->setTextCursor(cursor);
}
