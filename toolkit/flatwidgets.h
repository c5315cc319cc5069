#pragma once
// The toolkit's controls. The class names are the ones the painting rule and
// the translation rule test (exact meta-object class names), and the colour
// accessors carry the names of the painting table (Color, ColorBorder, ...);
// "font" there is FontColor here. Every control has the integer Tag, its
// Caption and Hint (tool tip) where it shows them, and Lines or Items where
// it holds them. The flat controls paint themselves from their colours.
#include "toolkit/component.h"
#include "toolkit/tcolor.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QToolButton>

// clang-format off
#define LORIMEL_HINT                                                                               \
    QString Hint() const { return toolTip(); }                                                     \
    void setHint(const QString& h) { setToolTip(h); }

#define LORIMEL_COLOR(Name, member)                                                                \
    TColor Name() const { return member; }                                                         \
    void set##Name(TColor c) {                                                                     \
        member = c;                                                                                \
        colorsChanged();                                                                           \
    }
// clang-format on

// ---- standard controls -------------------------------------------------

class TPanel : public QFrame, public TControlBase {
    Q_OBJECT
public:
    explicit TPanel(QWidget* parent = nullptr);
    QString Caption() const { return m_caption; }
    void setCaption(const QString& c);
    LORIMEL_HINT
    LORIMEL_COLOR(Color, m_color)
    LORIMEL_COLOR(FontColor, m_fontColor)
    Qt::Alignment Alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment a);
    // Raised (true, the default) or flat bevel.
    void setBevel(bool raised);
signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void colorsChanged();

private:
    QString m_caption;
    TColor m_color = clBtnFace;
    TColor m_fontColor = clBtnText;
    Qt::Alignment m_alignment = Qt::AlignCenter;
    bool m_raised = true;
};

