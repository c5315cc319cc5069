// The recent-files list: order and cap, storage beside the window's
// placement, and the menu that shows it.
#include "common/testhome.h"
#include "support/configurazione.h"
#include "support/inifile.h"
#include "toolkit/mru.h"

#include <QMenu>
#include <QtTest>
#include <memory>

namespace {

QStringList Names(int from, int to) {
    QStringList names;
    for (int i = from; i <= to; ++i)
        names << QStringLiteral("/music/list%1.lpl").arg(i);
    return names;
}

// The main window's placement and recent list, bound to the settings file.
struct TMainWindow {
    std::unique_ptr<TForm> form = std::make_unique<TForm>();
    TFormPlacement* placement;
    TMRUManager* mru;
    TMainWindow() {
        form->setObjectName("FormLorimel");
        placement = form->Create<TFormPlacement>("FormPlacement", form.get());
        mru = form->Create<TMRUManager>("MRUManager", form.get());
        mru->setFormPlacement(placement);
        BindFormPlacement(placement, form.get());
    }
};

} // namespace

class TestMRU : public QObject {
    Q_OBJECT
private slots:
    void newestFirstAndCapped();
    void storedBesideThePlacement();
    void storedListIsReadBeforeTheFirstChange();
    void restoreReadsTheFileAgain();
    void menuFollowsTheList();
};

void TestMRU::newestFirstAndCapped() {
    TMRUManager mru; // not stored anywhere: a list in memory
    for (const QString& name : Names(1, 12))
        mru.Add(name);
    QStringList expected = Names(3, 12);
    std::reverse(expected.begin(), expected.end());
    QCOMPARE(mru.Strings(), expected);

    // Adding a listed name moves it to the top, without a second entry.
    mru.Add(Names(5, 5).first());
    QCOMPARE(mru.Count(), TMRUManager::MaxItems);
    QCOMPARE(mru.Strings().first(), Names(5, 5).first());
    QCOMPARE(mru.Strings().count(Names(5, 5).first()), 1);
    QCOMPARE(mru.Strings().at(1), Names(12, 12).first());

    mru.Add(QString());
    QCOMPARE(mru.Strings().first(), Names(5, 5).first());
    // Names differing only in case are different files here.
    mru.Add("/music/LIST5.LPL");
    QCOMPARE(mru.Strings().mid(0, 2), (QStringList{"/music/LIST5.LPL", Names(5, 5).first()}));

    mru.Remove(Names(5, 5).first());
    QVERIFY(!mru.Strings().contains(Names(5, 5).first()));
    mru.Clear();
    QVERIFY(mru.IsEmpty());
}

void TestMRU::storedBesideThePlacement() {
    TTestHome home;
    ConfigInit("Lorimel");
    {
        TMainWindow w;
        for (const QString& name : Names(1, 11))
            w.mru->Add(name);
        w.form->show();
        w.form->setGeometry(30, 40, 200, 100);
        w.form->hide(); // the placement writes its keys next to the list
    }
    const TIniFile ini(ConfigFileName());
    QCOMPARE(ini.ReadString("FormLorimel", "Left", {}), QString("30"));
    TMainWindow again;
    QStringList expected = Names(2, 11);
    std::reverse(expected.begin(), expected.end());
    QCOMPARE(again.mru->Strings(), expected);

    // A shorter list leaves no stale names behind.
    again.mru->Clear();
    TMainWindow third;
    QVERIFY(third.mru->IsEmpty());
    QCOMPARE(TIniFile(ConfigFileName()).ReadString("FormLorimel", "Left", {}), QString("30"));
}

void TestMRU::storedListIsReadBeforeTheFirstChange() {
    TTestHome home;
    ConfigInit("Lorimel");
    // Hand-edited: a gap, a duplicate and a blank entry are skipped.
    TIniFile(ConfigFileName())
        .WriteStrings(
            "FormLorimel",
            {{"Recent1", "/a.lpl"}, {"Recent3", "/b.lpl"}, {"Recent4", "/a.lpl"}, {"Recent5", ""}});
    TMainWindow w;
    // A playlist loaded before the window is first shown.
    w.mru->Add("/c.lpl");
    QCOMPARE(w.mru->Strings(), (QStringList{"/c.lpl", "/a.lpl", "/b.lpl"}));
    w.form->show(); // restoring reads the file, which already holds the addition
    QCOMPARE(w.mru->Strings(), (QStringList{"/c.lpl", "/a.lpl", "/b.lpl"}));
}

void TestMRU::restoreReadsTheFileAgain() {
    TTestHome home;
    ConfigInit("Lorimel");
    TMainWindow w;
    w.mru->Add("/a.lpl");
    QSignalSpy changed(w.mru, &TMRUManager::changed);
    TIniFile(ConfigFileName()).WriteStrings("FormLorimel", {{"Recent1", "/z.lpl"}});
    w.placement->RestoreFormPlacement();
    QCOMPARE(w.mru->Strings(), QStringList{"/z.lpl"});
    QCOMPARE(changed.size(), 1);
}

void TestMRU::menuFollowsTheList() {
    TMRUManager mru;
    QMenu menu;
    mru.setRecentMenu(&menu);
    QVERIFY(!menu.menuAction()->isEnabled());
    QVERIFY(menu.actions().isEmpty());

    mru.Add("/music/Rock & Roll.lpl");
    mru.Add("/music/b.lpl");
    QVERIFY(menu.menuAction()->isEnabled());
    QCOMPARE(menu.actions().size(), 2);
    QCOMPARE(menu.actions().at(0)->text(), QString("/music/b.lpl"));
    // "&" would mark a shortcut key; the name must show as it is.
    QCOMPARE(menu.actions().at(1)->text(), QString("/music/Rock && Roll.lpl"));

    QSignalSpy clicked(&mru, &TMRUManager::click);
    menu.actions().at(1)->trigger();
    QCOMPARE(clicked.size(), 1);
    QCOMPARE(clicked.at(0).at(0).toString(), QString("/music/Rock & Roll.lpl"));

    mru.Clear();
    QVERIFY(!menu.menuAction()->isEnabled());
    QVERIFY(menu.actions().isEmpty());
}

QTEST_MAIN(TestMRU)
#include "test_mru.moc"
