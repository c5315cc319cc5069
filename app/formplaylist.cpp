#include "app/formplaylist.h"

#include "app/glyphs.h"
#include "app/playercontroller.h"
#include "appearance/colorscheme.h"
#include "support/supportlanguage.h"
#include "toolkit/application.h"
#include "toolkit/dialogs.h"
#include "toolkit/flatwidgets.h"
#include "toolkit/formplacement.h"
#include "toolkit/translation.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFont>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <algorithm>

namespace {

constexpr int kTitleBarHeight = 17;
constexpr int kCloseFromRight = 17;
constexpr int kInset = 5; // the work panel's 1-pixel frame and 4-pixel margin
constexpr int kCounterHeight = 20;
constexpr int kViewModeWidth = 24;
constexpr int kSpacer = 4;
constexpr int kButtonBarHeight = 35;
constexpr int kButtonSize = 25;
constexpr int kRightButtonsStep = 28;
constexpr int kResizerSize = 5;
// Small enough for any use, large enough that every control keeps a place.
constexpr int kMinWidth = 150;
constexpr int kMinHeight = 140;

QList<TFileFilter> PlaylistFilters() {
    return {{QStringLiteral("Lorimel Playlist (*.LPL)"), QStringLiteral("*.LPL")},
            {QStringLiteral("M3U Playlist (*.M3U)"), QStringLiteral("*.M3U")}};
}

void SetGlyph(TFlatButton* button, TGlyph glyph, int size) {
    button->setIcon(GlyphIcon(glyph, size));
    button->setIconSize(QSize(size, size));
}

} // namespace

QStringList DroppedFiles(const QMimeData* data) {
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        if (!path.isEmpty() && !QFileInfo(path).isDir())
            files << path;
    }
    return files;
}

TFormPlaylist::TFormPlaylist(IPlaylistWindowOwner& owner, QWidget* parent)
    : TForm(parent, Qt::Window | Qt::FramelessWindowHint), m_owner(owner) {
    setObjectName(QStringLiteral("FormPlaylist"));
    setCaption(QStringLiteral("Lorimel - Playlist"));
    // Closing destroys the window; the main window's reference clears itself.
    setAttribute(Qt::WA_DeleteOnClose);
    setAcceptDrops(true);
    BuildControls();
    FormPlacement = Create<TFormPlacement>(QStringLiteral("FormPlacement"), this);
    FormPlacement->setStoreState(true);
    BindFormPlacement(FormPlacement, this);

    // FormCreate
    ApplySchemeToForm(this, CurrentSchemePath());
    RefreshPlaylistView();
}

TFormPlaylist::~TFormPlaylist() = default;

