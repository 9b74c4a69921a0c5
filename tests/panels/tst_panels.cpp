#include "commands/Cmd.h"
#include "dialogs/EditCanvasDlg.h"
#include "dialogs/EditGuidesDlg.h"
#include "dialogs/QuicktimeSettingsDlg.h"
#include "dialogs/SaveOptionsDlg.h"
#include "dialogs/SoftTypeDlg.h"
#include "model/DocumentStream.h"
#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "panels/ActiveScene.h"
#include "panels/HierarchyPanelDockWidget.h"
#include "panels/HistoryPanelDockWidget.h"
#include "panels/PropertiesPanelDockWidget.h"
#include "panels/SoftTypePanelDockWidget.h"
#include "panels/TextpadEdit.h"
#include "panels/TextpadPanelDockWidget.h"
#include "panels/TypeToolbar.h"
#include "propertybrowser/QtGroupPropertyManager.h"
#include "propertybrowser/QtPropertyRowList.h"
#include "softtypes/SoftTypeFactory.h"
#include "support/DoublingRatio.h"
#include "support/HostileDocument.h"
#include "support/ModalRecorder.h"
#include "support/PeakMemory.h"
#include "support/TestDocument.h"
#include "support/TestSoftType.h"
#include "support/TreeBuilder.h"

#include <QtTest>
#include <QtWidgets>
#include <memory>

using Ints = QList<int>;

namespace {
struct ColorRecorder : ModalRecorder
{
    QColorDialog::ColorDialogOptions options;
    QColor color(const QColor &initial, QWidget *parent, const QString &title, QColorDialog::ColorDialogOptions o) override
    {
        return ModalRecorder::color(initial, parent, title, options = o);
    }
};

void typeInto(QWidget *field, const QString &text, bool enter = true)
{
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
    if (enter)
        QTest::keyClick(field, Qt::Key_Return);
}

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

template <typename T = QSpinBox>
T *field(QWidget *dialog, const char *name)
{
    return dialog->findChild<T *>(name);
}

Ints values(QWidget *dialog, std::initializer_list<const char *> boxes)
{
    Ints result;
    for (const char *box : boxes)
        result << field(dialog, box)->value();
    return result;
}

// The first argument of every emission as text (a colour as "#rrggbb", "#aarrggbb" unless opaque).
QString sent(const QSignalSpy &spy)
{
    QStringList result;
    for (const QList<QVariant> &arguments : spy)
        result << arguments.at(0).toString();
    return result.join(' ');
}

void seedCanvas(EditCanvasDlg &dlg, const Ints &sizes, const QColor &background = Qt::white)
{
    dlg.setExportHeight(sizes[3]);
    dlg.setExportWidth(sizes[2]);
    dlg.setExportResolution(72);
    dlg.setScreenHeight(sizes[1]);
    dlg.setScreenWidth(sizes[0]);
    dlg.setBackgroundColor(background);
}

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

// The first object of a document with this text ("_" for a space).
TextObject *find(TextObject *o, QString text)
{
    QList<TextObject *> todo{o};
    while (!todo.isEmpty() && (todo.first()->text() != text.replace('_', ' ') || !todo.first()->parentGroup())) {
        TextObject *next = todo.takeFirst();
        todo += next->isGlyph() ? QList<TextObject *>() : group(next)->children();
    }
    return todo.value(0);
}

struct NamedCmd : Cmd
{
    using Cmd::Cmd;
    CmdResult execute() override { return CmdResult(true, false); }
    CmdResult undo() override { return CmdResult(true, false); }
};
} // namespace

class TestPanels : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDocument> m_docs[3]; // of 10,000 and 20,000 passages
    std::unique_ptr<HierarchyPanelDockWidget> m_docks[3];

