// The main window's menus and tray icon: the play menu (also the tray's),
// the window menu, the title menu, the volume and track submenus, the
// recent playlists, and hiding into the tray and coming back.
#include "app/formlorimel.h"
#include "app/menustyle.h"
#include "app/trayquarters.h"
#include "app/volumecontrol.h"
#include "support/supportlanguage.h"
#include "toolkit/application.h"
#include "toolkit/flatwidgets.h"
#include "toolkit/messages.h"
#include "toolkit/mru.h"

#include <QActionGroup>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {

constexpr int kBalloonMs = 4000;

} // namespace

void TFormLorimel::BuildMenus() {
    auto item = [this](QMenu* menu, const char* name, const char* caption, int tag) {
        auto* action = Create<TMenuItem>(QLatin1String(name), menu);
        action->setCaption(QString::fromUtf8(caption));
        action->setTag(tag);
        menu->addAction(action);
        return action;
    };
    auto submenu = [this](TMenuItem* owner) {
        auto* menu = new QMenu(this);
        owner->setMenu(menu);
        return menu;
    };

    PlayMenu = new QMenu(this);
    PlayMenu->setObjectName(QStringLiteral("PlayMenu"));
    PopupTracce = item(PlayMenu, "PopupTracce", "Tracce", MenuImagePlay);
    TracceMenu = submenu(PopupTracce);
    PopupPlaylist = item(PlayMenu, "PopupPlaylist", "Playlist", MenuImagePlaylist);
    RecentMenu = submenu(PopupPlaylist);
    PlayMenu->addSeparator();
    PopupVolume = item(PlayMenu, "PopupVolume", "Volume", MenuImageVolume);
    VolumeMenu = submenu(PopupVolume);
    auto* volumeGroup = new QActionGroup(this);
    // Choosing the checked item again unchecks it, as a toggle does.
    volumeGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    const QStringList captions = VolumeItemCaptions();
    for (const QString& caption : captions) {
        const QString name = QStringLiteral("PopupVolume") + caption.chopped(1);
        auto* v = Create<TMenuItem>(name, VolumeMenu);
        v->setCaption(caption);
        v->setTag(MenuImageNone);
        v->setCheckable(true);
        volumeGroup->addAction(v);
        VolumeMenu->addAction(v);
        VolumeItems << v;
        connect(v, &QAction::triggered, this, [this, v] { VolumeItemClick(v); });
    }
    VolumeItems.first()->setChecked(true);
    PlayMenu->addSeparator();
    PopupPlay = item(PlayMenu, "PopupPlay", "Play", MenuImagePlay);
    PopupPrev = item(PlayMenu, "PopupPrev", "Prev", MenuImagePrev);
    PopupNext = item(PlayMenu, "PopupNext", "Next", MenuImageNext);
    PopupPause = item(PlayMenu, "PopupPause", "Pause", MenuImagePause);
    PopupStop = item(PlayMenu, "PopupStop", "Stop", MenuImageStop);
    PlayMenu->addSeparator();
    PopupAdd = item(PlayMenu, "PopupAdd", "Aggiungi", MenuImageAdd);
    PopupCorrente = item(PlayMenu, "PopupCorrente", "Attuale", MenuImagePlay);
    PlayMenu->addSeparator();
    PopupTray1 = item(PlayMenu, "PopupTray1", "Nascondi", MenuImageHide);
    PopupExit = item(PlayMenu, "PopupExit", "Exit", MenuImageExit);

    ConfigMenu = new QMenu(this);
    ConfigMenu->setObjectName(QStringLiteral("ConfigMenu"));
    PopupCambiaColori = item(ConfigMenu, "PopupCambiaColori", "Cambia Colori", MenuImageColors);
    PopupOpzioni = item(ConfigMenu, "PopupOpzioni", "Opzioni", MenuImageOptions);
    PopupRipper = item(ConfigMenu, "PopupRipper", "Acquisisci CD", MenuImageCdRipper);
    PopupRegistratore = item(ConfigMenu, "PopupRegistratore", "Registratore", MenuImageRecorder);
    PopupTray2 = item(ConfigMenu, "PopupTray2", "Nascondi", MenuImageHide);
    PopupEsci = item(ConfigMenu, "PopupEsci", "Esci", MenuImageExit);

    TitleMenu = new QMenu(this);
    TitleMenu->setObjectName(QStringLiteral("TitleMenu"));
    PopVisualizzaNomeTraccia =
        item(TitleMenu, "PopVisualizzaNomeTraccia", "Visualizza nome traccia", MenuImagePlay);
    PopVisualizzaNomeFile =
        item(TitleMenu, "PopVisualizzaNomeFile", "Visualizza nome file", MenuImagePlay);

    for (QMenu* menu : {PlayMenu, ConfigMenu, TitleMenu})
        MakeOwnerDrawn(menu);

    MRUManager = Create<TMRUManager>(QStringLiteral("MRUManager"), this);
    MRUManager->setFormPlacement(FormPlacement);
    MRUManager->setRecentMenu(RecentMenu);
    connect(MRUManager, &TMRUManager::click, this, &TFormLorimel::MRUManagerClick);

    connect(PlayMenu, &QMenu::aboutToShow, this, &TFormLorimel::PlayMenuPopup);
    connect(PopupPlay, &QAction::triggered, this, [this] { Controller.PlayClick(); });
    connect(PopupPrev, &QAction::triggered, this, [this] { Controller.PrevClick(); });
    connect(PopupNext, &QAction::triggered, this, [this] { Controller.NextClick(); });
    connect(PopupPause, &QAction::triggered, this, [this] { Controller.PauseClick(); });
    connect(PopupStop, &QAction::triggered, this, [this] { Controller.StopClick(); });
    connect(PopupAdd, &QAction::triggered, this, &TFormLorimel::PopupAddClick);
    connect(PopupCorrente, &QAction::triggered, this, &TFormLorimel::PopupCorrenteClick);
    connect(PopupTray1, &QAction::triggered, this, [this] { PopupTray1Click(PopupTray1); });
    connect(PopupTray2, &QAction::triggered, this, [this] { PopupTray1Click(PopupTray2); });
    connect(PopupExit, &QAction::triggered, this, &QWidget::close);
    connect(PopupEsci, &QAction::triggered, this, &QWidget::close);
    for (TMenuItem* pending : {PopupCambiaColori, PopupOpzioni, PopupRipper, PopupRegistratore})
        connect(pending, &QAction::triggered, this, &TFormLorimel::NotAvailableYet);
    // Each item shows what its caption says.
    connect(PopVisualizzaNomeTraccia, &QAction::triggered, this, [this] {
        Controller.ShowFileNames = false;
        Controller.ShowCurrentTitle();
    });
    connect(PopVisualizzaNomeFile, &QAction::triggered, this, [this] {
        Controller.ShowFileNames = true;
        Controller.ShowCurrentTitle();
    });
}

