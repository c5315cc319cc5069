// The main window: its layout, folding, colours and language; start-up with
// and without a file, hand-offs, closing; the tag panel, the menus and the
// tray hint, with the real engine playing short clips the tests write.
#include "app/formlorimel.h"
#include "app/trayquarters.h"
#include "appearance/colorscheme.h"
#include "common/appfakes.h"
#include "common/mediagen.h"
#include "common/testhome.h"
#include "common/widgets/recordingdialogs.h"
#include "media/mp3tag.h"
#include "platform/singleinstance.h"
#include "support/supportlanguage.h"
#include "toolkit/flatwidgets.h"
#include "toolkit/mru.h"

#include <QFile>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QtTest>

namespace {

// A volume control that only remembers.
// A main window on a fake volume control; `volume` points at it.
std::unique_ptr<TFormLorimel> MakeForm(const QStringList& arguments = {},
                                       TFakeVolume** volume = nullptr, int startVolume = 50) {
    auto fake = std::make_unique<TFakeVolume>(startVolume);
    if (volume)
        *volume = fake.get();
    return std::make_unique<TFormLorimel>(arguments, std::move(fake));
}

// Shows the window (which creates the engine) and activates it.
bool ShowAndActivate(TFormLorimel& form) {
    form.show();
    form.activateWindow();
    return QTest::qWaitForWindowActive(&form, 5000);
}

bool Playing(TFormLorimel& form) {
    return form.Controller.Engine() && form.Controller.Engine()->GetMode() == TMPMode::Playing;
}

QString EngineFile(TFormLorimel& form) {
    return form.Controller.Engine()->GetFileName();
}

void WriteTag(const QString& path, const QString& artist, const QString& title) {
    Tmp3Tag tag;
    tag.SetArtist(artist.toStdString());
    tag.SetTitle(title.toStdString());
    tag.SaveToFile(QFile::encodeName(path).toStdString());
}

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestFormLorimel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void layout_data();
    void layout();
    void foldsTagPanel();
    void coloursFromCurrentScheme();
    void translatedWhenLanguageSet();

    void startWithMediaFilePlaysItAtActivation();
    void startWithPlaylistFile();
    void autosavedPlaylistSurvivesRestart();
    void enqueueAtStartJoinsTheSavedPlaylist();
    void formCloseWritesPlayModes();
    void unknownPlayerFallsBackToDefault();
    void handOffAddTrackReplacesThePlaylist();
    void handOffOpenPlaylistAndEnqueue();
    void handOffBeforeTheEngineExistsPlaysOnceItDoes();
    void trackInfo_data();
    void trackInfo();
    void trayHintOfStartedTrack();
    void savedTagShowsAfterRestart();
    void saveTagWithWrongTrackNumber_data();
    void saveTagWithWrongTrackNumber();
    void saveTagOnOtherFilesWritesNothing();
    void volumeMenuAndBar();
    void trackMenuMarksCurrentEntry();
    void minimiseKeepsTagPanelState_data();
    void minimiseKeepsTagPanelState();
    void titleMenuDisplayModes();
    void pendingWindowsSayNotAvailable();
    void keyboardAccess();
    void trayQuarterCommands();

private:
    QString Media(const QString& name) const { return m_media.filePath(name); }

    std::unique_ptr<TTestHome> m_home;
    TRecordingDialogs* m_dialogs = nullptr;
    QTemporaryDir m_media;
    QString m_wav;  // 0.4 s
    QString m_mp3;  // 4 minutes, 8 kbit/s, no tag
    QString m_mp3b; // 1.5 s, 32 kbit/s, no tag
};

void TestFormLorimel::initTestCase() {
    qputenv("LORIMEL_MPV_OPTIONS", "ao=null,vo=null");
    QVERIFY(m_media.isValid());
    m_wav = Media(QStringLiteral("tone.wav"));
    m_mp3 = Media(QStringLiteral("long.mp3"));
    m_mp3b = Media(QStringLiteral("short.mp3"));
    QVERIFY(WriteSineWav(m_wav, 0.4, 8000, 1));
    QVERIFY(WriteSineMp3(m_mp3, 240.0, 8));
    QVERIFY(WriteSineMp3(m_mp3b, 1.5, 32));
}