class TLabel : public QLabel, public TControlBase {
    Q_OBJECT
public:
    explicit TLabel(QWidget* parent = nullptr);
    QString Caption() const { return text(); }
    void setCaption(const QString& c) { setText(c); }
    LORIMEL_HINT
    LORIMEL_COLOR(FontColor, m_fontColor)
signals:
    void clicked();

protected:
    bool event(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void colorsChanged();

private:
    TColor m_fontColor = clBtnText;
};

// A label of another family: shares the label's behaviour, never its class name.
class TRxLabel : public TLabel {
    Q_OBJECT
public:
    using TLabel::TLabel;
};

class TEdit : public QLineEdit, public TControlBase {
    Q_OBJECT
public:
    explicit TEdit(QWidget* parent = nullptr);
    QString Text() const { return text(); }
    void setText(const QString& t) { QLineEdit::setText(t); }
    LORIMEL_HINT
    LORIMEL_COLOR(Color, m_color)
    LORIMEL_COLOR(FontColor, m_fontColor)
protected:
    bool event(QEvent* e) override;
    void colorsChanged();

private:
    TColor m_color = clWindow;
    TColor m_fontColor = clWindowText;
};

class TListBox : public QListWidget, public TControlBase {
    Q_OBJECT
public:
    explicit TListBox(QWidget* parent = nullptr);
    QStringList Items() const;
    void setItems(const QStringList& items);
    LORIMEL_HINT
    LORIMEL_COLOR(Color, m_color)
    LORIMEL_COLOR(FontColor, m_fontColor)
protected:
    bool event(QEvent* e) override;
    void colorsChanged();

private:
    TColor m_color = clWindow;
    TColor m_fontColor = clWindowText;
};

class TTextListBox : public TListBox {
    Q_OBJECT
public:
    using TListBox::TListBox;
};

class TComboBox : public QComboBox, public TControlBase {
    Q_OBJECT
public:
    explicit TComboBox(QWidget* parent = nullptr);
    QStringList Items() const;
    void setItems(const QStringList& items);
    LORIMEL_HINT
};

class TCheckBox : public QCheckBox, public TControlBase {
    Q_OBJECT
public:
    explicit TCheckBox(QWidget* parent = nullptr);
    QString Caption() const { return text(); }
    void setCaption(const QString& c) { setText(c); }
    LORIMEL_HINT
};

class TGroupBox : public QGroupBox, public TControlBase {
    Q_OBJECT
public:
    explicit TGroupBox(QWidget* parent = nullptr);
    QString Caption() const { return title(); }
    void setCaption(const QString& c) { setTitle(c); }
    LORIMEL_HINT
};

class TBitBtn : public QPushButton, public TControlBase {
    Q_OBJECT
public:
    explicit TBitBtn(QWidget* parent = nullptr);
    QString Caption() const { return text(); }
    void setCaption(const QString& c) { setText(c); }
    LORIMEL_HINT
};

class TSpeedButton : public QToolButton, public TControlBase {
    Q_OBJECT
public:
    explicit TSpeedButton(QWidget* parent = nullptr);
    QString Caption() const { return text(); }
    void setCaption(const QString& c) { setText(c); }
    LORIMEL_HINT
};

class TRxSpeedButton : public TSpeedButton {
    Q_OBJECT
public:
    using TSpeedButton::TSpeedButton;
};

// A menu item; Tag holds its image index.
class TMenuItem : public QAction, public TControlBase {
    Q_OBJECT
public:
    explicit TMenuItem(QObject* parent = nullptr);
    QString Caption() const { return text(); }
    void setCaption(const QString& c) { setText(c); }
    QString Hint() const { return statusTip(); }
    void setHint(const QString& h) {
        setStatusTip(h);
        setToolTip(h);
    }
};

// An item of a speed bar (a button strip), non-visual until placed.
class TSpeedItem : public QAction, public TControlBase {
    Q_OBJECT
public:
    explicit TSpeedItem(QObject* parent = nullptr);
    QString Caption() const { return text(); }
    void setCaption(const QString& c) { setText(c); }
    QString Hint() const { return toolTip(); }
    void setHint(const QString& h) { setToolTip(h); }
};

// A multi-line text box with a hint.
class THintBox : public QLabel, public TControlBase {
    Q_OBJECT
public:
    explicit THintBox(QWidget* parent = nullptr);
    QStringList Lines() const { return m_lines; }
    void setLines(const QStringList& lines);
    LORIMEL_HINT
private:
    QStringList m_lines;
};

// ---- flat controls -----------------------------------------------------

// A flat push button; with Sticky set it is a toggle that stays down until
// clicked again (Down). Clicking emits clicked() as any button.
class TFlatButton : public QAbstractButton, public TControlBase {
    Q_OBJECT
public:
    explicit TFlatButton(QWidget* parent = nullptr);
    QString Caption() const { return text(); }
    void setCaption(const QString& c) { setText(c); }
    LORIMEL_HINT
    LORIMEL_COLOR(Color, m_color)
    LORIMEL_COLOR(ColorBorder, m_colorBorder)
    LORIMEL_COLOR(ColorDown, m_colorDown)
    LORIMEL_COLOR(ColorFocused, m_colorFocused)
    LORIMEL_COLOR(ColorHighLight, m_colorHighLight)
    LORIMEL_COLOR(ColorShadow, m_colorShadow)
    LORIMEL_COLOR(FontColor, m_fontColor)
    bool Sticky() const { return isCheckable(); }
    void setSticky(bool s) { setCheckable(s); }
    bool Down() const { return isChecked(); }
    void setDown(bool d) { setChecked(d); }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void colorsChanged() { update(); }

private:
    TColor m_color = clBtnFace;
    TColor m_colorBorder = RGBColor(0x80, 0x80, 0x80);
    TColor m_colorDown = clBtnFace;
    TColor m_colorFocused = clBtnHighlight;
    TColor m_colorHighLight = clBtnHighlight;
    TColor m_colorShadow = clBtnShadow;
    TColor m_fontColor = clBtnText;
    bool m_hover = false;
};

class TFlatPanel : public QFrame, public TControlBase {
    Q_OBJECT
public:
    explicit TFlatPanel(QWidget* parent = nullptr);
    QString Caption() const { return m_caption; }
    void setCaption(const QString& c);
    LORIMEL_HINT
    LORIMEL_COLOR(Color, m_color)
    LORIMEL_COLOR(ColorHighLight, m_colorHighLight)
    LORIMEL_COLOR(ColorShadow, m_colorShadow)
    LORIMEL_COLOR(FontColor, m_fontColor)
    Qt::Alignment Alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment a);
    // Without a frame the panel paints only its fill.
    void setFramed(bool framed);
signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void colorsChanged() { update(); }

private:
    QString m_caption;
    TColor m_color = clBtnFace;
    TColor m_colorHighLight = clBtnHighlight;
    TColor m_colorShadow = clBtnShadow;
    TColor m_fontColor = clBtnText;
    Qt::Alignment m_alignment = Qt::AlignCenter;
    bool m_framed = true;
};

