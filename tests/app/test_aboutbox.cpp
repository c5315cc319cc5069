// The about box: its credits, translation, links and closing.
#include "app/aboutbox.h"
#include "common/testhome.h"
#include "common/widgets/recordingdialogs.h"
#include "support/supportlanguage.h"
#include "toolkit/flatwidgets.h"

#include <QApplication>
#include <QDesktopServices>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QtTest>

// Receives the addresses that the links hand to QDesktopServices.
class TUrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

class TestAboutBox : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void creditsFilledWhenShown();
    void translatedWhenLanguageSet();
    void okClosesAndFrees();
    void executeIsModal();
    void linksOpenMailAndPage();

private:
    std::unique_ptr<TTestHome> m_home;
    std::unique_ptr<TRecordingDialogsScope> m_dialogs;
};

void TestAboutBox::init() {
    m_home = std::make_unique<TTestHome>();
    m_dialogs = std::make_unique<TRecordingDialogsScope>();
    SetCurrentLanguage(QString());
    ResetMessageTable();
}

void TestAboutBox::cleanup() {
    SetCurrentLanguage(QString());
    ResetMessageTable();
    m_dialogs.reset();
    m_home.reset();
}

void TestAboutBox::creditsFilledWhenShown() {
    auto* box = new TFormAboutBox;
    QCOMPARE(box->objectName(), QStringLiteral("FormAboutBox"));
    QCOMPARE(box->Caption(), QStringLiteral("Autore"));
    QCOMPARE(box->minimumSize(), box->maximumSize());
    QVERIFY(box->Crediti->Lines().isEmpty());

    box->show();
    const QStringList lines = box->Crediti->Lines();
    QCOMPARE(lines, TFormAboutBox::CreditLines());
    QCOMPARE(lines.value(0), QStringLiteral("Lorimel Audio Player"));
    QCOMPARE(lines.value(1), QStringLiteral("Versione 0.7.1"));
    QVERIFY(lines.contains(QString()));
    QVERIFY(lines.filter(QString::fromLatin1(AboutMailAddress)).size() == 1);
    QVERIFY(box->screen());
    QCOMPARE(box->frameGeometry().center(), box->screen()->availableGeometry().center());
    QVERIFY(box->Crediti->Vertical());
    QVERIFY(box->Crediti->Active());
    QCOMPARE(box->LabelSegnalazioni->Caption(),
             QStringLiteral("Per eventuali segnalazioni scrivere a:"));

    // Emptied and filled again at the next showing, not appended to.
    box->hide();
    QVERIFY(!box->Crediti->Active());
    box->Crediti->AddLine(QStringLiteral("left over"));
    box->show();
    QCOMPARE(box->Crediti->Lines(), TFormAboutBox::CreditLines());
    QVERIFY(m_dialogs.get()->get()->Calls().isEmpty());
    delete box;
}

void TestAboutBox::translatedWhenLanguageSet() {
    m_home->write(QStringLiteral("Langs/English.lng"),
                  "*TTL_ERRORE=Error\n"
                  "FormAboutBox.FormAboutBox.Caption=Author\n"
                  "FormAboutBox.LabelSegnalazioni.Caption=To report problems, write to:\n"
                  "FormAboutBox.ButtonOK.Caption=Close\n"
                  "FormAboutBox.Crediti.Lines=not§the§credits\n");
    {
        // No language in force: the Italian texts stay.
        auto* box = new TFormAboutBox;
        box->show();
        QCOMPARE(box->Caption(), QStringLiteral("Autore"));
        delete box;
    }
    SetCurrentLanguage(QStringLiteral("English"));
    auto* box = new TFormAboutBox;
    box->show();
    QCOMPARE(box->Caption(), QStringLiteral("Author"));
    QCOMPARE(box->LabelSegnalazioni->Caption(), QStringLiteral("To report problems, write to:"));
    QCOMPARE(box->ButtonOK->Caption(), QStringLiteral("Close"));
    // The credits are filled after translating: the fixed lines win.
    QCOMPARE(box->Crediti->Lines(), TFormAboutBox::CreditLines());
    QVERIFY(m_dialogs.get()->get()->Calls().isEmpty());
    delete box;
}

void TestAboutBox::okClosesAndFrees() {
    auto* box = new TFormAboutBox;
    const QPointer<TFormAboutBox> alive(box);
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box));
    QTest::mouseClick(box->ButtonOK, Qt::LeftButton);
    QVERIFY(alive.isNull() || !box->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(alive.isNull());
}

void TestAboutBox::executeIsModal() {
    bool sawModal = false;
    bool pressed = false;
    QTimer::singleShot(0, this, [&] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget* w : windows) {
            auto* box = qobject_cast<TFormAboutBox*>(w);
            if (box && box->isVisible()) {
                sawModal = box->isModal();
                pressed = true;
                QTest::mouseClick(box->ButtonOK, Qt::LeftButton);
            }
        }
    });
    // Should the box not be found, this ends the modal loop all the same.
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, this, [] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget* w : windows) {
            if (qobject_cast<TFormAboutBox*>(w))
                delete w;
        }
    });
    guard.start(20000);
    TFormAboutBox::Execute();
    guard.stop();
    QVERIFY(pressed);
    QVERIFY(sawModal);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const QWidgetList left = QApplication::topLevelWidgets();
    QVERIFY(std::none_of(left.cbegin(), left.cend(),
                         [](QWidget* w) { return qobject_cast<TFormAboutBox*>(w) != nullptr; }));
}

void TestAboutBox::linksOpenMailAndPage() {
    TUrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &recorder, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
    auto* box = new TFormAboutBox;
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box));
    QTest::mouseClick(box->LabelEmail, Qt::LeftButton);
    QTest::mouseClick(box->LabelSitoWeb, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QCOMPARE(recorder.urls.size(), 2);
    QCOMPARE(recorder.urls[0], QUrl(QStringLiteral("mailto:autore@lorimel.example.org")));
    QCOMPARE(recorder.urls[1], QUrl(QString::fromLatin1(AboutWebPage)));
    QCOMPARE(box->LabelEmail->Caption(), QString::fromLatin1(AboutMailAddress));
    QVERIFY(box->isVisible());
    delete box;
}

QTEST_MAIN(TestAboutBox)
#include "test_aboutbox.moc"
