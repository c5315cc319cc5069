#include "app/formvideo.h"

#include "app/glyphs.h"
#include "app/playercontroller.h"
#include "appearance/colorscheme.h"
#include "support/configurazione.h"
#include "support/supportlanguage.h"
#include "toolkit/flatwidgets.h"
#include "toolkit/formplacement.h"
#include "toolkit/translation.h"

#include <QCloseEvent>
#include <QFont>
#include <QMouseEvent>
#include <QScreen>
#include <QShowEvent>
#include <algorithm>
#include <array>

namespace {

constexpr int kButtonWidth = 25;
constexpr int kButtonHeight = 24;
constexpr int kButtonStep = 27;
constexpr int kButtonLeft = 4;
constexpr int kCloseFromRight = 4;
constexpr int kBarHeight = 14;
constexpr int kBarFrameInset = 2; // the frame is 4 pixels narrower than the time line
constexpr int kBarOverhang = 16;  // the arrows lie outside the frame, on both sides
constexpr int kMinWidth = 60;
constexpr TColor kDisplayColor = RGBColor(0, 0, 0);

const QString NormPosKey() {
    return QStringLiteral("NormPos");
}

void SetGlyph(TFlatButton* button, TGlyph glyph, int size) {
    button->setIcon(GlyphIcon(glyph, size));
    button->setIconSize(QSize(size, size));
}

} // namespace

QSize VideoWindowSizeFor(QSize picture, int borderWidth, int titleBarHeight, int buttonBarHeight) {
    const int width = picture.width() + borderWidth + 7;
    const int height = picture.height() + borderWidth + titleBarHeight + buttonBarHeight + 7;
    return {width, height};
}

QRect GeometryFromNormPos(const QString& text, const QRect& current) {
    if (text.isEmpty())
        return current;
    const QStringList items = text.split(QLatin1Char(','));
    const std::array<int, 4> fallback = {current.left(), current.top(),
                                         current.left() + current.width(),
                                         current.top() + current.height()};
    std::array<int, 4> value = fallback;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (qsizetype(i) >= items.size())
            break;
        bool ok = false;
        const int n = items[qsizetype(i)].trimmed().toInt(&ok);
        if (ok)
            value[i] = n;
    }
    return {value[0], value[1], value[2] - value[0], value[3] - value[1]};
}

QString NormPosText(const QRect& geometry) {
    return QStringLiteral("%1,%2,%3,%4")
        .arg(geometry.left())
        .arg(geometry.top())
        .arg(geometry.left() + geometry.width())
        .arg(geometry.top() + geometry.height());
}

TFormVideo::TFormVideo(IVideoWindowOwner& owner, QWidget* parent)
    : TForm(parent, Qt::Window | Qt::FramelessWindowHint), m_owner(owner) {
    setObjectName(QStringLiteral("FormVideo"));
    setCaption(QStringLiteral("Video"));
    BuildControls();
    FormPlacement = Create<TFormPlacement>(QStringLiteral("FormPlacement"), this);
    BindFormPlacement(FormPlacement, this);
}

TFormVideo::~TFormVideo() = default;