void TestFormLorimel::init() {
    m_home = std::make_unique<TTestHome>();
    auto dialogs = std::make_unique<TRecordingDialogs>();
    m_dialogs = dialogs.get();
    SetDialogs(std::move(dialogs));
    SetCurrentLanguage(QString());
    ResetMessageTable();
}

void TestFormLorimel::cleanup() {
    SetDialogs(nullptr);
    m_home.reset();
}

void TestFormLorimel::layout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry"); // in window coordinates, tag panel unfolded
    QTest::newRow("minimise") << "ButtonMinimize" << QRect(217, 2, 15, 14);
    QTest::newRow("close") << "ButtonClose" << QRect(234, 2, 15, 14);
    QTest::newRow("title") << "PannelloTitolo" << QRect(4, 21, 202, 21);
    QTest::newRow("scrolling title") << "PannelloScorrevole" << QRect(5, 22, 200, 19);
    QTest::newRow("add") << "ButtonAddToPlaylist" << QRect(208, 21, 19, 21);
    QTest::newRow("playlist") << "ButtonPlaylist" << QRect(229, 21, 19, 21);
    QTest::newRow("roll tags") << "RollTags" << QRect(4, 45, 244, 12);
    QTest::newRow("tag title") << "PannelloTagTitolo" << QRect(11, 78, 230, 19);
    QTest::newRow("tag track") << "PannelloTagTraccia" << QRect(186, 148, 55, 19);
    QTest::newRow("save tag") << "BtnSaveTag" << QRect(222, 218, 19, 19);
    QTest::newRow("info") << "PannelloInfo" << QRect(4, 245, 244, 27);
    QTest::newRow("position frame") << "PannelloPosizione" << QRect(4, 275, 176, 14);
    QTest::newRow("volume frame") << "PannelloVolume" << QRect(186, 275, 62, 14);
    QTest::newRow("position bar") << "Posizione" << QRect(-12, 275, 208, 14);
    QTest::newRow("play") << "ButtonPlay" << QRect(4, 294, 25, 24);
    QTest::newRow("stop") << "ButtonStop" << QRect(124, 294, 25, 24);
    QTest::newRow("rec") << "ButtonRec" << QRect(155, 294, 25, 24);
    QTest::newRow("splash") << "ButtonSplash" << QRect(222, 294, 25, 24);
}

void TestFormLorimel::layout() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    TFormLorimel form({}, std::make_unique<TFakeVolume>(0));
    form.ToggleTagPanel();
    QCOMPARE(form.size(), QSize(TFormLorimel::ClientWidth, TFormLorimel::ClientHeight));
    auto* w = qobject_cast<QWidget*>(form.FindComponent(name));
    QVERIFY(w);
    const QRect inWindow(w->mapTo(&form, QPoint(0, 0)), w->size());
    QCOMPARE(inWindow, geometry);
}

void TestFormLorimel::foldsTagPanel() {
    TFormLorimel form({}, std::make_unique<TFakeVolume>(0));
    QVERIFY(form.TagPanelFolded());
    QCOMPARE(form.height(), TFormLorimel::ClientHeight - TFormLorimel::TagPanelHeight);
    QTest::mouseClick(form.RollTags, Qt::LeftButton);
    QVERIFY(!form.TagPanelFolded());
    QCOMPARE(form.height(), TFormLorimel::ClientHeight);
    // The button strip stays at the bottom in both states.
    QCOMPARE(form.ButtonPlay->mapTo(&form, QPoint(0, 0)).y() + 24 + 4, form.height());
    form.ToggleTagPanel();
    QCOMPARE(form.height(), TFormLorimel::ClientHeight - TFormLorimel::TagPanelHeight);
}

void TestFormLorimel::coloursFromCurrentScheme() {
    m_home->write("CurrentColor.clr", "Face=1\nBorder=2\nButtonFace=3\nButtonFocus=4\n"
                                      "ButtonBorder=5\nScroll=6\nThumb=7\nTitle=8\nTextFont=9\n"
                                      "TitleFont=10\nTextBox=11\n");
    TFormLorimel form({}, std::make_unique<TFakeVolume>(0));
    QCOMPARE(form.PannelloTitolo->Color(), TColor(11)); // Tag 1: text box colour
    QCOMPARE(form.PannelloPrincipale->Color(), TColor(1));
    QCOMPARE(form.ButtonSplash->ColorDown(), DarkenColor(3, 40));
    QCOMPARE(form.TitleBar->TitlebarColor(), TColor(8));
    QCOMPARE(CurrentScheme()[srTextBox], TColor(11));
    QCOMPARE(m_dialogs->Messages().size(), 0);
}

