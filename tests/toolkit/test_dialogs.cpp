// The dialog service: how its terms map onto Qt's dialogs, the process-wide
// accessors, and the recording double that every widget test relies on.
#include "common/widgets/recordingdialogs.h"
#include "toolkit/dialogs.h"

#include <QtTest>

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void nameFilters_data();
    void nameFilters();
    void buttonsRoundTrip();
    void escapeResult_data();
    void escapeResult();
    void setDialogsHandsBackThePrevious();
    void recordingDefaultsNeverAccept();
    void recordingAnswersInQueueOrder();
};

void TestDialogs::nameFilters_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");
    QTest::newRow("label lists the masks") << "MP3 files (*.MP3)"
                                           << "*.MP3"
                                           << "MP3 files (*.MP3 *.mp3)";
    QTest::newRow("several masks") << "MPG files (*.MPG;*.MPEG)"
                                   << "*.MPG;*.MPEG"
                                   << "MPG files (*.MPG *.MPEG *.mpg *.mpeg)";
    QTest::newRow("all files match names without a dot") << "All files (*.*)"
                                                         << "*.*"
                                                         << "All files (*)";
    QTest::newRow("label without masks") << "Playlist"
                                         << "*.lpl"
                                         << "Playlist (*.lpl)";
    QTest::newRow("blanks and empty masks") << "Mixed"
                                            << " *.m3u ;;*.LPL"
                                            << "Mixed (*.m3u *.LPL *.lpl)";
    QTest::newRow("no pattern") << "Anything"
                                << ""
                                << "Anything (*)";
    QTest::newRow("no label") << ""
                              << "*.clr"
                              << "*.clr (*.clr)";
}

void TestDialogs::nameFilters() {
    QFETCH(QString, label);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(DialogMapping::NameFiltersOf({{label, pattern}}), QStringList{expected});
}

