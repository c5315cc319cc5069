// The playlist window: opening and closing, layout, colours and language,
// the counter, the play mode and view mode buttons, adding and removing,
// loading and saving through the dialogs, double click with its margins
// (the real engine plays short clips the tests write), resizing with the
// corner, placement, and files dropped from the file manager onto either
// window.
#include "app/formlorimel.h"
#include "app/formplaylist.h"
#include "appearance/colorscheme.h"
#include "common/appfakes.h"
#include "common/mediagen.h"
#include "common/testhome.h"
#include "common/widgets/recordingdialogs.h"
#include "media/mp3tag.h"
#include "playback/mmcplayer.h"
#include "support/supportlanguage.h"
#include "toolkit/flatwidgets.h"
#include "toolkit/mru.h"

#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <QtTest>

namespace {

QByteArray PlaylistBytes(const QStringList& entries) {
    QByteArray bytes;
    for (const QString& e : entries)
        bytes += e.toUtf8() + "\r\n";
    return bytes;
}

QStringList Checked(const TFlatCheckListBox* list) {
    QStringList checked;
    for (int i = 0; i < list->count(); ++i)
        if (list->Checked(i))
            checked << list->item(i)->text();
    return checked;
}

// Sends a drag carrying `files` and then its drop to a window; true when the
// window took the drag.
bool DropOn(QWidget* target, const QStringList& files) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& f : files)
        urls << QUrl::fromLocalFile(f);
    data.setUrls(urls);
    const QPoint at(target->width() / 2, target->height() / 2);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

void SendMouse(QWidget* w, QEvent::Type type, const QPoint& local, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(local), QPointF(w->mapToGlobal(local)), button, buttons,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

} // namespace

class TestFormPlaylist : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opensOnceAndClosingDestroys();
    void layout_data();
    void layout();
    void coloursAndLanguage();
    void counter_data();
    void counter();
    void playModeButtons();
    void viewModeShowsTitlesOrFileNames();
    void addAppendsAndAutosaves();
    void removeChecked_data();
    void removeChecked();
    void saveAndLoadRoundTrip_data();
    void saveAndLoadRoundTrip();
    void saveErrorGoesToErrorDialog();
    void doubleClick_data();
    void doubleClick();
    void resizeAndPlacement();
    void ripButtonSaysNotAvailable();
    void dropMediaAppends_data();
    void dropMediaAppends();
    void dropPlaylistLoads_data();
    void dropPlaylistLoads();

private:
    // A main window with `entries` in its playlist and its playlist window
    // open.
    std::unique_ptr<TFormLorimel> MakeMain(const QStringList& entries = {});
    QString Media(const QString& name) const { return m_media.filePath(name); }

    std::unique_ptr<TTestHome> m_home;
    std::unique_ptr<TRecordingDialogsScope> m_dialogs;
    QTemporaryDir m_media;
    QStringList m_clips; // three short tones
};

void TestFormPlaylist::initTestCase() {
    qputenv("LORIMEL_MPV_OPTIONS", "ao=null,vo=null");
    QVERIFY(m_media.isValid());
    for (const char* name : {"one.wav", "two.wav", "three.wav"}) {
        m_clips << Media(QLatin1String(name));
        QVERIFY(WriteSineWav(m_clips.last(), 0.3, 8000, 1));
    }
}

void TestFormPlaylist::init() {
    m_home = std::make_unique<TTestHome>();
    m_dialogs = std::make_unique<TRecordingDialogsScope>();
    SetCurrentLanguage(QString());
    ResetMessageTable();
}

void TestFormPlaylist::cleanup() {
    m_dialogs.reset();
    m_home.reset();
}

std::unique_ptr<TFormLorimel> TestFormPlaylist::MakeMain(const QStringList& entries) {
    auto form = std::make_unique<TFormLorimel>(QStringList{}, std::make_unique<TFakeVolume>());
    form->Controller.Playlist.Entries = entries;
    form->ButtonPlaylistClick();
    return form;
}