void TestFormLorimel::translatedWhenLanguageSet() {
    QFile lng(QStringLiteral(LORIMEL_SOURCE_DIR "/data/Langs/English.lng"));
    QVERIFY(lng.open(QIODevice::ReadOnly));
    m_home->write("Langs/English.lng", lng.readAll());
    m_home->write("Config/Lorimel.ini", "[General]\nLanguage=English\n");
    TFormLorimel form({}, std::make_unique<TFakeVolume>(0));
    QCOMPARE(CurrentLanguage(), QStringLiteral("English"));
    QCOMPARE(qobject_cast<TLabel*>(form.FindComponent("LabelTitolo"))->Caption(),
             QStringLiteral("Title"));
    QCOMPARE(form.ButtonRec->Hint(), QStringLiteral("Recorder"));
    QCOMPARE(Translate("TTL_ERRORE", "Errore"), QStringLiteral("Error"));
    // Menu items and the hide items, which follow the hidden label.
    QCOMPARE(form.PopupCorrente->Caption(), QStringLiteral("Now playing"));
    QCOMPARE(form.PopupTray1->Caption(), QStringLiteral("Hide"));
    QCOMPARE(form.PopupTray2->Caption(), QStringLiteral("Hide"));
    QCOMPARE(m_dialogs->Messages().size(), 0);
}

void TestFormLorimel::startWithMediaFilePlaysItAtActivation() {
    m_home->write("Playlist.lpl", "/nowhere/saved.mp3\r\n");
    TFakeVolume* volume = nullptr;
    auto form = MakeForm({m_mp3}, &volume, 37);
    QCOMPARE(form->Controller.Playlist.Entries, QStringList{m_mp3});
    QCOMPARE(form->Controller.Playlist.CurrentIndex, 0u);
    QVERIFY(form->Controller.AutoPlay);
    QCOMPARE(form->Volume->Position(), 37);
    QVERIFY(!form->Controller.Engine()); // no engine before the first show
    QVERIFY(ShowAndActivate(*form));
    QVERIFY(form->EngineCreated);
    QVERIFY(WaitFor([&] { return Playing(*form); }));
    QCOMPARE(EngineFile(*form), m_mp3);
    QVERIFY(!form->Controller.AutoPlay);
    QCOMPARE(form->Durata->Caption(), QStringLiteral("0.04.00"));
    QCOMPARE(form->PannelloTitolo->Caption(), QStringLiteral("long.mp3"));
    // Another activation does not start the track again.
    form->FormActivate();
    QCOMPARE(m_home->read("Playlist.lpl"), QByteArray("/nowhere/saved.mp3\r\n"));
    QCOMPARE(m_dialogs->Messages().size(), 0);
}

void TestFormLorimel::startWithPlaylistFile() {
    const QString list = m_home->file("lists/party.M3U");
    m_home->write("lists/party.M3U", (m_wav + "\r\n" + m_mp3 + "\r\n").toUtf8());
    auto form = MakeForm({list});
    QCOMPARE(form->Controller.Playlist.Entries, (QStringList{m_wav, m_mp3}));
    QVERIFY(form->Controller.AutoPlay);
    QCOMPARE(form->MRUManager->Strings(), QStringList{list});
    QVERIFY(form->PopupPlaylist->isEnabled());
    // Loading a playlist file also keeps it as the autosaved one.
    QCOMPARE(m_home->read("Playlist.lpl"), FileBytes(list));
}

