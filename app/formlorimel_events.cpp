// The main window's start-up, hand-off and closing, and the handlers of its
// buttons, bars and keys.
#include "app/aboutbox.h"
#include "app/formcommandpanel.h"
#include "app/formlorimel.h"
#include "app/volumecontrol.h"
#include "appearance/colorscheme.h"
#include "platform/singleinstance.h"
#include "playback/dllplayer.h"
#include "playback/mmcplayer.h"
#include "support/configurazione.h"
#include "support/programfolder.h"
#include "support/supportlanguage.h"
#include "toolkit/application.h"
#include "toolkit/flatwidgets.h"
#include "toolkit/messages.h"
#include "toolkit/mru.h"
#include "toolkit/translation.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QShortcut>
#include <QSystemTrayIcon>
#include <QTimer>
#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr int kPlayerTimerMs = 1000;
constexpr int kFullScreenTimerMs = 1000;
constexpr int kAsyncDeinitTimerMs = 5000;
constexpr int kSeekStep = 5;
constexpr int kVolumeStep = 5;

QString GeneralKey(const char* key) {
    return QLatin1String(key);
}
QString General() {
    return QLatin1String(Settings::General);
}

// The open dialog's file types, the first one selected.
QList<TFileFilter> MediaFilters() {
    static constexpr std::array<std::pair<const char*, const char*>, 12> kFilters = {{
        {"Media files (*.MP3;*.OGG;*.WMA;*.WAV;*.MP2;*.AVI;*.MPEG;*.MPG;*.VOB)",
         "*.MP3;*.OGG;*.WMA;*.WAV;*.MP2;*.AVI;*.MPEG;*.MPG;*.VOB"},
        {"Audio files (*.MP3;*.OGG;*.WMA;*.WAV;*.MP2)", "*.MP3;*.OGG;*.WMA;*.WAV;*.MP2"},
        {"Video files (*.AVI;*.MPEG;*.MPG;*.VOB)", "*.AVI;*.MPEG;*.MPG;*.VOB"},
        {"MP3 files (*.MP3)", "*.MP3"},
        {"WAV files (*.WAV)", "*.WAV"},
        {"OGG files (*.OGG)", "*.OGG"},
        {"WMA files (*.WMA)", "*.WMA"},
        {"AVI files (*.AVI)", "*.AVI"},
        {"MPG files (*.MPG;*.MPEG)", "*.MPG;*.MPEG"},
        {"VOB files (*.VOB)", "*.VOB"},
        {"MOV files (*.MOV)", "*.MOV"},
        {"All files (*.*)", "*.*"},
    }};
    QList<TFileFilter> filters;
    for (const auto& [label, pattern] : kFilters)
        filters.append({QLatin1String(label), QLatin1String(pattern)});
    return filters;
}

} // namespace