void TestDialogs::buttonsRoundTrip() {
    const QList<QPair<TMsgButton, int>> rows{
        {mbOK, mrOk},       {mbCancel, mrCancel}, {mbYes, mrYes},      {mbNo, mrNo},
        {mbAbort, mrAbort}, {mbRetry, mrRetry},   {mbIgnore, mrIgnore}};
    for (const auto& [button, result] : rows) {
        const QMessageBox::StandardButtons qt = DialogMapping::ButtonsOf(button);
        QCOMPARE(DialogMapping::ModalResultOf(QMessageBox::StandardButton(qt.toInt())), result);
    }
    QCOMPARE(DialogMapping::ButtonsOf(mbYesNoCancel),
             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    // A box must always have a way out.
    QCOMPARE(DialogMapping::ButtonsOf(0), QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(DialogMapping::ModalResultOf(QMessageBox::Help), int(mrNone));
    QCOMPARE(DialogMapping::IconOf(TMsgKind::Error), QMessageBox::Critical);
    QCOMPARE(DialogMapping::IconOf(TMsgKind::Confirmation), QMessageBox::Question);
}

void TestDialogs::escapeResult_data() {
    QTest::addColumn<uint>("buttons");
    QTest::addColumn<int>("expected");
    QTest::newRow("ok") << uint(mbOK) << int(mrOk);
    QTest::newRow("ok cancel") << uint(mbOKCancel) << int(mrCancel);
    QTest::newRow("yes no") << uint(mbYesNo) << int(mrNo);
    QTest::newRow("yes no cancel") << uint(mbYesNoCancel) << int(mrCancel);
    QTest::newRow("abort retry ignore") << uint(mbAbort | mbRetry | mbIgnore) << int(mrAbort);
    QTest::newRow("retry only") << uint(mbRetry) << int(mrRetry);
    QTest::newRow("none") << 0u << int(mrOk);
}

void TestDialogs::escapeResult() {
    QFETCH(uint, buttons);
    QFETCH(int, expected);
    QCOMPARE(int(DialogMapping::EscapeResult(buttons)), expected);
}

void TestDialogs::setDialogsHandsBackThePrevious() {
    QVERIFY(dynamic_cast<TQtDialogService*>(&Dialogs()));
    auto first = std::make_unique<TRecordingDialogs>();
    TRecordingDialogs* firstRaw = first.get();
    std::unique_ptr<IDialogService> qt = SetDialogs(std::move(first));
    QVERIFY(dynamic_cast<TQtDialogService*>(qt.get()));
    QCOMPARE(&Dialogs(), firstRaw);

    std::unique_ptr<IDialogService> back = SetDialogs(nullptr);
    QCOMPARE(back.get(), firstRaw);
    // Without a service the Qt one comes back.
    QVERIFY(dynamic_cast<TQtDialogService*>(&Dialogs()));

    {
        TRecordingDialogsScope scope;
        QCOMPARE(&Dialogs(), scope.get());
    }
    QVERIFY(dynamic_cast<TQtDialogService*>(&Dialogs()));
}

void TestDialogs::recordingDefaultsNeverAccept() {
    TRecordingDialogsScope dialogs;
    IDialogService& d = Dialogs();
    QCOMPARE(d.MessageBox(TMsgKind::Confirmation, "Sovrascrivere?", "Conferma", mbYesNo),
             int(mrNo));
    const TOpenDialogRequest open{"Apri", "/tmp/", {{"MP3 files (*.MP3)", "*.MP3"}}, 0, true};
    QVERIFY(!d.OpenFiles(open).accepted());
    QVERIFY(!d.SaveFile({"Salva", "/tmp/", "a.lpl", {}, 0, "lpl"}).accepted());
    QVERIFY(!d.ChooseColor(RGBColor(1, 2, 3), "Colore").has_value());
    QVERIFY(d.ChooseFolder("Cartella", "/tmp/").isEmpty());
    QVERIFY(!d.InputBox("Nome", "Nome dello schema:", "Nuovo").has_value());
    d.ShowException("Boom");

    QCOMPARE(dialogs->Calls(), (QStringList{"MessageBox", "OpenFiles", "SaveFile", "ChooseColor",
                                            "ChooseFolder", "InputBox", "Exception"}));
    const TMessageBoxCall& box = dialogs->Messages().at(0);
    QCOMPARE(box.kind, TMsgKind::Confirmation);
    QCOMPARE(box.text, QString("Sovrascrivere?"));
    QCOMPARE(box.title, QString("Conferma"));
    QCOMPARE(box.buttons, TMsgButtons(mbYesNo));
    QCOMPARE(dialogs->OpenRequests().at(0).filters.at(0).pattern, QString("*.MP3"));
    QVERIFY(dialogs->OpenRequests().at(0).multiSelect);
    QCOMPARE(dialogs->SaveRequests().at(0).defaultExtension, QString("lpl"));
    QCOMPARE(dialogs->ColorRequests().at(0).initial, RGBColor(1, 2, 3));
    QCOMPARE(dialogs->FolderRequests().at(0).folder, QString("/tmp/"));
    QCOMPARE(dialogs->InputRequests().at(0).defaultText, QString("Nuovo"));
    QCOMPARE(dialogs->Exceptions(), QStringList{"Boom"});
}

void TestDialogs::recordingAnswersInQueueOrder() {
    TRecordingDialogsScope dialogs;
    dialogs->QueueMessageAnswer(mrYes);
    dialogs->QueueMessageAnswer(mrCancel);
    dialogs->QueueOpenAnswer({"/a.mp3", "/b.ogg"}, 2);
    dialogs->QueueSaveAnswer("/c.lpl");
    dialogs->QueueColorAnswer(RGBColor(9, 8, 7));
    dialogs->QueueFolderAnswer("/music/");
    dialogs->QueueInputAnswer(QString("Blu"));
    IDialogService& d = Dialogs();
    QCOMPARE(d.MessageBox(TMsgKind::Warning, "t", "c", mbYesNoCancel), int(mrYes));
    QCOMPARE(d.MessageBox(TMsgKind::Warning, "t", "c", mbYesNoCancel), int(mrCancel));
    // Queue used up: the safe default again.
    QCOMPARE(d.MessageBox(TMsgKind::Warning, "t", "c", mbYesNoCancel), int(mrCancel));
    const TOpenDialogResult opened = d.OpenFiles({});
    QCOMPARE(opened.files, (QStringList{"/a.mp3", "/b.ogg"}));
    QCOMPARE(opened.filterIndex, 2);
    QCOMPARE(d.SaveFile({}).fileName, QString("/c.lpl"));
    QCOMPARE(d.ChooseColor(0, {}), std::optional<TColor>(RGBColor(9, 8, 7)));
    QCOMPARE(d.ChooseFolder({}, {}), QString("/music/"));
    QCOMPARE(d.InputBox({}, {}, {}), std::optional<QString>("Blu"));
    QCOMPARE(dialogs->Messages().at(0).answer, int(mrYes));

    dialogs->ClearRecorded();
    QVERIFY(dialogs->Calls().isEmpty());
    QVERIFY(dialogs->Messages().isEmpty());
}

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