class TFlatGroupBox : public QFrame, public TControlBase {
    Q_OBJECT
public:
    explicit TFlatGroupBox(QWidget* parent = nullptr);
    QString Caption() const { return m_caption; }
    void setCaption(const QString& c);
    LORIMEL_HINT
    LORIMEL_COLOR(Color, m_color)
    LORIMEL_COLOR(ColorBorder, m_colorBorder)
    LORIMEL_COLOR(FontColor, m_fontColor)
protected:
    void paintEvent(QPaintEvent* e) override;
    void changeEvent(QEvent* e) override;
    void colorsChanged() { update(); }

private:
    void updateMargins();
    QString m_caption;
    TColor m_color = clBtnFace;
    TColor m_colorBorder = clBtnShadow;
    TColor m_fontColor = clBtnText;
};

// A panel whose lines scroll by continuously while Active: horizontally and
// cyclically (the text leaves on one side and comes back on the other).
class TSecretPanel : public QWidget, public TControlBase {
    Q_OBJECT
public:
    explicit TSecretPanel(QWidget* parent = nullptr);
    QStringList Lines() const { return m_lines; }
    void setLines(const QStringList& lines);
    void ClearLines() { setLines({}); }
    void AddLine(const QString& line);
    LORIMEL_HINT
    LORIMEL_COLOR(Color, m_color)
    LORIMEL_COLOR(FontColor, m_fontColor)
    bool Active() const { return m_timer.isActive(); }
    void setActive(bool active);
    // Pixels moved per step and the step interval in milliseconds.
    void setSpeed(int pixels, int intervalMs);
    // Vertical scrolling (used by credits): lines move upwards.
    void setVertical(bool vertical);
    bool Vertical() const { return m_vertical; }
    // How far the text has moved, 0 up to (not including) Period().
    int Offset() const { return m_offset; }
    // The length of one full cycle in pixels: the text block plus a gap,
    // never less than the panel itself, so the text always comes round again.
    int Period() const;
    // Moves the text by one step, as each timer tick does.
    void Step();
signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void colorsChanged() { update(); }

private:
    QStringList m_lines;
    TColor m_color = clBtnFace;
    TColor m_fontColor = clBtnText;
    QTimer m_timer;
    int m_offset = 0;
    int m_pixels = 1;
    bool m_vertical = false;
};

// A flat horizontal (or vertical) scroll bar with arrow buttons at both ends.
// scroll(position) is raised only by the user (mouse, wheel, keys), never
// when code calls setPosition.
class TFlatScrollbar : public QWidget, public TControlBase {
    Q_OBJECT
public:
    explicit TFlatScrollbar(QWidget* parent = nullptr);
    int Min() const { return m_min; }
    int Max() const { return m_max; }
    int Position() const { return m_position; }
    void setRange(int min, int max);
    void setPosition(int position); // no scroll event
    void setVertical(bool vertical);
    bool Vertical() const { return m_vertical; }
    // Steps of an arrow button or key (small) and of a click on the track or
    // PageUp/PageDown (large); at least 1.
    int SmallChange() const { return m_smallChange; }
    void setSmallChange(int step);
    int LargeChange() const { return m_largeChange; }
    void setLargeChange(int step);
    // Length of each arrow button along the bar: the standard 16 pixels,
    // less on a bar too short for them. The thumb has the same length.
    int ButtonLength() const;
    // The thumb's rectangle in the bar's own coordinates.
    QRect ThumbRect() const;
    LORIMEL_HINT
    LORIMEL_COLOR(Color, m_color)
    LORIMEL_COLOR(ThumbColor, m_thumbColor)
    LORIMEL_COLOR(ThumbBorderColor, m_thumbBorderColor)
    LORIMEL_COLOR(ThumbHighlightColor, m_thumbHighlightColor)
    LORIMEL_COLOR(ThumbShadowColor, m_thumbShadowColor)
    LORIMEL_COLOR(ThumbFocusedColor, m_thumbFocusedColor)
    LORIMEL_COLOR(ButtonColor, m_buttonColor)
    LORIMEL_COLOR(ButtonBorderColor, m_buttonBorderColor)
signals:
    void scroll(int position);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void colorsChanged() { update(); }

private:
    enum class Part { None, DecArrow, IncArrow, DecPage, IncPage, Thumb };
    Part partAt(const QPoint& p) const;
    int along(const QPoint& p) const { return m_vertical ? p.y() : p.x(); }
    int length() const { return m_vertical ? height() : width(); }
    int thumbStart() const;
    void repeatAction();
    void userSet(int position);
    int m_min = 0;
    int m_max = 100;
    int m_position = 0;
    int m_smallChange = 1;
    int m_largeChange = 10;
    bool m_vertical = false;
    bool m_dragging = false;
    bool m_dragMoved = false;
    bool m_hoverThumb = false;
    int m_dragOffset = 0;
    int m_wheelRest = 0;
    Part m_pressedPart = Part::None;
    QPoint m_pressPoint;
    QTimer m_repeat;
    TColor m_color = clBtnHighlight;
    TColor m_thumbColor = clBtnFace;
    TColor m_thumbBorderColor = clBtnShadow;
    TColor m_thumbHighlightColor = clBtnHighlight;
    TColor m_thumbShadowColor = clBtnShadow;
    TColor m_thumbFocusedColor = clBtnHighlight;
    TColor m_buttonColor = clBtnFace;
    TColor m_buttonBorderColor = clBtnShadow;
};

