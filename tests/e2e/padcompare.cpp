// padcompare: the Textpad dock's text area beside a plain QPlainTextEdit that
// holds the same text, in a real X server, where Qt takes X11's key bindings
// (Ctrl+K deletes to the end of the line, Ctrl+D deletes a character).
// Each row sets both up alike, gives each the same real keys, clicks or drags
// through xdotool, and compares the text, the selection (as indices in the
// text), whether there is a step to undo and, key by key, the cursor. Lines
// are longer than a piece, so the text area holds them as several blocks.
#include "panels/TextpadEdit.h"

#include <QClipboard>
#include <QHBoxLayout>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTextBlock>
#include <QtTest>

#include <functional>

namespace {

const QString Hebrew = QString::fromUtf8("\u05e9\u05dc\u05d5\u05dd"); // shalom

// The line grown by the word and a space until it holds at least `length` characters.
QString words(QString line, const QString &word, int length)
{
    while (line.size() < length)
        line += word + QLatin1Char(' ');
    return line;
}

bool xdotool(const QStringList &arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

// xdotool's words for a move of the pointer to a point, then the rest.
QStringList pointerAt(const QPoint &at, const QStringList &then)
{
    return QStringList{QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())} + then;
}

bool isModifier(int key)
{
    return key == Qt::Key_Control || key == Qt::Key_Shift || key == Qt::Key_Alt || key == Qt::Key_Meta;
}

// One of the two editors, seen through indices in its text.
struct Editor
{
    QPlainTextEdit *edit = nullptr;
    std::function<void(const QString &)> setText;
    std::function<QString()> text;
    std::function<int(int)> index;           // of a position in the edit
    std::function<int(int, bool)> position;  // in the edit, of an index (after a soft separator, or before it)

