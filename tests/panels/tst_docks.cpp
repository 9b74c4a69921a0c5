#include "commands/Cmd.h"
#include "dialogs/SoftTypeDlg.h"
#include "model/Glyph.h"
#include "panels/ActiveScene.h"
#include "panels/HierarchyPanelDockWidget.h"
#include "panels/HistoryPanelDockWidget.h"
#include "panels/PropertiesPanelDockWidget.h"
#include "panels/SoftTypePanelDockWidget.h"
#include "panels/TextpadPanelDockWidget.h"
#include "propertybrowser/QtGroupPropertyManager.h"
#include "softtypes/SoftTypeFactory.h"
#include "support/ModalRecorder.h"
#include "support/TestDocument.h"
#include "support/TestSoftType.h"
#include "support/TreeBuilder.h"

#include <QtTest>
#include <QtWidgets>
#include <memory>

using Values = QHash<QString, QVariant>;

namespace {
// The editor of a form row given by its path of labels ("Position/X").
template <class Editor>
Editor *editor(QWidget *scope, const QString &path)
{
    for (const QString &name : path.split('/')) {
        QWidget *field = nullptr;
        for (QFormLayout *form : scope->findChildren<QFormLayout *>())
            for (int row = 0; row < form->rowCount() && !field; ++row)
                if (qobject_cast<QLabel *>(form->itemAt(row, QFormLayout::LabelRole)->widget())->text() == name)
                    field = form->itemAt(row, QFormLayout::FieldRole)->widget();
        scope = field;
    }
    return scope->findChild<Editor *>();
}

// Replaces a field's text by typing and presses Return.
void typeInto(QWidget *field, const QString &text)
{
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

// Every signal of the Properties dock, in order, as text.
struct Log : QStringList
{
    explicit Log(PropertiesPanelDockWidget &d)
    {
        using P = PropertiesPanelDockWidget;
        const auto add = [this](const QString &name, const auto &value) { append(name + " " + value); };
        const auto pt = [](const QPointF &p) { return QString("%1,%2").arg(p.x()).arg(p.y()); };
        QObject::connect(&d, &P::caretPositionChanged, [=](QPointF p) { add("caret", pt(p)); });
        QObject::connect(&d, &P::textPositionChanged, [=](QPointF p) { add("position", pt(p)); });
        QObject::connect(&d, &P::textRotationChanged, [=](float v) { add("rotation", QString::number(v)); });
        QObject::connect(&d, &P::textRotationChangedBy, [=](float v) { add("by", QString::number(v)); });
        QObject::connect(&d, &P::textFontChanged, [=](QFont f) { add("font", f.family() + "/" + QFontDatabase().styleString(f)); });
        QObject::connect(&d, &P::textFontFamilyChanged, [=](QString s) { add("family", s); });
        QObject::connect(&d, &P::textFontStyleChanged, [=](QString s) { add("style", s); });
        QObject::connect(&d, &P::textFontSizeChanged, [=](int v) { add("size", QString::number(v)); });
        QObject::connect(&d, &P::textFillColorChanged, [=](QColor c) { add("fill", c.name()); });
        QObject::connect(&d, &P::textStrokeColorChanged, [=](QColor c) { add("stroke", c.name()); });
        QObject::connect(&d, &P::textStrokeWidthChanged, [=](float v) { add("width", QString::number(v)); });
    }
};

// A Hierarchy row as "text@index", a letter per column icon (paragraph, word, glyph, softtype; eye open,
// closed; Locked, unlocked; - none), "*" selected, "~" tinted, then its child rows in parentheses.
QString dump(QTreeWidgetItem *row)
{
    static QList<QImage> icons;
    for (const char *name : {"paragraph", "word", "glyph", "softtype", "eye-open", "eye-closed", "lock-locked", "lock-unlocked"})
        if (icons.size() < 8)
            icons << QIcon(QString(":/res/icon/HierarchyWidget/png/%1.png").arg(name)).pixmap(16).toImage();
    QString s = row->text(0) + '@' + row->data(0, Qt::UserRole).toString();
    for (int c = 0; c < 3; ++c)
        s += QString("-pwgsocLu").at(row->icon(c).isNull() ? 0 : icons.indexOf(row->icon(c).pixmap(16).toImage()) + 1);
    s += QString(row->isSelected() ? "*" : "") + (row->background(0).color().alpha() == 50 ? "~" : "");
    QStringList rows;
    for (int i = 0; i < row->childCount(); ++i)
        rows << dump(row->child(i));
    return rows.isEmpty() ? s : s + '(' + rows.join(' ') + ')';
}

QString dump(const HierarchyPanelDockWidget &dock)
{
    return dump(dock.findChild<QTreeWidget *>()->invisibleRootItem()).section('(', 1).chopped(1);
}

// The objects of a document with these texts ("_" for a space), the first match of each.
QList<TextObject *> find(TextObject *o, const QString &texts)
{
    QList<TextObject *> found;
    for (QString t : texts.split(' ', Qt::SkipEmptyParts)) {
        QList<TextObject *> todo{o};
        while (!todo.isEmpty() && (todo.first()->text() != t.replace('_', ' ') || !todo.first()->parentGroup())) {
            TextObject *next = todo.takeFirst();
            todo += next->isGlyph() ? QList<TextObject *>() : group(next)->children();
        }
        found << todo.value(0);
    }
    return found;
}

struct NamedCmd : Cmd
{
    using Cmd::Cmd;
    CmdResult execute() override { return CmdResult(true, false); }
    CmdResult undo() override { return CmdResult(true, false); }
};
} // namespace

class TestDocks : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { ActiveScene::setProvider(nullptr); }