void TestFormLorimel::autosavedPlaylistSurvivesRestart() {
    {
        auto form = MakeForm();
        QVERIFY(form->Controller.Playlist.Entries.isEmpty());
        QVERIFY(!form->PopupPlaylist->isEnabled());
        m_dialogs->QueueOpenAnswer(QStringList{m_wav, m_mp3});
        QTest::mouseClick(form->ButtonAddToPlaylist, Qt::LeftButton);
        QCOMPARE(m_dialogs->OpenRequests().size(), 1);
        const TOpenDialogRequest request = m_dialogs->OpenRequests().first();
        QVERIFY(request.multiSelect);
        QCOMPARE(request.filterIndex, 0);
        QCOMPARE(request.filters.size(), 12);
        QCOMPARE(request.filters.first().pattern,
                 QStringLiteral("*.MP3;*.OGG;*.WMA;*.WAV;*.MP2;*.AVI;*.MPEG;*.MPG;*.VOB"));
        QCOMPARE(request.filters.last().label, QStringLiteral("All files (*.*)"));
        QCOMPARE(form->Controller.Playlist.Entries, (QStringList{m_wav, m_mp3}));
        QVERIFY(!form->Controller.EngineActive()); // adding starts nothing
    }
    auto restarted = MakeForm();
    QCOMPARE(restarted->Controller.Playlist.Entries, (QStringList{m_wav, m_mp3}));
    QVERIFY(!restarted->Controller.AutoPlay);
}

void TestFormLorimel::enqueueAtStartJoinsTheSavedPlaylist() {
    m_home->write("Playlist.lpl", (m_mp3 + "\r\n").toUtf8());
    auto form = MakeForm({QStringLiteral("--enqueue"), m_wav});
    QCOMPARE(form->Controller.Playlist.Entries, (QStringList{m_mp3, m_wav}));
    QVERIFY(!form->Controller.AutoPlay);
}

void TestFormLorimel::formCloseWritesPlayModes() {
    auto form = MakeForm({m_mp3});
    QVERIFY(ShowAndActivate(*form));
    QVERIFY(WaitFor([&] { return Playing(*form); }));
    QSignalSpy closed(form.get(), &TFormLorimel::closed);
    form->Controller.RepeatMode = false;
    form->Controller.ShuffleMode = true;
    form->close();
    QCOMPARE(closed.size(), 1);
    QVERIFY(!form->Controller.EngineActive());
    const QString ini = QString::fromUtf8(m_home->read("Config/Lorimel.ini"));
    QVERIFY2(ini.contains(QLatin1String("Repeat=False")), qPrintable(ini));
    QVERIFY2(ini.contains(QLatin1String("Shuffle=True")), qPrintable(ini));
    // The next start takes them up.
    form.reset();
    auto next = MakeForm();
    QVERIFY(!next->Controller.RepeatMode);
    QVERIFY(next->Controller.ShuffleMode);
}

void TestFormLorimel::unknownPlayerFallsBackToDefault() {
    m_home->write("Config/Lorimel.ini", "[General]\nPlayer=Missing\n");
    auto form = MakeForm({m_wav});
    QVERIFY(ShowAndActivate(*form));
    QCOMPARE(m_dialogs->Messages().size(), 1);
    const TMessageBoxCall box = m_dialogs->Messages().first();
    QCOMPARE(box.kind, TMsgKind::Error);
    QCOMPARE(box.text, QStringLiteral("Impossibile caricare il modulo del player indicato. "
                                      "Verrà utilizzato il modulo standard."));
    QCOMPARE(box.title, QStringLiteral("Errore"));
    QVERIFY(WaitFor([&] { return form->Controller.Engine()->GetFileName() == m_wav; }));
    // The setting stays, so the next start tries the same player again.
    QVERIFY(m_home->read("Config/Lorimel.ini").contains("Player=Missing"));
}

void TestFormLorimel::handOffAddTrackReplacesThePlaylist() {
    QStringList many;
    for (int i = 0; i < 8; ++i)
        many << m_mp3;
    m_home->write("Playlist.lpl", (many.join("\r\n") + "\r\n").toUtf8());
    auto form = MakeForm();
    QVERIFY(ShowAndActivate(*form));
    form->Controller.Playlist.CurrentIndex = 5;
    form->Controller.PlayFromCurrent();
    QVERIFY(Playing(*form));
    const QByteArray saved = m_home->read("Playlist.lpl");

    form->AppEventsMessage(TMessageKind::AddTrack, m_mp3b);
    QCOMPARE(form->Controller.Playlist.Entries, QStringList{m_mp3b});
    QCOMPARE(form->Controller.Playlist.CurrentIndex, 0u);
    QCOMPARE(EngineFile(*form), m_mp3b);
    // The autosaved playlist is written at the next change through the windows.
    QCOMPARE(m_home->read("Playlist.lpl"), saved);
}