// A window's own title bar: shows the caption, moves the window when
// dragged, and holds its buttons (children placed by the window).
class TFlatTitlebar : public QWidget, public TControlBase {
    Q_OBJECT
public:
    explicit TFlatTitlebar(QWidget* parent = nullptr);
    QString Caption() const { return m_caption; }
    void setCaption(const QString& c);
    LORIMEL_HINT
    LORIMEL_COLOR(TitlebarColor, m_titlebarColor)
    LORIMEL_COLOR(FontColor, m_fontColor)
    LORIMEL_COLOR(ActiveTextColor, m_activeTextColor)
    LORIMEL_COLOR(InactiveTextColor, m_inactiveTextColor)
signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool event(QEvent* e) override;
    void colorsChanged();

private:
    QString m_caption;
    TColor m_titlebarColor = clBtnShadow;
    TColor m_fontColor = clBtnHighlight;
    TColor m_activeTextColor = clBtnHighlight;
    TColor m_inactiveTextColor = clBtnFace;
    QPoint m_pressOffset;
    bool m_dragging = false;
    bool m_systemMoveTried = false;
};

// Styles the application's tool tips while it exists.
class TFlatHint : public QObject, public TControlBase {
    Q_OBJECT
public:
    explicit TFlatHint(QObject* parent = nullptr);
    ~TFlatHint() override;
    LORIMEL_COLOR(ColorArrow, m_colorArrow)
    LORIMEL_COLOR(ColorArrowBackground, m_colorArrowBackground)
    LORIMEL_COLOR(ColorBorder, m_colorBorder)
    LORIMEL_COLOR(ColorBackground, m_colorBackground)
protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void colorsChanged();

private:
    void apply() const;
    TColor m_colorArrow = clBtnText;
    TColor m_colorArrowBackground = clBtnFace;
    TColor m_colorBorder = clBtnShadow;
    TColor m_colorBackground = clBtnHighlight;
};

class TFlatCheckBox : public QAbstractButton, public TControlBase {
    Q_OBJECT
public:
    explicit TFlatCheckBox(QWidget* parent = nullptr);
    QString Caption() const { return text(); }
    void setCaption(const QString& c) { setText(c); }
    LORIMEL_HINT
    bool Checked() const { return isChecked(); }
    void setChecked(bool c) { QAbstractButton::setChecked(c); }
    LORIMEL_COLOR(Color, m_color)
    LORIMEL_COLOR(ColorBorder, m_colorBorder)
    LORIMEL_COLOR(ColorCheck, m_colorCheck)
    LORIMEL_COLOR(ColorDown, m_colorDown)
    LORIMEL_COLOR(ColorFocused, m_colorFocused)
    LORIMEL_COLOR(FontColor, m_fontColor)
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void colorsChanged() { update(); }

private:
    bool m_hover = false;
    TColor m_color = clWindow;
    TColor m_colorBorder = clBtnShadow;
    TColor m_colorCheck = clBtnText;
    TColor m_colorDown = clWindow;
    TColor m_colorFocused = clWindow;
    TColor m_fontColor = clBtnText;
};

