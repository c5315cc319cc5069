// Window placement: where it is stored, the save and restore round trip
// through the settings file, and windows that must come back on screen.
#include "common/testhome.h"
#include "common/widgets/recordingdialogs.h"
#include "support/configurazione.h"
#include "support/errors.h"
#include "support/inifile.h"
#include "toolkit/formplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtTest>
#include <memory>

namespace {

// A window of the given name with a placement bound to the settings file.
struct TPlacedForm {
    std::unique_ptr<TForm> form = std::make_unique<TForm>();
    TFormPlacement* placement;
    explicit TPlacedForm(const QString& name, bool storeState = false) {
        form->setObjectName(name);
        placement = form->Create<TFormPlacement>("FormPlacement", form.get());
        placement->setStoreState(storeState);
        BindFormPlacement(placement, form.get());
    }
};

QRect Available() {
    return QGuiApplication::primaryScreen()->availableGeometry();
}

} // namespace

class TestFormPlacement : public QObject {
    Q_OBJECT
private slots:
    void sectionOfWindowName_data();
    void sectionOfWindowName();
    void roundTrip();
    void fixedSizeWindowKeepsItsSize();
    void maximizedStateWhenAsked();
    void offScreenPositionComesBack_data();
    void offScreenPositionComesBack();
    void clampToArea_data();
    void clampToArea();
    void neverShownWindowSavesNothing();
    void unwritableFileIsReported();
};

void TestFormPlacement::sectionOfWindowName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("section");
    QTest::newRow("plain") << "FormOpzioni"
                           << "FormOpzioni";
    QTest::newRow("numbered instance") << "FormVideo_2"
                                       << "FormVideo";
    QTest::newRow("first underscore") << "Form_A_B"
                                      << "Form";
    QTest::newRow("trailing underscore") << "FormRecording_"
                                         << "FormRecording";
}

void TestFormPlacement::sectionOfWindowName() {
    QFETCH(QString, name);
    QFETCH(QString, section);
    TTestHome home;
    ConfigInit("Lorimel");
    TPlacedForm f(name);
    QCOMPARE(f.placement->IniSection(), section);
    QCOMPARE(f.placement->IniFileName(), ConfigFileName());
    QCOMPARE(f.placement->IniFileName(), home.path() + "Config/Lorimel.ini");
    QVERIFY(!f.placement->UseRegistry());
    QCOMPARE(f.placement->Window(), f.form.get());
}

void TestFormPlacement::roundTrip() {
    TTestHome home;
    ConfigInit("Lorimel");
    ConfigWriteString("FormPlaylist", "Altro", "resta");
    const QRect area = Available();
    const QRect wanted(area.left() + 40, area.top() + 30, 260, 180);
    {
        TPlacedForm first("FormPlaylist");
        first.form->show();
        first.form->setGeometry(wanted);
        first.form->hide();
    }
    const TIniFile ini(ConfigFileName());
    QCOMPARE(ini.ReadString("FormPlaylist", "Left", {}), QString::number(wanted.left()));
    QCOMPARE(ini.ReadString("FormPlaylist", "Width", {}), QString::number(wanted.width()));
    QCOMPARE(ini.ReadString("FormPlaylist", "Altro", {}), QString("resta"));
    QVERIFY(ini.ReadString("FormPlaylist", "State", {}).isEmpty());

    // Another instance of the same window shares the placement.
    TPlacedForm second("FormPlaylist_2");
    QSignalSpy restored(second.placement, &TFormPlacement::restorePlacement);
    second.form->show();
    QCOMPARE(second.form->geometry(), wanted);
    QCOMPARE(restored.size(), 1);
    // Only the first show restores: a window the user moved stays put.
    const QRect moved = wanted.translated(10, 10);
    second.form->setGeometry(moved);
    second.form->hide();
    second.form->show();
    QCOMPARE(second.form->geometry(), moved);
    QCOMPARE(restored.size(), 1);
}

void TestFormPlacement::fixedSizeWindowKeepsItsSize() {
    TTestHome home;
    ConfigInit("Lorimel");
    TIniFile(ConfigFileName())
        .WriteStrings("FormLorimel",
                      {{"Left", "50"}, {"Top", "60"}, {"Width", "600"}, {"Height", "500"}});
    TPlacedForm f("FormLorimel");
    f.form->setFixedSize(252, 322);
    f.form->show();
    QCOMPARE(f.form->geometry().topLeft(), QPoint(50, 60));
    QCOMPARE(f.form->size(), QSize(252, 322));
}