private slots:
    void cleanup()
    {
        ActiveScene::setProvider(nullptr);
        QLocale::setDefault(QLocale::c());
    }

    // Properties: the font's real family, the style of its weight and slant (upright first: DejaVu Sans's is "Book"); no setter emits.
    void fontShowsRealFamilyAndUprightStyle()
    {
        for (const auto &c : QList<QPair<QFont, QString>>{{QFont("Arial", 72), "Liberation Sans/Regular 72"}, {QFont("DejaVu Sans", 12), "DejaVu Sans/Book 12"},
                 {QFont("Liberation Sans", 20, QFont::Bold, true), "Liberation Sans/Bold Italic 20"}, {QFont("Liberation Serif", 8, QFont::Bold), "Liberation Serif/Bold 8"},
                 {QFont("DejaVu Sans", 9, QFont::ExtraLight, true), "DejaVu Sans/Oblique 9"}}) { // slant before weight
            PropertiesPanelDockWidget dock;
            Log log(dock);
            dock.setTextFont(QFont("Liberation Mono", 40, QFont::Bold));
            dock.setTextFont(c.first);
            log << editor<QComboBox>(&dock, "Font Family")->currentText() + "/" + editor<QComboBox>(&dock, "Font Style")->currentText() + " " + editor<QSpinBox>(&dock, "Font Size")->text();
            QCOMPARE(log.join(','), c.second); // what it shows, after no signal
        }
    }

    // The user's edits and their signals; a refresh inside a rotation edit (mixed rotations show 0) is the next base.
    void editsEmit_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected"); // none: the text group is disabled
        QTest::newRow("rotation") << "Rotation" << "25|20" << QStringList{"by 15", "rotation 25", "by -5", "rotation 20"};
        QTest::newRow("rotationBaseIsWhatTheRefreshShows") << "Rotation" << "20|5" << QStringList{"by 10", "rotation 20", "by 5", "rotation 5"};
        QTest::newRow("position x") << "Position/X" << "7" << QStringList{"position 7,4"};
        QTest::newRow("caret y") << "Caret/Y" << "-2.5" << QStringList{"caret 0,-2.5"};
        QTest::newRow("size") << "Font Size" << "36" << QStringList{"size 36"};
        QTest::newRow("stroke width") << "Stroke Width" << "1.5" << QStringList{"width 1.5"};
        QTest::newRow("no size below a point") << "Font Size" << "-7" << QStringList{"size 7"};
        QTest::newRow("no negative width") << "Stroke Width" << "-2|3" << QStringList{"width 3"};
        QTest::newRow("family, other styles") << "Font Family" << "DejaVu Sans" << QStringList{"family DejaVu Sans", "style Book", "font DejaVu Sans/Book", "font DejaVu Sans/Book"};
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
        dock.setCaretPosition(QPointF(0, 9));
        dock.setTextPosition(QPointF(3, 4));
        dock.setTextRotation(10);
        dock.setTextFont(QFont("Liberation Sans", 30));
        dock.setTextPropertiesEnabled(!expected.isEmpty());
        if (QByteArray(QTest::currentDataTag()).startsWith("rotationBase"))
            connect(&dock, &PropertiesPanelDockWidget::textRotationChangedBy, &dock, [&] { dock.setTextRotation(0); });
        dock.show(); // 200 x 272: the sheet scrolls, its rows are never squeezed (guards: rowsAreNeverSqueezed)
        for (QAbstractSpinBox *spin : dock.findChildren<QAbstractSpinBox *>())
            QTRY_VERIFY(spin->height() >= spin->minimumSizeHint().height());
        QWidget *edited = editor<QWidget>(&dock, path);
        auto *box = qobject_cast<QComboBox *>(edited); // picked in the open list by keys
        for (const QString &text : typed.split('|')) {
            if (box)
                box->showPopup();
            typeInto(box ? box->view() : edited, text);
        }
        QCOMPARE(log, expected);
    }

    // The SoftType dialog: every parameter in creation order but "toggle key", shown whole.
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
        QCOMPARE(expected.takeAt(4), QString("toggle key"));
        SoftTypeDlg dialog(softType.get());
        QVERIFY(dialog.findChild<QtGroupPropertyManager *>()); // the group goes with the dialog
        QFormLayout *rows = dialog.findChild<QGroupBox *>()->findChild<QFormLayout *>();
        QStringList labels;
        for (int row = 0; row < rows->rowCount(); ++row)
            labels << qobject_cast<QLabel *>(rows->itemAt(row, QFormLayout::LabelRole)->widget())->text();
        QCOMPARE(labels, expected);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *area = dialog.findChild<QScrollArea *>();
        QVERIFY(!area->verticalScrollBar()->isVisible() && !area->horizontalScrollBar()->isVisible());
    }

    // SoftTypes dock: rows follow each new set by position; its clones replace the last set's, go with the dock.
    void listFollowsTheMapByPosition()
    {
        const int destroyed = TestSoftType::destroyed;
        {
            SoftTypePanelDockWidget dock;
            auto *list = dock.findChild<QListWidget *>();
            for (const QStringList &names : QList<QStringList>{{"b"}, {"a", "b", "c"}, {"a", "bb", "c"}, {"a", "c"}, {"a", "c"}, {}, {"x", "y"}}) {
                QListWidgetItem *top = list->item(0);
                QMap<QString, SoftType *> set;
                for (const QString &name : names)
                    set.insert(name, new TestSoftType(name));
                const int before = TestSoftType::destroyed, rows = list->count();
                dock.setSoftTypes(set);
                QCOMPARE(TestSoftType::destroyed - before, rows); // every earlier clone
                qDeleteAll(set);
                for (int i = 0; i < qMax(list->count(), names.size()); ++i)
                    QCOMPARE(list->item(i) ? list->item(i)->text() : QString("(none)"), names.value(i, "(none)"));
                QVERIFY(!top || !list->count() || list->item(0) == top); // rows are kept, renamed in place
            }
        }
        QCOMPARE(TestSoftType::destroyed - destroyed, 2 * 13); // each set's 13 and their clones, the last with the dock
    }

    // A click opens the dialog on a clone; Ok reports every value under the old name, Remove the name.
    void clickRunsTheDialogOnAClone_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("code");        // the dialog's; accepted unless 0
        QTest::addColumn<QString>("emitted"); // with the name before editing, then the name in the values
        QTest::newRow("new name, return") << "rename" << 1 << "changed Twirl 1 as Spin";
        QTest::newRow("remove") << "RemoveButton" << 2 << "removed Twirl 1";
        QTest::newRow("cancel") << "CancelButton" << 0 << "";
    }

    void clickRunsTheDialogOnAClone()
    {
        QFETCH(QString, how);
        QFETCH(int, code);
        const std::unique_ptr<SoftType> twirl(SoftTypeFactory::create("Twirl", "Twirl 1"));
        const std::unique_ptr<SoftType> rubber(SoftTypeFactory::create("rubber", "Rubber 1"));
        SoftTypePanelDockWidget dock;
        dock.setSoftTypes({{"Twirl 1", twirl.get()}, {"Rubber 1", rubber.get()}});
        dock.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dock));
        QStringList log;
        QVariantHash values;
        connect(&dock, &SoftTypePanelDockWidget::softtypeChanged, [&](const QString &name, const QVariantHash &v) {
            log << "changed " + name + " as " + v.value("name").toString();
            values = v;
        });
        connect(&dock, &SoftTypePanelDockWidget::softtypeRemoved, [&](const QString &name) { log << "removed " + name; });
        ModalRecorder modal;
        Ints got; // result, button code
        modal.execs.enqueue([&](QDialog *dialog) {
            dialog->show();
            QApplication::setActiveWindow(dialog);
            if (!QTest::qWaitForWindowActive(dialog))
                return -1;
            if (how == "rename") // the name field keeps the focus: Return must reach Ok, the default button
                typeInto(editor<QLineEdit>(dialog, "name"), "Spin");
            else
                QTest::mouseClick(dialog->findChild<QPushButton *>(how), Qt::LeftButton);
            got << (dialog->isVisible() ? -1 : dialog->result()) << qobject_cast<SoftTypeDlg *>(dialog)->buttonCode;
            return got[0];
        });
        auto *list = dock.findChild<QListWidget *>(); // Rubber 1, Twirl 1
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
        QCOMPARE(QString::number(modal.calls.size()) + modal.calls.value(0).title + QString(" %1 %2").arg(got.value(0)).arg(got.value(1)), QString("1Twirl %1 %2").arg(code != 0).arg(code));
        QTEST(log.join(','), "emitted");
        QCOMPARE(twirl->name(), QString("Twirl 1")); // the document's SoftType is never edited
        QVariantHash expected = twirl->values();
        expected.insert("name", "Spin");
        QCOMPARE(values, code == 1 ? expected : QVariantHash()); // every value, on every Ok
    }

    // A SoftType read with thousands of properties of its own, opened from the dock: the dialog lists every row but
    // "toggle key" in order, down to the last, without scrolling itself; Ok hands back every value, which set again
    // leave the record as read. Guards manyPropertiesOpenAndCloseInLinearTime: opening, showing and closing by Ok,
    // Cancel or Escape take time linear in the number of properties (100,000 took a minute, closing over 20), and the
    // shown dialog at most 100 bytes of heap for each.
    void manyPropertiesOpenAndCloseInLinearTime_data()
    {
        QTest::addColumn<QString>("how");
        for (const char *how : {"OkButton", "CancelButton", "escape"})
            QTest::newRow(how) << QString(how);
    }

    void manyPropertiesOpenAndCloseInLinearTime()
    {
        QFETCH(QString, how);
        std::unique_ptr<QVorrelScene> scenes[3];
        for (int factor : {1, 2}) {
            QBuffer file;
            file.setData(HostileDocument::build(HostileDocument::ManyProperties, 6000 * factor));
            file.open(QIODevice::ReadOnly);
            scenes[factor].reset(new QVorrelScene(-32768, -32768, 65535, 65535));
            QVERIFY(DocumentStream::read(&file, *scenes[factor]) == DocumentStream::Ok);
        }
        const auto record = [](const SoftType &softType) {
            QByteArray bytes;
            QDataStream out(&bytes, QIODevice::WriteOnly);
            out << softType;
            return bytes;
        };
        ModalRecorder modal;
        QString fault;
        // The least heap the shown dialog added at each size, over the runs (the first meets the names' characters).
        qint64 shownHeap[3] = {-1, -1, -1}, before = 0;
        const QString slow = DoublingRatio::nonLinear([&](int factor) {
            SoftType *softType = scenes[factor]->root()->firstGlyph()->softTypes().first();
            QStringList expected = softType->propertyNames();
            expected.removeOne("toggle key");
            SoftTypePanelDockWidget dock;
            dock.setSoftTypes({{softType->name(), softType}});
            QSignalSpy changed(&dock, &SoftTypePanelDockWidget::softtypeChanged);
            modal.execs.enqueue([&](QDialog *dialog) {
                dialog->show();
                QApplication::setActiveWindow(dialog);
                auto *list = dialog->findChild<QtPropertyRowList *>();
                if (!QTest::qWaitForWindowActive(dialog) || !list)
                    return -1;
                list->scrollToRow(expected.size() - 1);
                const qint64 added = PeakMemory::heapInUse() - before;
                shownHeap[factor] = shownHeap[factor] < 0 ? added : qMin(shownHeap[factor], added);
                QStringList rows;
                for (int row = 0; row < list->rowCount(); ++row)
                    rows << list->rowProperty(row)->propertyName();
                if (rows != expected || !list->rowEditor(expected.size() - 1) || dialog->findChild<QScrollArea *>()->verticalScrollBar()->isVisible())
                    fault = "rows not all in order, or not in view";
                if (how == "escape")
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                else
                    QTest::mouseClick(dialog->findChild<QPushButton *>(how), Qt::LeftButton);
                if (dialog->isVisible() || dialog->result() != (how == "OkButton" ? QDialog::Accepted : QDialog::Rejected))
                    fault = "not closed as asked";
                return dialog->result();
            });
            before = PeakMemory::heapInUse();
            const double start = DoublingRatio::cpuSeconds();
            emit dock.findChild<QListWidget *>()->itemClicked(dock.findChild<QListWidget *>()->item(0));
            const double seconds = DoublingRatio::cpuSeconds() - start;
            if (changed.count() != (how == "OkButton"))
                fault = "no Ok, or not only on Ok";
            if (changed.count() && changed[0][1].value<QVariantHash>() != softType->values())
                fault = "not every value handed back";
            const QByteArray read = record(*softType);
            if (changed.count() && (softType->setValues(changed[0][1].value<QVariantHash>()), record(*softType) != read))
                fault = "not written back as read";
            return fault.isEmpty() ? seconds : -1;
        }, QStringLiteral("the properties"));
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        QVERIFY2(slow.isEmpty(), qPrintable(slow));
#ifndef __SANITIZE_ADDRESS__
        // At most 100 bytes for each property shown, the clone's property sheet included (a sheet and its rows took 190).
        const double perProperty = double(shownHeap[2] - shownHeap[1]) / 6000;
        QVERIFY2(perProperty <= 100, qPrintable(QStringLiteral("%1 bytes for each property more").arg(perProperty)));
#endif
    }

    // Textpad: the pieces the nozzle reads (type 2 glyph, 3 word, 4 passage; advance 0 forward, 1 repeat).
    void nextPiece_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Ints>("typeAdvanceLoopCursor");
        QTest::addColumn<QStringList>("pieces");
        const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80"), e = QString::fromUtf8("e\xCC\x81");
        const Ints words{3, 0, 1, 0}, glyphs{2, 0, 1, 0};
        QTest::newRow("words, loop") << "Lorem ipsum dolor sit amet, elit. Donec massa magna." << words
            << QStringList{"Lorem", " ipsum", " dolor", " sit", " amet,", " elit.", " Donec", " massa", " magna.", "Lorem"};
        QTest::newRow("words, no loop") << "ab cd " << Ints{3, 0, 0, 0} << QStringList{"ab", " cd", "", ""};
        QTest::newRow("trailing space") << "ab " << glyphs << QStringList{"a", "b", " a"};
        QTest::newRow("CR LF") << "ab\r\ncd\r\nef gh" << words << QStringList{"ab", "\rcd", "\ref", " gh", "ab"}; // one break in the editor
        QTest::newRow("passages") << "first line\n  second" << Ints{4, 0, 1, 0} << QStringList{"first line", "   second", "first line"};
        QTest::newRow("repeat") << "ab cd" << Ints{3, 1, 1, 3} << QStringList{"cd", "cd", "cd"};
        QTest::newRow("inside a word") << "hello world" << Ints{3, 0, 1, 8} << QStringList{"world", "hello"};
        QTest::newRow("surrogate pair") << "a" + smile + "b" << glyphs << QStringList{"a", smile, "b"};
        QTest::newRow("inside a pair") << "a" + smile + "b" << Ints{2, 0, 1, 2} << QStringList{smile, "b"};
        QTest::newRow("combining mark") << e + "x" << glyphs << QStringList{e, "x"};
        QTest::newRow("looks like HTML") << "<b>x</b> y" << words << QStringList{"<b>x</b>", " y"};
        QTest::newRow("only whitespace") << " \n\t " << Ints{2, 0, 1, 2} << QStringList{"", ""};
        // A line longer than a piece: "c" starts the second piece.
        QTest::newRow("glyphs across pieces") << QString(TextpadEdit::PieceLength - 1, 'a') + "bcd"
                                              << Ints{2, 0, 1, TextpadEdit::PieceLength - 2} << QStringList{"a", "b", "c", "d"};
        QTest::newRow("a word over pieces") << QString(5000, 'x') + " y" << words << QStringList{QString(5000, 'x'), " y", QString(5000, 'x')};
    }

    void nextPiece()
    {
        QFETCH(QString, text);
        QFETCH(Ints, typeAdvanceLoopCursor);
        QFETCH(QStringList, pieces);
        TextpadPanelDockWidget dock;
        auto *edit = dock.findChild<TextpadEdit *>();
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
            if (expected.isEmpty()) // no selection, at the end, or untouched for a blank text
                QCOMPARE(QPoint(now.anchor(), now.position()), QPoint(end, end));
            else { // the piece shows selected, without its prefix
                const int from = edit->textIndex(now.selectionStart());
                const QString selected = edit->text().mid(from, edit->textIndex(now.selectionEnd()) - from);
                QVERIFY2(now.hasSelection() && expected.endsWith(selected) && expected.size() - selected.size() <= 1, qPrintable(selected.left(20)));
            }
        }
    }

    // Setters emit nothing; the toolbar's actions, a user edit (the whole plain text) and the type box do.
    void signalsOnlyFromTheUser()
    {
        using T = TextpadPanelDockWidget;
        T dock;
        QStringList log;
        connect(&dock, &T::loadFile, [&] { log << "load"; });
        connect(&dock, &T::textChanged, [&](const QString &text) { log << text; });
        connect(&dock, &T::nozzleChanged, [&](bool on) { log << QString("nozzle %1 %2").arg(on).arg(dock.nozzleOn); });
        connect(&dock, &T::advanceChanged, [&] { log << QString("advance %1").arg(dock.advance); });
        connect(&dock, &T::loopChanged, [&] { log << QString("loop %1").arg(dock.loop); });
        connect(&dock, &T::nozzleTypeChanged, [&] { log << QString("type %1").arg(dock.nozzleType); });
        dock.setNozzleType(3);
        dock.setText("xyz");
        for (const char *name : {"Nozzle", "Advance", "Loop", "Load"})
            dock.findChild<QAction *>(name)->trigger();
        QTest::keyClicks(dock.findChild<QPlainTextEdit *>(), "<i>");
        for (int index : {1, 2}) // Word is shown already
            dock.findChild<QComboBox *>()->setCurrentIndex(index);
        QCOMPARE(log.join(','), QString("nozzle 1 1,advance 1,loop 0,load,<xyz,<ixyz,<i>xyz,type 4"));
    }

    // Seeded random edits in lines longer than a piece, at and beside the soft separators between pieces, against a
    // string edited alike: no character is lost or added at a separator (a no-break space stays one), a cut holds the
    // text selected, an arrow steps one character, every undo goes back to an earlier text and undoing all of it to
    // the text set; no piece is empty and none grows past two pieces. The dock is shown, so that each key asks the
    // layout where the cursor is, as in the program: Return then Backspace, or Delete from the end of the line
    // before, joins a piece split in two (this crashed). Word keys, Shift+arrows and a letter typed over the
    // selection do what they do in a plain editor of the same text.
    void longLinesEditAsOneString()
    {
        const int piece = TextpadEdit::PieceLength;
        TextpadPanelDockWidget dock;
        auto *edit = dock.findChild<TextpadEdit *>();
        QTextDocument *doc = edit->document();
        dock.resize(300, 400);
        dock.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dock));
        QPlainTextEdit plain; // unwrapped, so that it lays a long line out in linear time
        plain.setLineWrapMode(QPlainTextEdit::NoWrap);
        QString emitted;
        connect(&dock, &TextpadPanelDockWidget::textChanged, [&](const QString &t) { emitted = t; });
        QRandomGenerator rng(27);
        const auto letters = [&](int n, bool spaces) {
            QString s;
            for (int i = 0; i < n; ++i)
                s += spaces && rng.bounded(6) == 0 ? QChar(' ') : QChar('a' + rng.bounded(26));
            return s;
        };
        QString model = letters(2 * piece + 100, false) + "\nshort\n" + letters(3 * piece, true);
        dock.setText(model);
        emitted = model;
        QStringList states{model};
        int current = 0;
        const auto key = [&](int k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(edit, Qt::Key(k), m); };
        // The text edited now, a new undo state where it changed (an edit that changes no text leaves the redo
        // steps): whether the dock holds it and said so.
        const auto settle = [&](const QString &now = QString()) {
            model = now.isNull() ? model : now;
            if (model != states.at(current)) {
                states = states.mid(0, current + 1) << model;
                current = states.size() - 1;
            }
            return edit->text() == model && emitted == model;
        };
        QVector<int> seams; // text indices where a piece starts
        const auto pieces = [&] {
            seams.clear();
            for (QTextBlock b = doc->firstBlock(); b.isValid(); b = b.next()) {
                if (b.length() - 1 > 2 * piece || (edit->continuesLine(b) && (b.length() == 1 || b.previous().length() == 1)))
                    return false;
                if (edit->continuesLine(b))
                    seams << edit->textIndex(b.position());
            }
            return true;
        };
        // The first two pieces made one block of twice a piece (as deleting a selection of only the soft separator
        // between them leaves them), then a letter typed into it: the block splits in the letter's undo step.
        QTextCursor joined(doc);
        joined.setPosition(piece);
        joined.setPosition(piece + 1, QTextCursor::KeepAnchor);
        joined.removeSelectedText();
        QCoreApplication::processEvents();
        QCOMPARE(doc->firstBlock().length(), 2 * piece + 1);
        joined.setPosition(1000);
        edit->setTextCursor(joined);
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, "q", Qt::NoModifier);
        model.insert(1000, 'q');
        QVERIFY(settle() && pieces());
        key(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(edit->text() == states.first() && pieces());
        key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        for (int step = 0; step < 400; ++step) {
            QVERIFY(pieces() && (step > 0 || seams.size() >= 4));
            const auto pick = [&] {
                const int at = seams.isEmpty() || rng.bounded(2) ? int(rng.bounded(model.size() + 1))
                                                                 : seams.at(rng.bounded(seams.size())) + int(rng.bounded(3)) - 1;
                return qBound(0, at, model.size());
            };
            const int op = model.size() < 4 * piece && rng.bounded(2) ? 7 : rng.bounded(13);
            // A range: a few characters, one over a separator or two, or a whole piece or all of it but a character.
            int at = pick();
            int to = qMin(model.size(), at + (rng.bounded(3) ? int(rng.bounded(8)) : int(rng.bounded(2 * piece))));
            if (seams.size() > 1 && (op == 10 || rng.bounded(4) == 0)) {
                const int k = rng.bounded(seams.size() - 1);
                at = seams.at(k);
                to = seams.at(k + 1) - int(rng.bounded(2));
            }
            QTextCursor cursor = edit->textCursor();
            cursor.setPosition(edit->editPosition(at, rng.bounded(2)));
            QCOMPARE(edit->textIndex(cursor.position()), at);
            if (op == 5 || op == 6 || op == 10 || (op == 7 && rng.bounded(2)))
                cursor.setPosition(edit->editPosition(to, rng.bounded(2)), QTextCursor::KeepAnchor);
            else
                to = at;
            edit->setTextCursor(cursor);
            QString inserted;
            switch (op) {
            case 0:
                inserted = rng.bounded(5) ? QString(QChar('a' + rng.bounded(26))) : QString(QChar(rng.bounded(2) ? 0xa0 : ' '));
                QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, inserted, Qt::NoModifier);
                break;
            case 1: key(Qt::Key_Backspace); to = at; at = qMax(0, at - 1); break;
            case 2: key(Qt::Key_Delete); to = qMin(at + 1, model.size()); break;
            case 3: key(Qt::Key_Return); inserted = "\n"; break;
            case 4: {
                const bool right = rng.bounded(2);
                key(right ? Qt::Key_Right : Qt::Key_Left);
                QCOMPARE(edit->textIndex(edit->textCursor().position()), qBound(0, at + (right ? 1 : -1), model.size()));
                break;
            }
            case 5: // a selection, or one character where there is none (a soft separator alone is none)
                to = to > at ? to : qMin(at + 1, model.size());
                key(Qt::Key_Delete);
                break;
            case 10: // as the context menu's Delete does, tidied once the events run
                cursor.removeSelectedText();
                QCoreApplication::processEvents();
                break;
            case 6:
                QGuiApplication::clipboard()->clear();
                key(Qt::Key_X, Qt::ControlModifier);
                QCOMPARE(QGuiApplication::clipboard()->text(), model.mid(at, to - at));
                break;
            case 7: {
                const int kind = model.size() < 4 * piece ? 0 : rng.bounded(3);
                inserted = kind == 0 ? letters(piece + rng.bounded(2 * piece), false) : letters(rng.bounded(1, 40), kind == 1);
                if (kind == 1)
                    inserted.insert(rng.bounded(inserted.size()), '\n');
                QGuiApplication::clipboard()->setText(inserted);
                key(Qt::Key_V, Qt::ControlModifier);
                break;
            }
            case 11: // Return, then Backspace or Delete from the end of the line before
                key(Qt::Key_Return);
                model.insert(at, '\n');
                QVERIFY2(settle(), qPrintable(QString("step %1, Return at %2").arg(step).arg(at)));
                rng.bounded(2) ? key(Qt::Key_Backspace) : (key(Qt::Key_Left), key(Qt::Key_Delete));
                to = at + 1;
                break;
            case 12: { // Ctrl+Backspace, Ctrl+Delete, Ctrl+arrows, Ctrl+Shift+arrows or Shift+arrows, up to three
                       // times, then maybe a letter: the dock edits as a plain editor of the text does
                const int k = rng.bounded(8);
                const Qt::Key code = k == 0 ? Qt::Key_Backspace : k == 1 ? Qt::Key_Delete
                                     : k % 2 ? Qt::Key_Left : Qt::Key_Right;
                const Qt::KeyboardModifiers held = k < 4   ? Qt::ControlModifier
                                                   : k < 6 ? Qt::ControlModifier | Qt::ShiftModifier
                                                           : Qt::ShiftModifier;
                plain.setPlainText(model);
                QTextCursor p = plain.textCursor();
                p.setPosition(at);
                plain.setTextCursor(p);
                const auto agree = [&] {
                    const QTextCursor c = edit->textCursor();
                    const QString t = plain.document()->toRawText().replace(QChar::ParagraphSeparator, '\n');
                    return edit->text() == t && edit->textIndex(c.anchor()) == plain.textCursor().anchor()
                           && edit->textIndex(c.position()) == plain.textCursor().position() && settle(t);
                };
                for (int n = rng.bounded(1, 4); n > 0; --n) {
                    QTest::keyClick(edit, code, held);
                    QTest::keyClick(&plain, code, held);
                    QVERIFY2(agree(), qPrintable(QString("step %1, key %2 at %3").arg(step).arg(k).arg(at)));
                }
                if (rng.bounded(2)) {
                    for (QWidget *w : {static_cast<QWidget *>(edit), static_cast<QWidget *>(&plain)})
                        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, "q", Qt::NoModifier);
                    QVERIFY2(agree(), qPrintable(QString("step %1, key %2 at %3, q").arg(step).arg(k).arg(at)));
                }
                at = to = 0;
                break;
            }
            case 8:
            case 9: { // undo or redo: back to an earlier text, or on to a later one (a step may change no text)
                const bool undo = op == 8;
                key(Qt::Key_Z, undo ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
                const QString now = edit->text();
                int found = states.at(current) == now ? current : -1;
                for (int i = current + (undo ? -1 : 1); i >= 0 && i < states.size() && found < 0; i += undo ? -1 : 1)
                    found = states.at(i) == now ? i : -1;
                QVERIFY2(found >= 0, qPrintable(QString("step %1").arg(step)));
                current = found;
                model = states.at(current);
                at = to = 0;
                break;
            }
            }
            model.replace(at, to - at, inserted);
            QVERIFY2(settle(), qPrintable(QString("step %1, op %2 at %3").arg(step).arg(op).arg(at)));
            if (op != 8 && op != 9 && rng.bounded(3) == 0 && doc->isUndoAvailable()) { // undone and done again at once
                key(Qt::Key_Z, Qt::ControlModifier);
                QVERIFY(pieces() && states.mid(0, current + 1).contains(edit->text()));
                key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
                QVERIFY(edit->text() == model);
            }
        }
        while (doc->isUndoAvailable())
            edit->undo();
        QCOMPARE(edit->text(), states.first());
        while (doc->isRedoAvailable())
            edit->redo();
        QCOMPARE(edit->text(), states.last());
    }

    // Two lines of twice a piece, never held as pieces (pasted a piece at a time), joined by Backspace: the line
    // splits into pieces in the Backspace's undo step.
    void joinedLinesSplitInTheJoinsUndoStep()
    {
        const int piece = TextpadEdit::PieceLength;
        TextpadEdit edit;
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        QGuiApplication::clipboard()->setText(QString(piece, 'x'));
        for (int k : {Qt::Key_V, Qt::Key_V, Qt::Key_Return, Qt::Key_V, Qt::Key_V})
            QTest::keyClick(&edit, Qt::Key(k), k == Qt::Key_V ? Qt::ControlModifier : Qt::NoModifier);
        const QString lines = QString(2 * piece, 'x') + '\n' + QString(2 * piece, 'x');
        QVERIFY(edit.text() == lines && edit.document()->blockCount() == 2);
        QTextCursor cursor = edit.textCursor();
        cursor.setPosition(2 * piece + 1);
        edit.setTextCursor(cursor);
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QVERIFY(edit.text() == QString(4 * piece, 'x') && edit.document()->blockCount() == 4);
        edit.undo();
        QVERIFY(edit.text() == lines && edit.document()->blockCount() == 2);
    }

    // Seeded random edits: rows updated in place show what a fresh dock shows; a second refresh writes nothing.
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
            switch (o ? rng.bounded(7) : 6) {
            case 0: doc.scene.setSelected(o, !o->isSelected(), false); break;
            case 1: doc.scene.setObjectVisible(o, !o->isVisible()); break;
            case 2: g ? (g->isLocked() ? g->unlock() : g->lock()) : void(); break;
            case 3: delete doc.scene.removeChild(o->parentGroup(), o); break;
            case 4: g ? g->addSoftType(new TestSoftType(QString("S%1").arg(rng.bounded(3)))) : void(); break;
            case 5: // a bare glyph or a word anywhere in the passage: rows change kind
                passage->insert(rng.bounded(passage->count() + 1),
                                rng.bounded(2) ? static_cast<TextObject *>(TreeBuilder::glyph('z')) : std::unique_ptr<TextGroup>(TreeBuilder::passage("xy"))->takeAt(0));
                break;
            default: doc.add(rng.bounded(2) ? "p q" : "r", QPointF(0, 100 * step));
            }
            dock.updateTree(doc.root);
            HierarchyPanelDockWidget fresh;
            fresh.updateTree(doc.root);
            QCOMPARE(dump(dock), dump(fresh));
            QSignalSpy changed(model, &QAbstractItemModel::dataChanged), added(model, &QAbstractItemModel::rowsInserted);
            dock.updateTree(doc.root);
            QCOMPARE(changed.count() + added.count(), 0);
        }
        qDeleteAll(doc.scene.clearGroup(doc.root));
        dock.updateTree(doc.root);
        QCOMPARE(dump(dock), QString());
    }

    // Every glyph changed at once in N and twice N passages of a letter, or a click in the tree ending a selection of
    // all, in a shown dock: the refresh is linear in the rows, and selects exactly the rows of the selected objects.
    void hierarchyRefreshOfAllRowsIsLinear_data()
    {
        QTest::addColumn<QString>("change");
        for (const char *change : {"select all glyphs", "deselect all glyphs", "hide and lock all glyphs", "softtype on every selected glyph", "click a passage row ending the selection"})
            QTest::newRow(change) << change;
    }

    void hierarchyRefreshOfAllRowsIsLinear()
    {
        QFETCH(QString, change);
        for (int f = 1; f <= 2 && !m_docks[f]; ++f) { // made once; a selection made in the tree is followed by a refresh
            m_docs[f].reset(new TestDocument);
            for (int i = 0; i < 10000 * f; ++i)
                m_docs[f]->add("a", QPointF(0, 100 * i));
            m_docks[f].reset(new HierarchyPanelDockWidget);
            m_docks[f]->show();
            QVERIFY(QTest::qWaitForWindowExposed(m_docks[f].get()));
            connect(m_docks[f].get(), &HierarchyPanelDockWidget::selectionChanged, [this, f] { m_docks[f]->updateTree(m_docs[f]->root); });
        }
        const bool before = change.startsWith("deselect") || change.startsWith("softtype") || change.startsWith("click");
        const QString slow = DoublingRatio::nonLinear([&](int f) {
            TextGroup *root = m_docs[f]->root;
            auto *tree = m_docks[f]->findChild<QTreeWidget *>();
            QList<Glyph *> glyphs;
            for (Glyph *g = root->firstGlyph(); g; g = g->nextGlyph()) {
                for (g->setVisible(true), g->unlock(), g->setSelected(before); !g->softTypes().isEmpty(); g->removeSoftTypeAt(0))
                    delete g->softTypes().first();
                glyphs += g->hasOutline() ? QList<Glyph *>{g} : QList<Glyph *>();
            }
            m_docks[f]->updateTree(root);
            tree->visualItemRect(tree->topLevelItem(0)); // the rows laid out, as the event loop does before the next step
            ActiveScene::setProvider([this, f] { return &m_docs[f]->scene; });
            for (Glyph *g : change.startsWith("click") ? QList<Glyph *>() : glyphs)
                change.startsWith("hide") ? (g->setVisible(false), g->lock()) : change.startsWith("softtype") ? g->addSoftType(new TestSoftType("Twirl")) : g->setSelected(change == "select all glyphs");
            const double start = DoublingRatio::cpuSeconds();
            change.startsWith("click") ? QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(tree->topLevelItem(1)).center())
                                       : m_docks[f]->updateTree(root);
            const double seconds = DoublingRatio::cpuSeconds() - start;
            m_docks[f]->updateTree(root);
            ActiveScene::setProvider(nullptr);
            const bool selected = change.startsWith("select") || (before && !change.startsWith("deselect"));
            return tree->selectedItems().size() == (selected ? glyphs.size() : 0) ? seconds : -1;
        }, "the rows");
        QVERIFY2(slow.isEmpty(), qPrintable(slow));
    }

    // The eye and lock columns are 20 pixels wide, below the least section size the styles give a header.
    void hierarchyColumnsAreTwentyPixels()
    {
        const QString kept = QApplication::style()->objectName();
        for (const QString style : {"fusion", "cleanlooks"}) {
            QVERIFY(QApplication::setStyle(style));
            HierarchyPanelDockWidget dock;
            dock.show();
            const QHeaderView *header = dock.findChild<QTreeWidget *>()->header();
            QCOMPARE(QString("%1 %2 %3").arg(style).arg(header->sectionSize(1)).arg(header->sectionSize(2)), style + " 20 20");
        }
        QApplication::setStyle(kept);
    }

    // Hierarchy rows (outlined children only, true indices, icons, selection, tint), then a real click on a cell
    // (path: rows from the top, then the column; none: below the rows): selection flips, then requests.
    void hierarchyClicks_data()
    {
        QTest::addColumn<QString>("setup"); // objects selected, "!" locked, "-" hidden
        QTest::addColumn<QString>("rows");
        QTest::addColumn<Ints>("path");
        QTest::addColumn<bool>("ctrl");
        QTest::addColumn<QString>("log");
        const QString a = "a@0gou(Twirl@0s-- Pull@1s--)", cd = "cd@2wou(c@0gou d@1gou))    @1pou";
        const QString plain = "ab cd@0pou(ab@0wou(" + a + " b@1gou) " + cd, aSelected = "ab cd@0pou~(ab@0wou~(a@0gou*" + a.mid(6) + " b@1gou) ";
        QTest::newRow("select a glyph") << "" << plain << Ints{0, 0, 0, 0} << false << "flip a";
        QTest::newRow("add word of selected glyph") << "a" << aSelected + cd << Ints{0, 0, 0} << true << "flip";
        QTest::newRow("click word of selected glyph") << "a" << aSelected + cd << Ints{0, 0, 0} << false << "flip a";
        QTest::newRow("add glyph of selected word") << "ab" << "ab cd@0pou~(ab@0wou*(" + a + " b@1gou) " + cd << Ints{0, 0, 0, 0} << true << "flip";
        QTest::newRow("clear") << "a cd" << aSelected + "cd@2wou*(c@0gou d@1gou))    @1pou" << Ints() << false << "flip a cd";
        QTest::newRow("glyph in selected passage") << "ab_cd" << "ab cd@0pou*(ab@0wou(" + a + " b@1gou) " + cd << Ints{0, 1, 0, 0} << false << "flip ab_cd";
        QTest::newRow("eye of a passage") << "!b" << "ab cd@0poL(ab@0woL(" + a + " b@1goL) " + cd << Ints{0, 1} << false << "flip ab_cd,visible ab_cd";
        QTest::newRow("lock of a word") << "-cd" << "ab cd@0pou(ab@0wou(" + a + " b@1gou) cd@2wcu(c@0gcu d@1gcu))    @1pou" << Ints{0, 1, 2} << false << "flip cd,lock cd";
        QTest::newRow("softtype row") << "" << plain << Ints{0, 0, 0, 0, 0} << false << "flip,softtype a Twirl first";
        QTest::newRow("second softtype row") << "" << plain << Ints{0, 0, 0, 1, 0} << false << "flip,softtype a Pull";
        QTest::newRow("no document") << "" << plain << Ints{0, 0, 0, 1} << false << "";
    }

    void hierarchyClicks()
    {
        QFETCH(QString, setup);
        QFETCH(Ints, path);
        QFETCH(bool, ctrl);
        TestDocument doc;
        doc.add("ab cd");
        doc.add("   ", QPointF(0, 300));
        SoftType *first = new TestSoftType("Twirl");
        for (SoftType *s : QList<SoftType *>{first, new TestSoftType("Twirl"), new TestSoftType("Pull")})
            doc.root->firstGlyph()->addSoftType(s);
        HierarchyPanelDockWidget dock;
        dock.updateTree(doc.root);
        for (const QString &object : setup.split(' ', Qt::SkipEmptyParts)) {
            TextObject *o = find(doc.root, object.mid(object.front().isLetter() ? 0 : 1));
            object[0] == '!' ? o->lock() : object[0] == '-' ? o->setVisible(false) : doc.scene.setSelected(o, true, false);
        }
        dock.updateTree(doc.root); // in place
        QTEST(dump(dock), "rows");
        const bool scene = !QByteArray(QTest::currentDataTag()).startsWith("no ");
        ActiveScene::setProvider([&doc, scene] { return scene ? &doc.scene : nullptr; });
        QStringList events;
        const auto text = [](TextObject *o) { return o->text().replace(' ', '_'); };
        connect(&dock, &HierarchyPanelDockWidget::selectionChanged, [&](QList<TextObject *> &objects) {
            events << "flip";
            for (TextObject *o : objects)
                events.last() += ' ' + text(o);
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
        QTEST(events.join(','), "log");
        events.clear();
        dock.clear(); // emits nothing, and forgets the rows: a later change names none
        QMetaObject::invokeMethod(&dock, "OnItemSelectionChanged");
        QCOMPARE(events.join(','), QString(scene ? "flip" : ""));
    }

    // History: rows black (done) or light grey (undone); a click asks for the steps making its row the last done.
    void historyRowsAndClicks_data()
    {
        QTest::addColumn<int>("undone");   // of the five steps A to E
        QTest::addColumn<QString>("edit"); // a new step after the undos, dropping the undone ones
        QTest::addColumn<QString>("rows"); // b black, g light grey; @ current row, # selected row
        QTest::addColumn<int>("clicked");
        QTest::addColumn<QString>("signal");
        QTest::newRow("all done, three rows back") << 0 << "" << "Ab Bb Cb Db Eb @4 #4" << 1 << "undo 3,undo 1,redo 1";
        QTest::newRow("last done row") << 0 << "" << "Ab Bb Cb Db Eb @4 #4" << 4 << "undo 1,redo 1";
        QTest::newRow("forward") << 4 << "" << "Ab Bg Cg Dg Eg @0 #0" << 3 << "redo 3,undo 1,redo 1";
        QTest::newRow("nothing done") << 5 << "" << "Ag Bg Cg Dg Eg @-1 #-1" << 0 << "redo 1,undo 1,redo 1";
        QTest::newRow("redo dropped") << 3 << "F" << "Ab Bb Fb @2 #2" << 0 << "undo 2,undo 1,redo 1";
    }

    void historyRowsAndClicks()
    {
        QFETCH(int, undone);
        QFETCH(QString, edit);
        QFETCH(int, clicked);
        QVorrelScene scene(0, 0, 100, 100);
        for (const char *text : {"A", "B", "C", "D", "E"})
            scene.executeCommand(new NamedCmd(&scene, text));
        HistoryPanelDockWidget dock;
        auto *list = dock.findChild<QListWidget *>();
        dock.setHistory(scene.history(), scene.historyIndex());
        for (int i = 0; i < undone; ++i)
            scene.undo();
        if (!edit.isEmpty())
            scene.executeCommand(new NamedCmd(&scene, edit));
        dock.setHistory(scene.history(), scene.historyIndex());
        QString shown;
        for (const QListWidgetItem *row : list->findItems(QString(), Qt::MatchContains)) // every row, in order
            shown += row->text() + (row->foreground() == Qt::black ? "b " : row->foreground() == Qt::lightGray ? "g " : "? ");
        QTEST(shown + QString("@%1 #%2").arg(list->currentRow()).arg(list->row(list->selectedItems().value(0))), "rows");
        ActiveScene::setProvider([&scene] { return &scene; });
        QStringList log;
        connect(&dock, &HistoryPanelDockWidget::undoTriggered, [&](int n) { log << QString("undo %1").arg(n); });
        connect(&dock, &HistoryPanelDockWidget::redoTriggered, [&](int n) { log << QString("redo %1").arg(n); });
        dock.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dock));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(clicked)).center());
        for (const char *button : {"Undo", "Redo"}) // a step each, whatever the row
            dock.findChild<QAction *>(button)->trigger();
        QTEST(log.join(','), "signal");
    }

    // Type toolbar. Opacity: typed ('%' dropped, not a number is 0, kept to 0..100), picked with alpha (shown rounded half up),
    // moved by key; a cancelled pick changes and sends nothing. Sizes: an unlisted one is one extra last entry; the slider (at most
    // 288) lists its size before anyone hears it. Styles: Arial's are Liberation Sans's, picked by slant, then weight; a new family starts upright.
    void typeToolbarBoxes()
    {
        TypeToolbar bar("Type Toolbar");
        bar.show();
        QSignalSpy fill(&bar, &TypeToolbar::fillColorChanged);
        QSignalSpy stroke(&bar, &TypeToolbar::strokeColorChanged);
        QStringList shown; // text and slider
        for (const char *typed : {"50", "50%", "150", "-5", "abc", "5%0"}) { // into fill and stroke by turns
            const bool inStroke = shown.size() % 2;
            typeInto(inStroke ? bar.strokeOpacityTextEdit : bar.fillOpacityTextEdit, typed);
            shown << (inStroke ? bar.strokeOpacityTextEdit : bar.fillOpacityTextEdit)->text()
                         + QString::number((inStroke ? bar.strokeOpacitySlider : bar.fillOpacitySlider)->value());
        }
        QCOMPARE(shown.join(' ') + " / " + sent(fill) + " / " + sent(stroke),
                 QString("50%50 50%50 100%100 0%0 0%0 50%50 / #80000000 #000000 #00000000 / #80000000 #00000000 #80000000"));
        ColorRecorder rec;
        rec.colors.enqueue(QColor(10, 20, 30, 127));
        fill.clear();
        QTest::mouseClick(bar.widgetForAction(bar.fillColorAction), Qt::LeftButton);
        QVERIFY(rec.options & QColorDialog::ShowAlphaChannel);
        QCOMPARE(bar.fillOpacityTextEdit->text() + QString(" %1").arg(bar.fillOpacitySlider->value()), QString("50% 50"));
        bar.fillOpacitySlider->setFocus();
        QTest::keyClick(bar.fillOpacitySlider, Qt::Key_Left); // 0.49 x 255 = 124.95
        QCOMPARE(bar.fillOpacityTextEdit->text() + " " + sent(fill), QString("49% #7f0a141e #7d0a141e"));
        stroke.clear();
        bar.setStrokeColor(QColor(1, 2, 3, 64));
        QTest::mouseClick(bar.widgetForAction(bar.strokeColorAction), Qt::LeftButton);
        QCOMPARE(QString("%1 %2, %3").arg(rec.calls.size()).arg(rec.calls.value(0).title, rec.calls.value(1).title), QString("2 Fill Color, Stroke Color"));
        QCOMPARE(bar.strokeOpacityTextEdit->text() + " " + bar.strokeColor.name(QColor::HexArgb) + sent(stroke), QString("25% #40010203"));
        QComboBox *sizes = bar.fontSizeComboBox;
        const auto sizeState = [&] { return QString("%1 %2 %3 %4").arg(sizes->count()).arg(sizes->currentIndex()).arg(sizes->itemText(sizes->count() - 1)).arg(bar.fontSizeSlider->value()); };
        QStringList seen{sizeState()};
        for (int size : {11, 12, 300, 96}) {
            bar.setFont(QFont("Liberation Sans", size));
            seen << sizeState();
        }
        QCOMPARE(seen, QStringList({"14 7 288 72", // count, current index, last entry, slider: 14 sizes 14..288, 72 current at first
                                     "15 14 11 11", "15 14 12 12", "15 14 300 288", "14 8 288 96"}));
        QString heard;
        connect(bar.fontSizeSlider, &QSlider::valueChanged, this, [&] { heard = sizes->currentText(); });
        QSignalSpy activated(sizes, QOverload<int>::of(&QComboBox::activated));
        bar.fontSizeSlider->setFocus();
        QTest::keyClick(bar.fontSizeSlider, Qt::Key_Right);
        QCOMPARE(heard + QString(" %1 %2").arg(bar.currentFont().pointSize()).arg(activated.count()), QString("97 97 0"));
        for (const QString &style : QStringList{"Regular", "Bold", "Italic", "Bold Italic"}) { // guards: styleBoxForSubstitutedArial
            const int weight = style.startsWith("Bold") ? QFont::Bold : QFont::Normal;
            bar.setFont(QFont("Arial", 72, weight, style.endsWith("Italic")));
            QStringList listed;
            for (int i = 0; i < bar.fontStyleComboBox->count(); ++i)
                listed << bar.fontStyleComboBox->itemText(i);
            QCOMPARE(listed, QFontDatabase().styles("Liberation Sans"));
            const QFont font = bar.currentFont();
            QCOMPARE(QString("%1, %2 %3 %4 %5").arg(bar.fontStyleComboBox->currentText(), font.family()).arg(font.weight()).arg(font.italic()).arg(font.pointSize()),
                     QString("%1, Liberation Sans %2 %3 72").arg(style).arg(weight).arg(style.endsWith("Italic")));
        }
        bar.setFont(QFont("DejaVu Sans", 72, QFont::Bold, true)); // DejaVu Sans lists "Oblique" first, Liberation Sans "Bold"
        QCOMPARE(bar.fontStyleComboBox->currentText(), QString("Bold Oblique"));
        QFont applied;
        connect(bar.fontComboBox, &QFontComboBox::currentFontChanged, this, [&] { applied = bar.currentFont(); });
        bar.fontComboBox->setCurrentFont(QFont("Liberation Sans")); // guards: newFamilyStartsUpright
        QCOMPARE(QString("%1, %2 %3 %4").arg(bar.fontStyleComboBox->currentText(), applied.family()).arg(applied.weight()).arg(applied.italic()),
                 QString("Regular, Liberation Sans %1 0").arg(QFont::Normal));
        bar.fontComboBox->setCurrentFont(QFont("DejaVu Sans"));
        QCOMPARE(bar.fontStyleComboBox->currentText(), QString("Book"));
    }

    // Typed and shown in the width validator's locale, never with a group separator.
    void strokeWidthInValidatorLocale()
    {
        for (const QLocale &locale : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany)}) {
            const QString comma = locale.language() == QLocale::German ? "," : ".";
            QLocale::setDefault(locale);
            TypeToolbar bar("Type Toolbar");
        bar.show();
            QSignalSpy finished(bar.strokeWidthTextEdit, &QLineEdit::editingFinished);
            typeInto(bar.strokeWidthTextEdit, "1" + comma + "5");
            QCOMPARE(QString("%1 %2").arg(finished.count()).arg(bar.strokeWidth()), QString("1 1.5"));
            bar.setStrokeWidth(2.25f);
            QCOMPARE(bar.strokeWidthTextEdit->text() + " " + QString::number(bar.strokeWidth()), "2" + comma + "25 2.25");
            bar.setStrokeWidth(1234.5f);
            QCOMPARE(bar.strokeWidthTextEdit->text() + " " + QString::number(bar.strokeWidth()), "1234" + comma + "5 1234.5");
        }
    }

    void canvasCoupling_data()
    {
        QTest::addColumn<Ints>("seed"); // screen width, height, export width, height
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("expected"); // export width x height, previewed screen widths, heights
        const Ints xga{1024, 768, 1024, 768}, dot{1024, 768, 1, 1};
        QTest::newRow("screen height") << xga << "uiscreenHeight" << 384 << "1024x384 w h384";
        QTest::newRow("narrower screen, export 1x1") << dot << "uiscreenWidth" << 300 << "1x2 w300 h"; // 768 / 300
        QTest::newRow("screen height, export 1x1") << dot << "uiscreenHeight" << 300 << "3x1 w h300";
        // Screens up to 65535, exports up to 999999999 (guards: canvasRanges): 40000 x 1024 / 768 = 53333.3 wide;
        // 15000 / 768 x 65535 = 1279980.5 wide.
        QTest::newRow("export height 40000") << xga << "uiexportHeight" << 40000 << "53333x40000 w h";
        QTest::newRow("screen width 65535") << Ints{1024, 768, 20000, 15000} << "uiscreenWidth" << 65535 << "1279980x15000 w65535 h";
        // Past 999999999 both sides shrink together: 999999999 x 1024 / 768 high, so 999999999 x 768 / 1024 =
        // 749999999.25 wide; 999999999 x 65535 high, so 999999999 / 65535 = 15259.02 wide.
        QTest::newRow("export width past limit, portrait")
            << Ints{768, 1024, 768, 1024} << "uiexportWidth" << 999999999 << "749999999x999999999 w h";
        QTest::newRow("screen height past limit") << Ints{1, 1, 999999999, 999999999} << "uiscreenHeight" << 65535 << "15259x999999999 w h65535";
    }

    void canvasCoupling()
    {
        QFETCH(Ints, seed);
        QFETCH(QString, box);
        QFETCH(int, value);
        EditCanvasDlg dlg;
        seedCanvas(dlg, seed);
        QSignalSpy width(&dlg, &EditCanvasDlg::screenWidthChanged);
        QSignalSpy height(&dlg, &EditCanvasDlg::screenHeightChanged);
        field(&dlg, box.toLatin1())->setValue(value);
        const Ints size = values(&dlg, {"uiexportWidth", "uiexportHeight"});
        QTEST(QString("%1x%2 w%3 h%4").arg(size[0]).arg(size[1]).arg(sent(width), sent(height)), "expected");
    }

    // Seeding clamps and sends nothing; Ok stores what the fields show; Cancel, Escape or close restore every field and resend it.
    void canvasOkStoresCancelRestores()
    {
        ColorRecorder rec;
        EditCanvasDlg dlg;
        QSignalSpy background(&dlg, &EditCanvasDlg::backgroundColorChanged);
        QSignalSpy width(&dlg, &EditCanvasDlg::screenWidthChanged);
        seedCanvas(dlg, {0, 70000, 40000, 1000000000}, QColor(1, 2, 3, 51)); // guards: canvasSeedingClamps
        dlg.setExportResolution(60000);
        dlg.setBackgroundColor(QColor()); // ignored
        const auto fields = [&] { return values(&dlg, {"uiscreenWidth", "uiscreenHeight", "uiexportWidth", "uiexportHeight", "uiexportResolution", "uiBackgroundOpacity"}); };
        QCOMPARE(fields(), Ints({1, 65535, 40000, 999999999, 32767, 20}));
        QCOMPARE(field<QPushButton>(&dlg, "uiBackgroundColor")->palette().color(QPalette::Button), QColor(1, 2, 3));
        QCOMPARE(width.count() + background.count(), 0);
        const QColor seeded(200, 100, 50, 127), picked(0, 0, 255, 200); // 200 / 2.55 = 78.4%, 78% = 198.9
        for (const QString how : {"OkCanvas", "CancelCanvas", "escape", "close"}) {
            const bool ok = how == "OkCanvas";
            seedCanvas(dlg, {800, 600, 1600, 1200}, seeded);
            background.clear();
            rec.colors << picked;
            dlg.show();
            typeInto(field(&dlg, "uiscreenWidth"), "400", false);
            typeInto(field(&dlg, "uiexportResolution"), "300", false);
            typeInto(field(&dlg, "uiBackgroundOpacity"), "10", false); // 1% is alpha 2.55, 10% 25.5: rounded up
            QTest::mouseClick(field<QAbstractButton>(&dlg, "uiBackgroundColor"), Qt::LeftButton);
            if (how == "escape")
                QTest::keyClick(&dlg, Qt::Key_Escape);
            else if (how == "close")
                dlg.close();
            else
                QTest::mouseClick(field<QAbstractButton>(&dlg, how.toLatin1()), Qt::LeftButton);
            QCOMPARE(dlg.result(), int(ok ? QDialog::Accepted : QDialog::Rejected));
            QCOMPARE(width.last().at(0).toInt(), ok ? 400 : 800);
            // Previewed exactly, the seed sent back when turned down; what Ok stored (colour from the whole percent) stays.
            QCOMPARE(sent(background), QString("#03c86432 #1ac86432 #c80000ff") + (ok ? "" : " #7fc86432"));
            QCOMPARE(fields(), ok ? Ints({400, 600, 800, 1200, 300, 78}) : Ints({800, 600, 1600, 1200, 72, 50}));
            QCOMPARE(field<QPushButton>(&dlg, "uiBackgroundColor")->palette().color(QPalette::Button), ok ? QColor(0, 0, 255) : QColor(200, 100, 50));
            QCOMPARE(Ints({dlg.screenWidth(), dlg.screenHeight(), dlg.exportWidth(), dlg.exportHeight(), dlg.exportResolution()}), Ints({400, 600, 800, 1200, 300}));
            QCOMPARE(dlg.backgroundColor(), QColor(0, 0, 255, 199));
        }
        QVERIFY2(rec.calls[0].title == "Background Color" && rec.options & QColorDialog::ShowAlphaChannel, qPrintable(rec.calls[0].title));
    }

    // Guides: seeding previews nothing, each typed digit does; Ok stores, Cancel shows and sends the opening values again.
    // Save Options (boxes 0..99) and the movie choices, kept for the run, are stored on Ok only too.
    void guidesOkStoresCancelRestores()
    {
        ColorRecorder rec;
        EditGuidesDlg dlg;
        QSignalSpy spacing(&dlg, &EditGuidesDlg::gridSpacingChanged);
        QSignalSpy color(&dlg, &EditGuidesDlg::gridColorChanged);
        rec.colors.enqueue(QColor(255, 0, 0, 127)); // then cancelled
        for (const bool ok : {true, false}) {
            dlg.setColor(QColor(0, 0, 255, 127));
            dlg.setSpacing(20);
            dlg.show();
            typeInto(field(&dlg, "m_pGridSpacing"), "35", false);
            typeInto(field(&dlg, "m_pGridOpacity"), "10", false);
            QTest::mouseClick(field<QAbstractButton>(&dlg, "m_pGridColor"), Qt::LeftButton);
            QTest::mouseClick(field<QAbstractButton>(&dlg, ok ? "m_pOk" : "m_pCancel"), Qt::LeftButton);
            QCOMPARE(dlg.gridSpacing, 35);
            QCOMPARE(dlg.gridColor, QColor(255, 0, 0, 128)); // stored from the whole percent
            SaveOptionsDlg save(true, 5, false, 120); // was smallDialogsStoreOnOkOnly
            QuicktimeSettingsDlg movie;
            field<QComboBox>(&movie, "cbCodec")->setCurrentIndex(ok ? 5 : 7);
            field<QComboBox>(&movie, "cbQuality")->setCurrentIndex(ok ? 1 : 5);
            field<QCheckBox>(&movie, "cbClearBackground")->toggle();
            for (QDialog *small : QList<QDialog *>{&save, &movie}) {
                small->show();
                QTest::mouseClick(field<QAbstractButton>(small, ok ? "OkButton" : "CancelButton"), Qt::LeftButton);
            }
            QCOMPARE(QString("%1 %2 %3 %4 ").arg(save.autosave).arg(save.interval).arg(save.incremental).arg(save.maxFiles) + movie.codecName() + "/"
                         + movie.qualityName() + QString::number(QuicktimeSettingsDlg::clearBackground), QString("1 5 0 %1 H.264/Maximum0").arg(ok ? 99 : 120));
        }
        QVERIFY2(rec.calls[0].title == "Grid Color" && rec.options & QColorDialog::ShowAlphaChannel, qPrintable(rec.calls[0].title));
        // Previewed as typed (1% is alpha 2.55, 10% 25.5: rounded up) and picked; turned down, the seed exactly.
        QCOMPARE(sent(spacing) + " / " + sent(color), QString("3 35 3 35 20 / #030000ff #1a0000ff #7fff0000 #030000ff #1a0000ff #7f0000ff"));
        QCOMPARE(values(&dlg, {"m_pGridSpacing", "m_pGridOpacity"}), Ints({20, 50}));
    }
};

QTEST_MAIN(TestPanels)
#include "tst_panels.moc"