void TFormLorimel::ConnectControls() {
    connect(ButtonClose, &QAbstractButton::clicked, this, &QWidget::close);
    connect(ButtonMinimize, &QAbstractButton::clicked, this, &TFormLorimel::ButtonMinimizeClick);
    connect(RollTags, &QAbstractButton::clicked, this, [this] { LayoutHeights(); });
    connect(ButtonPlay, &QAbstractButton::clicked, this, [this] { Controller.PlayClick(); });
    connect(ButtonPrev, &QAbstractButton::clicked, this, [this] { Controller.PrevClick(); });
    connect(ButtonNext, &QAbstractButton::clicked, this, [this] { Controller.NextClick(); });
    connect(ButtonPause, &QAbstractButton::clicked, this, [this] { Controller.PauseClick(); });
    connect(ButtonStop, &QAbstractButton::clicked, this, [this] { Controller.StopClick(); });
    connect(ButtonAddToPlaylist, &QAbstractButton::clicked, this, &TFormLorimel::PopupAddClick);
    connect(ButtonPlaylist, &QAbstractButton::clicked, this, &TFormLorimel::ButtonPlaylistClick);
    connect(ButtonRec, &QAbstractButton::clicked, this, &TFormLorimel::NotAvailableYet);
    connect(ButtonSplash, &QAbstractButton::clicked, this, &TFormLorimel::ButtonSplashClick);
    connect(BtnSaveTag, &QAbstractButton::clicked, this, &TFormLorimel::BtnSaveTagClick);
    connect(Posizione, &TFlatScrollbar::scroll, this,
            [this](int value) { Controller.PosizioneScroll(value); });
    connect(Volume, &TFlatScrollbar::scroll, this,
            [this](int value) { m_volume->SetVolume(value); });
    connect(PannelloTitolo, &TFlatPanel::clicked, this, [this] {
        if (m_scrollingJustClicked)
            return;
        PannelloScorrevole->show();
        PannelloScorrevole->setActive(true);
    });
    connect(PannelloScorrevole, &TSecretPanel::clicked, this, [this] {
        PannelloScorrevole->setActive(false);
        PannelloScorrevole->hide();
        // The same click reaches the title panel underneath next; it must
        // not bring the scrolling display straight back.
        m_scrollingJustClicked = true;
        QTimer::singleShot(0, this, [this] { m_scrollingJustClicked = false; });
    });

    PlayerTimer = new QTimer(this);
    PlayerTimer->setObjectName(QStringLiteral("PlayerTimer"));
    PlayerTimer->setInterval(kPlayerTimerMs);
    connect(PlayerTimer, &QTimer::timeout, this, [this] { Controller.PlayerTimerTimer(); });
    PlayerTimer->start();
    // Full screen and the unloading of the CD ripper library attach to
    // these two.
    FullScreenTimer = new QTimer(this);
    FullScreenTimer->setObjectName(QStringLiteral("FullScreenTimer"));
    FullScreenTimer->setInterval(kFullScreenTimerMs);
    AsyncDeinitTimer = new QTimer(this);
    AsyncDeinitTimer->setObjectName(QStringLiteral("AsyncDeinitTimer"));
    AsyncDeinitTimer->setInterval(kAsyncDeinitTimerMs);
    AsyncDeinitTimer->start();

    // Keys of the window (an edit box keeps the keys it edits with).
    auto shortcut = [this](QKeySequence key, auto action) {
        auto* s = new QShortcut(key, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, action);
    };
    shortcut(QKeySequence(Qt::Key_Space), [this] { Controller.PauseClick(); });
    shortcut(QKeySequence(Qt::Key_Left), [this] { SeekBy(-kSeekStep); });
    shortcut(QKeySequence(Qt::Key_Right), [this] { SeekBy(kSeekStep); });
    shortcut(QKeySequence(Qt::Key_Up), [this] { VolumeBy(kVolumeStep); });
    shortcut(QKeySequence(Qt::Key_Down), [this] { VolumeBy(-kVolumeStep); });
    shortcut(QKeySequence(Qt::ALT | Qt::Key_P), [this] { PopupAt(PlayMenu, PannelloTitolo); });
    shortcut(QKeySequence(Qt::ALT | Qt::Key_T), [this] { PopupAt(TitleMenu, PannelloTitolo); });

    qApp->installEventFilter(this);
    // Files dragged from the file manager join the playlist.
    setAcceptDrops(true);
}

void TFormLorimel::SeekBy(int delta) {
    const int target = std::clamp(Posizione->Position() + delta, 0, 100);
    Controller.PosizioneScroll(target);
}

void TFormLorimel::VolumeBy(int delta) {
    const int target = std::clamp(Volume->Position() + delta, 0, 100);
    m_volume->SetVolume(target);
    Volume->setPosition(target);
}

bool TFormLorimel::eventFilter(QObject* watched, QEvent* e) {
    // "Hints" off silences the tool tips of the whole program.
    if (!m_hintsEnabled && e->type() == QEvent::ToolTip)
        return true;
    return TForm::eventFilter(watched, e);
}

void TFormLorimel::FormCreate(const QStringList& arguments) {
    Controller.AutoPlay = false;
    ApplySchemeToForm(this, CurrentSchemePath());
    // The window starts with the tags folded away.
    RollTags->setDown(true);
    LayoutHeights();
    RegisterOggWithMpegVideo();
    ReadGeneralSettings();
    SetHideItemCaptions(LabelHide->Caption());
    LoadStartupPlaylist(arguments);
}

void TFormLorimel::ReadGeneralSettings() {
    m_hintsEnabled = ConfigReadBool(General(), GeneralKey(Settings::Hints), true);
    Controller.HideOnVideo = ConfigReadBool(General(), GeneralKey(Settings::HideOnVideo), false);
    Controller.RepeatMode = ConfigReadBool(General(), GeneralKey(Settings::Repeat), true);
    Controller.ShuffleMode = ConfigReadBool(General(), GeneralKey(Settings::Shuffle), false);
    LoadLanguageSetting();
}

void TFormLorimel::LoadLanguageSetting() {
    SetCurrentLanguage(ConfigReadString(General(), GeneralKey(Settings::Language), QString()));
    if (!CurrentLanguage().isEmpty())
        TranslateForLanguage(this, CurrentLanguage());
}

