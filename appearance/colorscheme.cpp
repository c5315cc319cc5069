#include "appearance/colorscheme.h"

#include "support/errors.h"
#include "support/programfolder.h"
#include "toolkit/flatwidgets.h"
#include "toolkit/messages.h"

#include <QFileInfo>

#include <array>
#include <cstring>

QString CurrentSchemePath() { return ProgramFolder() + QStringLiteral("CurrentColor.clr"); }

TColorScheme& CurrentScheme() {
    static TColorScheme scheme{};
    return scheme;
}

namespace {

using Painter = bool (*)(QObject*, int tag, const TColorScheme&);

template <class T> T* as(QObject* o) { return qobject_cast<T*>(o); }

bool paintFlatButton(QObject* o, int tag, const TColorScheme& s) {
    auto* b = as<TFlatButton>(o);
    b->setColor(s[srButtonFace]);
    b->setColorBorder(s[srButtonBorder]);
    // A pressed button shows darker only where the window asks for it.
    b->setColorDown(tag == 1 ? DarkenColor(s[srButtonFace], 40) : s[srButtonFace]);
    b->setColorFocused(s[srButtonFocus]);
    b->setColorHighLight(s[srButtonBorder]);
    b->setColorShadow(s[srButtonBorder]);
    return true;
}

bool paintFlatPanel(QObject* o, int tag, const TColorScheme& s) {
    auto* p = as<TFlatPanel>(o);
    switch (tag) {
    case 0:
    case 1:
        p->setColor(tag == 1 ? s[srTextBox] : s[srFace]);
        p->setColorHighLight(s[srBorder]);
        p->setColorShadow(s[srBorder]);
        p->setFontColor(s[srTextFont]);
        return true;
    case 4:
        p->setColor(s[srScroll]);
        return true;
    default:
        return false;
    }
}

bool paintFlatGroupBox(QObject* o, int, const TColorScheme& s) {
    auto* g = as<TFlatGroupBox>(o);
    g->setColor(s[srFace]);
    g->setColorBorder(s[srBorder]);
    g->setFontColor(s[srTextFont]);
    return true;
}

bool paintPanel(QObject* o, int tag, const TColorScheme& s) {
    auto* p = as<TPanel>(o);
    switch (tag) {
    case 3:
        p->setColor(s[srTitle]);
        p->setFontColor(s[srTitleFont]);
        return true;
    case 4:
        p->setColor(s[srThumb]);
        return true;
    case 1:
        p->setColor(s[srTextBox]);
        return true;
    case 2:
        return false;
    default:
        p->setColor(s[srFace]);
        p->setFontColor(s[srTextFont]);
        return true;
    }
}

bool paintSecretPanel(QObject* o, int, const TColorScheme& s) {
    as<TSecretPanel>(o)->setColor(s[srTextBox]);
    return true;
}

bool paintEdit(QObject* o, int tag, const TColorScheme& s) {
    if (tag == 2)
        return false;
    auto* e = as<TEdit>(o);
    e->setColor(s[srTextBox]);
    e->setFontColor(s[srTextFont]);
    return true;
}

template <class T> bool paintListTag1(QObject* o, int tag, const TColorScheme& s) {
    if (tag != 1)
        return false;
    auto* l = as<T>(o);
    l->setColor(s[srTextBox]);
    l->setFontColor(s[srTextFont]);
    return true;
}

bool paintLabel(QObject* o, int tag, const TColorScheme& s) {
    if (tag == 2)
        return false;
    as<TLabel>(o)->setFontColor(s[srTextFont]);
    return true;
}

bool paintScrollbar(QObject* o, int, const TColorScheme& s) {
    auto* b = as<TFlatScrollbar>(o);
    b->setThumbBorderColor(s[srScroll]);
    b->setThumbHighlightColor(s[srScroll]);
    b->setThumbShadowColor(s[srScroll]);
    b->setColor(s[srScroll]);
    b->setThumbColor(s[srThumb]);
    b->setThumbFocusedColor(s[srButtonFocus]);
    b->setButtonColor(s[srBorder]);
    b->setButtonBorderColor(s[srBorder]);
    return true;
}

bool paintTitlebar(QObject* o, int, const TColorScheme& s) {
    auto* t = as<TFlatTitlebar>(o);
    t->setTitlebarColor(s[srTitle]);
    t->setFontColor(s[srTitleFont]);
    t->setInactiveTextColor(s[srTitleFont]);
    t->setActiveTextColor(s[srTitleFont]);
    return true;
}

bool paintHint(QObject* o, int, const TColorScheme& s) {
    auto* h = as<TFlatHint>(o);
    h->setColorArrow(s[srTextFont]);
    h->setColorArrowBackground(s[srButtonFace]);
    h->setColorBorder(s[srBorder]);
    h->setColorBackground(s[srButtonFocus]);
    return true;
}

bool paintCheckBox(QObject* o, int tag, const TColorScheme& s) {
    auto* c = as<TFlatCheckBox>(o);
    c->setColorBorder(s[srBorder]);
    c->setFontColor(s[srTextFont]);
    c->setColorCheck(s[srTextFont]);
    c->setColorDown(s[srTextBox]);
    c->setColorFocused(s[srTextBox]);
    c->setColor(tag == 1 ? s[srFace] : s[srTextBox]);
    return true;
}

bool paintCheckListBox(QObject* o, int, const TColorScheme& s) {
    auto* l = as<TFlatCheckListBox>(o);
    l->setColorBorder(s[srBorder]);
    l->setColorArrow(s[srBorder]);
    l->setColorCheck(s[srBorder]);
    l->setFontColor(s[srTextFont]);
    l->setColor(s[srTextBox]);
    l->setColorItemsRect(s[srTextBox]);
    l->setColorItemsSelect(s[srFace]);
    return true;
}

bool paintFlatListBox(QObject* o, int, const TColorScheme& s) {
    auto* l = as<TFlatListBox>(o);
    l->setColorBorder(s[srBorder]);
    l->setColorArrow(s[srBorder]);
    l->setFontColor(s[srTextFont]);
    l->setColor(s[srTextBox]);
    l->setColorItemsRect(s[srTextBox]);
    l->setColorItemsSelect(s[srFace]);
    return true;
}

bool paintFlatComboBox(QObject* o, int, const TColorScheme& s) {
    auto* c = as<TFlatComboBox>(o);
    c->setColorBorder(s[srBorder]);
    c->setFontColor(s[srTextFont]);
    c->setColorArrow(s[srTextFont]);
    c->setColorArrowBackground(s[srBorder]);
    c->setColor(s[srTextBox]);
    return true;
}

bool paintProgressBar(QObject* o, int, const TColorScheme& s) {
    auto* p = as<TFlatProgressBar>(o);
    p->setColorBorder(s[srBorder]);
    p->setColorElement(s[srBorder]);
    p->setColor(s[srFace]);
    return true;
}

struct PaintRule {
    const char* className;
    Painter paint;
};

// In the order the classes are tested; the first exact match paints.
constexpr std::array<PaintRule, 17> kPaintRules = {{
    {"TFlatButton", paintFlatButton},
    {"TFlatPanel", paintFlatPanel},
    {"TFlatGroupBox", paintFlatGroupBox},
    {"TPanel", paintPanel},
    {"TSecretPanel", paintSecretPanel},
    {"TEdit", paintEdit},
    {"TListBox", paintListTag1<TListBox>},
    {"TTextListBox", paintListTag1<TTextListBox>},
    {"TLabel", paintLabel},
    {"TFlatScrollbar", paintScrollbar},
    {"TFlatTitlebar", paintTitlebar},
    {"TFlatHint", paintHint},
    {"TFlatCheckBox", paintCheckBox},
    {"TFlatCheckListBox", paintCheckListBox},
    {"TFlatListBox", paintFlatListBox},
    {"TFlatComboBox", paintFlatComboBox},
    {"TFlatProgressBar", paintProgressBar},
}};

} // namespace

