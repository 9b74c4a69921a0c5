#include "ViewFixture.h"

#include "model/Caret.h"
#include "model/Glyph.h"
#include "support/Typist.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QtTest>

// Every document starts as the word "AB" with the caret after B; a row
// either leaves the selection empty or selects B.
class TestViewKeys : public QObject
{
    Q_OBJECT

private slots:
    void keyTable_data();
    void keyTable();
    void arrowsWithoutSelection();
    void typingThroughTheView();
    void tabTypesBesideOtherWidgets();
};

void TestViewKeys::keyTable_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("selectB");
    QTest::addColumn<QString>("shape");
    QTest::addColumn<QPointF>("moveOfB");
    QTest::addColumn<int>("entries");

    const int none = Qt::NoModifier;
    const int shift = Qt::ShiftModifier;
    const int ctrl = Qt::ControlModifier;
    const QString ab = QStringLiteral("(AB)");
    const QPointF still;

    // Editing keys.
    QTest::newRow("Delete, nothing selected") << int(Qt::Key_Delete) << none << QStringLiteral("\x7f") << false << ab << still << 0;
    QTest::newRow("Delete, B selected") << int(Qt::Key_Delete) << none << QStringLiteral("\x7f") << true << QStringLiteral("(A)") << still << 1;
    QTest::newRow("Backspace, nothing selected") << int(Qt::Key_Backspace) << none << QStringLiteral("\b") << false << QStringLiteral("(A)") << still << 1;
    QTest::newRow("Backspace, B selected") << int(Qt::Key_Backspace) << none << QStringLiteral("\b") << true << QStringLiteral("(A)") << still << 1;
    QTest::newRow("Tab") << int(Qt::Key_Tab) << none << QStringLiteral("\t") << false << QStringLiteral("(AB)>") << still << 1;
    QTest::newRow("Tab, B selected") << int(Qt::Key_Tab) << none << QStringLiteral("\t") << true << QStringLiteral("(AB)>") << still << 1;
    QTest::newRow("Space") << int(Qt::Key_Space) << none << QStringLiteral(" ") << false << QStringLiteral("(AB)_") << still << 1;
    QTest::newRow("Space, B selected") << int(Qt::Key_Space) << none << QStringLiteral(" ") << true << QStringLiteral("(AB)_") << still << 1;
    QTest::newRow("Return") << int(Qt::Key_Return) << none << QStringLiteral("\r") << false << QStringLiteral("(AB)|") << still << 1;
    QTest::newRow("Return, B selected") << int(Qt::Key_Return) << none << QStringLiteral("\r") << true << QStringLiteral("(AB)|") << still << 1;

    // Arrows with a selection move it, ten units with Shift.
    QTest::newRow("Left, B selected") << int(Qt::Key_Left) << none << QString() << true << ab << QPointF(-1, 0) << 1;
    QTest::newRow("Shift+Left, B selected") << int(Qt::Key_Left) << shift << QString() << true << ab << QPointF(-10, 0) << 1;
    QTest::newRow("Right, B selected") << int(Qt::Key_Right) << none << QString() << true << ab << QPointF(1, 0) << 1;
    QTest::newRow("Shift+Right, B selected") << int(Qt::Key_Right) << shift << QString() << true << ab << QPointF(10, 0) << 1;
    QTest::newRow("Up, B selected") << int(Qt::Key_Up) << none << QString() << true << ab << QPointF(0, -1) << 1;
    QTest::newRow("Shift+Up, B selected") << int(Qt::Key_Up) << shift << QString() << true << ab << QPointF(0, -10) << 1;
    QTest::newRow("Down, B selected") << int(Qt::Key_Down) << none << QString() << true << ab << QPointF(0, 1) << 1;
    QTest::newRow("Shift+Down, B selected") << int(Qt::Key_Down) << shift << QString() << true << ab << QPointF(0, 10) << 1;
    QTest::newRow("Up, nothing selected") << int(Qt::Key_Up) << none << QString() << false << ab << still << 0;
    QTest::newRow("Down, nothing selected") << int(Qt::Key_Down) << none << QString() << false << ab << still << 0;

    // Ctrl hands every key to the base view, which edits nothing.
    QTest::newRow("Ctrl+Right, B selected") << int(Qt::Key_Right) << ctrl << QString() << true << ab << still << 0;
    QTest::newRow("Ctrl+Backspace") << int(Qt::Key_Backspace) << ctrl << QStringLiteral("\b") << false << ab << still << 0;
    QTest::newRow("Ctrl+X, B selected") << int(Qt::Key_X) << ctrl << QStringLiteral("\x18") << true << ab << still << 0;

    // Any other key types its text.
    QTest::newRow("letter") << int(Qt::Key_C) << none << QStringLiteral("c") << false << QStringLiteral("(ABc)") << still << 1;
    QTest::newRow("letter, B selected") << int(Qt::Key_C) << shift << QStringLiteral("C") << true << QStringLiteral("(ABC)") << still << 1;
    QTest::newRow("accented letter") << int(Qt::Key_Eacute) << none << QStringLiteral("\u00e9") << false << QStringLiteral("(AB\u00e9)") << still << 1;
    QTest::newRow("Backtab types its tab") << int(Qt::Key_Backtab) << shift << QStringLiteral("\t") << false << QStringLiteral("(AB)>") << still << 1;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << QStringLiteral("\r") << false << QStringLiteral("(AB)|") << still << 1;
    QTest::newRow("F1 has no text") << int(Qt::Key_F1) << none << QString() << false << ab << still << 0;
    QTest::newRow("Shift alone has no text") << int(Qt::Key_Shift) << shift << QString() << true << ab << still << 0;
    // A control character is no text to set: Escape adds no invisible glyph.
    QTest::newRow("Escape") << int(Qt::Key_Escape) << none << QStringLiteral("\x1b") << false << ab << still << 0;
}