void TFormPlaylist::BuildControls() {
    QFont dialogFont = font();
    dialogFont.setPointSize(8);
    setFont(dialogFont);
    setMinimumSize(kMinWidth, kMinHeight);
    resize(DesignWidth, DesignHeight);

    BarraTitolo = Create<TFlatTitlebar>(QStringLiteral("BarraTitolo"), this);
    BarraTitolo->setCaption(QStringLiteral("Lorimel - Playlist"));
    BtnClose = Create<TFlatButton>(QStringLiteral("BtnClose"), BarraTitolo);
    SetGlyph(BtnClose, TGlyph::Close, 9);
    BtnClose->setHint(QStringLiteral("Chiudi"));

    PannelloPlaylist = Create<TFlatPanel>(QStringLiteral("PannelloPlaylist"), this);
    QWidget* work = PannelloPlaylist;
    FlatPanel1 = Create<TFlatPanel>(QStringLiteral("FlatPanel1"), work);
    FlatPanel1->setTag(1);
    LblNumeroTracce = Create<TLabel>(QStringLiteral("LblNumeroTracce"), FlatPanel1);
    LblNumeroTracce->setCaption(QStringLiteral("Elenco vuoto"));
    LblNumeroTracce->setAlignment(Qt::AlignCenter);
    BtnViewMode = Create<TFlatButton>(QStringLiteral("BtnViewMode"), work);
    BtnViewMode->setCaption(QStringLiteral("T"));
    BtnViewMode->setHint(QStringLiteral("Nome traccia / nome file"));

    PlaylistView = Create<TFlatCheckListBox>(QStringLiteral("PlaylistView"), work);
    PlaylistView->installEventFilter(this);
    PlaylistView->viewport()->installEventFilter(this);

    struct Button {
        const char* name;
        TFlatButton** target;
        const char* caption;
        const char* hint;
    };
    const Button buttons[] = {
        {"BtnAggiungiTraccia", &BtnAggiungiTraccia, "", "Aggiungi tracce"},
        {"BtnEliminaTraccia", &BtnEliminaTraccia, "-", "Elimina le tracce selezionate"},
        {"BtnRepeat", &BtnRepeat, "R", "Ripeti"},
        {"BtnShuffle", &BtnShuffle, "S", "Casuale"},
        {"BtnRipCD", &BtnRipCD, "CD", "Acquisisci CD"},
        {"BtnCaricaPlaylist", &BtnCaricaPlaylist, "", "Carica playlist"},
        {"BtnSalvaPlaylist", &BtnSalvaPlaylist, "", "Salva playlist"},
    };
    for (const Button& b : buttons) {
        auto* button = Create<TFlatButton>(QLatin1String(b.name), work);
        button->setCaption(QLatin1String(b.caption));
        button->setHint(QString::fromUtf8(b.hint));
        *b.target = button;
    }
    SetGlyph(BtnAggiungiTraccia, TGlyph::Add, 11);
    SetGlyph(BtnCaricaPlaylist, TGlyph::Playlist, 11);
    SetGlyph(BtnSalvaPlaylist, TGlyph::Save, 11);
    for (TFlatButton* mode : {BtnRepeat, BtnShuffle}) {
        mode->setTag(1);
        mode->setSticky(true);
    }

    PnlResizer = Create<TPanel>(QStringLiteral("PnlResizer"), work);
    PnlResizer->setBevel(false);
    PnlResizer->setCursor(Qt::SizeFDiagCursor);
    PnlResizer->installEventFilter(this);

    connect(BtnClose, &QAbstractButton::clicked, this, &QWidget::close);
    connect(BtnAggiungiTraccia, &QAbstractButton::clicked, this,
            &TFormPlaylist::BtnAggiungiTracciaClick);
    connect(BtnEliminaTraccia, &QAbstractButton::clicked, this,
            &TFormPlaylist::BtnEliminaTracciaClick);
    connect(BtnRepeat, &QAbstractButton::clicked, this, &TFormPlaylist::BtnRepeatClick);
    connect(BtnShuffle, &QAbstractButton::clicked, this, &TFormPlaylist::BtnShuffleClick);
    connect(BtnRipCD, &QAbstractButton::clicked, this, &TFormPlaylist::BtnRipCDClick);
    connect(BtnCaricaPlaylist, &QAbstractButton::clicked, this,
            &TFormPlaylist::BtnCaricaPlaylistClick);
    connect(BtnSalvaPlaylist, &QAbstractButton::clicked, this,
            &TFormPlaylist::BtnSalvaPlaylistClick);
    connect(BtnViewMode, &QAbstractButton::clicked, this, &TFormPlaylist::BtnViewModeClick);
    LayoutControls();
}

void TFormPlaylist::LayoutControls() {
    const int w = width();
    const int h = height();
    BarraTitolo->setGeometry(0, 0, w, kTitleBarHeight);
    // FormResize: the close button keeps to the title bar's right end.
    BtnClose->setGeometry(w - kCloseFromRight, 2, 15, 14);
    BarraTitolo->update();

    const int panelHeight = h - kTitleBarHeight;
    PannelloPlaylist->setGeometry(0, kTitleBarHeight, w, panelHeight);
    const int inner = w - 2 * kInset;
    FlatPanel1->setGeometry(kInset, kInset, inner - kViewModeWidth, kCounterHeight);
    LblNumeroTracce->setGeometry(1, 1, FlatPanel1->width() - 2, kCounterHeight - 2);
    BtnViewMode->setGeometry(kInset + inner - kViewModeWidth, kInset, kViewModeWidth,
                             kCounterHeight);

    const int listTop = kInset + kCounterHeight + kSpacer;
    const int barTop = panelHeight - kInset - kButtonBarHeight;
    PlaylistView->setGeometry(kInset, listTop, inner, std::max(0, barTop - kSpacer - listTop));

    const int buttonTop = barTop + (kButtonBarHeight - kButtonSize) / 2;
    const std::pair<TFlatButton*, int> left[] = {
        {BtnAggiungiTraccia, 7}, {BtnEliminaTraccia, 35}, {BtnRepeat, 62}, {BtnShuffle, 89}};
    for (const auto& [button, x] : left)
        button->setGeometry(x, buttonTop, kButtonSize, kButtonSize);
    const int lastX = w - 7 - kButtonSize;
    BtnSalvaPlaylist->setGeometry(lastX, buttonTop, kButtonSize, kButtonSize);
    BtnCaricaPlaylist->setGeometry(lastX - kRightButtonsStep, buttonTop, kButtonSize, kButtonSize);
    BtnRipCD->setGeometry(lastX - 2 * kRightButtonsStep, buttonTop, kButtonSize, kButtonSize);
    if (!m_resizing)
        PlaceResizer();
}

