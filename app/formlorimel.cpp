#include "app/formlorimel.h"

#include "app/formcommandpanel.h"
#include "app/glyphs.h"
#include "app/hotkeybackend.h"
#include "app/volumecontrol.h"
#include "appearance/colorscheme.h"
#include "support/configurazione.h"
#include "support/supportlanguage.h"
#include "toolkit/flatwidgets.h"
#include "toolkit/formplacement.h"
#include "toolkit/translation.h"

#include <QCursor>
#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {

constexpr int kTitleBarHeight = 17;
constexpr int kFrame = 4; // work panel's 1-pixel frame and 3-pixel margin
constexpr int kContentWidth = TFormLorimel::ClientWidth - 2 * kFrame; // 244
constexpr int kTitleStripHeight = 39;
constexpr int kScrollAreaHeight = 47;
constexpr int kButtonStripHeight = 24;

void SetGlyph(TFlatButton* button, TGlyph glyph, int size) {
    button->setIcon(GlyphIcon(glyph, size));
    button->setIconSize(QSize(size, size));
}

} // namespace

TFormLorimel::TFormLorimel(const QStringList& arguments, std::unique_ptr<IVolumeControl> volume,
                           QWidget* parent)
    : TForm(parent, Qt::Window | Qt::FramelessWindowHint), Controller(*this),
      m_volume(volume ? std::move(volume) : CreateSystemVolumeControl()), m_arguments(arguments) {
    setObjectName(QStringLiteral("FormLorimel"));
    setCaption(QStringLiteral("Lorimel"));
    ConfigInit(QStringLiteral("Lorimel"));
    BuildControls();
    FormPlacement = Create<TFormPlacement>(QStringLiteral("FormPlacement"), this);
    BindFormPlacement(FormPlacement, this);
    EngineCreated = false;
    BuildMenus();
    BuildTray();
    ConnectControls();
    FormCreate(arguments);
    CreateVideoWindows();
}

TFormLorimel::~TFormLorimel() {
    // The engine's end-of-media calls reach the controller: it goes first.
    Controller.SetEngine(nullptr);
}