void TestFormPlaylist::opensOnceAndClosingDestroys() {
    auto form = MakeMain({QStringLiteral("/a.mp3")});
    QVERIFY(form->FormPlaylist);
    TFormPlaylist* first = form->FormPlaylist;
    QVERIFY(first->isVisible());
    QCOMPARE(first->objectName(), QStringLiteral("FormPlaylist"));
    QTest::mouseClick(form->ButtonPlaylist, Qt::LeftButton);
    QCOMPARE(form->FormPlaylist.data(), first);

    QTest::mouseClick(first->BtnClose, Qt::LeftButton);
    QVERIFY(WaitFor([&] { return form->FormPlaylist.isNull(); }));
    // The main window's refresh finds no window and does nothing.
    form->RefreshPlaylistWindow();
    form->ButtonPlaylistClick();
    QVERIFY(form->FormPlaylist);
    QCOMPARE(form->FormPlaylist->PlaylistView->Items(), QStringList{QStringLiteral("a.mp3")});
}

void TestFormPlaylist::layout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry"); // in window coordinates, design size
    QTest::newRow("title bar") << "BarraTitolo" << QRect(0, 0, 252, 17);
    QTest::newRow("close") << "BtnClose" << QRect(235, 2, 15, 14);
    QTest::newRow("view mode") << "BtnViewMode" << QRect(223, 22, 24, 20);
    QTest::newRow("add") << "BtnAggiungiTraccia" << QRect(7, 420, 25, 25);
    QTest::newRow("remove") << "BtnEliminaTraccia" << QRect(35, 420, 25, 25);
    QTest::newRow("repeat") << "BtnRepeat" << QRect(62, 420, 25, 25);
    QTest::newRow("shuffle") << "BtnShuffle" << QRect(89, 420, 25, 25);
    QTest::newRow("rip") << "BtnRipCD" << QRect(164, 420, 25, 25);
    QTest::newRow("load") << "BtnCaricaPlaylist" << QRect(192, 420, 25, 25);
    QTest::newRow("save") << "BtnSalvaPlaylist" << QRect(220, 420, 25, 25);
    QTest::newRow("resizer") << "PnlResizer" << QRect(247, 450, 5, 5);
}

void TestFormPlaylist::layout() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    auto form = MakeMain();
    TFormPlaylist* pl = form->FormPlaylist;
    pl->resize(TFormPlaylist::DesignWidth, TFormPlaylist::DesignHeight);
    auto* w = qobject_cast<QWidget*>(pl->FindComponent(name));
    QVERIFY(w);
    QCOMPARE(QRect(w->mapTo(pl, QPoint(0, 0)), w->size()), geometry);
    // The list fills the space between the counter and the button bar.
    QCOMPARE(pl->PlaylistView->mapTo(pl, QPoint(0, 0)), QPoint(5, 46));
    QCOMPARE(pl->PlaylistView->height(), 365);
}

void TestFormPlaylist::coloursAndLanguage() {
    m_home->write("CurrentColor.clr", "Face=1\nBorder=2\nButtonFace=3\nButtonFocus=4\n"
                                      "ButtonBorder=5\nScroll=6\nThumb=7\nTitle=8\nTextFont=9\n"
                                      "TitleFont=10\nTextBox=11\n");
    QFile lng(QStringLiteral(LORIMEL_SOURCE_DIR "/data/Langs/English.lng"));
    QVERIFY(lng.open(QIODevice::ReadOnly));
    m_home->write("Langs/English.lng", lng.readAll());
    m_home->write("Config/Lorimel.ini", "[General]\nLanguage=English\n");
    auto form = MakeMain({QStringLiteral("/a.mp3"), QStringLiteral("/b.mp3")});
    TFormPlaylist* pl = form->FormPlaylist;
    QCOMPARE(pl->FlatPanel1->Color(), TColor(11));
    QCOMPARE(pl->PannelloPlaylist->Color(), TColor(1));
    QCOMPARE(pl->BtnRepeat->ColorDown(), DarkenColor(3, 40));
    QCOMPARE(pl->BtnAggiungiTraccia->ColorDown(), TColor(3));
    QCOMPARE(pl->BarraTitolo->TitlebarColor(), TColor(8));
    QCOMPARE(pl->PlaylistView->Color(), TColor(11));
    // Translated at showing; the counter keeps the count.
    QCOMPARE(pl->BtnRepeat->Hint(), QStringLiteral("Repeat"));
    QCOMPARE(pl->BarraTitolo->Caption(), QStringLiteral("Lorimel - Playlist"));
    QCOMPARE(pl->LblNumeroTracce->Caption(), QStringLiteral("2 tracks"));
    QCOMPARE(m_dialogs->get()->Messages().size(), 0);
}

void TestFormPlaylist::counter_data() {
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << 0 << "0 tracce";
    QTest::newRow("one") << 1 << "1 tracce";
    QTest::newRow("ten") << 10 << "10 tracce";
}