void TFormPlaylist::PlaceResizer() {
    PnlResizer->setGeometry(PannelloPlaylist->width() - kResizerSize,
                            PannelloPlaylist->height() - kResizerSize, kResizerSize, kResizerSize);
    PnlResizer->raise();
}

void TFormPlaylist::UpdateCounter() {
    const qsizetype n = m_owner.PlaylistController().Playlist.Entries.size();
    LblNumeroTracce->setCaption(QStringLiteral("%1 %2").arg(n).arg(
        Translate(QStringLiteral("LBL_NUMTRACCE"), QStringLiteral("tracce"))));
}

void TFormPlaylist::RefreshPlaylistView() {
    const TPlayerController& controller = m_owner.PlaylistController();
    QStringList names;
    names.reserve(controller.Playlist.Entries.size());
    for (const QString& path : controller.Playlist.Entries)
        names << controller.DisplayNameOfEntry(path);
    PlaylistView->setItems(names);
    UpdateCounter();
}

void TFormPlaylist::ShowPlayModeButtons() {
    const TPlayerController& controller = m_owner.PlaylistController();
    BtnRepeat->setDown(controller.RepeatMode);
    BtnShuffle->setDown(controller.ShuffleMode);
}

void TFormPlaylist::showEvent(QShowEvent* e) {
    TForm::showEvent(e);
    if (e->spontaneous())
        return; // restored from minimised: nothing to redo
    if (!CurrentLanguage().isEmpty()) {
        TranslateForLanguage(this, CurrentLanguage());
        // The language file may carry the counter's design-time caption;
        // the count itself must stay.
        UpdateCounter();
    }
    ShowPlayModeButtons();
}

void TFormPlaylist::resizeEvent(QResizeEvent* e) {
    TForm::resizeEvent(e);
    LayoutControls();
}

void TFormPlaylist::BtnAggiungiTracciaClick() {
    TOpenDialogRequest request;
    request.multiSelect = true;
    const TOpenDialogResult chosen = Dialogs().OpenFiles(request);
    if (!chosen.accepted())
        return;
    TPlaylist& playlist = m_owner.PlaylistController().Playlist;
    playlist.Entries.append(chosen.files);
    try {
        SaveAutoPlaylist(playlist);
    } catch (...) {
        TApplication::ShowCurrentException();
    }
    RefreshPlaylistView();
}

void TFormPlaylist::DeleteCheckedTracks() {
    TPlaylist& playlist = m_owner.PlaylistController().Playlist;
    for (int p = PlaylistView->count() - 1; p >= 0; --p) {
        if (!PlaylistView->Checked(p))
            continue;
        delete PlaylistView->takeItem(p);
        // A view older than the playlist may show more lines than it has.
        if (p < playlist.Entries.size())
            playlist.Entries.removeAt(p);
    }
    try {
        SaveAutoPlaylist(playlist);
    } catch (...) {
        TApplication::ShowCurrentException();
    }
    RefreshPlaylistView();
}

void TFormPlaylist::BtnEliminaTracciaClick() {
    DeleteCheckedTracks();
}