TPlaylistHooks TFormLorimel::PlaylistHooks() {
    TPlaylistHooks hooks;
    hooks.AddRecent = [this](const QString& fileName) {
        try {
            MRUManager->Add(fileName);
        } catch (...) {
            // The recent list is a convenience: a settings file that cannot
            // be written does not undo the load.
        }
    };
    hooks.Refresh = [this] { RefreshPlaylistWindow(); };
    return hooks;
}

void TFormLorimel::LoadStartupPlaylist(const QStringList& arguments) {
    TPlaylist& playlist = Controller.Playlist;
    playlist.Entries.clear();
    const QString first = arguments.value(0);
    if (first.isEmpty()) {
        playlist.Entries = ReadAutoPlaylist();
    } else if (first == QLatin1String("--enqueue")) {
        // Enqueued while no player ran: the files join the saved playlist,
        // and nothing starts.
        playlist.Entries = ReadAutoPlaylist();
        for (const QString& file : arguments.mid(1))
            if (!file.isEmpty())
                playlist.Entries.append(file);
    } else {
        if (IsPlaylistFile(first)) {
            try {
                LoadPlaylistFile(playlist, first, PlaylistHooks());
            } catch (...) {
                TApplication::ShowCurrentException();
            }
        } else {
            playlist.Entries.append(first);
        }
        Controller.AutoPlay = true;
    }
    playlist.CurrentIndex = 0;
    Volume->setPosition(std::clamp(m_volume->Volume(), 0, 100));
}

void TFormLorimel::CreateEngine(const QString& playerName) {
    if (playerName != QLatin1String("Default")) {
        try {
            // The library reports a load failure itself; a library lacking
            // an entry point only raises, and the message below says it all.
            // Both engines draw into the video window's display.
            Controller.SetEngine(std::make_unique<TDllPlayer>(
                ProgramSubfolder(QStringLiteral("Players")) + playerName + QStringLiteral(".so"),
                this, VideoDisplay(), Controller.NotifyHandler()));
            return;
        } catch (...) {
            // The setting stays: the next start tries the same library.
            ShowErrorByKeys(QStringLiteral("MSG_CANT_INIT_PLAYER"),
                            QStringLiteral("Impossibile caricare il modulo del player indicato. "
                                           "Verrà utilizzato il modulo standard."),
                            QStringLiteral("TTL_ERRORE"), QStringLiteral("Errore"));
        }
    }
    Controller.SetEngine(std::make_unique<TMMCPlayer>(PannelloScorrimento, VideoDisplay(),
                                                      Controller.NotifyHandler()));
}

void TFormLorimel::showEvent(QShowEvent* e) {
    TForm::showEvent(e);
    if (!EngineCreated) {
        // The tray icon and the engine are made once the window is on
        // screen: loading the playback library takes longer than building
        // the whole window, and the tray is asked for over the session bus.
        // Until the engine exists every command finds none and does nothing;
        // a file given at start or handed over meanwhile keeps AutoPlay set
        // and plays below. (A window shown again before this ran queues one
        // more activation, which finds the engine made.)
        //
        // The first showing counts as an activation too: without a window
        // manager (a bare X server, some kiosk sessions) the window is never
        // activated, and a file given at start must still play. FormActivate
        // clears AutoPlay, so a real activation that follows plays nothing
        // twice.
        QTimer::singleShot(0, this, [this] {
            if (!EngineCreated) {
                if (QSystemTrayIcon::isSystemTrayAvailable())
                    CoolTrayIcon->show();
                CreateEngine(ConfigReadString(General(), GeneralKey(Settings::Player),
                                              QStringLiteral("Default")));
                EngineCreated = true;
            }
            activateWindow();
            FormActivate();
        });
    }
}

bool TFormLorimel::event(QEvent* e) {
    const bool result = TForm::event(e);
    if (e->type() == QEvent::WindowActivate)
        FormActivate();
    return result;
}

void TFormLorimel::FormActivate() {
    // Before the engine exists (the window has just been shown) a file to
    // play stays pending: the activation that follows its creation plays it.
    if (!Controller.AutoPlay || !Controller.Engine())
        return;
    Controller.AutoPlay = false;
    Controller.PlayFromCurrent();
}

void TFormLorimel::AppEventsMessage(TMessageKind kind, const QString& path) {
    TPlaylist& playlist = Controller.Playlist;
    switch (kind) {
    case TMessageKind::OpenPlaylist:
        try {
            LoadPlaylistFile(playlist, path, PlaylistHooks());
        } catch (...) {
            TApplication::ShowCurrentException();
        }
        break;
    case TMessageKind::AddTrack:
        playlist.Entries = QStringList{path};
        break;
    case TMessageKind::EnqueueTrack:
        playlist.Entries.append(path);
        RefreshPlaylistWindow();
        return;
    }
    playlist.CurrentIndex = 0;
    Controller.AutoPlay = true;
    FormActivate();
}