void TestFormPlaylist::counter() {
    QFETCH(int, entries);
    QFETCH(QString, text);
    QStringList list;
    for (int i = 0; i < entries; ++i)
        list << QStringLiteral("/music/%1.mp3").arg(i);
    auto form = MakeMain(list);
    QCOMPARE(form->FormPlaylist->LblNumeroTracce->Caption(), text);
    QCOMPARE(form->FormPlaylist->PlaylistView->count(), entries);
}

void TestFormPlaylist::playModeButtons() {
    m_home->write("Config/Lorimel.ini", "[General]\nRepeat=False\nShuffle=True\n");
    auto form = MakeMain();
    TFormPlaylist* pl = form->FormPlaylist;
    QVERIFY(!pl->BtnRepeat->Down());
    QVERIFY(pl->BtnShuffle->Down());
    QTest::mouseClick(pl->BtnRepeat, Qt::LeftButton);
    QTest::mouseClick(pl->BtnShuffle, Qt::LeftButton);
    QVERIFY(form->Controller.RepeatMode);
    QVERIFY(!form->Controller.ShuffleMode);
    QTest::mouseClick(pl->BtnRepeat, Qt::LeftButton);
    QVERIFY(!form->Controller.RepeatMode);

    // The modes live in the main window: a new playlist window shows them.
    form->Controller.RepeatMode = true;
    form->Controller.ShuffleMode = true;
    pl->close();
    QVERIFY(WaitFor([&] { return form->FormPlaylist.isNull(); }));
    form->ButtonPlaylistClick();
    QVERIFY(form->FormPlaylist->BtnRepeat->Down());
    QVERIFY(form->FormPlaylist->BtnShuffle->Down());
}

void TestFormPlaylist::viewModeShowsTitlesOrFileNames() {
    const QString tagged = Media(QStringLiteral("tagged.mp3"));
    QVERIFY(WriteSineMp3(tagged, 0.5, 32));
    Tmp3Tag tag;
    tag.SetTitle("Canzone");
    tag.SaveToFile(QFile::encodeName(tagged).toStdString());
    auto form = MakeMain({tagged, m_clips.at(0)});
    TFormPlaylist* pl = form->FormPlaylist;
    QCOMPARE(pl->PlaylistView->Items(), (QStringList{"Canzone", "one.wav"}));
    pl->PlaylistView->setChecked(0, true);
    QTest::mouseClick(pl->BtnViewMode, Qt::LeftButton);
    QVERIFY(form->Controller.ShowFileNames);
    QCOMPARE(pl->PlaylistView->Items(), (QStringList{"tagged.mp3", "one.wav"}));
    QVERIFY(Checked(pl->PlaylistView).isEmpty());
    QTest::mouseClick(pl->BtnViewMode, Qt::LeftButton);
    QVERIFY(!form->Controller.ShowFileNames);
    QCOMPARE(pl->PlaylistView->item(0)->text(), QStringLiteral("Canzone"));
}

void TestFormPlaylist::addAppendsAndAutosaves() {
    auto form = MakeMain({QStringLiteral("/first.mp3")});
    form->Controller.Playlist.CurrentIndex = 0;
    TFormPlaylist* pl = form->FormPlaylist;
    (*m_dialogs)->QueueOpenAnswer(QStringList{m_clips.at(1), m_clips.at(0)});
    QTest::mouseClick(pl->BtnAggiungiTraccia, Qt::LeftButton);
    const QStringList expected{QStringLiteral("/first.mp3"), m_clips.at(1), m_clips.at(0)};
    QCOMPARE(form->Controller.Playlist.Entries, expected);
    QCOMPARE(form->Controller.Playlist.CurrentIndex, 0u);
    QCOMPARE(m_home->read("Playlist.lpl"), PlaylistBytes(expected));
    QCOMPARE(pl->PlaylistView->Items(), (QStringList{"first.mp3", "two.wav", "one.wav"}));
    QCOMPARE(pl->LblNumeroTracce->Caption(), QStringLiteral("3 tracce"));
    const TOpenDialogRequest& request = (*m_dialogs)->OpenRequests().last();
    QVERIFY(request.multiSelect);
    QVERIFY(request.filters.isEmpty());

    // A cancelled dialog changes nothing.
    QTest::mouseClick(pl->BtnAggiungiTraccia, Qt::LeftButton);
    QCOMPARE(form->Controller.Playlist.Entries, expected);
}