void TFormPlaylist::PlaylistViewDblClick(const QPoint& pos) {
    if (pos.y() <= DblClickMargin || pos.y() >= PlaylistView->height() - DblClickMargin)
        return;
    TPlayerController& controller = m_owner.PlaylistController();
    const int selected = PlaylistView->currentRow();
    const qsizetype n = controller.Playlist.Entries.size();
    if (selected < 0 || n == 0)
        return;
    controller.Playlist.CurrentIndex = quint32(selected % n);
    controller.PlayCurrentTrack();
}

void TFormPlaylist::BtnCaricaPlaylistClick() {
    TOpenDialogRequest request;
    request.title = QStringLiteral("Load Playlist");
    request.filters = PlaylistFilters();
    const TOpenDialogResult chosen = Dialogs().OpenFiles(request);
    if (!chosen.accepted())
        return;
    try {
        LoadPlaylistFile(m_owner.PlaylistController().Playlist, chosen.files.first(),
                         m_owner.PlaylistFileHooks());
    } catch (...) {
        TApplication::ShowCurrentException();
    }
}

void TFormPlaylist::BtnSalvaPlaylistClick() {
    TSaveDialogRequest request;
    request.title = QStringLiteral("Save Playlist");
    request.filters = PlaylistFilters();
    request.filterIndex = 0;
    const TSaveDialogResult chosen = Dialogs().SaveFile(request);
    if (!chosen.accepted())
        return;
    // The first filter is the program's own format, the second M3U.
    const bool ownFormat = chosen.filterIndex == 0;
    try {
        SavePlaylistAs(m_owner.PlaylistController().Playlist, chosen.fileName, ownFormat,
                       m_owner.PlaylistFileHooks());
    } catch (...) {
        TApplication::ShowCurrentException();
    }
}

void TFormPlaylist::BtnRipCDClick() {
    m_owner.StartCdRipper();
}

void TFormPlaylist::BtnViewModeClick() {
    TPlayerController& controller = m_owner.PlaylistController();
    controller.ShowFileNames = !controller.ShowFileNames;
    RefreshPlaylistView();
}

void TFormPlaylist::BtnRepeatClick() {
    m_owner.PlaylistController().RepeatMode = BtnRepeat->Down();
}

void TFormPlaylist::BtnShuffleClick() {
    m_owner.PlaylistController().ShuffleMode = BtnShuffle->Down();
}

void TFormPlaylist::dragEnterEvent(QDragEnterEvent* e) {
    if (!DroppedFiles(e->mimeData()).isEmpty())
        e->acceptProposedAction();
}

void TFormPlaylist::dropEvent(QDropEvent* e) {
    const QStringList files = DroppedFiles(e->mimeData());
    if (files.isEmpty())
        return;
    e->acceptProposedAction();
    m_owner.DropFiles(files);
}

bool TFormPlaylist::eventFilter(QObject* watched, QEvent* e) {
    if (watched == PlaylistView->viewport() && e->type() == QEvent::MouseButtonDblClick) {
        const auto* mouse = static_cast<QMouseEvent*>(e);
        if (mouse->button() == Qt::LeftButton) {
            const QPoint inList =
                PlaylistView->viewport()->mapTo(PlaylistView, mouse->position().toPoint());
            PlaylistViewDblClick(inList);
        }
    } else if (watched == PlaylistView && e->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() == Qt::Key_Delete && !key->isAutoRepeat())
            DeleteCheckedTracks();
    } else if (watched == PnlResizer) {
        const auto* mouse = static_cast<QMouseEvent*>(e);
        switch (e->type()) {
        case QEvent::MouseButtonPress:
            if (mouse->button() == Qt::LeftButton) {
                m_resizeStart = mouse->globalPosition().toPoint();
                m_resizeStartSize = size();
                m_resizing = true;
                return true;
            }
            break;
        case QEvent::MouseMove:
            if (m_resizing && (mouse->buttons() & Qt::LeftButton)) {
                const QPoint delta = mouse->globalPosition().toPoint() - m_resizeStart;
                resize(m_resizeStartSize.width() + delta.x(),
                       m_resizeStartSize.height() + delta.y());
                return true;
            }
            break;
        case QEvent::MouseButtonRelease:
            if (m_resizing && mouse->button() == Qt::LeftButton) {
                m_resizing = false;
                PlaceResizer();
                update();
                return true;
            }
            break;
        default:
            break;
        }
    }
    return TForm::eventFilter(watched, e);
}