    QString state() const
    {
        const QTextCursor c = edit->textCursor();
        return QStringLiteral("length %1, selection %2 to %3, undo %4")
            .arg(text().size())
            .arg(index(c.anchor()))
            .arg(index(c.position()))
            .arg(edit->document()->isUndoAvailable() ? "available" : "none");
    }
    // The centre of the character, in global coordinates.
    QPoint centre(int i) const
    {
        QTextCursor c(edit->document());
        c.setPosition(position(i, true));
        const QRect left = edit->cursorRect(c);
        c.setPosition(position(i + 1, false));
        const QRect right = edit->cursorRect(c);
        return edit->viewport()->mapToGlobal(QPoint((left.x() + right.x()) / 2, left.center().y()));
    }
    // The boundary before the index: at the end of a piece's last line where the index follows it.
    QPoint boundary(int i) const
    {
        QTextCursor c(edit->document());
        c.setPosition(position(i, false));
        return edit->viewport()->mapToGlobal(edit->cursorRect(c).center());
    }
    // The visual line of the character: its block and line number.
    QPair<int, int> lineOf(int i) const
    {
        const int p = position(i, true);
        const QTextBlock block = edit->document()->findBlock(p);
        edit->document()->documentLayout()->blockBoundingRect(block);
        return {block.blockNumber(), block.layout()->lineForTextPosition(p - block.position()).lineNumber()};
    }
};

// Counts the key and mouse releases an editor receives, and notes its state after each key.
class Recorder : public QObject
{
public:
    Editor *editor = nullptr;
    int keys = 0;
    int clicks = 0;
    int drops = 0;
    QStringList states;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyRelease && !isModifier(static_cast<QKeyEvent *>(event)->key())) {
            ++keys;
            states << editor->state();
        } else if (event->type() == QEvent::MouseButtonRelease) {
            ++clicks;
        } else if (event->type() == QEvent::Drop) {
            ++drops;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

class PadCompare : public QObject
{
    Q_OBJECT

    QWidget window;
    TextpadEdit *pad = nullptr;
    QPlainTextEdit *plain = nullptr;
    Editor editors[2];

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        pad = new TextpadEdit;
        plain = new QPlainTextEdit;
        auto *layout = new QHBoxLayout(&window);
        layout->addWidget(pad);
        layout->addWidget(plain);
        window.setWindowTitle(QStringLiteral("padcompare"));
        window.resize(1200, 700);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        editors[0].edit = pad;
        editors[0].setText = [this](const QString &t) { pad->setText(t); };
        editors[0].text = [this] { return pad->text(); };
        editors[0].index = [this](int p) { return pad->textIndex(p); };
        editors[0].position = [this](int i, bool after) { return pad->editPosition(i, after); };
        editors[1].edit = plain;
        editors[1].setText = [this](const QString &t) { plain->setPlainText(t); };
        editors[1].text = [this] {
            return plain->document()->toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        };
        editors[1].index = [](int p) { return p; };
        editors[1].position = [](int i, bool) { return i; };
    }

    // Positions count from the end of the text area's first piece where `seam` is set; the cursor's position lies
    // after the soft separator there where `after` is set. Input, steps separated by ", ": "keys" and xdotool key
    // names; "double-click" at the anchor's character, and how many pixels the pointer moves before the second click
    // lets go; "click" and how many clicks at the anchor's character; "drag", the character pressed and the index
    // let go at; "menu" and the text of a context menu entry, chosen when it is enabled. "order" compares, instead,
    // which side of a Latin letter a Hebrew letter next to it is drawn on.
    void asPlainEditor_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("seam");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("after");
        QTest::addColumn<QString>("input");

        const auto row = [](const char *name, const QString &text, bool seam, int anchor, int position, bool after,
                            const QString &input) {
            QTest::newRow(name) << text << seam << anchor << position << after << input;
        };
        const int piece = TextpadEdit::PieceLength;
        const QString latin = QStringLiteral("lorem");
        const QString three = words(QString(), latin, piece + 808) + QStringLiteral("\nshort");
        // Latin to a little before the first piece's end, then Hebrew over it, then Latin; and the other way round.
        const QString ltr = words(words(words(QString(), latin, piece - 96), Hebrew, piece + 304), latin, piece + 4904);
        const QString rtl = words(words(words(QString(), Hebrew, piece - 110), latin, piece + 304), Hebrew, piece + 4904);
        // A word of 2200 letters from about 2100 before the first piece's end: the piece ends inside it.
        const QString longWord =
            words(words(QString(), latin, piece - 2096) + QString(2200, 'x') + ' ', latin, piece + 4904);

        row("Ctrl+K, then undo", three, false, 100, 100, false, "keys ctrl+k ctrl+z");
        row("Ctrl+K at a piece's end", three, true, 0, 0, false, "keys ctrl+k");
        row("Ctrl+Right over Hebrew in a Latin line", ltr, false, piece - 106, piece - 106, false,
            "keys" + QStringLiteral(" ctrl+Right").repeated(40));
        row("Right over Hebrew in a Latin line", ltr, true, -8, -8, false, "keys" + QString(" Right").repeated(16));
        row("Ctrl+Left over Latin in a Hebrew line", rtl, false, piece - 106, piece - 106, false,
            "keys" + QStringLiteral(" ctrl+Left").repeated(40));
        row("Latin drawn in a Hebrew line", rtl, false, 0, 0, false, "order");
        row("double-click before a piece's end", longWord, true, -6, -6, false, "double-click");
        row("double-click after a piece's end", longWord, true, 4, 4, false, "double-click");
        row("double-click moved before a piece's end", longWord, true, -6, -6, false, "double-click -3");
        row("context menu Delete of a soft separator", three, true, 0, 0, true, "menu Delete");
        row("Ctrl+X of a soft separator", three, true, 0, 0, true, "keys ctrl+x");
        row("Delete of a soft separator", three, true, 0, 0, true, "keys Delete");

        // A line whose first piece ends after one of its spaces; the selection runs over that end.
        const QString spaced = QString(QString(500, 'a') + ' ').repeated(piece / 501 + 2);
        const QString redone = " ctrl+z ctrl+shift+z";
        row("drag over a piece's end moved after itself", spaced, true, -20, 20, false, "drag 5 45, keys" + redone);
        row("drag over a piece's end moved before itself", spaced, true, -20, 20, false, "drag 5 -25, keys" + redone);
        row("drag over a piece's end dropped onto it", spaced, true, -20, 20, false, "drag 5 0, keys" + redone);
        const QString five = words(QString(), latin, piece + 904);
        const QString between = "short line\n" + five + "\nshort";
        row("triple-click before a piece's end", between, false, 100, 100, false, "click 3");
        row("triple-click after a piece's end", between, false, piece + 104, piece + 104, false, "click 3");
        row("Backspace run over a piece's end, undone", three, true, 5, 5, false,
            "keys" + QStringLiteral(" BackSpace").repeated(10) + " ctrl+z");
        row("Delete run over a piece's end, undone", three, true, -5, -5, false,
            "keys" + QStringLiteral(" Delete").repeated(10) + " ctrl+z");
        row("cut over a piece's end, pasted, undone, redone", five + "\nshort", true, -20, 20, false,
            "keys ctrl+x ctrl+v ctrl+z" + redone);
        const QString nine = words(QString(), latin, piece + 4904);
        row("Delete joining two long lines, undone, redone", nine + '\n' + nine, false, nine.size(), nine.size(), false,
            "keys Delete" + redone);
        const QString huge = words(QString(), latin, 2000) + QString(piece + 904, 'x') + ' ' + words(QString(), latin, 2000);
        row("double-click on a word longer than a piece, then a click", huge, false, 6500, 6500, false,
            "double-click, click 1");

        // Two words selected by keys over a piece's end become the X11 selection, which a middle-click pastes.
        QString numbered;
        for (int i = 0; numbered.size() < piece + 2000; ++i)
            numbered += QStringLiteral("w%1 ").arg(i, 5, 10, QLatin1Char('0'));
        row("Ctrl+Shift+Right over a piece's end, then a middle-click", numbered, true, -7, -7, false,
            "keys ctrl+shift+Right ctrl+shift+Right, middle-click");
        row("Ctrl+Shift+Left over a piece's end, then a middle-click", numbered, true, 7, 7, false,
            "keys ctrl+shift+Left ctrl+shift+Left, middle-click");
        row("Ctrl+V of an empty text over a selection", numbered, true, -5, 5, false, "clipboard, keys ctrl+v");
        row("Select All, typing, then undo", "short line 0\n" + QString(piece + 2624, 'z'), false, 0, 0, false,
            "keys ctrl+a a a ctrl+z");
        const QString spaceEnded = QString(QString(piece - 1, 'w') + ' ').repeated(3) + "\nlast";
        row("Backspace then Delete at a piece's end, undone", spaceEnded, true, -100, -100, false,
            "keys a ctrl+Delete BackSpace Delete ctrl+z");
        row("Return after a piece's end, undone and redone", nine, true, 100, 100, false,
            "keys Return ctrl+z ctrl+shift+z");
        // A line of 8,192 characters is held whole: keys that move by screen lines go where a plain editor's go.
        const QString whole = "first\n" + words(QString(), latin, 8192).left(8192) + "\nlast";
        row("keys by screen lines in a line of 8,192 characters", whole, false, 4108, 4108, false,
            "keys shift+Home End Prior Next");
    }