void TestFormPlacement::maximizedStateWhenAsked() {
    TTestHome home;
    ConfigInit("Lorimel");
    {
        TPlacedForm f("FormPlaylist", true);
        f.form->show();
        f.form->setWindowState(Qt::WindowMaximized);
        f.placement->SaveFormPlacement();
    }
    QCOMPARE(TIniFile(ConfigFileName()).ReadString("FormPlaylist", "State", {}),
             QString("Maximized"));
    TPlacedForm again("FormPlaylist", true);
    again.form->show();
    QVERIFY(again.form->windowState() & Qt::WindowMaximized);

    // Without StoreState the stored state is ignored.
    TPlacedForm positionOnly("FormPlaylist");
    positionOnly.form->show();
    QVERIFY(!(positionOnly.form->windowState() & Qt::WindowMaximized));
}

void TestFormPlacement::offScreenPositionComesBack_data() {
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::newRow("far right and below") << 5000 << 4000;
    QTest::newRow("far left and above") << -3000 << -2000;
    QTest::newRow("half off the right edge") << 700 << 100;
}

void TestFormPlacement::offScreenPositionComesBack() {
    QFETCH(int, left);
    QFETCH(int, top);
    TTestHome home;
    ConfigInit("Lorimel");
    TIniFile(ConfigFileName())
        .WriteStrings("FormPlaylist", {{"Left", QString::number(left)},
                                       {"Top", QString::number(top)},
                                       {"Width", "300"},
                                       {"Height", "200"}});
    TPlacedForm f("FormPlaylist");
    f.form->show();
    QVERIFY2(Available().contains(f.form->geometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                      .arg(f.form->x())
                                                                      .arg(f.form->y())
                                                                      .arg(f.form->width())
                                                                      .arg(f.form->height())));
    QCOMPARE(f.form->size(), QSize(300, 200));
}

void TestFormPlacement::clampToArea_data() {
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("inside stays") << QRect(10, 20, 100, 50) << QRect(10, 20, 100, 50);
    QTest::newRow("right edge") << QRect(750, 20, 100, 50) << QRect(700, 20, 100, 50);
    QTest::newRow("above") << QRect(10, -40, 100, 50) << QRect(10, 0, 100, 50);
    QTest::newRow("larger than the area") << QRect(-50, -50, 1000, 700) << QRect(0, 0, 800, 600);
}

void TestFormPlacement::clampToArea() {
    QFETCH(QRect, rect);
    QFETCH(QRect, expected);
    QCOMPARE(TFormPlacement::ClampToArea(rect, QRect(0, 0, 800, 600)), expected);
}

void TestFormPlacement::neverShownWindowSavesNothing() {
    TTestHome home;
    ConfigInit("Lorimel");
    {
        TPlacedForm f("FormRecording");
        f.form->close();
    }
    QVERIFY(!TIniFile(ConfigFileName()).SectionExists("FormRecording"));

    // Without a file and section nothing is read or written at all.
    TForm form;
    form.setObjectName("FormLibera");
    auto* placement = form.Create<TFormPlacement>("FormPlacement", &form);
    QVERIFY(!placement->IsBound());
    form.show();
    form.hide();
    placement->SaveFormPlacement();
    QVERIFY(!QFileInfo::exists(ConfigFileName()));
}

void TestFormPlacement::unwritableFileIsReported() {
    TTestHome home;
    // A file where the folder should be: no process, whatever its rights,
    // can create the settings file below it.
    home.write("blocker", "x");
    TForm form;
    form.setObjectName("FormOpzioni");
    auto* placement = form.Create<TFormPlacement>("FormPlacement", &form);
    placement->setIniFileName(home.path() + "blocker/Lorimel.ini");
    placement->setIniSection("FormOpzioni");
    QVERIFY_THROWS_EXCEPTION(EWriteError, placement->SaveFormPlacement());

    // Saving on hide reports the error instead of ending the program.
    TRecordingDialogsScope dialogs;
    form.show();
    form.hide();
    QVERIFY(!dialogs->Exceptions().isEmpty());
    QVERIFY(dialogs->Exceptions().at(0).startsWith("Unable to write to "));
}

QTEST_MAIN(TestFormPlacement)
#include "test_formplacement.moc"