    // Properties: the family the font resolves to and the style of its weight and slant, an upright one
    // preferred; no setter emits. fontconfig's names: Arial is an alias ("alias"); DejaVu Sans says "Book"
    // ("book") and may list "Oblique" and "Condensed" (same weight) before it.
    void fontShowsRealFamilyAndUprightStyle()
    {
        for (const auto &c : QList<QPair<QFont, QString>>{{QFont("Arial", 72), "Liberation Sans/Regular 72"},
                                                          {QFont("DejaVu Sans", 12), "DejaVu Sans/Book 12"},
                                                          {QFont("Liberation Sans", 20, QFont::Bold, true), "Liberation Sans/Bold Italic 20"},
                                                          {QFont("Liberation Serif", 8, QFont::Bold), "Liberation Serif/Bold 8"}}) {
            PropertiesPanelDockWidget dock;
            Log log(dock);
            dock.setTextFont(QFont("Liberation Mono", 40, QFont::Bold));
            dock.setTextFont(c.first);
            log << editor<QComboBox>(&dock, "Font Family")->currentText() + "/" + editor<QComboBox>(&dock, "Font Style")->currentText()
                       + " " + editor<QSpinBox>(&dock, "Font Size")->text();
            QCOMPARE(log.join(','), c.second); // what it shows, after no signal
        }
    }