void TFormLorimel::BuildControls() {
    QFont dialogFont = font();
    dialogFont.setPointSize(8);
    setFont(dialogFont);
    setFixedWidth(ClientWidth);

    TitleBar = Create<TFlatTitlebar>(QStringLiteral("TitleBar"), this);
    TitleBar->setCaption(QStringLiteral("Lorimel"));
    TitleBar->setGeometry(0, 0, ClientWidth, kTitleBarHeight);
    ButtonMinimize = Create<TFlatButton>(QStringLiteral("ButtonMinimize"), TitleBar);
    ButtonMinimize->setGeometry(217, 2, 15, 14);
    SetGlyph(ButtonMinimize, TGlyph::Minimize, 9);
    ButtonClose = Create<TFlatButton>(QStringLiteral("ButtonClose"), TitleBar);
    ButtonClose->setGeometry(234, 2, 15, 14);
    SetGlyph(ButtonClose, TGlyph::Close, 9);

    PannelloPrincipale = Create<TFlatPanel>(QStringLiteral("PannelloPrincipale"), this);
    QWidget* work = PannelloPrincipale;

    // Title strip.
    PannelloTitolo = Create<TFlatPanel>(QStringLiteral("PannelloTitolo"), work);
    PannelloTitolo->setTag(1);
    PannelloTitolo->setCaption(QStringLiteral("No Playback"));
    PannelloTitolo->setGeometry(kFrame, kFrame, 202, 21);
    PannelloScorrevole = Create<TSecretPanel>(QStringLiteral("PannelloScorrevole"), PannelloTitolo);
    PannelloScorrevole->setGeometry(1, 1, 200, 19);
    PannelloScorrevole->hide();
    ButtonAddToPlaylist = Create<TFlatButton>(QStringLiteral("ButtonAddToPlaylist"), work);
    ButtonAddToPlaylist->setGeometry(kFrame + 204, kFrame, 19, 21);
    SetGlyph(ButtonAddToPlaylist, TGlyph::Add, 9);
    ButtonAddToPlaylist->setHint(QStringLiteral("Aggiungi file alla playlist"));
    ButtonPlaylist = Create<TFlatButton>(QStringLiteral("ButtonPlaylist"), work);
    ButtonPlaylist->setGeometry(kFrame + 225, kFrame, 19, 21);
    SetGlyph(ButtonPlaylist, TGlyph::Playlist, 9);
    ButtonPlaylist->setHint(QStringLiteral("Mostra la playlist"));
    RollTags = Create<TFlatButton>(QStringLiteral("RollTags"), work);
    RollTags->setGeometry(kFrame, kFrame + 24, kContentWidth, 12);
    SetGlyph(RollTags, TGlyph::Roll, 8);
    RollTags->setSticky(true);
    RollTags->setHint(QStringLiteral("Mostra/Nascondi i tag"));

    // Tag panel.
    PannelloTagsBox = Create<TPanel>(QStringLiteral("PannelloTagsBox"), work);
    PannelloTagsBox->setBevel(false);
    PannelloTags = Create<TPanel>(QStringLiteral("PannelloTags"), PannelloTagsBox);
    PannelloTags->setBevel(false);
    PannelloTags->setGeometry(0, 0, kContentWidth, TagPanelHeight);
    struct Field {
        const char* label;
        const char* labelName;
        const char* frame;
        const char* edit;
        TEdit** target;
        int x, y, width;
    };
    const Field fields[] = {
        {"Titolo", "LabelTitolo", "PannelloTagTitolo", "TagTitolo", &TagTitolo, 7, 4, 230},
        {"Artista", "LabelArtista", "PannelloTagArtista", "TagArtista", &TagArtista, 7, 39, 230},
        {"Album", "LabelAlbum", "PannelloTagAlbum", "TagAlbum", &TagAlbum, 7, 74, 170},
        {"Genere", "LabelGenere", "PannelloTagGenere", "TagGenere", &TagGenere, 7, 109, 170},
        {"Commento", "LabelCommento", "PannelloTagCommento", "TagCommento", &TagCommento, 7, 144,
         206},
        {"Traccia", "LabelTraccia", "PannelloTagTraccia", "TagTraccia", &TagTraccia, 182, 74, 55},
        {"Anno", "LabelAnno", "PannelloTagAnno", "TagAnno", &TagAnno, 182, 109, 55},
    };
    for (const Field& f : fields) {
        auto* label = Create<TLabel>(QLatin1String(f.labelName), PannelloTags);
        label->setCaption(QLatin1String(f.label));
        label->setGeometry(f.x, f.y, f.width, 13);
        auto* frame = Create<TFlatPanel>(QLatin1String(f.frame), PannelloTags);
        frame->setTag(1);
        frame->setGeometry(f.x, f.y + 14, f.width, 19);
        auto* edit = Create<TEdit>(QLatin1String(f.edit), frame);
        edit->setFrame(false);
        edit->setGeometry(2, 2, f.width - 4, 15);
        *f.target = edit;
    }
    TagAnno->setMaxLength(4);
    BtnSaveTag = Create<TFlatButton>(QStringLiteral("BtnSaveTag"), PannelloTags);
    BtnSaveTag->setGeometry(218, 158, 19, 19);
    SetGlyph(BtnSaveTag, TGlyph::Save, 11);
    BtnSaveTag->setHint(QStringLiteral("Salva i tag"));
    LabelHide = Create<TLabel>(QStringLiteral("LabelHide"), PannelloTags);
    LabelHide->setCaption(QStringLiteral("Nascondi"));
    LabelHide->hide();
    LabelShow = Create<TLabel>(QStringLiteral("LabelShow"), PannelloTags);
    LabelShow->setCaption(QStringLiteral("Mostra"));
    LabelShow->hide();

    // Scroll area: time and stream information, position and volume.
    PannelloScorrimento = Create<TPanel>(QStringLiteral("PannelloScorrimento"), work);
    PannelloScorrimento->setBevel(false);
    PannelloInfo = Create<TFlatPanel>(QStringLiteral("PannelloInfo"), PannelloScorrimento);
    PannelloInfo->setTag(1);
    PannelloInfo->setGeometry(0, 0, kContentWidth, 27);
    auto infoLabel = [this](const char* name, const QString& caption, int x, int y) {
        auto* l = Create<TLabel>(QLatin1String(name), PannelloInfo);
        l->setCaption(caption);
        l->move(x, y);
        l->adjustSize();
        return l;
    };
    Tempo = infoLabel("Tempo", QStringLiteral("-.--.--"), 6, 1);
    LabelFrazione = infoLabel("LabelFrazione", QStringLiteral("/"), 57, 1);
    Durata = infoLabel("Durata", QStringLiteral("-.--.--"), 66, 1);
    LabelExtension = infoLabel("LabelExtension", QStringLiteral("( no file )"), 6, 13);
    SeparaInfo = Create<TFlatPanel>(QStringLiteral("SeparaInfo"), PannelloInfo);
    SeparaInfo->setTag(1);
    SeparaInfo->setGeometry(124, 2, 1, 23);
    LabelBitRate = infoLabel("LabelBitRate", QStringLiteral("0 kBit/s"), 134, 1);
    LabelFrequency = infoLabel("LabelFrequency", QStringLiteral("0 kHz"), 134, 13);
    for (TLabel* l : {Tempo, Durata, LabelExtension, LabelBitRate, LabelFrequency})
        l->setFixedWidth(l == LabelExtension ? 116 : 100);

    // The scroll bars are 16 pixels wider than their frames on both sides:
    // the arrow buttons lie outside the visible frame, only track and thumb
    // show.
    PannelloPosizione = Create<TPanel>(QStringLiteral("PannelloPosizione"), PannelloScorrimento);
    PannelloPosizione->setBevel(false);
    PannelloPosizione->setGeometry(0, 30, 176, 14);
    Posizione = Create<TFlatScrollbar>(QStringLiteral("Posizione"), PannelloPosizione);
    Posizione->setGeometry(-16, 0, 176 + 32, 14);
    Posizione->setRange(0, 100);
    Posizione->setHint(QStringLiteral("Posizione"));
    PannelloVolume = Create<TPanel>(QStringLiteral("PannelloVolume"), PannelloScorrimento);
    PannelloVolume->setBevel(false);
    PannelloVolume->setGeometry(182, 30, 62, 14);
    Volume = Create<TFlatScrollbar>(QStringLiteral("Volume"), PannelloVolume);
    Volume->setGeometry(-16, 0, 62 + 32, 14);
    Volume->setRange(0, 100);
    Volume->setHint(QStringLiteral("Volume"));

    // Button strip.
    PannelloPulsanti = Create<TPanel>(QStringLiteral("PannelloPulsanti"), work);
    PannelloPulsanti->setBevel(false);
    struct Button {
        const char* name;
        TFlatButton** target;
        int x;
        TGlyph glyph;
        const char* hint;
    };
    const Button buttons[] = {
        {"ButtonPlay", &ButtonPlay, 0, TGlyph::Play, "Play"},
        {"ButtonPrev", &ButtonPrev, 30, TGlyph::Prev, "Traccia precedente"},
        {"ButtonNext", &ButtonNext, 60, TGlyph::Next, "Traccia successiva"},
        {"ButtonPause", &ButtonPause, 90, TGlyph::Pause, "Pausa"},
        {"ButtonStop", &ButtonStop, 120, TGlyph::Stop, "Stop"},
        {"ButtonRec", &ButtonRec, 151, TGlyph::Record, "Registratore"},
    };
    for (const Button& b : buttons) {
        auto* button = Create<TFlatButton>(QLatin1String(b.name), PannelloPulsanti);
        button->setGeometry(b.x, 0, 25, 24);
        SetGlyph(button, b.glyph, 12);
        button->setHint(QString::fromUtf8(b.hint));
        *b.target = button;
    }
    ButtonPause->setSticky(true);
    ButtonSplash = Create<TFlatButton>(QStringLiteral("ButtonSplash"), PannelloPulsanti);
    ButtonSplash->setTag(1);
    ButtonSplash->setCaption(QStringLiteral("H"));
    QFont splashFont(QStringLiteral("Arial"));
    splashFont.setPixelSize(13);
    splashFont.setBold(true);
    ButtonSplash->setFont(splashFont);
    ButtonSplash->setGeometry(218, 0, 25, 24);
    ButtonSplash->setHint(QStringLiteral("Informazioni su Lorimel"));
}