    void asPlainEditor()
    {
        QFETCH(QString, text);
        QFETCH(bool, seam);
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(bool, after);
        QFETCH(QString, input);
        QStringList seen[2];
        QString texts[2];
        QHash<int, bool> hebrewLeft[2]; // by a Latin letter next to a Hebrew one over a space, on one visual line
        pad->setText(text);
        const int end = seam ? pad->document()->firstBlock().length() - 1 : 0;
        QVERIFY(!seam || pad->continuesLine(pad->document()->firstBlock().next()));
        anchor += end;
        position += end;
        for (int e = 0; e < 2; ++e) {
            Editor &editor = editors[e];
            editor.setText(text);
            QGuiApplication::clipboard()->setText(QStringLiteral("older"), QClipboard::Selection);
            QTextCursor cursor = editor.edit->textCursor();
            cursor.setPosition(editor.position(anchor, false));
            cursor.setPosition(editor.position(position, after), QTextCursor::KeepAnchor);
            editor.edit->setTextCursor(cursor);
            editor.edit->centerCursor();
            editor.edit->setFocus();
            QTRY_VERIFY(editor.edit->hasFocus());
            QTest::qWait(50);
            // Clicks land where the anchor's character was at first: on its centre, or a little right of its left edge.
            const QPoint centre = editor.centre(anchor);
            const QPoint near = (editor.boundary(anchor) * 3 + centre) / 4;
            for (const QString &action : input.split(QStringLiteral(", "))) {
                const QStringList in = action.split(QLatin1Char(' '));
                Recorder recorder;
                recorder.editor = &editor;
                editor.edit->installEventFilter(&recorder);
                editor.edit->viewport()->installEventFilter(&recorder);
                if (in.first() == QLatin1String("keys")) {
                    QVERIFY(xdotool(QStringList{"key", "--delay", "15"} + in.mid(1)));
                    QTRY_COMPARE_WITH_TIMEOUT(recorder.keys, in.size() - 1, 10000);
                    seen[e] << recorder.states;
                } else if (in.first() == QLatin1String("double-click")) {
                    // Held down, the second press may move a little before it is let go.
                    QStringList clicks{"click", "1", "mousedown", "1"};
                    if (in.size() > 1)
                        clicks << "mousemove_relative" << "--" << in.at(1) << "0";
                    QVERIFY(xdotool(pointerAt(centre, clicks << "mouseup" << "1")));
                    QTRY_COMPARE_WITH_TIMEOUT(recorder.clicks, 2, 10000);
                } else if (in.first() == QLatin1String("clipboard")) {
                    QGuiApplication::clipboard()->setText(in.mid(1).join(QLatin1Char(' ')));
                } else if (in.first() == QLatin1String("middle-click")) {
                    QVERIFY(xdotool(pointerAt(near, {"click", "2"})));
                    QTRY_COMPARE_WITH_TIMEOUT(recorder.clicks, 1, 10000);
                } else if (in.first() == QLatin1String("click")) {
                    // A single click once a double-click is over.
                    QTest::qWait(in.at(1) == QLatin1String("1") ? QApplication::doubleClickInterval() + 100 : 0);
                    QVERIFY(xdotool(pointerAt(near, {"click", "--repeat", in.at(1), "--delay", "60", "1"})));
                    QTRY_COMPARE_WITH_TIMEOUT(recorder.clicks, in.at(1).toInt(), 10000);
                } else if (in.first() == QLatin1String("drag")) {
                    // Pressed at a character, let go at a boundary, unblocked: the drag runs an event loop of its own.
                    QProcess hand;
                    const QStringList let{"sleep", ".3", "mousemove_relative", "1", "0", "sleep", ".3", "mouseup", "1"};
                    hand.start("xdotool", pointerAt(editor.centre(in.at(1).toInt() + end), {"mousedown", "1"})
                                              + pointerAt(editor.boundary(in.at(2).toInt() + end), let));
                    QTRY_COMPARE_WITH_TIMEOUT(recorder.drops, 1, 10000);
                    QTRY_COMPARE(hand.state(), QProcess::NotRunning);
                    QCOMPARE(hand.exitCode(), 0);
                } else if (in.first() == QLatin1String("menu")) {
                    // The entry is chosen, or the menu closed, from inside the menu's own event loop.
                    bool shown = false;
                    QTimer poll;
                    connect(&poll, &QTimer::timeout, [&] {
                        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
                        if (shown || !menu || !menu->isVisible())
                            return;
                        shown = true;
                        for (QAction *action : menu->actions()) {
                            if (action->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&')) != in.at(1))
                                continue;
                            seen[e] << in.at(1) + (action->isEnabled() ? " enabled" : " disabled");
                            if (action->isEnabled()) {
                                const QPoint at = menu->mapToGlobal(menu->actionGeometry(action).center());
                                xdotool(pointerAt(at, {"click", "1"}));
                                return;
                            }
                        }
                        xdotool({"key", "Escape"});
                    });
                    poll.start(50);
                    const QPoint at = editor.edit->viewport()->mapToGlobal(editor.edit->cursorRect().center());
                    QVERIFY(xdotool(pointerAt(at, {"click", "3"})));
                    QTRY_VERIFY_WITH_TIMEOUT(shown && !QApplication::activePopupWidget(), 10000);
                    QVERIFY(seen[e].last().startsWith(in.at(1)));
                    QTest::qWait(100); // the queued tidying
                } else {
                    for (int i = 1; i + 3 < text.size(); ++i) {
                        const QChar::Script before = text.at(i).script();
                        const QChar::Script after = text.at(i + 2).script();
                        const bool latinFirst = before == QChar::Script_Latin && after == QChar::Script_Hebrew;
                        const bool hebrewFirst = before == QChar::Script_Hebrew && after == QChar::Script_Latin;
                        if (text.at(i + 1) != QLatin1Char(' ') || !(latinFirst || hebrewFirst))
                            continue;
                        // Letters inside their runs, so that each is drawn where its run is.
                        const int latin = latinFirst ? i - 1 : i + 3;
                        const int hebrew = latinFirst ? i + 3 : i - 1;
                        if (editor.lineOf(latin) == editor.lineOf(hebrew) && editor.lineOf(i) == editor.lineOf(i + 2))
                            hebrewLeft[e].insert(i, editor.centre(hebrew).x() < editor.centre(latin).x());
                    }
                }
                editor.edit->removeEventFilter(&recorder);
                editor.edit->viewport()->removeEventFilter(&recorder);
                seen[e] << editor.state();
            }
            texts[e] = editor.text();
        }
        if (input == QLatin1String("order")) {
            int compared = 0;
            for (auto i = hebrewLeft[0].cbegin(); i != hebrewLeft[0].cend(); ++i) {
                if (hebrewLeft[1].contains(i.key())) {
                    QVERIFY2(hebrewLeft[1].value(i.key()) == i.value(), qPrintable(QString("at %1").arg(i.key())));
                    ++compared;
                }
            }
            QVERIFY(compared >= 2);
        }
        QCOMPARE(seen[0], seen[1]);
        int differs = 0;
        while (differs < texts[0].size() && differs < texts[1].size() && texts[0].at(differs) == texts[1].at(differs))
            ++differs;
        QVERIFY2(texts[0] == texts[1], qPrintable(QStringLiteral("the texts differ from %1 on").arg(differs)));
    }
};

QTEST_MAIN(PadCompare)
#include "padcompare.moc"
