#include "toolkit/translation.h"

#include "support/codepage.h"
#include "support/supportlanguage.h"
#include "support/supportstring.h"
#include "toolkit/component.h"
#include "toolkit/flatwidgets.h"
#include "toolkit/messages.h"

#include <QFileInfo>
#include <QLineEdit>
#include <array>
#include <string_view>

namespace {

const QString CaptionProperty = QStringLiteral("Caption");
const QString HintProperty = QStringLiteral("Hint");
const QString LinesProperty = QStringLiteral("Lines");
const QString ItemsProperty = QStringLiteral("Items");

void ShowMissingLanguage() {
    ShowError(QString::fromLatin1(MissingLanguageText), QString::fromLatin1(MissingLanguageTitle));
}

// What one component is looked up under: the window's lines and names.
struct TLookup {
    const QStringList& lines;
    QString window;
    QString component;

    QString value(const QString& property, const QString& current) const {
        return LookupProperty(lines, window, component, property, current);
    }
};

template <class T> void ApplyHint(T* c, const TLookup& l) {
    c->setHint(l.value(HintProperty, c->Hint()));
}

template <class T> void CaptionThenHint(QObject* o, const TLookup& l) {
    if (T* c = qobject_cast<T*>(o)) {
        c->setCaption(l.value(CaptionProperty, c->Caption()));
        ApplyHint(c, l);
    }
}

// A label's caption may hold several lines, separated by the line-break sign.
void LabelRule(QObject* o, const TLookup& l) {
    if (TLabel* c = qobject_cast<TLabel*>(o)) {
        ApplyHint(c, l);
        const QString caption = l.value(CaptionProperty, QString());
        if (!caption.isEmpty())
            c->setCaption(CharToLineBreak(caption, LineBreakChar));
    }
}

// Multi-line boxes take their lines from "Lines"; only the last line is
// trimmed, because a file's line end may leave blanks or a CR after it.
template <class T> void LinesRule(QObject* o, const TLookup& l) {
    if (T* c = qobject_cast<T*>(o)) {
        ApplyHint(c, l);
        const QString lines = l.value(LinesProperty, QString());
        if (!lines.isEmpty())
            c->setLines(SplitAtChar(lines, LineBreakChar, true));
    }
}

// Combo boxes take their items from "Items", untrimmed. The selected index
// is kept when it still names an item, so a window that chose an entry
// before being translated shows the same entry in the new language.
template <class T> void ItemsRule(QObject* o, const TLookup& l) {
    if (T* c = qobject_cast<T*>(o)) {
        ApplyHint(c, l);
        const QString items = l.value(ItemsProperty, QString());
        if (items.isEmpty())
            return;
        const int selected = c->currentIndex();
        c->setItems(SplitAtChar(items, LineBreakChar, false));
        if (selected >= 0 && selected < c->count())
            c->setCurrentIndex(selected);
    }
}

// Every edit box, whatever its class: its text is its caption. This rule
// goes by kind, not by name, and comes after the named ones.
void EditRule(QObject* o, const TLookup& l) {
    if (QLineEdit* edit = qobject_cast<QLineEdit*>(o)) {
        edit->setText(l.value(CaptionProperty, edit->text()));
        edit->setToolTip(l.value(HintProperty, edit->toolTip()));
    }
}

struct TClassRule {
    std::string_view className;
    void (*apply)(QObject*, const TLookup&);
};

// Tried in this order; the first row whose class name equals the
// component's own class name applies.
constexpr std::array<TClassRule, 18> ClassRules{{
    {"TSpeedItem", &CaptionThenHint<TSpeedItem>},
    {"TLabel", &LabelRule},
    {"TBitBtn", &CaptionThenHint<TBitBtn>},
    {"TSpeedButton", &CaptionThenHint<TSpeedButton>},
    {"TGroupBox", &CaptionThenHint<TGroupBox>},
    {"TFlatGroupBox", &CaptionThenHint<TFlatGroupBox>},
    {"TPanel", &CaptionThenHint<TPanel>},
    {"TMenuItem", &CaptionThenHint<TMenuItem>},
    {"TCheckBox", &CaptionThenHint<TCheckBox>},
    {"TFlatCheckBox", &CaptionThenHint<TFlatCheckBox>},
    {"TRxSpeedButton", &CaptionThenHint<TRxSpeedButton>},
    {"TFlatButton", &CaptionThenHint<TFlatButton>},
    {"TFlatPanel", &CaptionThenHint<TFlatPanel>},
    {"TFlatTitlebar", &CaptionThenHint<TFlatTitlebar>},
    {"TSecretPanel", &LinesRule<TSecretPanel>},
    {"THintBox", &LinesRule<THintBox>},
    {"TComboBox", &ItemsRule<TComboBox>},
    {"TFlatComboBox", &ItemsRule<TFlatComboBox>},
}};

bool SameClassName(std::string_view rule, const char* className) {
    const QLatin1String name(rule.data(), qsizetype(rule.size()));
    return name.compare(QLatin1String(className), Qt::CaseInsensitive) == 0;
}

void TranslateComponent(QObject* component, const TLookup& lookup) {
    const char* className = component->metaObject()->className();
    for (const TClassRule& rule : ClassRules) {
        if (SameClassName(rule.className, className)) {
            rule.apply(component, lookup);
            return;
        }
    }
    EditRule(component, lookup);
}

} // namespace

void LoadMessageTable(const QString& fileName) {
    if (!LoadMessageTableFrom(fileName))
        ShowMissingLanguage();
}

bool TranslateComponents(TForm* window, const QString& fileName) {
    std::optional<QStringList> lines;
    if (QFileInfo(fileName).isFile())
        lines = ReadTextLines(fileName);
    if (!lines) {
        ShowMissingLanguage();
        return false;
    }
    if (window)
        TranslateWindow(window, *lines);
    return true;
}

void TranslateWindow(TForm* window, const QStringList& lines) {
    if (!window)
        return;
    const QString name = window->objectName();
    const TLookup own{lines, name, name};
    window->setCaption(own.value(CaptionProperty, window->Caption()));
    window->setHint(own.value(HintProperty, window->Hint()));
    const QList<QObject*> components = window->Components();
    for (QObject* component : components) {
        if (component)
            TranslateComponent(component, TLookup{lines, name, component->objectName()});
    }
}

void TranslateForLanguage(TForm* window, const QString& languageName) {
    const QString fileName = LanguageFileName(languageName);
    LoadMessageTable(fileName);
    TranslateComponents(window, fileName);
}
