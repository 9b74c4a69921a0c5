#include "ui_VorrelQt.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QtTest>

// The main window's form alone, as its designer file builds it.
class TestMainForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void countsAndFirstState();
    void menuOrder_data();
    void menuOrder();
    void shortcuts();

private:
    // The entries of a menu by object name: "-" a separator, a submenu by
    // its menu's name.
    static QString entries(const QList<QAction *> &actions);

    QMainWindow *m_window = nullptr;
    Ui_VorrelQtClass m_ui;
};

void TestMainForm::init()
{
    m_window = new QMainWindow;
    m_ui.setupUi(m_window);
}

void TestMainForm::cleanup()
{
    delete m_window;
}

QString TestMainForm::entries(const QList<QAction *> &actions)
{
    QStringList names;
    for (const QAction *a : actions)
        names << (a->isSeparator() ? QStringLiteral("-") : a->menu() ? a->menu()->objectName() : a->objectName());
    return names.join(QLatin1Char(' '));
}

void TestMainForm::countsAndFirstState()
{
    QList<QAction *> actions;
    for (QAction *a : m_window->findChildren<QAction *>()) {
        if (a->objectName().startsWith(QLatin1String("action")))
            actions << a;
    }
    QCOMPARE(actions.size(), 130);
    QCOMPARE(m_window->findChildren<QMenu *>().size(), 23);
    int checkable = 0;
    for (const QAction *a : qAsConst(actions)) {
        checkable += a->isCheckable();
        QVERIFY2(a->isEnabled() && a->isVisible() && !a->isChecked(), qPrintable(a->objectName()));
    }
    QCOMPARE(checkable, 34);
    QCOMPARE(m_window->objectName(), QStringLiteral("VorrelQtClass"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Vorrel"));
    QCOMPARE(m_window->size(), QSize(1280, 760));
    QVERIFY(!m_window->windowIcon().isNull());
    for (QAction *a : {m_ui.actionFileNew, m_ui.actionFileOpen, m_ui.actionFileSave, m_ui.actionEditCut,
                       m_ui.actionEditCopy, m_ui.actionEditPasteCharacters, m_ui.actionSoftTypeStart,
                       m_ui.actionFilePrint})
        QVERIFY2(!a->icon().isNull(), qPrintable(a->objectName()));
    QVERIFY(m_ui.actionEditPasteGlyphs->icon().isNull());
    QCOMPARE(m_ui.actionAddSoftTypeOriginateAsymptotic->toolTip(), QStringLiteral("Add Asymtotic"));
    QCOMPARE(m_ui.actionRemoveSoftTypeCloth->text(), QStringLiteral("Cloth.."));
}

void TestMainForm::menuOrder_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("expected");
    const char *const rows[][2] = {
        {"menubar", "menu_File menuEdit menuObject menuSoftType menuTextpad menuSelect menuView menuHelp"},
        {"menu_File", "actionFileNew actionFileOpen actionFileClose actionFileSave actionFileSaveAs "
                      "actionFileSaveOptions - menuExport actionExportSequence - actionFilePrint "
                      "actionFilePrintPreview actionFilePrintSetup - actionFileExit -"},
        {"menuExport", "actionExportBMP actionExportJPEG actionExportPDF actionExportMultipagePDF actionExportPNG "
                       "actionExportTIFF"},
        {"menuEdit", "actionEditUndo actionEditRedo - actionEditCut actionEditCopy actionEditPasteGlyphs "
                     "actionEditPasteCharacters actionEditPasteSoftTypes - actionEditCanvas actionEditGuides"},
        {"menuObject", "menuArrange actionObjectLock actionObjectUnlock actionObjectHide - actionObjectReset "
                       "menuConvertTo"},
        {"menuArrange", "actionObjectPassageToFront actionObjectPassageForward actionObjectPassageBackward "
                        "actionObjectPassageToBack"},
        {"menuConvertTo", "actionConvertToCurves actionConvertToLines"},
        {"menuSoftType", "menuAddSoftType menuRemoveSoftType actionSoftTypeRemoveAll - "
                         "actionSoftTypeResetDeformation actionSoftTypeSetAsOriginal - actionSoftTypeStart"},
        {"menuAddSoftType", "actionAddSoftTypeClay actionAddSoftTypeCloth actionAddSoftTypeDrift "
                            "actionAddSoftTypeExplode actionAddSoftTypeLeak actionAddSoftTypeLens menuAddOriginate "
                            "actionAddSoftTypePull actionAddSoftTypePulse actionAddSoftTypeRubber "
                            "actionAddSoftTypeTwirl"},
        {"menuAddOriginate", "actionAddSoftTypeOriginateLinear actionAddSoftTypeOriginateAsymptotic"},
        {"menuRemoveSoftType", "actionRemoveSoftTypeClay actionRemoveSoftTypeCloth actionRemoveSoftTypeDrift "
                               "actionRemoveSoftTypeExplode actionRemoveSoftTypeLeak actionRemoveSoftTypeLens "
                               "menuRemoveOriginate actionRemoveSoftTypePull actionRemoveSoftTypePulse "
                               "actionRemoveSoftTypeRubber actionRemoveSoftTypeTwirl"},
        {"menuRemoveOriginate", "actionRemoveSoftTypeOriginateLinear actionRemoveSoftTypeOriginateAsymptotic"},
        {"menuTextpad", "actionNozzleStartStop menuTextpadNozzle menuTextpadLoad actionTextpadLoadFile "
                        "actionTextpadSyncFile"},
        {"menuTextpadNozzle", "menuNozzleType menuAdvance menuInterval actionTextpadLoop"},
        {"menuNozzleType", "actionTextpadGlyph actionTextpadWord actionTextpadPassage"},
        {"menuAdvance", "actionTextpadForward actionTextpadRepeat"},
        {"menuInterval", "actionTextpad100ms actionTextpad200ms actionTextpad300ms actionTextpad400ms "
                         "actionTextpad500ms actionTextpad600ms actionTextpad700ms actionTextpad800ms "
                         "actionTextpad900ms actionTextpad1000ms actionTextpadClick"},
        {"menuTextpadLoad", "actionTextpadLowercase actionTextpadUppercase actionTextpadAlphabet actionTextpadDigits "
                            "actionTextpadAlphanumeric actionTextpadLoremIpsum"},
        {"menuSelect", "actionSelectAllGlyphs actionSelectAllWords actionSelectAllPassages - "
                       "actionSelectSameCharacters actionSelectSameWords actionSelectSamePassages - actionSelectNone"},
        {"menuView", "menu_Toolbars_and_Docking_Windows actionViewStatusBar - actionViewExtras menuExtras menuSnapTo - "
                     "actionViewScrollbars actionViewCenterCanvas - actionViewZoomIn actionViewZoomOut "
                     "actionViewActualSize"},
        {"menu_Toolbars_and_Docking_Windows", "actionViewHierarchy actionViewHistory actionViewProperties "
                                              "actionViewSoftTypes actionViewTextpad actionViewCustomize"},
        {"menuExtras", "actionViewCaret actionViewControlPoints actionViewSelection actionViewGrid actionViewWorkArea"},
        {"menuSnapTo", "actionViewSnapToGrid"},
        {"menuHelp", "actionHelpAboutVorrel"},
    };
    for (const auto &row : rows)
        QTest::newRow(row[0]) << QString::fromLatin1(row[0]) << QString::fromLatin1(row[1]);
}

void TestMainForm::menuOrder()
{
    QFETCH(QString, menu);
    QFETCH(QString, expected);
    QWidget *w = menu == QLatin1String("menubar") ? static_cast<QWidget *>(m_ui.menubar)
                                                  : m_window->findChild<QMenu *>(menu);
    QVERIFY(w);
    QCOMPARE(entries(w->actions()), expected);
}

void TestMainForm::shortcuts()
{
    const char *const table[][2] = {
        {"actionFileNew", "Ctrl+N"}, {"actionFileOpen", "Ctrl+O"}, {"actionFileSave", "Ctrl+S"},
        {"actionFilePrint", "Ctrl+P"}, {"actionFileExit", "Ctrl+Q"}, {"actionEditUndo", "Ctrl+Z"},
        {"actionEditRedo", "Ctrl+Shift+Z"}, {"actionEditCut", "Ctrl+X"}, {"actionEditCopy", "Ctrl+C"},
        {"actionEditPasteGlyphs", "Ctrl+V"}, {"actionEditPasteCharacters", "Ctrl+Shift+V"},
        {"actionEditPasteSoftTypes", "Ctrl+B"}, {"actionObjectLock", "Ctrl+L"}, {"actionObjectUnlock", "Ctrl+Shift+L"},
        {"actionObjectPassageToFront", "Ctrl+Shift+]"}, {"actionObjectPassageForward", "Ctrl+]"},
        {"actionObjectPassageBackward", "Ctrl+["}, {"actionObjectPassageToBack", "Ctrl+Shift+["},
        {"actionSoftTypeStart", "Ctrl+Space"}, {"actionSelectAllGlyphs", "Ctrl+A"},
        {"actionSelectAllWords", "Ctrl+Shift+A"}, {"actionSelectAllPassages", "Ctrl+Alt+Shift+A"},
        {"actionViewExtras", "Ctrl+H"}, {"actionViewCenterCanvas", "Ctrl+."}, {"actionViewZoomIn", "Ctrl+="},
        {"actionViewZoomOut", "Ctrl+-"}, {"actionViewActualSize", "Ctrl+1"}, {"actionViewGrid", "Ctrl+G"},
        {"actionObjectTransform", "Ctrl+T"},
    };
    for (const auto &row : table) {
        const QAction *a = m_window->findChild<QAction *>(QLatin1String(row[0]));
        QVERIFY2(a, row[0]);
        QCOMPARE(a->shortcut(), QKeySequence(QString::fromLatin1(row[1])));
    }
    int withShortcut = 0;
    for (const QAction *a : m_window->findChildren<QAction *>())
        withShortcut += !a->shortcut().isEmpty();
    QCOMPARE(withShortcut, int(sizeof(table) / sizeof(table[0])));
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
