#include "app/formcommandpanel.h"

#include "app/formvideo.h"
#include "app/glyphs.h"
#include "app/playercontroller.h"
#include "appearance/colorscheme.h"
#include "toolkit/flatwidgets.h"

#include <QFont>
#include <QShowEvent>

namespace {

constexpr int kButtonWidth = 55;
constexpr int kButtonHeight = 23;
constexpr int kButtonStep = 57;
constexpr int kButtonLeft = 3;

} // namespace

QPoint CommandPanelPosition(const QRect& screen, QSize panel) {
    // C++ division cuts toward zero, also for a panel wider than the screen.
    return {screen.left() + (screen.width() - panel.width()) / 2,
            screen.top() + screen.height() - panel.height()};
}

bool CursorOnCommandPanelStrip(QPoint cursor, const QRect& screen, int panelHeight) {
    const int x = cursor.x() - screen.left();
    const int y = cursor.y() - screen.top();
    if (x < 0 || x >= screen.width())
        return false; // on another screen
    return y < screen.height() && y > screen.height() - panelHeight;
}

TFormCommandPanel::TFormCommandPanel(IVideoWindowOwner& owner, QWidget* parent)
    : TForm(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_owner(owner) {
    setObjectName(QStringLiteral("FormCommandPanel"));
    setCaption(QStringLiteral("Command Panel"));
    QFont dialogFont = font();
    dialogFont.setPointSize(8);
    setFont(dialogFont);
    setFixedSize(PanelWidth, PanelHeight);

    struct Button {
        const char* name;
        TFlatButton** target;
        TGlyph glyph;
        const char* caption;
        const char* hint;
        void (TFormCommandPanel::*handler)();
    };
    const Button buttons[] = {
        {"BtnPlay", &BtnPlay, TGlyph::Play, "", "Play", &TFormCommandPanel::BtnPlayClick},
        {"BtnPrev", &BtnPrev, TGlyph::Prev, "", "Traccia precedente",
         &TFormCommandPanel::BtnPrevClick},
        {"BtnNext", &BtnNext, TGlyph::Next, "", "Traccia successiva",
         &TFormCommandPanel::BtnNextClick},
        {"BtnPause", &BtnPause, TGlyph::Pause, "", "Pausa", &TFormCommandPanel::BtnPauseClick},
        {"BtnStop", &BtnStop, TGlyph::Stop, "", "Stop", &TFormCommandPanel::BtnStopClick},
        {"BtnFullScreen", &BtnFullScreen, TGlyph::Play, "F", "Schermo intero",
         &TFormCommandPanel::BtnFullScreenClick},
    };
    int x = kButtonLeft;
    for (const Button& b : buttons) {
        auto* button = Create<TFlatButton>(QLatin1String(b.name), this);
        button->setGeometry(x, (PanelHeight - kButtonHeight) / 2, kButtonWidth, kButtonHeight);
        if (*b.caption) {
            button->setCaption(QLatin1String(b.caption));
            button->setTag(1);
        } else {
            button->setIcon(GlyphIcon(b.glyph, 12));
            button->setIconSize(QSize(12, 12));
        }
        button->setHint(QString::fromUtf8(b.hint));
        connect(button, &QAbstractButton::clicked, this, b.handler);
        *b.target = button;
        x += kButtonStep;
    }
}

TFormCommandPanel::~TFormCommandPanel() = default;

void TFormCommandPanel::showEvent(QShowEvent* e) {
    TForm::showEvent(e);
    if (!e->spontaneous())
        ApplySchemeToForm(this, CurrentSchemePath());
}

void TFormCommandPanel::BtnPlayClick() {
    m_owner.VideoController().PlayClick();
    close();
}

void TFormCommandPanel::BtnPrevClick() {
    m_owner.VideoController().PrevClick();
    close();
}

void TFormCommandPanel::BtnNextClick() {
    m_owner.VideoController().NextClick();
    close();
}

void TFormCommandPanel::BtnPauseClick() {
    m_owner.VideoController().PauseClick();
    close();
    // The engine's own full-screen picture comes back in front of the
    // panel's place.
    if (TBasePlayer* engine = m_owner.VideoController().Engine()) {
        try {
            engine->SetFullScreen(true);
        } catch (...) {
        }
    }
}

void TFormCommandPanel::BtnStopClick() {
    m_owner.VideoController().StopClick();
    close();
}

void TFormCommandPanel::BtnFullScreenClick() {
    m_owner.ToggleFullScreen();
    close();
}