bool TFormLorimel::TagPanelFolded() const {
    return RollTags->Down();
}

void TFormLorimel::ToggleTagPanel() {
    RollTags->setDown(!RollTags->Down());
    LayoutHeights();
}

void TFormLorimel::LayoutHeights() {
    const int tags = TagPanelFolded() ? 0 : TagPanelHeight;
    const int workHeight =
        kFrame + kTitleStripHeight + tags + kScrollAreaHeight + kButtonStripHeight + kFrame + 3;
    PannelloTagsBox->setGeometry(kFrame, kFrame + kTitleStripHeight, kContentWidth, tags);
    PannelloTags->setVisible(tags != 0);
    PannelloScorrimento->setGeometry(kFrame, kFrame + kTitleStripHeight + tags + 1, kContentWidth,
                                     kScrollAreaHeight);
    PannelloPulsanti->setGeometry(kFrame, workHeight - kFrame - kButtonStripHeight, kContentWidth,
                                  kButtonStripHeight);
    PannelloPrincipale->setGeometry(0, kTitleBarHeight, ClientWidth, workHeight);
    setFixedHeight(kTitleBarHeight + workHeight);
}

// ---- what the controller shows ------------------------------------------

void TFormLorimel::ShowTitle(const QString& name) {
    PannelloScorrevole->ClearLines();
    PannelloScorrevole->AddLine(name);
    PannelloTitolo->setCaption(name);
}