void TFormVideo::BuildControls() {
    QFont dialogFont = font();
    dialogFont.setPointSize(8);
    setFont(dialogFont);
    setMinimumSize(kMinWidth, TitleBarHeight + ButtonBarHeight + 2 * (FrameMargin + BorderWidth));
    resize(DesignWidth, DesignHeight);

    BarraTitolo = Create<TFlatTitlebar>(QStringLiteral("BarraTitolo"), this);
    BarraTitolo->setCaption(QStringLiteral("Video"));
    BtnClose = Create<TFlatButton>(QStringLiteral("BtnClose"), BarraTitolo);
    SetGlyph(BtnClose, TGlyph::Close, 9);
    BtnClose->setHint(QStringLiteral("Chiudi"));

    PannelloBordi = Create<TFlatPanel>(QStringLiteral("PannelloBordi"), this);
    PannelloBordi->setTag(1);
    // The engines draw into the display: black where no picture is.
    Panel = Create<TPanel>(QStringLiteral("Panel"), PannelloBordi);
    Panel->setBevel(false);
    Panel->setColor(kDisplayColor);

    PnlPulsanti = Create<TPanel>(QStringLiteral("PnlPulsanti"), this);
    PnlPulsanti->setBevel(false);
    struct Button {
        const char* name;
        TFlatButton** target;
        TGlyph glyph;
        const char* caption;
        const char* hint;
    };
    const Button buttons[] = {
        {"BtnPlay", &BtnPlay, TGlyph::Play, "", "Play"},
        {"BtnPrev", &BtnPrev, TGlyph::Prev, "", "Traccia precedente"},
        {"BtnNext", &BtnNext, TGlyph::Next, "", "Traccia successiva"},
        {"BtnPause", &BtnPause, TGlyph::Pause, "", "Pausa"},
        {"BtnStop", &BtnStop, TGlyph::Stop, "", "Stop"},
        {"BtnFullScreen", &BtnFullScreen, TGlyph::Play, "F", "Schermo intero"},
        {"BtnVideoSize", &BtnVideoSize, TGlyph::Play, "1:1", "Dimensioni originali"},
    };
    int x = kButtonLeft;
    for (const Button& b : buttons) {
        auto* button = Create<TFlatButton>(QLatin1String(b.name), PnlPulsanti);
        button->setGeometry(x, (ButtonBarHeight - kButtonHeight) / 2, kButtonWidth, kButtonHeight);
        if (*b.caption) {
            button->setCaption(QLatin1String(b.caption));
            button->setTag(1);
        } else {
            SetGlyph(button, b.glyph, 12);
        }
        button->setHint(QString::fromUtf8(b.hint));
        *b.target = button;
        x += kButtonStep;
    }

    PnlTimeLine = Create<TPanel>(QStringLiteral("PnlTimeLine"), PnlPulsanti);
    PnlTimeLine->setBevel(false);
    PnlPosizione = Create<TPanel>(QStringLiteral("PnlPosizione"), PnlTimeLine);
    PnlPosizione->setBevel(false);
    Posizione = Create<TFlatScrollbar>(QStringLiteral("Posizione"), PnlPosizione);
    Posizione->setRange(0, 100);
    Posizione->setHint(QStringLiteral("Posizione"));

    PnlResizer = Create<TPanel>(QStringLiteral("PnlResizer"), PnlPulsanti);
    PnlResizer->setBevel(false);
    PnlResizer->setCursor(Qt::SizeFDiagCursor);
    PnlResizer->installEventFilter(this);

    connect(BtnClose, &QAbstractButton::clicked, this, &TFormVideo::BtnCloseClick);
    connect(BtnPlay, &QAbstractButton::clicked, this, &TFormVideo::BtnPlayClick);
    connect(BtnPrev, &QAbstractButton::clicked, this, &TFormVideo::BtnPrevClick);
    connect(BtnNext, &QAbstractButton::clicked, this, &TFormVideo::BtnNextClick);
    connect(BtnPause, &QAbstractButton::clicked, this, &TFormVideo::BtnPauseClick);
    connect(BtnStop, &QAbstractButton::clicked, this, &TFormVideo::BtnStopClick);
    connect(BtnFullScreen, &QAbstractButton::clicked, this, &TFormVideo::BtnFullScreenClick);
    connect(BtnVideoSize, &QAbstractButton::clicked, this, &TFormVideo::BtnVideoSizeClick);
    connect(Posizione, &TFlatScrollbar::scroll, this, &TFormVideo::PosizioneScroll);
    FormResize();
}

void TFormVideo::FormResize() {
    const int w = width();
    const int h = height();
    BarraTitolo->setGeometry(0, 0, w, TitleBarHeight);
    BtnClose->setGeometry(w - kCloseFromRight - 15, 2, 15, 14);
    BarraTitolo->update();

    const int frameHeight = std::max(0, h - TitleBarHeight - ButtonBarHeight - 2 * FrameMargin);
    PannelloBordi->setGeometry(FrameMargin, TitleBarHeight + FrameMargin,
                               std::max(0, w - 2 * FrameMargin), frameHeight);
    Panel->setGeometry(BorderWidth, BorderWidth,
                       std::max(0, PannelloBordi->width() - 2 * BorderWidth),
                       std::max(0, frameHeight - 2 * BorderWidth));

    PnlPulsanti->setGeometry(0, h - ButtonBarHeight, w, ButtonBarHeight);
    const int lineLeft = BtnVideoSize->geometry().right() + 1 + kButtonLeft;
    const int lineWidth = std::max(0, w - lineLeft - ResizerWidth - kButtonLeft);
    PnlTimeLine->setGeometry(lineLeft, (ButtonBarHeight - kBarHeight) / 2, lineWidth, kBarHeight);
    const int frameWidth = std::max(0, lineWidth - 2 * kBarFrameInset);
    PnlPosizione->setGeometry(kBarFrameInset, 0, frameWidth, kBarHeight);
    Posizione->setGeometry(-kBarOverhang, 0, frameWidth + 2 * kBarOverhang, kBarHeight);
    PnlResizer->setGeometry(w - ResizerWidth, 0, ResizerWidth, ButtonBarHeight);
}

TBasePlayer* TFormVideo::Engine() const {
    return m_owner.VideoController().Engine();
}

void TFormVideo::BtnPlayClick() {
    m_owner.VideoController().PlayClick();
}
void TFormVideo::BtnPrevClick() {
    m_owner.VideoController().PrevClick();
}
void TFormVideo::BtnNextClick() {
    m_owner.VideoController().NextClick();
}
void TFormVideo::BtnPauseClick() {
    m_owner.VideoController().PauseClick();
}
void TFormVideo::BtnStopClick() {
    m_owner.VideoController().StopClick();
}
void TFormVideo::BtnFullScreenClick() {
    m_owner.ToggleFullScreen();
}
void TFormVideo::PosizioneScroll(int value) {
    m_owner.VideoController().PosizioneScroll(value);
}