void TestFormLorimel::handOffOpenPlaylistAndEnqueue() {
    auto form = MakeForm();
    QVERIFY(ShowAndActivate(*form));
    const QString list = m_home->file("two.lpl");
    m_home->write("two.lpl", (m_mp3 + "\r\n" + m_wav + "\r\n").toUtf8());
    form->AppEventsMessage(TMessageKind::OpenPlaylist, list);
    QCOMPARE(form->Controller.Playlist.Entries, (QStringList{m_mp3, m_wav}));
    QVERIFY(Playing(*form));
    QCOMPARE(EngineFile(*form), m_mp3);
    QCOMPARE(form->MRUManager->Strings(), QStringList{list});

    const QByteArray saved = m_home->read("Playlist.lpl");
    form->AppEventsMessage(TMessageKind::EnqueueTrack, m_mp3b);
    QCOMPARE(form->Controller.Playlist.Entries, (QStringList{m_mp3, m_wav, m_mp3b}));
    QCOMPARE(form->Controller.Playlist.CurrentIndex, 0u);
    QCOMPARE(EngineFile(*form), m_mp3); // still the same track
    QCOMPARE(m_home->read("Playlist.lpl"), saved);
}

void TestFormLorimel::handOffBeforeTheEngineExistsPlaysOnceItDoes() {
    auto form = MakeForm();
    form->show();
    // The engine comes after the window is on screen, not while it shows.
    QVERIFY(!form->Controller.Engine());
    form->AppEventsMessage(TMessageKind::AddTrack, m_mp3b);
    QVERIFY(form->Controller.AutoPlay);
    QVERIFY(WaitFor([&] { return Playing(*form); }));
    QCOMPARE(EngineFile(*form), m_mp3b);
    QVERIFY(!form->Controller.AutoPlay);
}

void TestFormLorimel::trackInfo_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("bitRate");
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("track");
    QTest::newRow("mp3 without tag") << "short.mp3"
                                     << "32 kBit/s"
                                     << "22 kHz"
                                     << "(mpeg layer III)"
                                     << "0";
    QTest::newRow("wav after an mp3") << "tone.wav"
                                      << "0 kBit/s"
                                      << "0 kHz"
                                      << "(mpeg layer III)"
                                      << "";
}

void TestFormLorimel::trackInfo() {
    QFETCH(QString, file);
    QFETCH(QString, bitRate);
    QFETCH(QString, frequency);
    QFETCH(QString, kind);
    QFETCH(QString, track);
    auto form = MakeForm();
    // Start from what an earlier MP3 left.
    form->ShowTrackInfo(ReadTrackInfo(m_mp3b));
    form->TagTitolo->setText(QStringLiteral("left over"));
    const TTrackInfo info = ReadTrackInfo(Media(file));
    QVERIFY(!info.Failed());
    form->ShowTrackInfo(info);
    QCOMPARE(form->LabelBitRate->Caption(), bitRate);
    QCOMPARE(form->LabelFrequency->Caption(), frequency);
    QCOMPARE(form->LabelExtension->Caption(), kind);
    QCOMPARE(form->TagTraccia->Text(), track);
    for (TEdit* edit :
         {form->TagTitolo, form->TagArtista, form->TagAlbum, form->TagAnno, form->TagCommento})
        QVERIFY(edit->Text().isEmpty());
}

void TestFormLorimel::trayHintOfStartedTrack() {
    const QString tagged = Media(QStringLiteral("hint.mp3"));
    QFile::remove(tagged);
    QVERIFY(QFile::copy(m_mp3, tagged));
    WriteTag(tagged, QStringLiteral("The Artist"), QStringLiteral("The Title"));
    auto form = MakeForm({tagged, m_wav});
    QVERIFY(ShowAndActivate(*form));
    QVERIFY(WaitFor([&] { return Playing(*form); }));
    QCOMPARE(form->CoolTrayIcon->toolTip(), QStringLiteral("The Artist - The Title (0.04.00)"));
    QCOMPARE(form->PannelloTitolo->Caption(), QStringLiteral("The Title"));
    QCOMPARE(form->PannelloScorrevole->Lines(), QStringList{QStringLiteral("The Title")});
}