    // The user's edits and the signals they give, after every setter once (heard by no one).
    void editsEmit_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected"); // none: the text group is disabled
        QTest::newRow("rotation") << "Rotation" << "25|20" << QStringList{"by 15", "rotation 25", "by -5", "rotation 20"};
        QTest::newRow("position x") << "Position/X" << "7" << QStringList{"position 7,4"};
        QTest::newRow("caret y") << "Caret/Y" << "-2.5" << QStringList{"caret 0,-2.5"};
        QTest::newRow("size") << "Font Size" << "36" << QStringList{"size 36"};
        QTest::newRow("stroke width") << "Stroke Width" << "1.5" << QStringList{"width 1.5"};
        QTest::newRow("family, other styles")
            << "Font Family" << "DejaVu Sans"
            << QStringList{"family DejaVu Sans", "style Book", "font DejaVu Sans/Book", "font DejaVu Sans/Book"};
        QTest::newRow("style") << "Font Style" << "Italic" << QStringList{"style Italic", "font Liberation Sans/Italic"};
        QTest::newRow("disabled group") << "Rotation" << "25" << QStringList();
    }

    void editsEmit()
    {
        QFETCH(QString, path);
        QFETCH(QString, typed);
        QFETCH(QStringList, expected);
        PropertiesPanelDockWidget dock;
        Log log(dock);
        dock.setMousePosition(QPointF(1, 2));
        dock.setSelectionArea(QRectF(1, 2, 3, 4));
        dock.setCaretPosition(QPointF(0, 9));
        dock.setSelectedText("ab");
        dock.setTextPosition(QPointF(3, 4));
        dock.setTextRotation(10);
        dock.setTextFont(QFont("Liberation Sans", 30));
        dock.setTextFillColor(Qt::red);
        dock.setTextStrokeColor(QColor(1, 2, 3, 4));
        dock.setTextStrokeWidth(3);
        dock.setTextPropertiesEnabled(!expected.isEmpty());
        dock.show();
        QWidget *edited = editor<QWidget>(&dock, path);
        QCOMPARE(edited->isEnabled(), !expected.isEmpty());
        for (const QString &text : typed.split('|')) {
            if (auto *box = qobject_cast<QComboBox *>(edited)) {
                // Picked in the open list: keys move through it, Return takes one.
                box->showPopup();
                QTest::keyClicks(box->view(), text);
                QTest::keyClick(box->view(), Qt::Key_Return);
            } else {
                typeInto(edited, text);
            }
        }
        QCOMPARE(log, expected);
    }

    void rotationBaseIsWhatTheRefreshShows()
    {
        // Glyphs of different rotations: every refresh inside an edit shows 0.
        PropertiesPanelDockWidget dock;
        connect(&dock, &PropertiesPanelDockWidget::textRotationChangedBy, &dock, [&] { dock.setTextRotation(0); });
        Log log(dock);
        auto *spin = editor<QDoubleSpinBox>(&dock, "Rotation");
        typeInto(spin, "10");
        QCOMPARE(spin->value(), 0.0);
        typeInto(spin, "5");
        QCOMPARE(log, QStringList({"by 10", "rotation 10", "by 5", "rotation 5"}));
    }

    void rowsAreNeverSqueezed()
    {
        PropertiesPanelDockWidget dock; // 200 x 272: the sheet scrolls
        dock.show();
        const QList<QAbstractSpinBox *> spins = dock.findChildren<QAbstractSpinBox *>();
        QCOMPARE(spins.size(), 13);
        const auto squeezed = [&] {
            return std::count_if(spins.begin(), spins.end(),
                                 [](QAbstractSpinBox *spin) { return spin->height() < spin->minimumSizeHint().height(); });
        };
        QTRY_COMPARE(squeezed(), 0);
    }

    // The SoftType dialog: every parameter in creation order but "toggle key"; shown whole, buttons at its right.
    void dialogListsParametersButToggleKey_data()
    {
        QTest::addColumn<QString>("kind");
        for (const QString &kind : SoftTypeFactory::typeKeys())
            QTest::newRow(qPrintable(kind)) << kind;
    }

    void dialogListsParametersButToggleKey()
    {
        QFETCH(QString, kind);
        const std::unique_ptr<SoftType> softType(SoftTypeFactory::create(kind, "x"));
        softType->addOrSetProperty(QVariant::Int, "from a file", 3); // after the kind's own
        QStringList expected = softType->propertyNames();
        QCOMPARE(expected.mid(0, 5), QStringList({"name", "enabled", "trigger", "radius", "toggle key"}));
        expected.removeAt(4);
        SoftTypeDlg dialog(softType.get());
        QVERIFY(dialog.findChild<QtGroupPropertyManager *>()); // the group goes with the dialog
        QCOMPARE(dialog.windowTitle(), kind);
        QFormLayout *rows = dialog.findChild<QGroupBox *>()->findChild<QFormLayout *>();
        QStringList labels;
        for (int row = 0; row < rows->rowCount(); ++row)
            labels << qobject_cast<QLabel *>(rows->itemAt(row, QFormLayout::LabelRole)->widget())->text();
        QCOMPARE(labels, expected);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *area = dialog.findChild<QScrollArea *>();
        QVERIFY(!area->verticalScrollBar()->isVisible() && !area->horizontalScrollBar()->isVisible());
        QCOMPARE(dialog.findChild<QPushButton *>("OkButton")->x(), area->geometry().right() + 1);
    }

    // SoftTypes dock: rows follow each new set by position (kept, renamed, added, removed); its clones replace
    // the last set's and go with the dock.
    void listFollowsTheMapByPosition()
    {
        const int destroyed = TestSoftType::destroyed;
        int made = 0;
        {
            SoftTypePanelDockWidget dock;
            auto *list = dock.findChild<QListWidget *>();
            for (const QStringList &names : QList<QStringList>{{"b"}, {"a", "b", "c"}, {"a", "bb", "c"}, {"a", "c"}, {"a", "c"}, {}, {"x", "y"}}) {
                QList<QListWidgetItem *> rows;
                for (int i = 0; i < list->count(); ++i)
                    rows << list->item(i);
                QMap<QString, SoftType *> set;
                for (const QString &name : names)
                    set.insert(name, new TestSoftType(name));
                const int before = TestSoftType::destroyed;
                dock.setSoftTypes(set);
                QCOMPARE(TestSoftType::destroyed - before, rows.size()); // every earlier clone
                qDeleteAll(set);
                QStringList shown;
                for (int i = 0; i < list->count(); ++i) {
                    shown << list->item(i)->text();
                    QCOMPARE(list->item(i), rows.value(i, list->item(i)));
                }
                QCOMPARE(shown, names);
                made += names.size();
            }
        }
        QCOMPARE(TestSoftType::destroyed - destroyed, 2 * made); // each set and its clones, the last with the dock
    }

    // A click opens the dialog on a clone; Ok reports every value under the old name, Remove the name.
    void clickRunsTheDialogOnAClone_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("code");        // the dialog's; accepted unless 0
        QTest::addColumn<QString>("emitted"); // with the name before editing, then the name in the values
        QTest::newRow("ok") << "OkButton" << 1 << "changed Twirl 1 as Twirl 1";
        QTest::newRow("new name, return") << "rename" << 1 << "changed Twirl 1 as Spin";
        QTest::newRow("remove") << "RemoveButton" << 2 << "removed Twirl 1";
        QTest::newRow("cancel") << "CancelButton" << 0 << "";
        QTest::newRow("escape") << "escape" << 0 << "";
        QTest::newRow("close") << "close" << 0 << "";
    }

    void clickRunsTheDialogOnAClone()
    {
        QFETCH(QString, how);
        QFETCH(int, code);
        QFETCH(QString, emitted);
        const std::unique_ptr<SoftType> twirl(SoftTypeFactory::create("Twirl", "Twirl 1"));
        const std::unique_ptr<SoftType> rubber(SoftTypeFactory::create("rubber", "Rubber 1"));
        SoftTypePanelDockWidget dock;
        dock.setSoftTypes({{"Twirl 1", twirl.get()}, {"Rubber 1", rubber.get()}});
        dock.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dock));
        QStringList log;
        Values values;
        connect(&dock, &SoftTypePanelDockWidget::softtypeChanged, [&](const QString &name, const Values &v) {
            log << "changed " + name + " as " + v.value("name").toString();
            values = v;
        });
        connect(&dock, &SoftTypePanelDockWidget::softtypeRemoved, [&](const QString &name) { log << "removed " + name; });
        ModalRecorder modal;
        QList<int> got; // result, button code
        modal.execs.enqueue([&](QDialog *dialog) {
            dialog->show();
            QApplication::setActiveWindow(dialog);
            if (!QTest::qWaitForWindowActive(dialog))
                return -1;
            if (how == "rename")
                typeInto(editor<QLineEdit>(dialog, "name"), "Spin");
            else if (how == "escape")
                QTest::keyClick(dialog, Qt::Key_Escape);
            else if (how == "close")
                dialog->close();
            else
                QTest::mouseClick(dialog->findChild<QPushButton *>(how), Qt::LeftButton);
            got << (dialog->isVisible() ? -1 : dialog->result()) << qobject_cast<SoftTypeDlg *>(dialog)->buttonCode;
            return got[0];
        });
        auto *list = dock.findChild<QListWidget *>();
        QCOMPARE(list->item(1)->text(), QString("Twirl 1"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
        QCOMPARE(modal.calls.size(), 1);
        QCOMPARE(modal.calls.at(0).title, QString("Twirl"));
        QCOMPARE(got, QList<int>({code != 0, code}));
        QCOMPARE(log.join(','), emitted);
        QCOMPARE(twirl->name(), QString("Twirl 1")); // the document's SoftType is never edited
        Values expected = twirl->values();
        expected.insert("name", emitted.section(" as ", 1));
        QCOMPARE(values, code == 1 ? expected : Values()); // every value, on every Ok
    }

    // Textpad: the pieces the nozzle reads (type 2 glyph, 3 word, 4 passage; advance 0 forward, 1 repeat).
    void nextPiece_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("typeAdvanceLoopCursor");
        QTest::addColumn<QStringList>("pieces");
        const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80"), e = QString::fromUtf8("e\xCC\x81");
        const QList<int> words{3, 0, 1, 0}, glyphs{2, 0, 1, 0};
        QTest::newRow("words, loop") << "Lorem ipsum dolor sit amet, elit. Donec massa magna." << words
            << QStringList{"Lorem", " ipsum", " dolor", " sit", " amet,", " elit.", " Donec", " massa", " magna.", "Lorem"};
        QTest::newRow("words, no loop") << "ab cd " << QList<int>{3, 0, 0, 0} << QStringList{"ab", " cd", "", ""};
        QTest::newRow("words, no loop, no space") << "ab cd" << QList<int>{3, 0, 0, 0} << QStringList{"ab", " cd", ""};
        QTest::newRow("glyphs wrap") << "abc" << glyphs << QStringList{"a", "b", "c", "a"};
        QTest::newRow("trailing space") << "ab " << glyphs << QStringList{"a", "b", " a"};
        QTest::newRow("space tab space") << "a \t b" << glyphs << QStringList{"a", " b", "a"};
        QTest::newRow("LF") << "a\nb" << glyphs << QStringList{"a", "b", "a"};
        QTest::newRow("CR") << "a\rb" << glyphs << QStringList{"a", "\rb", "a"};
        // The text area holds CR LF as one line break; the selection must still land on the piece.
        QTest::newRow("CR LF") << "ab\r\ncd\r\nef gh" << words << QStringList{"ab", "\rcd", "\ref", " gh", "ab"};
        // A passage keeps the spaces its line starts with, after the prefix.
        QTest::newRow("passages") << "first line\n  second" << QList<int>{4, 0, 1, 0} << QStringList{"first line", "   second", "first line"};
        QTest::newRow("repeat") << "ab cd" << QList<int>{3, 1, 1, 3} << QStringList{"cd", "cd", "cd"};
        QTest::newRow("inside a word") << "hello world" << QList<int>{3, 0, 1, 8} << QStringList{"world", "hello"};
        QTest::newRow("surrogate pair") << "a" + smile + "b" << glyphs << QStringList{"a", smile, "b"};
        QTest::newRow("inside a pair") << "a" + smile + "b" << QList<int>{2, 0, 1, 2} << QStringList{smile, "b"};
        QTest::newRow("combining mark") << e + "x" << glyphs << QStringList{e, "x"};
        QTest::newRow("looks like HTML") << "<b>x</b> y" << words << QStringList{"<b>x</b>", " y"};
        QTest::newRow("only whitespace") << " \n\t " << QList<int>{2, 0, 1, 2} << QStringList{"", ""};
    }

    void nextPiece()
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
                QVERIFY2(!shown.isEmpty() && expected.endsWith(shown) && expected.size() - shown.size() <= 1, qPrintable(shown));
        }
    }

    void signalsOnlyFromTheUser()
    {
        using T = TextpadPanelDockWidget;
        T dock;
        QSignalSpy load(&dock, &T::loadFile), text(&dock, &T::textChanged), on(&dock, &T::nozzleChanged);
        QSignalSpy advance(&dock, &T::advanceChanged), loop(&dock, &T::loopChanged), type(&dock, &T::nozzleTypeChanged);
        const auto counts = [&] {
            return QString("%1%2%3%4%5%6").arg(load.count()).arg(text.count()).arg(on.count()).arg(advance.count())
                .arg(loop.count()).arg(type.count());
        };
        dock.setNozzleType(3);
        dock.setAdvance(1);
        dock.setLoop(false);
        dock.setNozzleOn(true);
        dock.setText("xyz");
        QAction lower("nozzle"); // names compare exactly
        lower.setObjectName("nozzle");
        dock.OnActionTriggered(&lower);
        auto *box = dock.findChild<QComboBox *>();
        QCOMPARE(counts() + box->currentText(), QString("000000Word"));
        for (const char *name : {"Nozzle", "Advance", "Loop", "Load"})
            dock.findChild<QAction *>(name)->trigger();
        QCOMPARE(counts(), QString("101110"));
        QVERIFY(!on.last().at(0).toBool() && !dock.nozzleOn && dock.advance == 0 && dock.loop);
        QTest::keyClicks(dock.findChild<QTextEdit *>(), "<i>"); // a user edit reports the whole plain text
        QCOMPARE(text.last().at(0).toString() + counts(), QString("<i>xyz131110"));
        box->setCurrentIndex(2);
        QCOMPARE(dock.nozzleType, 4);
        dock.OnCurrentIndexChanged("GLYPH");
        dock.OnCurrentIndexChanged("Letter"); // no match: the type stays, the signal comes
        QCOMPARE(QString::number(dock.nozzleType) + counts(), QString("2131113"));
    }

    // Hierarchy: rows for outlined children only, with their true indices, icons, selection and tint.
    void hierarchyRows()
    {
        const QString cd = "cd@2wou(c@0gou d@1gou))    @1pou";
        for (const QStringList &r : QList<QStringList>{
                 {"", "ab cd@0pou(ab@0wou(a@0gou b@1gou) " + cd},
                 {"lock b", "ab cd@0poL(ab@0woL(a@0gou b@1goL) " + cd},
                 {"hide cd", "ab cd@0pou(ab@0wou(a@0gou b@1gou) cd@2wcu(c@0gcu d@1gcu))    @1pou"},
                 {"select a", "ab cd@0pou~(ab@0wou~(a@0gou* b@1gou) " + cd},
                 {"select ab", "ab cd@0pou~(ab@0wou*(a@0gou b@1gou) " + cd},
                 {"softtypes a", "ab cd@0pou(ab@0wou(a@0gou(Twirl@0s-- Pull@1s--) b@1gou) " + cd}}) {
            TestDocument doc;
            doc.add("ab cd");
            doc.add("   ", QPointF(0, 300));
            HierarchyPanelDockWidget dock;
            dock.updateTree(doc.root);
            TextObject *o = find(doc.root, r[0].section(' ', 1)).value(0);
            if (r[0].startsWith("lock"))
                o->lock();
            else if (r[0].startsWith("hide"))
                o->setVisible(false);
            else if (r[0].startsWith("select"))
                doc.scene.setSelected(o, true, false);
            else if (o)
                for (const char *name : {"Twirl", "Twirl", "Pull"})
                    static_cast<Glyph *>(o)->addSoftType(new TestSoftType(name));
            dock.updateTree(doc.root);
            QCOMPARE(dump(dock), r[1]);
            doc.scene.clearGroup(doc.root);
            dock.updateTree(doc.root);
            QCOMPARE(dump(dock), QString());
        }
    }

    // Seeded random edits: rows updated in place show what a fresh dock shows, and a second
    // refresh writes nothing.
    void inPlaceUpdateMatchesFreshRows()
    {
        TestDocument doc;
        doc.add("ab cd ef");
        doc.add("gh\rij", QPointF(0, 300));
        HierarchyPanelDockWidget dock;
        auto *model = dock.findChild<QTreeWidget *>()->model();
        QRandomGenerator rng(14);
        for (int step = 0; step < 300; ++step) {
            QList<TextObject *> all;
            for (TextObject *g = doc.root->firstGlyph(); g; g = g->nextGlyph())
                for (TextObject *o = g; o != doc.root; o = o->parentGroup())
                    all += all.contains(o) ? QList<TextObject *>() : QList<TextObject *>{o};
            TextObject *o = all.value(rng.bounded(all.size() + 1));
            Glyph *g = qobject_cast<Glyph *>(o);
            TextGroup *passage = o && !o->isPassage() ? o->parentGroup() : group(o);
            while (passage && !passage->isPassage())
                passage = passage->parentGroup();
            TextGroup *words = TreeBuilder::passage("xy");
            switch (o ? rng.bounded(7) : 6) {
            case 0: doc.scene.setSelected(o, !o->isSelected(), false); break;
            case 1: doc.scene.setObjectVisible(o, !o->isVisible()); break;
            case 2: g ? (g->isLocked() ? g->unlock() : g->lock()) : void(); break;
            case 3: delete doc.scene.removeChild(o->parentGroup(), o); break;
            case 4: g ? g->addSoftType(new TestSoftType(QString("S%1").arg(rng.bounded(3)))) : void(); break;
            case 5: // a bare glyph or a word anywhere in the passage: rows change kind
                passage->insert(rng.bounded(passage->count() + 1),
                                rng.bounded(2) ? static_cast<TextObject *>(TreeBuilder::glyph('z')) : words->takeAt(0));
                break;
            default: doc.add(rng.bounded(2) ? "p q" : "r", QPointF(0, 100 * step));
            }
            delete words;
            dock.updateTree(doc.root);
            HierarchyPanelDockWidget fresh;
            fresh.updateTree(doc.root);
            QCOMPARE(dump(dock), dump(fresh));
            QSignalSpy changed(model, &QAbstractItemModel::dataChanged), added(model, &QAbstractItemModel::rowsInserted);
            dock.updateTree(doc.root);
            QCOMPARE(changed.count() + added.count(), 0);
        }
    }

    // Real mouse clicks on a cell (path: rows from the top level down, then the column; none: the
    // empty area below the rows), with or without Ctrl. The log lists the signals: the objects whose
    // selection is to flip (a SoftType row is not selectable: pressing it empties the row selection),
    // then the visible, lock and SoftType requests.
    void hierarchyClicks_data()
    {
        QTest::addColumn<QString>("selected"); // in the document
        QTest::addColumn<QList<int>>("path");
        QTest::addColumn<bool>("ctrl");
        QTest::addColumn<QString>("log");
        QTest::newRow("select a glyph") << "" << QList<int>{0, 0, 0, 0} << false << "flip a";
        QTest::newRow("add word of selected glyph") << "a" << QList<int>{0, 0, 0} << true << "flip ";
        QTest::newRow("click word of selected glyph") << "a" << QList<int>{0, 0, 0} << false << "flip a";
        QTest::newRow("add glyph of selected word") << "ab" << QList<int>{0, 0, 0, 0} << true << "flip ";
        QTest::newRow("clear") << "a cd" << QList<int>() << false << "flip a cd";
        QTest::newRow("glyph in selected passage") << "ab_cd" << QList<int>{0, 1, 0, 0} << false << "flip ab_cd";
        QTest::newRow("eye of a glyph") << "" << QList<int>{0, 0, 0, 1} << false << "flip a,visible a";
        QTest::newRow("eye of a passage") << "" << QList<int>{0, 1} << false << "flip ab_cd,visible ab_cd";
        QTest::newRow("lock of a word") << "" << QList<int>{0, 1, 2} << false << "flip cd,lock cd";
        QTest::newRow("softtype row") << "" << QList<int>{0, 0, 0, 0, 0} << false << "flip ,softtype a Twirl first";
        QTest::newRow("second softtype row") << "" << QList<int>{0, 0, 0, 1, 0} << false << "flip ,softtype a Pull";
        QTest::newRow("eye of a softtype row") << "" << QList<int>{0, 0, 0, 0, 1} << false << "flip ";
        QTest::newRow("no document") << "" << QList<int>{0, 0, 0, 1} << false << "";
    }

    void hierarchyClicks()
    {
        QFETCH(QString, selected);
        QFETCH(QList<int>, path);
        QFETCH(bool, ctrl);
        QFETCH(QString, log);
        TestDocument doc;
        doc.add("ab cd");
        SoftType *first = new TestSoftType("Twirl");
        for (SoftType *s : QList<SoftType *>{first, new TestSoftType("Twirl"), new TestSoftType("Pull")})
            doc.root->firstGlyph()->addSoftType(s);
        for (TextObject *o : find(doc.root, selected))
            doc.scene.setSelected(o, true, false);
        const bool scene = !QByteArray(QTest::currentDataTag()).startsWith("no ");
        ActiveScene::setProvider([&doc, scene] { return scene ? &doc.scene : nullptr; });
        HierarchyPanelDockWidget dock;
        dock.updateTree(doc.root);
        QStringList events;
        const auto text = [](TextObject *o) { return o->text().replace(' ', '_'); };
        connect(&dock, &HierarchyPanelDockWidget::selectionChanged, [&](QList<TextObject *> &objects) {
            QStringList texts;
            for (TextObject *o : objects)
                texts << text(o);
            events << "flip " + texts.join(' ');
        });
        connect(&dock, &HierarchyPanelDockWidget::visibleChanged, [&](TextObject *o) { events << "visible " + text(o); });
        connect(&dock, &HierarchyPanelDockWidget::lockChanged, [&](TextObject *o) { events << "lock " + text(o); });
        connect(&dock, &HierarchyPanelDockWidget::softTypeClicked, [&](Glyph *g, SoftType *s) {
            events << "softtype " + g->text() + ' ' + s->name() + (s == first ? " first" : "");
        });
        dock.resize(300, 400);
        dock.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dock));
        auto *tree = dock.findChild<QTreeWidget *>();
        tree->expandAll();
        const int column = path.isEmpty() ? 0 : path.takeLast();
        QTreeWidgetItem *row = tree->invisibleRootItem();
        for (int i : path)
            row = row->child(i);
        const int x = tree->header()->sectionViewportPosition(column) + tree->header()->sectionSize(column) / 2;
        const int y = path.isEmpty() ? tree->viewport()->height() - 5 : tree->visualItemRect(row).center().y();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, ctrl ? Qt::ControlModifier : Qt::NoModifier, QPoint(x, y));
        QCOMPARE(events.join(','), log);
        // Clearing emits nothing, and the cleared rows are forgotten: a later change names none.
        events.clear();
        dock.clear();
        QMetaObject::invokeMethod(&dock, "OnItemSelectionChanged");
        QCOMPARE(events.join(','), QString(scene ? "flip " : ""));
    }

    // History: rows in black (done) and light grey (undone), reused in place; a click asks for the steps that
    // make its row the last done one.
    void historyRowsAndClicks_data()
    {
        QTest::addColumn<int>("undone");     // of the five steps A to E
        QTest::addColumn<QString>("edit");   // a new step after the undos, dropping the undone ones
        QTest::addColumn<QString>("rows");   // b black, g light grey; @ current row, # selected row
        QTest::addColumn<QString>("target"); // a row or a button
        QTest::addColumn<QString>("signal");
        QTest::newRow("all done, three rows back") << 0 << "" << "Ab Bb Cb Db Eb @4 #4" << "1" << "undo 3";
        QTest::newRow("last done row") << 0 << "" << "Ab Bb Cb Db Eb @4 #4" << "4" << "";
        QTest::newRow("forward") << 4 << "" << "Ab Bg Cg Dg Eg @0 #0" << "3" << "redo 3";
        QTest::newRow("nothing done") << 5 << "" << "Ag Bg Cg Dg Eg @-1 #-1" << "0" << "redo 1";
        QTest::newRow("redo dropped") << 3 << "F" << "Ab Bb Fb @2 #2" << "0" << "undo 2";
        QTest::newRow("Undo button") << 5 << "" << "Ag Bg Cg Dg Eg @-1 #-1" << "Undo" << "undo 1";
        QTest::newRow("Redo button") << 0 << "" << "Ab Bb Cb Db Eb @4 #4" << "Redo" << "redo 1";
    }

    void historyRowsAndClicks()
    {
        QFETCH(int, undone);
        QFETCH(QString, edit);
        QFETCH(QString, rows);
        QFETCH(QString, target);
        QFETCH(QString, signal);
        QVorrelScene scene(0, 0, 100, 100);
        for (const char *text : {"A", "B", "C", "D", "E"})
            scene.executeCommand(new NamedCmd(&scene, text));
        HistoryPanelDockWidget dock;
        auto *list = dock.findChild<QListWidget *>();
        dock.setHistory(scene.history(), scene.historyIndex());
        QListWidgetItem *firstRow = list->item(0);
        for (int i = 0; i < undone; ++i)
            scene.undo();
        if (!edit.isEmpty())
            scene.executeCommand(new NamedCmd(&scene, edit));
        dock.setHistory(scene.history(), scene.historyIndex());
        QString shown;
        for (int i = 0; i < list->count(); ++i) {
            const QBrush colour = list->item(i)->foreground();
            shown += list->item(i)->text() + (colour == Qt::black ? "b " : colour == Qt::lightGray ? "g " : "? ");
        }
        QCOMPARE(shown + QString("@%1 #%2").arg(list->currentRow()).arg(list->row(list->selectedItems().value(0))), rows);
        QCOMPARE(list->item(0), firstRow); // rows are reused in place
        ActiveScene::setProvider([&scene] { return &scene; });
        QStringList log;
        connect(&dock, &HistoryPanelDockWidget::undoTriggered, [&](int n) { log << QString("undo %1").arg(n); });
        connect(&dock, &HistoryPanelDockWidget::redoTriggered, [&](int n) { log << QString("redo %1").arg(n); });
        dock.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dock));
        if (QAction *action = dock.findChild<QAction *>(target))
            QTest::mouseClick(dock.findChild<QToolBar *>()->widgetForAction(action), Qt::LeftButton);
        else
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(target.toInt())).center());
        QCOMPARE(log.join(','), signal);
    }
};

QTEST_MAIN(TestDocks)
#include "tst_docks.moc"