void TestViewKeys::keyTable()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(bool, selectB);
    QFETCH(QString, shape);
    QFETCH(QPointF, moveOfB);
    QFETCH(int, entries);

    ViewFixture f;
    Typist::type(f.scene, QStringLiteral("AB"));
    Glyph *b = f.glyph(1);
    if (selectB)
        f.scene->restoreSelection({b});
    const QPointF bPos = b->pos();
    const int before = f.entries();

    f.key(key, Qt::KeyboardModifiers(modifiers), text);

    QCOMPARE(Typist::shape(f.scene->root()), shape);
    QCOMPARE(f.entries(), before + entries);
    if (moveOfB != QPointF())
        QCOMPARE(b->pos(), bPos + moveOfB);
    else if (shape == QStringLiteral("(AB)"))
        QCOMPARE(b->pos(), bPos);
}

void TestViewKeys::arrowsWithoutSelection()
{
    ViewFixture f;
    Typist::type(f.scene, QStringLiteral("AB"));
    Glyph *a = f.glyph(0);
    Glyph *b = f.glyph(1);
    const QPointF end = f.scene->caret()->scenePos();

    f.key(Qt::Key_Left, Qt::NoModifier, QString());
    QCOMPARE(f.scene->textPointer().glyph, a);
    QCOMPARE(f.scene->caret()->scenePos().x(), b->scenePos().x());
    f.key(Qt::Key_Right, Qt::NoModifier, QString());
    QCOMPARE(f.scene->textPointer().glyph, b);
    QCOMPARE(f.scene->caret()->scenePos(), end);

    // Up and Down do what the base view does: scroll a step.
    const int entries = f.entries();
    QScrollBar *vbar = f.view->verticalScrollBar();
    const int v = vbar->value();
    f.key(Qt::Key_Down, Qt::NoModifier, QString());
    QCOMPARE(vbar->value(), v + vbar->singleStep());
    f.key(Qt::Key_Up, Qt::NoModifier, QString());
    QCOMPARE(vbar->value(), v);
    QCOMPARE(f.entries(), entries);
    QCOMPARE(f.scene->caret()->scenePos(), end);
}

void TestViewKeys::typingThroughTheView()
{
    ViewFixture f;
    QTest::keyClicks(f.view.get(), QStringLiteral("Hi there"));
    QCOMPARE(Typist::shape(f.scene->root()), QStringLiteral("(Hi)_(there)"));
    QCOMPARE(f.entries(), 8);
    QCOMPARE(f.view->windowTitle(), QStringLiteral("untitled*"));
    QVERIFY(f.view->isModified());
    QTest::keyClick(f.view.get(), Qt::Key_Backspace);
    QCOMPARE(Typist::shape(f.scene->root()), QStringLiteral("(Hi)_(ther)"));
}

void TestViewKeys::tabTypesBesideOtherWidgets()
{
    // In a window with other widgets Tab would move the focus on; in the
    // view it is a character.
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *edit = new QLineEdit;
    auto *view = new QVorrelView;
    view->setAttribute(Qt::WA_DeleteOnClose, false);
    layout->addWidget(edit);
    layout->addWidget(view);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Tab);
    QTest::keyClick(view, Qt::Key_Tab);
    QCOMPARE(Typist::shape(view->scene()->root()), QStringLiteral(">>"));
    QVERIFY(view->hasFocus());
}

QTEST_MAIN(TestViewKeys)
#include "tst_viewkeys.moc"