void TestFormPlaylist::removeChecked_data() {
    QTest::addColumn<QList<int>>("checked");
    QTest::addColumn<bool>("deleteKey");
    QTest::addColumn<QStringList>("left");
    const QStringList all{"a", "b", "c", "d", "e"};
    QTest::newRow("1 and 3, button") << QList<int>{1, 3} << false << QStringList{"a", "c", "e"};
    QTest::newRow("1 and 3, Delete key") << QList<int>{1, 3} << true << QStringList{"a", "c", "e"};
    QTest::newRow("first and last") << QList<int>{0, 4} << false << QStringList{"b", "c", "d"};
    QTest::newRow("all") << QList<int>{0, 1, 2, 3, 4} << true << QStringList{};
    QTest::newRow("none checked, selection ignored") << QList<int>{} << false << all;
}

void TestFormPlaylist::removeChecked() {
    QFETCH(QList<int>, checked);
    QFETCH(bool, deleteKey);
    QFETCH(QStringList, left);
    auto path = [](const QString& name) { return QStringLiteral("/m/%1.mp3").arg(name); };
    QStringList entries;
    for (const char* n : {"a", "b", "c", "d", "e"})
        entries << path(QLatin1String(n));
    auto form = MakeMain(entries);
    form->Controller.Playlist.CurrentIndex = 3;
    TFormPlaylist* pl = form->FormPlaylist;
    for (int row : checked)
        pl->PlaylistView->setChecked(row, true);
    // The highlighted line plays no part.
    pl->PlaylistView->setCurrentRow(2);
    if (deleteKey)
        QTest::keyClick(pl->PlaylistView, Qt::Key_Delete);
    else
        QTest::mouseClick(pl->BtnEliminaTraccia, Qt::LeftButton);

    QStringList expected;
    QStringList shown;
    for (const QString& n : left) {
        expected << path(n);
        shown << n + QStringLiteral(".mp3");
    }
    QCOMPARE(form->Controller.Playlist.Entries, expected);
    QCOMPARE(form->Controller.Playlist.CurrentIndex, 3u);
    QCOMPARE(pl->PlaylistView->Items(), shown);
    QVERIFY(Checked(pl->PlaylistView).isEmpty());
    QCOMPARE(pl->LblNumeroTracce->Caption(), QStringLiteral("%1 tracce").arg(left.size()));
    QCOMPARE(m_home->read("Playlist.lpl"), PlaylistBytes(expected));
}

void TestFormPlaylist::saveAndLoadRoundTrip_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("filter"); // the filter in force when the dialog closed
    QTest::addColumn<QString>("written");
    QTest::newRow("no extension: own format") << "party" << 0 << "party.LPL";
    QTest::newRow("no extension: m3u filter") << "party" << 1 << "party.M3U";
    QTest::newRow("m3u kept") << "party.m3u" << 0 << "party.m3u";
    QTest::newRow("lpl kept under the m3u filter") << "mix.LPL" << 1 << "mix.LPL";
    QTest::newRow("extension not at the end") << "a.m3u.txt" << 0 << "a.m3u.txt.LPL";
    QTest::newRow("extension not at the end, m3u filter") << "a.m3u.txt" << 1 << "a.m3u.txt.M3U";
}

void TestFormPlaylist::saveAndLoadRoundTrip() {
    QFETCH(QString, chosen);
    QFETCH(int, filter);
    QFETCH(QString, written);
    const QStringList entries{m_clips.at(0), QStringLiteral("relative/x.mp3"),
                              QStringLiteral("#EXTINF:1,odd")};
    auto form = MakeMain(entries);
    TFormPlaylist* pl = form->FormPlaylist;
    const QString folder = m_home->path();
    // An existing file is replaced without asking.
    m_home->write(written, "old\r\n");
    (*m_dialogs)->QueueSaveAnswer(folder + chosen, filter);
    QTest::mouseClick(pl->BtnSalvaPlaylist, Qt::LeftButton);
    const TSaveDialogRequest& save = (*m_dialogs)->SaveRequests().last();
    QCOMPARE(save.title, QStringLiteral("Save Playlist"));
    QCOMPARE(save.filters.size(), 2);
    QCOMPARE(save.filters.at(0).pattern, QStringLiteral("*.LPL"));
    QCOMPARE(save.filters.at(1).pattern, QStringLiteral("*.M3U"));
    QCOMPARE(save.filterIndex, 0);
    QCOMPARE(m_home->read(written), PlaylistBytes(entries));
    QCOMPARE(form->MRUManager->Strings().value(0), folder + written);

    form->Controller.Playlist.Entries = {QStringLiteral("/other.mp3")};
    form->RefreshPlaylistWindow();
    (*m_dialogs)->QueueOpenAnswer(QStringList{folder + written, QStringLiteral("/ignored.lpl")});
    QTest::mouseClick(pl->BtnCaricaPlaylist, Qt::LeftButton);
    const TOpenDialogRequest& load = (*m_dialogs)->OpenRequests().last();
    QCOMPARE(load.title, QStringLiteral("Load Playlist"));
    QCOMPARE(load.filters.size(), 2);
    QCOMPARE(load.filters.at(1).pattern, QStringLiteral("*.M3U"));
    QCOMPARE(form->Controller.Playlist.Entries, entries);
    QCOMPARE(pl->PlaylistView->count(), 3);
    QCOMPARE(pl->LblNumeroTracce->Caption(), QStringLiteral("3 tracce"));
    QCOMPARE(m_home->read("Playlist.lpl"), PlaylistBytes(entries));
    QCOMPARE(m_home->read("Playlist.tmp"), PlaylistBytes({QStringLiteral("/other.mp3")}));
    QCOMPARE((*m_dialogs)->Exceptions().size(), 0);
}

