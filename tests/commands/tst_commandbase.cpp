#include "commands/Cmd.h"

#include <QtTest>

namespace {

// A command that only counts its runs.
class CountingCmd : public Cmd
{
public:
    using Cmd::Cmd;
    CmdResult execute() override { ++executed; return CmdResult(true, false); }
    CmdResult undo() override { ++undone; return CmdResult(true, false); }
    int executed = 0;
    int undone = 0;
};

} // namespace

class TestCommandBase : public QObject
{
    Q_OBJECT
private slots:
    void mergingIsRefusedByDefault();
    void resultKeepsBothFlags();
};

void TestCommandBase::mergingIsRefusedByDefault()
{
    CountingCmd first(nullptr, QStringLiteral("Insert Glyph"));
    CountingCmd second(nullptr, QStringLiteral("Insert Glyph"));
    QVERIFY(!first.canMerge(&second));
    QVERIFY(!first.merge(&second));
    // A refused merge leaves both commands as they were.
    QCOMPARE(first.executed + first.undone + second.executed + second.undone, 0);
    QCOMPARE(first.text(), QStringLiteral("Insert Glyph"));
    QVERIFY(!first.scene());
}

void TestCommandBase::resultKeepsBothFlags()
{
    const CmdResult styleOnly(true, false);
    CmdResult r(false, true);
    QVERIFY(!r.documentChanged());
    QVERIFY(r.selectionChanged());
    r = styleOnly;
    QVERIFY(r.documentChanged());
    QVERIFY(!r.selectionChanged());
}

QTEST_MAIN(TestCommandBase)
#include "tst_commandbase.moc"