void TestFormLorimel::savedTagShowsAfterRestart() {
    const QString file = Media(QStringLiteral("save.mp3"));
    QFile::remove(file);
    QVERIFY(QFile::copy(m_mp3, file));
    auto form = MakeForm({file});
    QVERIFY(ShowAndActivate(*form));
    QVERIFY(WaitFor([&] { return Playing(*form); }));
    QCOMPARE(form->PannelloTitolo->Caption(), QStringLiteral("save.mp3"));
    form->TagTitolo->setText(QStringLiteral("Saved Title"));
    form->TagArtista->setText(QStringLiteral("Saved Artist"));
    form->TagTraccia->setText(QStringLiteral("7"));
    form->TagGenere->setText(QStringLiteral("rock")); // listed, any case
    form->ToggleTagPanel();
    QTest::mouseClick(form->BtnSaveTag, Qt::LeftButton);
    QCOMPARE(m_dialogs->Messages().size(), 0);
    QVERIFY(Playing(*form));
    // The restarted track re-read the file.
    QCOMPARE(form->PannelloTitolo->Caption(), QStringLiteral("Saved Title"));
    QCOMPARE(form->TagGenere->Text(), QStringLiteral("Rock"));
    QCOMPARE(form->TagTraccia->Text(), QStringLiteral("7"));
    QCOMPARE(form->CoolTrayIcon->toolTip(), QStringLiteral("Saved Artist - Saved Title (0.04.00)"));
    Tmp3Tag tag;
    tag.LoadFromFile(QFile::encodeName(file).toStdString());
    QCOMPARE(tag.Title(), std::string("Saved Title"));
    QCOMPARE(tag.Track(), 7);
}

void TestFormLorimel::saveTagWithWrongTrackNumber_data() {
    QTest::addColumn<QString>("track");
    QTest::newRow("empty") << "";
    QTest::newRow("3a") << "3a";
    QTest::newRow("beyond one byte") << "300";
}

void TestFormLorimel::saveTagWithWrongTrackNumber() {
    QFETCH(QString, track);
    const QString file = Media(QStringLiteral("wrong.mp3"));
    QFile::remove(file);
    QVERIFY(QFile::copy(m_mp3, file));
    const QByteArray before = FileBytes(file);
    auto form = MakeForm({file});
    QVERIFY(ShowAndActivate(*form));
    QVERIFY(WaitFor([&] { return Playing(*form); }));
    form->TagTitolo->setText(QStringLiteral("Never Saved"));
    form->TagTraccia->setText(track);
    form->BtnSaveTagClick();
    QCOMPARE(m_dialogs->Messages().size(), 1);
    QCOMPARE(m_dialogs->Messages().first().text, QStringLiteral("La traccia deve essere numerica"));
    QCOMPARE(m_dialogs->Messages().first().title, QStringLiteral("Errore formato"));
    QCOMPARE(FileBytes(file), before);
    QVERIFY(Playing(*form)); // playback starts again all the same
}

void TestFormLorimel::saveTagOnOtherFilesWritesNothing() {
    const QString file = Media(QStringLiteral("other.wav"));
    QFile::remove(file);
    QVERIFY(QFile::copy(m_wav, file));
    const QByteArray before = FileBytes(file);
    auto form = MakeForm({file});
    QVERIFY(ShowAndActivate(*form));
    QVERIFY(WaitFor([&] { return form->Controller.Engine()->GetFileName() == file; }));
    form->TagTitolo->setText(QStringLiteral("Title"));
    form->TagTraccia->setText(QStringLiteral("3a"));
    form->BtnSaveTagClick();
    QCOMPARE(m_dialogs->Messages().size(), 0);
    QCOMPARE(FileBytes(file), before);
    QCOMPARE(EngineFile(*form), file);
}

