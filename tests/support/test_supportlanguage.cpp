// The message table and the look-up of window texts in language files.
#include "support/codepage.h"
#include "support/supportlanguage.h"

#include "common/testhome.h"

#include <QRandomGenerator>
#include <QtTest>

class TestSupportLanguage : public QObject {
    Q_OBJECT
private slots:
    void init() { ResetMessageTable(); }
    void cleanup() { ResetMessageTable(); }
    void translate_data();
    void translate();
    void loadFallsBackToEnglish();
    void currentLanguage();
    void lookupProperty_data();
    void lookupProperty();
    void anyBytesLoad();
};

void TestSupportLanguage::translate_data() {
    QTest::addColumn<QByteArray>("file"); // "<none>": no table loaded
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected"); // built-in text is "testo"
    const QByteArray none("<none>");
    QTest::newRow("no table") << none << "MSG_X"
                              << "testo";
    QTest::newRow("empty text is absent") << QByteArray("*MSG_X=\n") << "MSG_X"
                                          << "testo";
    QTest::newRow("any case") << QByteArray("*msg_x=Text\n") << "MSG_X"
                              << "Text";
    QTest::newRow("first line wins") << QByteArray("*MSG_X=One\r\n*MSG_X=Two\r\n") << "MSG_X"
                                     << "One";
    QTest::newRow("first line wins even when empty")
        << QByteArray("*MSG_X=\n*MSG_X=Two\n") << "MSG_X"
        << "testo";
    QTest::newRow("blanks belong to key and text") << QByteArray("*MSG_X = Text \n") << "MSG_X"
                                                   << "testo";
    QTest::newRow("text keeps blanks") << QByteArray("*MSG_X= Text \n") << "MSG_X"
                                       << " Text ";
    QTest::newRow("text holds =") << QByteArray("*MSG_X=a=b\n") << "MSG_X"
                                  << "a=b";
    QTest::newRow("unstarred line is no message")
        << QByteArray("MSG_X=Text\n FormA.B.Caption=x\n") << "MSG_X"
        << "testo";
    QTest::newRow("line without =") << QByteArray("*MSG_X\n") << "MSG_X"
                                    << "testo";
    QTest::newRow("title keys of one spelling") << QByteArray("*TTL_Errore=Error\n") << "TTL_ERRORE"
                                                << "Error";
    QTest::newRow("windows-1252 file") << QByteArray("*MSG_X=Fran\xE7"
                                                     "ais \xA7\n")
                                       << "MSG_X" << QStringLiteral("Fran\u00E7ais \u00A7");
    QTest::newRow("utf-8 file") << QByteArray("*MSG_X=Fran\xC3\xA7"
                                              "ais\n")
                                << "MSG_X" << QStringLiteral("Fran\u00E7ais");
}

void TestSupportLanguage::translate() {
    QFETCH(QByteArray, file);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    TTestHome home;
    if (file != "<none>") {
        home.write("Langs/Test.lng", file);
        QVERIFY(LoadMessageTableFrom(LanguageFileName("Test")));
    }
    QCOMPARE(Translate(key, "testo"), expected);
}

void TestSupportLanguage::loadFallsBackToEnglish() {
    TTestHome home;
    home.write("Langs/English.lng", "*MSG_X=English\n");
    home.write("Langs/Deutsch.lng", "*MSG_X=Deutsch\n");
    QCOMPARE(LanguageFileName("Deutsch"), home.path() + "Langs/Deutsch.lng");

    QVERIFY(LoadMessageTableFrom(LanguageFileName("Deutsch")));
    QCOMPARE(Translate("MSG_X", "testo"), QStringLiteral("Deutsch"));
    // A missing language takes the English messages, replacing the old table.
    QVERIFY(LoadMessageTableFrom(LanguageFileName("Klingon")));
    QCOMPARE(Translate("MSG_X", "testo"), QStringLiteral("English"));
    // Without English either, the table is empty: built-in texts.
    QVERIFY(QFile::remove(home.path() + "Langs/English.lng"));
    QVERIFY(!LoadMessageTableFrom(LanguageFileName("Klingon")));
    QCOMPARE(Translate("MSG_X", "testo"), QStringLiteral("testo"));
    // A folder in the file's place is as good as missing.
    QDir().mkpath(home.path() + "Langs/Folder.lng");
    QVERIFY(!LoadMessageTableFrom(LanguageFileName("Folder")));
}