void TestFormPlaylist::saveErrorGoesToErrorDialog() {
    auto form = MakeMain({QStringLiteral("/a.mp3")});
    (*m_dialogs)->QueueSaveAnswer(m_home->path() + QStringLiteral("missing/folder/list"));
    QTest::mouseClick(form->FormPlaylist->BtnSalvaPlaylist, Qt::LeftButton);
    QCOMPARE((*m_dialogs)->Exceptions().size(), 1);
    QVERIFY(form->MRUManager->Strings().isEmpty());
    QCOMPARE(form->Controller.Playlist.Entries, QStringList{QStringLiteral("/a.mp3")});
}

void TestFormPlaylist::doubleClick_data() {
    QTest::addColumn<QString>("where");
    QTest::addColumn<int>("played"); // -1: nothing starts
    QTest::newRow("on the third line") << "row2" << 2;
    QTest::newRow("in the top margin") << "top" << -1;
    QTest::newRow("in the bottom margin") << "bottom" << -1;
}

void TestFormPlaylist::doubleClick() {
    QFETCH(QString, where);
    QFETCH(int, played);
    auto form = MakeMain(m_clips);
    form->Controller.SetEngine(std::make_unique<TMMCPlayer>(form->PannelloScorrimento, nullptr,
                                                            form->Controller.NotifyHandler()));
    form->Controller.Playlist.CurrentIndex = 1;
    TFormPlaylist* pl = form->FormPlaylist;
    QVERIFY(QTest::qWaitForWindowExposed(pl));
    pl->PlaylistView->setCurrentRow(1);
    QWidget* viewport = pl->PlaylistView->viewport();
    const QPoint offset = viewport->mapTo(pl->PlaylistView, QPoint(0, 0));
    QPoint at;
    if (where == QLatin1String("row2"))
        at = pl->PlaylistView->visualItemRect(pl->PlaylistView->item(2)).center();
    else if (where == QLatin1String("top"))
        at = QPoint(20, TFormPlaylist::DblClickMargin - offset.y());
    else
        at = QPoint(20, pl->PlaylistView->height() - TFormPlaylist::DblClickMargin - offset.y());
    // A double click is a click (which selects the line under the cursor)
    // followed by the double-click event.
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, at);
    TBasePlayer* engine = form->Controller.Engine();
    if (played < 0) {
        QCOMPARE(form->Controller.Playlist.CurrentIndex, 1u);
        QVERIFY(engine->GetMode() != TMPMode::Playing);
        QVERIFY(engine->GetFileName().isEmpty());
    } else {
        QCOMPARE(form->Controller.Playlist.CurrentIndex, quint32(played));
        QCOMPARE(engine->GetFileName(), m_clips.at(played));
    }
    form->Controller.StopPlayback();
}