void TFormLorimel::closeEvent(QCloseEvent* e) {
    // The video window and the command panel close with the program; the
    // main window, closing, does not come back for them.
    m_hiddenForVideo = false;
    LeaveFullScreen();
    if (FormCommandPanel && FormCommandPanel->isVisible())
        FormCommandPanel->close();
    if (FormVideo && FormVideo->isVisible())
        FormVideo->close();
    try {
        Controller.StopPlayback();
        ConfigWriteBool(General(), GeneralKey(Settings::Repeat), Controller.RepeatMode);
        ConfigWriteBool(General(), GeneralKey(Settings::Shuffle), Controller.ShuffleMode);
    } catch (...) {
        // Closing always completes.
    }
    CoolTrayIcon->hide();
    e->accept();
    TForm::closeEvent(e);
    emit closed();
}

void TFormLorimel::PopupAddClick() {
    TOpenDialogRequest request;
    request.filters = MediaFilters();
    request.filterIndex = 0;
    request.multiSelect = true;
    const TOpenDialogResult chosen = Dialogs().OpenFiles(request);
    if (!chosen.accepted())
        return;
    Controller.Playlist.Entries.append(chosen.files);
    try {
        SaveAutoPlaylist(Controller.Playlist);
    } catch (...) {
        TApplication::ShowCurrentException();
    }
    RefreshPlaylistWindow();
}

void TFormLorimel::BtnSaveTagClick() {
    Controller.StopPlayback();
    TBasePlayer* engine = Controller.Engine();
    if (!engine)
        return;
    QString fileName;
    try {
        engine->Close();
    } catch (...) {
    }
    try {
        fileName = engine->GetFileName();
    } catch (...) {
    }
    TTagFields fields;
    fields.Title = TagTitolo->Text();
    fields.Artist = TagArtista->Text();
    fields.Album = TagAlbum->Text();
    fields.Year = TagAnno->Text();
    fields.Track = TagTraccia->Text();
    fields.Comment = TagCommento->Text();
    fields.Genre = TagGenere->Text();
    try {
        if (SaveTrackTag(fileName, fields) == TSaveTagResult::WrongTrack)
            ShowWrongTrackFormat();
    } catch (...) {
        TApplication::ShowCurrentException();
        return;
    }
    Controller.PlayFromCurrent();
}

void TFormLorimel::NotAvailableYet() {
    ShowMessageBox(TMsgKind::Information,
                   Translate(QStringLiteral("MSG_NOTAVAILABLE"),
                             QStringLiteral("Questa funzione non è ancora disponibile.")),
                   Translate(QStringLiteral("TTL_INFORMAZIONE"), QStringLiteral("Informazione")),
                   mbOK);
}

void TFormLorimel::ButtonSplashClick() {
    TFormAboutBox::Execute(this);
}

void TFormLorimel::ButtonPlaylistClick() {
    if (!FormPlaylist) {
        FormPlaylist = new TFormPlaylist(*this, this);
        PlaylistWindowRefresh = [this] {
            if (FormPlaylist)
                FormPlaylist->RefreshPlaylistView();
        };
    }
    FormPlaylist->show();
    FormPlaylist->raise();
    FormPlaylist->activateWindow();
}

void TFormLorimel::StartCdRipper() {
    NotAvailableYet();
}

void TFormLorimel::DropFiles(const QStringList& paths) {
    TPlaylist& playlist = Controller.Playlist;
    bool appended = false;
    for (const QString& path : paths) {
        if (IsPlaylistFile(path)) {
            // Media dropped before a playlist file are replaced by its
            // entries; the load saves the autosaved playlist itself.
            appended = false;
            try {
                LoadPlaylistFile(playlist, path, PlaylistHooks());
            } catch (...) {
                TApplication::ShowCurrentException();
            }
        } else {
            playlist.Entries.append(path);
            appended = true;
        }
    }
    if (!appended)
        return;
    try {
        SaveAutoPlaylist(playlist);
    } catch (...) {
        TApplication::ShowCurrentException();
    }
    RefreshPlaylistWindow();
}

void TFormLorimel::dragEnterEvent(QDragEnterEvent* e) {
    if (!DroppedFiles(e->mimeData()).isEmpty())
        e->acceptProposedAction();
}

void TFormLorimel::dropEvent(QDropEvent* e) {
    const QStringList files = DroppedFiles(e->mimeData());
    if (files.isEmpty())
        return;
    e->acceptProposedAction();
    DropFiles(files);
}