void TestSupportLanguage::currentLanguage() {
    QVERIFY(CurrentLanguage().isEmpty());
    SetCurrentLanguage("English");
    QCOMPARE(CurrentLanguage(), QStringLiteral("English"));
    SetCurrentLanguage(QString());
    QVERIFY(CurrentLanguage().isEmpty());
}

void TestSupportLanguage::lookupProperty_data() {
    QTest::addColumn<QString>("component");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("expected"); // default "def"
    QTest::newRow("match") << "CheckAiuti"
                           << "Caption"
                           << "Show hints";
    QTest::newRow("any case") << "checkaiuti"
                              << "CAPTION"
                              << "Show hints";
    QTest::newRow("blank before = matches nothing") << "CheckBlank"
                                                    << "Caption"
                                                    << "def";
    QTest::newRow("empty value") << "Empty"
                                 << "Caption"
                                 << "def";
    QTest::newRow("first line wins") << "Twice"
                                     << "Hint"
                                     << "first";
    QTest::newRow("value keeps blanks and =") << "Spaced"
                                              << "Caption"
                                              << " a = b ";
    QTest::newRow("line without = never matches") << "NoEquals"
                                                  << "Caption"
                                                  << "def";
    QTest::newRow("other property") << "CheckAiuti"
                                    << "Hint"
                                    << "def";
    QTest::newRow("window itself") << "FormOpzioni"
                                   << "Caption"
                                   << "Options";
    QTest::newRow("prefix of a longer key") << "Check"
                                            << "Caption"
                                            << "def";
}

void TestSupportLanguage::lookupProperty() {
    QFETCH(QString, component);
    QFETCH(QString, property);
    QFETCH(QString, expected);
    const QStringList lines{
        "*MSG_X=not a property",
        "FormOpzioni.CheckAiuti.Caption=Show hints",
        "FormOpzioni.CheckBlank.Caption =Show hints",
        "FormOpzioni.Empty.Caption=",
        "FormOpzioni.Twice.Hint=first",
        "FormOpzioni.Twice.Hint=second",
        "FormOpzioni.Spaced.Caption= a = b ",
        "FormOpzioni.NoEquals.Caption",
        "FormOpzioni.FormOpzioni.Caption=Options",
        "FormOpzioni.CheckAiutiX.Caption=wrong",
        "OtherForm.Check.Caption=wrong",
    };
    QCOMPARE(LookupProperty(lines, "FormOpzioni", component, property, "def"), expected);
}

void TestSupportLanguage::anyBytesLoad() {
    TTestHome home;
    // Seeded, so a failure can be repeated.
    QRandomGenerator random(20240611);
    for (int round = 0; round < 50; ++round) {
        QByteArray bytes(int(random.bounded(4096)), Qt::Uninitialized);
        for (char& b : bytes)
            b = char(random.bounded(256));
        if (round % 2 == 0)
            bytes.prepend("*MSG_OK=yes\n");
        home.write("Langs/Noise.lng", bytes);
        QVERIFY(LoadMessageTableFrom(LanguageFileName("Noise")));
        if (round % 2 == 0)
            QCOMPARE(Translate("MSG_OK", "no"), QStringLiteral("yes"));
        (void)LookupProperty(ReadTextLines(LanguageFileName("Noise")).value_or(QStringList()), "A",
                             "B", "Caption", "def");
    }
}

QTEST_GUILESS_MAIN(TestSupportLanguage)
#include "test_supportlanguage.moc"