void TFormLorimel::SetTimeText(const QString& text) {
    Tempo->setCaption(text);
}

void TFormLorimel::SetDurationText(const QString& text) {
    Durata->setCaption(text);
}

QString TFormLorimel::DurationText() const {
    return Durata->Caption();
}

void TFormLorimel::SetPositionBars(int percent) {
    Posizione->setPosition(percent);
    if (VideoHooks.SetPositionBar && VideoHooks.Visible && VideoHooks.Visible())
        VideoHooks.SetPositionBar(percent);
}

int TFormLorimel::PositionBar() const {
    return Posizione->Position();
}

void TFormLorimel::ShowTrackInfo(const TTrackInfo& info) {
    TagTitolo->setText(info.Title);
    TagArtista->setText(info.Artist);
    TagAlbum->setText(info.Album);
    TagAnno->setText(info.Year);
    TagTraccia->setText(info.Track);
    TagCommento->setText(info.Comment);
    TagGenere->setText(info.Genre);
    LabelBitRate->setCaption(info.BitRateText);
    LabelFrequency->setCaption(info.FrequencyText);
    if (info.ExtensionText)
        LabelExtension->setCaption(*info.ExtensionText);
}

QString TFormLorimel::TagArtistText() const {
    return TagArtista->Text();
}

QString TFormLorimel::TagTitleText() const {
    return TagTitolo->Text();
}

void TFormLorimel::SetTrayHint(const QString& hint) {
    CoolTrayIcon->setToolTip(hint);
}

void TFormLorimel::ShowPaused(bool paused) {
    ButtonPause->setDown(paused);
}

void TFormLorimel::ShowVideoWindow(bool hideMain) {
    if (!VideoHooks.Show)
        return; // no video window yet: the main window stays where it is
    VideoHooks.Show();
    if (hideMain && isVisible()) {
        m_hiddenForVideo = true;
        hide();
    }
}

void TFormLorimel::CloseVideoWindow(bool showMain) {
    if (VideoHooks.Close)
        VideoHooks.Close();
    if (showMain)
        ShowMainWindowAfterVideo();
}

void TFormLorimel::ShowMainWindowAfterVideo() {
    // A main window that stepped aside for a video comes back; one that the
    // user sent to the tray stays there.
    if (m_hiddenForVideo && !m_minimised)
        show();
    m_hiddenForVideo = false;
}