void TestFormLorimel::volumeMenuAndBar() {
    TFakeVolume* volume = nullptr;
    auto form = MakeForm({}, &volume, 11);
    QCOMPARE(form->Volume->Position(), 11);
    auto item = [&](const char* caption) {
        for (TMenuItem* v : std::as_const(form->VolumeItems))
            if (v->Caption() == QLatin1String(caption))
                return v;
        return static_cast<TMenuItem*>(nullptr);
    };
    QVERIFY(item("100%")->isChecked()); // before the first popup
    form->PlayMenuPopup();
    QVERIFY(item("20%")->isChecked());
    QVERIFY(!item("100%")->isChecked());
    form->Volume->setPosition(10);
    form->PlayMenuPopup();
    QVERIFY(item("0%")->isChecked());

    item("80%")->trigger();
    QCOMPARE(volume->Volume(), 80);
    QCOMPARE(form->Volume->Position(), 80);
    QVERIFY(item("80%")->isChecked());
    // Choosing the checked item again sets the volume and leaves none checked.
    volume->SetVolume(30);
    item("80%")->trigger();
    QCOMPARE(volume->Volume(), 80);
    for (TMenuItem* v : std::as_const(form->VolumeItems))
        QVERIFY(!v->isChecked());
    form->PlayMenuPopup();
    QVERIFY(item("80%")->isChecked());
    QCOMPARE(item("80%")->Tag(), -1);
}

void TestFormLorimel::trackMenuMarksCurrentEntry() {
    auto form = MakeForm();
    QVERIFY(ShowAndActivate(*form));
    form->Controller.Playlist.Entries = {m_mp3, m_mp3b, m_wav};
    form->Controller.Playlist.CurrentIndex = 1;
    form->PlayMenuPopup();
    const QList<QAction*> items = form->TracceMenu->actions();
    QCOMPARE(items.size(), 3);
    QStringList captions;
    QList<int> tags;
    for (QAction* a : items) {
        captions << a->text();
        tags << static_cast<TMenuItem*>(a)->Tag();
    }
    QCOMPARE(captions, (QStringList{"long.mp3", "short.mp3", "tone.wav"}));
    QCOMPARE(tags, (QList<int>{0, 3, 0}));
    items.at(0)->trigger();
    QCOMPARE(form->Controller.Playlist.CurrentIndex, 0u);
    QVERIFY(Playing(*form));
    // Rebuilt at each popup.
    form->PlayMenuPopup();
    QCOMPARE(form->TracceMenu->actions().size(), 3);
    QCOMPARE(static_cast<TMenuItem*>(form->TracceMenu->actions().at(0))->Tag(), 3);
}

void TestFormLorimel::minimiseKeepsTagPanelState_data() {
    QTest::addColumn<bool>("folded");
    QTest::newRow("folded") << true;
    QTest::newRow("unfolded") << false;
}

void TestFormLorimel::minimiseKeepsTagPanelState() {
    QFETCH(bool, folded);
    auto form = MakeForm();
    QVERIFY(ShowAndActivate(*form));
    if (!folded)
        form->ToggleTagPanel();
    QCOMPARE(form->PopupTray1->Caption(), QStringLiteral("Nascondi"));
    form->ButtonMinimizeClick();
    QCOMPARE(form->PopupTray1->Caption(), QStringLiteral("Mostra"));
    QCOMPARE(form->PopupTray2->Caption(), QStringLiteral("Mostra"));
    QCOMPARE(form->TagsOpenBeforeMinimise, !folded);
    form->PopupTray1->trigger(); // "Mostra" restores
    QCOMPARE(form->PopupTray1->Caption(), QStringLiteral("Nascondi"));
    QCOMPARE(form->TagPanelFolded(), folded);
    QCOMPARE(form->RollTags->Down(), folded);
    QCOMPARE(form->height(), folded ? TFormLorimel::ClientHeight - TFormLorimel::TagPanelHeight
                                    : TFormLorimel::ClientHeight);
}

void TestFormLorimel::titleMenuDisplayModes() {
    const QString tagged = Media(QStringLiteral("titled.mp3"));
    QFile::remove(tagged);
    QVERIFY(QFile::copy(m_mp3b, tagged));
    WriteTag(tagged, QString(), QStringLiteral("A Title"));
    auto form = MakeForm({tagged});
    form->Controller.ShowCurrentTitle();
    QCOMPARE(form->PannelloTitolo->Caption(), QStringLiteral("A Title"));
    form->PopVisualizzaNomeFile->trigger();
    QVERIFY(form->Controller.ShowFileNames);
    QCOMPARE(form->PannelloTitolo->Caption(), QStringLiteral("titled.mp3"));
    form->PopVisualizzaNomeTraccia->trigger();
    QCOMPARE(form->PannelloTitolo->Caption(), QStringLiteral("A Title"));
    // A click on the title switches to the scrolling display and back.
    QTest::mouseClick(form->PannelloTitolo, Qt::LeftButton);
    QVERIFY(form->PannelloScorrevole->isVisibleTo(form.get()));
    QVERIFY(form->PannelloScorrevole->Active());
    QTest::mouseClick(form->PannelloScorrevole, Qt::LeftButton);
    QVERIFY(!form->PannelloScorrevole->isVisibleTo(form.get()));
    QVERIFY(!form->PannelloScorrevole->Active());
}