void TFormVideo::SetPositionBar(int percent) {
    Posizione->setPosition(percent);
}

void TFormVideo::SizeVideoWindowToVideo() {
    TBasePlayer* engine = Engine();
    if (!engine)
        return;
    try {
        const QSize picture(engine->GetVideoWidth(), engine->GetVideoHeight());
        // A picture whose size is not known yet leaves the window as it is.
        if (picture.width() <= 0 || picture.height() <= 0)
            return;
        resize(VideoWindowSizeFor(picture, BorderWidth, TitleBarHeight, ButtonBarHeight));
        engine->Refresh();
    } catch (...) {
        // No picture to measure: the window keeps its size.
    }
}

void TFormVideo::RestoreVideoWindowSize() {
    QString text;
    try {
        text = ConfigReadString(PlacementSectionOf(objectName()), NormPosKey(), QString());
    } catch (...) {
        return;
    }
    const QRect target = GeometryFromNormPos(text, geometry());
    if (target == geometry())
        return;
    // A stored rectangle that is empty or inside out keeps the current size.
    if (target.width() < minimumWidth() || target.height() < minimumHeight())
        move(target.topLeft());
    else
        setGeometry(target);
}

void TFormVideo::ShowFullScreen(bool on) {
    if (on) {
        // Full screen on the screen the window is on.
        showFullScreen();
        raise();
        activateWindow();
    } else if (isFullScreen()) {
        showNormal();
    }
}

void TFormVideo::showEvent(QShowEvent* e) {
    TForm::showEvent(e);
    if (e->spontaneous())
        return; // back from minimised: nothing to redo
    if (!CurrentLanguage().isEmpty())
        TranslateForLanguage(this, CurrentLanguage());
    RestoreVideoWindowSize();
    ApplySchemeToForm(this, CurrentSchemePath());
    // The display stays black under every scheme: it is the picture's.
    Panel->setColor(kDisplayColor);
    FormResize();
    if (TBasePlayer* engine = Engine()) {
        try {
            engine->Refresh();
        } catch (...) {
        }
    }
}

void TFormVideo::StorePlacement() {
    try {
        FormPlacement->SaveFormPlacement();
        const QRect normal = isFullScreen() || isMaximized() ? normalGeometry() : geometry();
        ConfigWriteString(PlacementSectionOf(objectName()), NormPosKey(), NormPosText(normal));
    } catch (...) {
        // Closing always completes; the window keeps its last stored place.
    }
}

void TFormVideo::closeEvent(QCloseEvent* e) {
    // Full screen ends with the window: no full-screen timer, no ESC key
    // caught and no command panel without a picture.
    if (isFullScreen() || m_owner.VideoController().FullScreen)
        m_owner.LeaveFullScreen();
    StorePlacement();
    e->accept(); // hidden, not destroyed
    TForm::closeEvent(e);
    m_owner.VideoController().StopPlayback();
    m_owner.ShowMainWindowAfterVideo();
}

void TFormVideo::resizeEvent(QResizeEvent* e) {
    TForm::resizeEvent(e);
    FormResize();
}

void TFormVideo::PnlResizerMouseDown(QPoint globalPos) {
    m_resumeAfterResize = false;
    if (TBasePlayer* engine = Engine()) {
        try {
            // Only a playing picture is paused, and only that one resumes:
            // a picture the user paused stays paused after the drag.
            if (engine->GetMode() == TMPMode::Playing) {
                engine->Pause();
                m_resumeAfterResize = true;
            }
        } catch (...) {
        }
    }
    m_resizeStart = globalPos;
    m_resizeStartSize = size();
    m_resizing = true;
}

void TFormVideo::PnlResizerMouseMove(QPoint globalPos) {
    const QPoint delta = globalPos - m_resizeStart;
    resize(m_resizeStartSize.width() + delta.x(), m_resizeStartSize.height() + delta.y());
}

void TFormVideo::PnlResizerMouseUp() {
    m_resizing = false;
    update();
    if (TBasePlayer* engine = Engine()) {
        try {
            engine->Refresh();
            if (m_resumeAfterResize)
                engine->Resume();
        } catch (...) {
        }
    }
    m_resumeAfterResize = false;
}

bool TFormVideo::eventFilter(QObject* watched, QEvent* e) {
    if (watched == PnlResizer) {
        const auto* mouse = static_cast<QMouseEvent*>(e);
        switch (e->type()) {
        case QEvent::MouseButtonPress:
            if (mouse->button() == Qt::LeftButton) {
                PnlResizerMouseDown(mouse->globalPosition().toPoint());
                return true;
            }
            break;
        case QEvent::MouseMove:
            if (m_resizing && (mouse->buttons() & Qt::LeftButton)) {
                PnlResizerMouseMove(mouse->globalPosition().toPoint());
                return true;
            }
            break;
        case QEvent::MouseButtonRelease:
            if (m_resizing && mouse->button() == Qt::LeftButton) {
                PnlResizerMouseUp();
                return true;
            }
            break;
        default:
            break;
        }
    }
    return TForm::eventFilter(watched, e);
}
