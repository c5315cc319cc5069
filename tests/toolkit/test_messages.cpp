// The standard error box: what reaches the dialog service, in the language
// in force or in the built-in texts.
#include "common/testhome.h"
#include "common/widgets/recordingdialogs.h"
#include "support/supportlanguage.h"
#include "toolkit/messages.h"

#include <QtTest>

class TestMessages : public QObject {
    Q_OBJECT
private slots:
    void init() { ResetMessageTable(); }
    void cleanup() { ResetMessageTable(); }
    void showErrorIsOneOkBoxWithTheErrorIcon();
    void showErrorByKeys_data();
    void showErrorByKeys();
    void showMessageBoxPassesTheAnswerBack();
};

void TestMessages::showErrorIsOneOkBoxWithTheErrorIcon() {
    TRecordingDialogsScope dialogs;
    QCOMPARE(ShowError("File non trovato", "Errore"), int(mrOk));
    QCOMPARE(dialogs->Messages().size(), 1);
    const TMessageBoxCall& box = dialogs->Messages().at(0);
    QCOMPARE(box.kind, TMsgKind::Error);
    QCOMPARE(box.text, QString("File non trovato"));
    QCOMPARE(box.title, QString("Errore"));
    QCOMPARE(box.buttons, TMsgButtons(mbOK));
}

void TestMessages::showErrorByKeys_data() {
    QTest::addColumn<QByteArray>("language"); // empty: no table loaded
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::newRow("no table") << QByteArray() << "Colore non valido"
                              << "Errore";
    QTest::newRow("translated") << QByteArray(
                                       "*MSG_WRONGCOLOR=Wrong colour\r\n*TTL_ERRORE=Error\r\n")
                                << "Wrong colour"
                                << "Error";
    QTest::newRow("keys in another case")
        << QByteArray("*msg_wrongcolor=Wrong colour\n*ttl_Errore=Error\n") << "Wrong colour"
        << "Error";
    QTest::newRow("empty value keeps the built-in text")
        << QByteArray("*MSG_WRONGCOLOR=\n*TTL_ERRORE=Error\n") << "Colore non valido"
        << "Error";
    QTest::newRow("key absent") << QByteArray("*TTL_ERRORE=Error\n") << "Colore non valido"
                                << "Error";
}

void TestMessages::showErrorByKeys() {
    QFETCH(QByteArray, language);
    QFETCH(QString, text);
    QFETCH(QString, title);
    TTestHome home;
    if (!language.isEmpty()) {
        home.write("Langs/Test.lng", language);
        QVERIFY(LoadMessageTableFrom(home.path() + "Langs/Test.lng"));
    }
    TRecordingDialogsScope dialogs;
    QCOMPARE(ShowErrorByKeys("MSG_WRONGCOLOR", "Colore non valido", "TTL_ERRORE", "Errore"),
             int(mrOk));
    QCOMPARE(dialogs->Messages().size(), 1);
    QCOMPARE(dialogs->Messages().at(0).kind, TMsgKind::Error);
    QCOMPARE(dialogs->Messages().at(0).text, text);
    QCOMPARE(dialogs->Messages().at(0).title, title);
}

void TestMessages::showMessageBoxPassesTheAnswerBack() {
    TRecordingDialogsScope dialogs;
    dialogs->QueueMessageAnswer(mrYes);
    QCOMPARE(ShowMessageBox(TMsgKind::Confirmation, "Cancellare?", "Conferma", mbYesNo),
             int(mrYes));
    QCOMPARE(dialogs->Messages().at(0).kind, TMsgKind::Confirmation);
    QCOMPARE(dialogs->Messages().at(0).buttons, TMsgButtons(mbYesNo));
}

QTEST_MAIN(TestMessages)
#include "test_messages.moc"