void TestFormLorimel::pendingWindowsSayNotAvailable() {
    auto form = MakeForm();
    form->PopupOpzioni->trigger();
    form->PopupRipper->trigger();
    QCOMPARE(m_dialogs->Messages().size(), 2);
    for (const TMessageBoxCall& box : m_dialogs->Messages()) {
        QCOMPARE(box.kind, TMsgKind::Information);
        QCOMPARE(box.text, QStringLiteral("Questa funzione non è ancora disponibile."));
    }
}

void TestFormLorimel::keyboardAccess() {
    auto form = MakeForm({m_mp3});
    QVERIFY(ShowAndActivate(*form));
    QVERIFY(WaitFor([&] { return Playing(*form); }));
    QTest::keyClick(form.get(), Qt::Key_Space);
    QVERIFY(form->Controller.Paused);
    QVERIFY(form->ButtonPause->Down());
    QCOMPARE(form->Controller.Engine()->GetMode(), TMPMode::Paused);
    QTest::mouseClick(form->ButtonPause, Qt::LeftButton);
    QVERIFY(!form->Controller.Paused);
    QVERIFY(!form->ButtonPause->Down());
    QVERIFY(Playing(*form));
    // Arrows seek and change the volume.
    form->Controller.PlayerTimerTimer();
    QTest::keyClick(form.get(), Qt::Key_Right);
    QVERIFY(form->Controller.Engine()->GetPosition() >= 10000); // 5% of 4 minutes
    QTest::keyClick(form.get(), Qt::Key_Up);
    QCOMPARE(form->Volume->Position(), 55);
    QCOMPARE(form->VolumeControl()->Volume(), 55);
    QTest::keyClick(form.get(), Qt::Key_Down);
    QCOMPARE(form->VolumeControl()->Volume(), 50);
    // The menus open from the keyboard.
    QTest::keyClick(form.get(), Qt::Key_P, Qt::AltModifier);
    QVERIFY(WaitFor([&] { return form->PlayMenu->isVisible(); }));
    form->PlayMenu->close();
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(10, 10),
                              form->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(form.get(), &menuKey);
    QVERIFY(WaitFor([&] { return form->ConfigMenu->isVisible(); }));
    form->ConfigMenu->close();
    // Typing in a tag field keeps its blanks.
    form->ToggleTagPanel();
    form->TagTitolo->setFocus();
    QTest::keyClick(form->TagTitolo, Qt::Key_Space);
    QVERIFY(!form->Controller.Paused);
    QCOMPARE(form->TagTitolo->Text(), QStringLiteral(" "));
}

void TestFormLorimel::trayQuarterCommands() {
    auto form = MakeForm({m_mp3});
    form->Controller.Playlist.Entries << m_mp3b;
    QVERIFY(ShowAndActivate(*form));
    QVERIFY(WaitFor([&] { return Playing(*form); }));
    const QRect icon(100, 0, 16, 16);
    // Top right while playing: pause.
    form->TrayIconCommand(
        TrayIconForCursor(icon, QPoint(112, 3), form->Controller.EnginePlaying()));
    QVERIFY(form->Controller.Paused);
    QCOMPARE(form->Controller.Engine()->GetMode(), TMPMode::Paused);
    // Bottom right: next.
    form->TrayIconCommand(TrayIconForCursor(icon, QPoint(112, 12), false));
    QCOMPARE(form->Controller.Playlist.CurrentIndex, 1u);
    // Top left: stop.
    form->Controller.Playlist.CurrentIndex = 0;
    form->Controller.PlayFromCurrent();
    form->TrayIconCommand(TrayIconForCursor(icon, QPoint(101, 3), true));
    QVERIFY(!form->Controller.EngineActive());
}

QTEST_MAIN(TestFormLorimel)
#include "test_formlorimel.moc"