// ---- video window, full screen and the command panel ---------------------

void TFormLorimel::CreateVideoWindows() {
    // Top-level windows of their own: hiding the main window for a video
    // must not take the video window with it.
    FormVideo = std::make_unique<TFormVideo>(*this);
    FormCommandPanel = std::make_unique<TFormCommandPanel>(*this);
    m_hotKeyBackend = new TAppKeyHotKeyBackend(this);
    VideoHooks.Show = [this] {
        FormVideo->show();
        FormVideo->raise();
    };
    VideoHooks.Close = [this] {
        if (FormVideo->isVisible())
            FormVideo->close();
    };
    VideoHooks.Visible = [this] { return FormVideo->isVisible(); };
    VideoHooks.SetPositionBar = [this](int percent) { FormVideo->SetPositionBar(percent); };
    connect(FullScreenTimer, &QTimer::timeout, this, &TFormLorimel::FullScreenTimerTimer);
}

QWidget* TFormLorimel::VideoDisplay() const {
    return FormVideo ? FormVideo->Panel : nullptr;
}

void TFormLorimel::ToggleFullScreen() {
    TBasePlayer* engine = Controller.Engine();
    if (!engine)
        return;
    bool hasVideo = false;
    try {
        hasVideo = engine->HasVideo();
    } catch (...) {
    }
    if (!hasVideo)
        return; // an audio track has no picture to enlarge
    SetFullScreenState(!Controller.FullScreen);
}

void TFormLorimel::LeaveFullScreen() {
    if (Controller.FullScreen || (FormVideo && FormVideo->isFullScreen()))
        SetFullScreenState(false);
}

void TFormLorimel::SetFullScreenState(bool on) {
    Controller.FullScreen = on;
    if (TBasePlayer* engine = Controller.Engine()) {
        try {
            engine->SetFullScreen(on);
        } catch (...) {
            // The video window still switches below.
        }
    }
    // The built-in engine draws into the video window's display: full
    // screen is that window over the whole screen.
    if (FormVideo && (FormVideo->isVisible() || !on))
        FormVideo->ShowFullScreen(on);
    if (on)
        FullScreenTimer->start();
    else
        FullScreenTimer->stop();
    EnableEscapeHotKey(on);
}

void TFormLorimel::EnableEscapeHotKey(bool on) {
    if (!EscapeHotKey) {
        EscapeHotKey = new THotKey(*m_hotKeyBackend, this);
        EscapeHotKey->setObjectName(QStringLiteral("HK_ESC"));
        EscapeHotKey->setShortCut(QKeySequence(Qt::Key_Escape));
        connect(EscapeHotKey, &THotKey::hotKey, this, &TFormLorimel::PlayerHotKey);
    }
    EscapeHotKey->setEnabled(on);
}

void TFormLorimel::PlayerHotKey(THotKey* hotKey) {
    if (!hotKey)
        return;
    const QString name = hotKey->objectName();
    const qsizetype underscore = name.indexOf(QLatin1Char('_'));
    const QString action = underscore < 0 ? QString() : name.mid(underscore + 1).toUpper();
    if (action == QLatin1String("ESC")) {
        if (Controller.FullScreen)
            LeaveFullScreen();
    }
}

void TFormLorimel::FullScreenTimerTimer() {
    FullScreenTimerTick(QCursor::pos());
}

void TFormLorimel::FullScreenTimerTick(QPoint cursor) {
    QScreen* screen = FormVideo ? FormVideo->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen || !FormCommandPanel)
        return;
    const QRect area = screen->geometry();
    if (CursorOnCommandPanelStrip(cursor, area, FormCommandPanel->height())) {
        if (!FormCommandPanel->isVisible()) {
            FormCommandPanel->move(CommandPanelPosition(area, FormCommandPanel->size()));
            FormCommandPanel->show();
            FormCommandPanel->raise();
        }
    } else if (FormCommandPanel->isVisible()) {
        FormCommandPanel->close();
    }
}

void TFormLorimel::RefreshPlaylistWindow() {
    if (PlaylistWindowRefresh)
        PlaylistWindowRefresh();
}
