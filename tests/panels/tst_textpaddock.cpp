#include "panels/TextpadPanelDockWidget.h"

#include <QAction>
#include <QComboBox>
#include <QSignalSpy>
#include <QTextEdit>
#include <QtTest>

class TstTextpadDock : public QObject
{
    Q_OBJECT
private slots:
    void nextPiece_data();
    void nextPiece();
    void signalsOnlyFromTheUser();
};

void TstTextpadDock::nextPiece_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("typeAdvanceLoopCursor");
    QTest::addColumn<QStringList>("pieces");
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80"), e = QString::fromUtf8("e\xCC\x81");
    const QList<int> words{3, 0, 1, 0}, glyphs{2, 0, 1, 0};
    QTest::newRow("words, loop") << "Lorem ipsum dolor sit amet, elit. Donec massa magna." << words
        << QStringList{"Lorem", " ipsum", " dolor", " sit", " amet,", " elit.", " Donec", " massa", " magna.", "Lorem"};
    QTest::newRow("words, no loop") << "ab cd " << QList<int>{3, 0, 0, 0} << QStringList{"ab", " cd", "", ""};
    QTest::newRow("glyphs wrap") << "abc" << glyphs << QStringList{"a", "b", "c", "a"};
    QTest::newRow("trailing space") << "ab " << glyphs << QStringList{"a", "b", " a"};
    QTest::newRow("space tab space") << "a \t b" << glyphs << QStringList{"a", " b", "a"};
    QTest::newRow("LF") << "a\nb" << glyphs << QStringList{"a", "b", "a"};
    QTest::newRow("CR") << "a\rb" << glyphs << QStringList{"a", "\rb", "a"};
    // The text area holds CR LF as one line break; the selection must still land on the piece.
    QTest::newRow("CR LF") << "ab\r\ncd\r\nef gh" << words << QStringList{"ab", "\rcd", "\ref", " gh", "ab"};
    // A passage keeps the spaces its line starts with, after the prefix.
    QTest::newRow("passages") << "first line\n  second" << QList<int>{4, 0, 1, 0}
                              << QStringList{"first line", "   second", "first line"};
    QTest::newRow("repeat") << "ab cd" << QList<int>{3, 1, 1, 3} << QStringList{"cd", "cd", "cd"};
    QTest::newRow("inside a word") << "hello world" << QList<int>{3, 0, 1, 8} << QStringList{"world", "hello"};
    QTest::newRow("surrogate pair") << "a" + smile + "b" << glyphs << QStringList{"a", smile, "b"};
    QTest::newRow("inside a pair") << "a" + smile + "b" << QList<int>{2, 0, 1, 2} << QStringList{smile, "b"};
    QTest::newRow("combining mark") << e + "x" << glyphs << QStringList{e, "x"};
    QTest::newRow("looks like HTML") << "<b>x</b> y" << words << QStringList{"<b>x</b>", " y"};
    QTest::newRow("only whitespace") << " \n\t " << QList<int>{2, 0, 1, 2} << QStringList{"", ""};
}

void TstTextpadDock::nextPiece()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, typeAdvanceLoopCursor);
    QFETCH(QStringList, pieces);
    TextpadPanelDockWidget dock;
    auto *edit = dock.findChild<QTextEdit *>();
    dock.setText(text);
    dock.setNozzleType(typeAdvanceLoopCursor[0]);
    dock.setAdvance(typeAdvanceLoopCursor[1]);
    dock.setLoop(typeAdvanceLoopCursor[2]);
    QTextCursor c = edit->textCursor();
    c.setPosition(typeAdvanceLoopCursor[3]);
    edit->setTextCursor(c);
    const int end = text.trimmed().isEmpty() ? c.position() : edit->toPlainText().size();
    for (const QString &expected : pieces) {
        QCOMPARE(dock.nextPiece(), expected);
        const QTextCursor now = edit->textCursor();
        const QString shown = now.selectedText();
        if (expected.isEmpty()) // no selection, at the end, or untouched for a blank text
            QCOMPARE(QPoint(now.anchor(), now.position()), QPoint(end, end));
        else // the piece shows selected, without its prefix
            QVERIFY2(!shown.isEmpty() && expected.endsWith(shown) && expected.size() - shown.size() <= 1,
                     qPrintable(shown));
    }
}

void TstTextpadDock::signalsOnlyFromTheUser()
{
    TextpadPanelDockWidget dock;
    auto *box = dock.findChild<QComboBox *>();
    QList<QSignalSpy *> spies; // loadFile, textChanged, nozzleChanged, advanceChanged, loopChanged, nozzleTypeChanged
    const QMetaObject *meta = dock.metaObject();
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i)
        if (meta->method(i).methodType() == QMetaMethod::Signal)
            spies << new QSignalSpy(&dock, "2" + meta->method(i).methodSignature());
    const auto counts = [&] {
        QString s;
        for (QSignalSpy *spy : spies)
            s += QString::number(spy->count());
        return s;
    };
    const auto trigger = [&](const QString &name) {
        QAction action(name);
        action.setObjectName(name);
        dock.OnActionTriggered(&action);
    };
    dock.setNozzleType(3);
    dock.setAdvance(1);
    dock.setLoop(false);
    dock.setNozzleOn(true);
    dock.setText("xyz");
    trigger("nozzle"); // names compare exactly
    QCOMPARE(counts() + box->currentText(), QString("000000Word"));
    for (const char *name : {"Nozzle", "Advance", "Loop", "Load"})
        trigger(name);
    QCOMPARE(counts(), QString("101110"));
    QVERIFY(!spies[2]->last().at(0).toBool() && !dock.nozzleOn && dock.advance == 0 && dock.loop);

    QTest::keyClicks(dock.findChild<QTextEdit *>(), "<i>"); // a user edit reports the whole plain text
    QCOMPARE(spies[1]->last().at(0).toString() + counts(), QString("<i>xyz131110"));
    box->setCurrentIndex(2);
    QCOMPARE(dock.nozzleType, 4);
    dock.OnCurrentIndexChanged("GLYPH");
    dock.OnCurrentIndexChanged("Letter"); // no match: the type stays, the signal comes
    QCOMPARE(QString::number(dock.nozzleType) + counts(), QString("2131113"));
    qDeleteAll(spies);
}

QTEST_MAIN(TstTextpadDock)
#include "tst_textpaddock.moc"