void TFormLorimel::BuildTray() {
    CoolTrayIcon = new QSystemTrayIcon(TrayIconImage(TrayIconNormal), this);
    CoolTrayIcon->setObjectName(QStringLiteral("CoolTrayIcon"));
    CoolTrayIcon->setToolTip(QStringLiteral("Lorimel"));
    CoolTrayIcon->setContextMenu(PlayMenu);
    // A single click waits out the double-click time, so that a double click
    // restores the window without also running the command under the cursor.
    m_trayClickTimer = new QTimer(this);
    m_trayClickTimer->setSingleShot(true);
    connect(m_trayClickTimer, &QTimer::timeout, this, [this] {
        const QRect where = CoolTrayIcon->geometry();
        if (where.isEmpty()) {
            // Without the icon's place a click is a play/pause toggle: a
            // paused track resumes instead of starting over.
            TrayIconCommand(TrayIconWithoutGeometry(Controller.EngineActive()));
            return;
        }
        TrayIconCommand(TrayIconForCursor(where, QCursor::pos(), Controller.EnginePlaying()));
    });
    connect(CoolTrayIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) {
                    if (IgnoreNextTrayClick) {
                        IgnoreNextTrayClick = false;
                        return;
                    }
                    m_trayClickTimer->start(QApplication::doubleClickInterval());
                } else if (reason == QSystemTrayIcon::DoubleClick) {
                    // The click that began the double click is not a command.
                    IgnoreNextTrayClick = !m_trayClickTimer->isActive();
                    m_trayClickTimer->stop();
                    RestoreFromTray();
                }
            });
    // Shown once the window is on screen (see showEvent): asking for the
    // tray goes over the session bus, which must not delay the window.
}

void TFormLorimel::TrayIconCommand(int icon) {
    switch (TrayActionForIcon(icon)) {
    case TTrayAction::Stop:
        Controller.StopClick();
        break;
    case TTrayAction::Play:
        Controller.PlayClick();
        break;
    case TTrayAction::Prev:
        Controller.PrevClick();
        break;
    case TTrayAction::Next:
        Controller.NextClick();
        break;
    case TTrayAction::Pause:
        Controller.PauseClick();
        break;
    case TTrayAction::None:
        break;
    }
}