bool PaintComponent(QObject* component, const TColorScheme& scheme) {
    if (!component)
        return false;
    const char* name = component->metaObject()->className();
    for (const PaintRule& rule : kPaintRules)
        if (std::strcmp(name, rule.className) == 0)
            return rule.paint(component, ComponentTag(component), scheme);
    return false;
}

namespace {

TColorScheme readSchemeOrThrow(const QString& fileName) {
    QString error;
    const auto read = ReadSchemeFile(fileName, &error);
    if (!read)
        throw ELorimelError(error);
    return *read;
}

void paintForm(TForm* form, const TColorScheme& scheme) {
    for (QObject* component : form->Components())
        PaintComponent(component, scheme);
}

} // namespace

void ApplyColorScheme(TForm* form, const QString& fileName) {
    paintForm(form, QFileInfo::exists(fileName) ? readSchemeOrThrow(fileName) : SchemeDefaults);
}

void ApplySchemeToForm(TForm* form, const QString& fileName) {
    if (!QFileInfo::exists(fileName))
        return;
    try {
        // The file is read once: a bad file is rejected before any control
        // or the scheme in force changes.
        const TColorScheme scheme = readSchemeOrThrow(fileName);
        paintForm(form, scheme);
        CurrentScheme() = scheme;
    } catch (const std::exception&) {
        ShowErrorByKeys(QStringLiteral("MSG_WRONGCOLOR"),
                        QStringLiteral("Combinazione di colori non disponibile o inesatta. Verrà "
                                       "utilizzata la combinazione precedente."),
                        QStringLiteral("TTL_ERRORE"), QStringLiteral("Errore"));
    }
}