void TestFormPlaylist::resizeAndPlacement() {
    auto form = MakeMain();
    TFormPlaylist* pl = form->FormPlaylist;
    QVERIFY(QTest::qWaitForWindowExposed(pl));
    const QSize before = pl->size();
    TPanel* corner = pl->PnlResizer;
    const QPoint grip(2, 2);
    SendMouse(corner, QEvent::MouseButtonPress, grip, Qt::LeftButton, Qt::LeftButton);
    // The corner stays where it was until the button is released; every
    // move is measured from where the drag started.
    SendMouse(corner, QEvent::MouseMove, grip + QPoint(30, 10), Qt::NoButton, Qt::LeftButton);
    SendMouse(corner, QEvent::MouseMove, grip + QPoint(40, 20), Qt::NoButton, Qt::LeftButton);
    SendMouse(corner, QEvent::MouseButtonRelease, grip, Qt::LeftButton, Qt::NoButton);
    const QSize grown = before + QSize(40, 20);
    QCOMPARE(pl->size(), grown);
    QCOMPARE(corner->geometry(),
             QRect(pl->PannelloPlaylist->width() - 5, pl->PannelloPlaylist->height() - 5, 5, 5));
    QCOMPARE(pl->BtnClose->x(), grown.width() - 17);
    QCOMPARE(pl->PlaylistView->width(), grown.width() - 10);

    // Closing keeps the size; the next window comes back with it.
    pl->close();
    QVERIFY(WaitFor([&] { return form->FormPlaylist.isNull(); }));
    form->ButtonPlaylistClick();
    QCOMPARE(form->FormPlaylist->size(), grown);
    QVERIFY(form->FormPlaylist->FormPlacement->StoreState());
}

void TestFormPlaylist::ripButtonSaysNotAvailable() {
    auto form = MakeMain();
    QTest::mouseClick(form->FormPlaylist->BtnRipCD, Qt::LeftButton);
    QCOMPARE((*m_dialogs)->Messages().size(), 1);
    QCOMPARE((*m_dialogs)->Messages().first().text,
             QStringLiteral("Questa funzione non è ancora disponibile."));
}

void TestFormPlaylist::dropMediaAppends_data() {
    QTest::addColumn<bool>("onMainWindow");
    QTest::newRow("playlist window") << false;
    QTest::newRow("main window") << true;
}

void TestFormPlaylist::dropMediaAppends() {
    QFETCH(bool, onMainWindow);
    auto form = MakeMain({QStringLiteral("/first.mp3")});
    TFormPlaylist* pl = form->FormPlaylist;
    QWidget* target = onMainWindow ? static_cast<QWidget*>(form.get()) : pl;
    // A folder in the drop is passed over.
    QVERIFY(DropOn(target, {m_clips.at(0), m_media.path(), m_clips.at(2)}));
    const QStringList expected{QStringLiteral("/first.mp3"), m_clips.at(0), m_clips.at(2)};
    QCOMPARE(form->Controller.Playlist.Entries, expected);
    QCOMPARE(m_home->read("Playlist.lpl"), PlaylistBytes(expected));
    QCOMPARE(pl->PlaylistView->Items(), (QStringList{"first.mp3", "one.wav", "three.wav"}));
    // Nothing local: the drag is refused.
    QVERIFY(!DropOn(target, {}));
    QCOMPARE(form->Controller.Playlist.Entries, expected);
}

void TestFormPlaylist::dropPlaylistLoads_data() {
    QTest::addColumn<bool>("onMainWindow");
    QTest::newRow("playlist window") << false;
    QTest::newRow("main window") << true;
}

void TestFormPlaylist::dropPlaylistLoads() {
    QFETCH(bool, onMainWindow);
    auto form = MakeMain({QStringLiteral("/first.mp3")});
    form->Controller.Playlist.CurrentIndex = 0;
    TFormPlaylist* pl = form->FormPlaylist;
    const QString m3u = Media(QStringLiteral("dropped.m3u"));
    {
        QFile f(m3u);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#EXTM3U\n" + m_clips.at(1).toUtf8() + "\n" + m_clips.at(0).toUtf8());
    }
    QVERIFY(DropOn(onMainWindow ? static_cast<QWidget*>(form.get()) : pl, {m3u}));
    const QStringList expected{QStringLiteral("#EXTM3U"), m_clips.at(1), m_clips.at(0)};
    QCOMPARE(form->Controller.Playlist.Entries, expected);
    QCOMPARE(form->Controller.Playlist.CurrentIndex, 0u);
    QCOMPARE(m_home->read("Playlist.lpl"), PlaylistBytes(expected));
    QCOMPARE(pl->PlaylistView->count(), 3);
    QCOMPARE(form->MRUManager->Strings().value(0), m3u);
    QVERIFY(!form->Controller.EngineActive());
}

QTEST_MAIN(TestFormPlaylist)
#include "test_formplaylist.moc"