// A list box whose items carry check marks, addressed by index.
class TFlatCheckListBox : public QListWidget, public TControlBase {
    Q_OBJECT
public:
    explicit TFlatCheckListBox(QWidget* parent = nullptr);
    QStringList Items() const;
    void setItems(const QStringList& items);
    bool Checked(int index) const;
    void setChecked(int index, bool checked);
    LORIMEL_HINT
    LORIMEL_COLOR(Color, m_color)
    LORIMEL_COLOR(ColorBorder, m_colorBorder)
    LORIMEL_COLOR(ColorArrow, m_colorArrow)
    LORIMEL_COLOR(ColorCheck, m_colorCheck)
    LORIMEL_COLOR(ColorItemsRect, m_colorItemsRect)
    LORIMEL_COLOR(ColorItemsSelect, m_colorItemsSelect)
    LORIMEL_COLOR(FontColor, m_fontColor)
signals:
    void clickCheck(int index);

protected:
    bool event(QEvent* e) override;
    void colorsChanged();

private:
    void makeCheckable(int first, int last);
    TColor m_color = clWindow;
    TColor m_colorBorder = clBtnShadow;
    TColor m_colorArrow = clBtnShadow;
    TColor m_colorCheck = clBtnShadow;
    TColor m_colorItemsRect = clWindow;
    TColor m_colorItemsSelect = clBtnFace;
    TColor m_fontColor = clWindowText;
};

class TFlatListBox : public QListWidget, public TControlBase {
    Q_OBJECT
public:
    explicit TFlatListBox(QWidget* parent = nullptr);
    QStringList Items() const;
    void setItems(const QStringList& items);
    LORIMEL_HINT
    LORIMEL_COLOR(Color, m_color)
    LORIMEL_COLOR(ColorBorder, m_colorBorder)
    LORIMEL_COLOR(ColorArrow, m_colorArrow)
    LORIMEL_COLOR(ColorItemsRect, m_colorItemsRect)
    LORIMEL_COLOR(ColorItemsSelect, m_colorItemsSelect)
    LORIMEL_COLOR(FontColor, m_fontColor)
protected:
    bool event(QEvent* e) override;
    void colorsChanged();

private:
    TColor m_color = clWindow;
    TColor m_colorBorder = clBtnShadow;
    TColor m_colorArrow = clBtnShadow;
    TColor m_colorItemsRect = clWindow;
    TColor m_colorItemsSelect = clBtnFace;
    TColor m_fontColor = clWindowText;
};

class TFlatComboBox : public QComboBox, public TControlBase {
    Q_OBJECT
public:
    explicit TFlatComboBox(QWidget* parent = nullptr);
    QStringList Items() const;
    void setItems(const QStringList& items);
    LORIMEL_HINT
    LORIMEL_COLOR(Color, m_color)
    LORIMEL_COLOR(ColorBorder, m_colorBorder)
    LORIMEL_COLOR(ColorArrow, m_colorArrow)
    LORIMEL_COLOR(ColorArrowBackground, m_colorArrowBackground)
    LORIMEL_COLOR(FontColor, m_fontColor)
protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void colorsChanged();

private:
    TColor m_color = clWindow;
    TColor m_colorBorder = clBtnShadow;
    TColor m_colorArrow = clBtnText;
    TColor m_colorArrowBackground = clBtnShadow;
    TColor m_fontColor = clWindowText;
};

class TFlatProgressBar : public QWidget, public TControlBase {
    Q_OBJECT
public:
    explicit TFlatProgressBar(QWidget* parent = nullptr);
    int Min() const { return m_min; }
    int Max() const { return m_max; }
    int Position() const { return m_position; }
    void setRange(int min, int max);
    void setPosition(int position);
    LORIMEL_HINT
    LORIMEL_COLOR(Color, m_color)
    LORIMEL_COLOR(ColorBorder, m_colorBorder)
    LORIMEL_COLOR(ColorElement, m_colorElement)
protected:
    void paintEvent(QPaintEvent* e) override;
    void colorsChanged() { update(); }

private:
    int m_min = 0;
    int m_max = 100;
    int m_position = 0;
    TColor m_color = clBtnFace;
    TColor m_colorBorder = clBtnShadow;
    TColor m_colorElement = clBtnShadow;
};

#undef LORIMEL_HINT
#undef LORIMEL_COLOR