void TFormLorimel::PlayMenuPopup() {
    TracceMenu->clear();
    const QStringList& entries = Controller.Playlist.Entries;
    for (qsizetype k = 0; k < entries.size(); ++k) {
        auto* track = new TMenuItem(TracceMenu);
        track->setCaption(Controller.DisplayNameOfEntry(entries.at(k)));
        track->setTag(quint32(k) == Controller.Playlist.CurrentIndex ? MenuImagePause
                                                                     : MenuImagePlay);
        connect(track, &QAction::triggered, this,
                [this, k] { Controller.PlaylistPopupSelect(quint32(k)); });
        TracceMenu->addAction(track);
    }
    const QString matching = VolumeItemCaptionFor(Volume->Position());
    for (TMenuItem* v : std::as_const(VolumeItems))
        if (v->Caption() == matching)
            v->setChecked(true);
}

void TFormLorimel::VolumeItemClick(TMenuItem* item) {
    const int volume = VolumeOfItemCaption(item->Caption());
    if (volume < 0)
        return;
    m_volume->SetVolume(volume);
    Volume->setPosition(volume);
}

void TFormLorimel::MRUManagerClick(const QString& fileName) {
    try {
        LoadPlaylistFile(Controller.Playlist, fileName, PlaylistHooks());
    } catch (...) {
        TApplication::ShowCurrentException();
    }
}

void TFormLorimel::PopupCorrenteClick() {
    QString title = QStringLiteral("Lorimel");
    if (TBasePlayer* engine = Controller.Engine()) {
        try {
            title = engine->Description();
        } catch (...) {
        }
    }
    CoolTrayIcon->showMessage(title,
                              BalloonText(TagArtista->Text(), TagTitolo->Text(), Durata->Caption()),
                              QSystemTrayIcon::Information, kBalloonMs);
}

void TFormLorimel::SetHideItemCaptions(const QString& caption) {
    PopupTray1->setCaption(caption);
    PopupTray2->setCaption(caption);
}

void TFormLorimel::PopupTray1Click(TMenuItem* item) {
    if (item->Caption() == LabelHide->Caption())
        ButtonMinimizeClick();
    else if (item->Caption() == LabelShow->Caption())
        RestoreFromTray();
}

void TFormLorimel::ButtonMinimizeClick() {
    if (m_minimised)
        return;
    SetHideItemCaptions(LabelShow->Caption());
    // The window is kept at its full height while away, and folds back on
    // its return when the panel was folded.
    if (!TagPanelFolded()) {
        TagsOpenBeforeMinimise = true;
    } else {
        ToggleTagPanel();
        TagsOpenBeforeMinimise = false;
    }
    m_minimised = true;
    // Without a tray to come back from, the window only minimises.
    if (QSystemTrayIcon::isSystemTrayAvailable())
        hide();
    else
        showMinimized();
}

void TFormLorimel::RestoreFromTray() {
    SetHideItemCaptions(LabelHide->Caption());
    const bool wasMinimised = m_minimised;
    m_minimised = false;
    showNormal();
    raise();
    activateWindow();
    if (wasMinimised)
        AppEventsRestore();
}

void TFormLorimel::AppEventsRestore() {
    if (!TagsOpenBeforeMinimise && !TagPanelFolded())
        ToggleTagPanel();
}

void TFormLorimel::BringToFront() {
    if (m_minimised)
        RestoreFromTray();
    else {
        show();
        raise();
        activateWindow();
    }
}

void TFormLorimel::PopupAt(QMenu* menu, QWidget* anchor) {
    menu->popup(anchor->mapToGlobal(QPoint(0, anchor->height())));
}

void TFormLorimel::contextMenuEvent(QContextMenuEvent* e) {
    QWidget* child = childAt(mapFromGlobal(e->globalPos()));
    const bool onTitle = child && (child == PannelloTitolo || PannelloTitolo->isAncestorOf(child));
    QMenu* menu = onTitle ? TitleMenu : ConfigMenu;
    if (e->reason() == QContextMenuEvent::Keyboard)
        PopupAt(menu, onTitle ? static_cast<QWidget*>(PannelloTitolo) : PannelloPrincipale);
    else
        menu->popup(e->globalPos());
    e->accept();
}

void TFormLorimel::changeEvent(QEvent* e) {
    TForm::changeEvent(e);
    // The window manager may bring a minimised window back by itself.
    if (e->type() == QEvent::WindowStateChange && m_minimised && !isMinimized() && isVisible()) {
        m_minimised = false;
        SetHideItemCaptions(LabelHide->Caption());
        AppEventsRestore();
    }
}
