// Flat list boxes (with and without check marks) and the flat combo box.
#include "toolkit/flatwidgets.h"
#include "toolkit/flatwidgets_p.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>
#include <functional>

namespace {

constexpr int kItemCheckSize = 13;

// Paints the items of the flat list boxes from their colours and, for the
// check list, draws the check squares and toggles them for the user.
class FlatItemDelegate : public QStyledItemDelegate {
public:
    struct Colors {
        TColor rows = clWindow; // item rows
        TColor selected = clBtnFace;
        TColor font = clWindowText;
        TColor box = clWindow; // inside of a check square
        TColor border = clBtnShadow;
        TColor check = clBtnShadow;
    };

    FlatItemDelegate(QObject* parent, bool checks)
        : QStyledItemDelegate(parent), m_checks(checks) {}

    Colors colors;
    // Called after the user toggled the check mark of a row.
    std::function<void(int)> userToggled;

    static QRect BoxRect(const QRect& item) {
        const int size = std::max(1, std::min(kItemCheckSize, item.height() - 2));
        return QRect(item.left() + 2, item.top() + (item.height() - size) / 2, size, size);
    }

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        p->save();
        const bool selected = option.state & QStyle::State_Selected;
        const bool enabled = option.state & QStyle::State_Enabled;
        p->fillRect(option.rect, ToQColor(selected ? colors.selected : colors.rows));
        int textLeft = option.rect.left() + 3;
        if (m_checks) {
            const QRect box = BoxRect(option.rect);
            p->fillRect(box, ToQColor(colors.box));
            flat::DrawBorder(*p, box, ToQColor(colors.border));
            if (index.data(Qt::CheckStateRole).toInt() == Qt::Checked)
                flat::DrawCheckMark(*p, box,
                                    enabled ? ToQColor(colors.check) : flat::DisabledText());
            textLeft = box.right() + 1 + 4;
        }
        const QRect textRect(textLeft, option.rect.top(), option.rect.right() - textLeft + 1,
                             option.rect.height());
        p->setFont(option.font);
        p->setPen(enabled ? ToQColor(colors.font) : flat::DisabledText());
        const QString text = index.data(Qt::DisplayRole).toString();
        p->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                    option.fontMetrics.elidedText(text, Qt::ElideRight, textRect.width()));
        // The item that keys act on carries a thin frame while the list has
        // the focus.
        if ((option.state & QStyle::State_HasFocus) && (option.state & QStyle::State_Active))
            flat::DrawBorder(*p, option.rect, ToQColor(colors.border));
        p->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QString text = index.data(Qt::DisplayRole).toString();
        const int w =
            option.fontMetrics.horizontalAdvance(text) + 6 + (m_checks ? kItemCheckSize + 6 : 0);
        const int h = std::max(option.fontMetrics.height() + 3, m_checks ? kItemCheckSize + 3 : 0);
        return QSize(w, h);
    }

    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override {
        const Qt::ItemFlags flags = index.flags();
        if (!m_checks || !(flags & Qt::ItemIsUserCheckable) || !(flags & Qt::ItemIsEnabled))
            return false;
        switch (event->type()) {
        case QEvent::MouseButtonDblClick: {
            // A double click on the square is two toggles, not an activation.
            const auto* me = static_cast<QMouseEvent*>(event);
            return me->button() == Qt::LeftButton &&
                   BoxRect(option.rect).contains(me->position().toPoint());
        }
        case QEvent::MouseButtonRelease: {
            const auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() != Qt::LeftButton ||
                !BoxRect(option.rect).contains(me->position().toPoint()))
                return false;
            toggle(model, index);
            return true;
        }
        case QEvent::KeyPress: {
            const auto* ke = static_cast<QKeyEvent*>(event);
            if (ke->key() != Qt::Key_Space && ke->key() != Qt::Key_Select)
                return false;
            toggle(model, index);
            return true;
        }
        default:
            return false;
        }
    }

private:
    void toggle(QAbstractItemModel* model, const QModelIndex& index) {
        const bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        model->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
        if (userToggled)
            userToggled(index.row());
    }

    bool m_checks;
};

FlatItemDelegate* DelegateOf(const QAbstractItemView* view) {
    return static_cast<FlatItemDelegate*>(view->itemDelegate());
}

QStringList ListItems(const QListWidget* list) {
    QStringList items;
    items.reserve(list->count());
    for (int i = 0; i < list->count(); ++i)
        items.append(list->item(i)->text());
    return items;
}

// The colours that a flat list box takes through its palette: the viewport,
// the frame and the scroll bars' arrows.
void ApplyListPalette(QListWidget* list, TColor color, TColor font, TColor select, TColor border,
                      TColor arrow) {
    QPalette pal = list->palette();
    flat::SetRole(pal, QPalette::Base, color);
    flat::SetRole(pal, QPalette::Text, font);
    flat::SetRole(pal, QPalette::Highlight, select);
    flat::SetRole(pal, QPalette::HighlightedText, font);
    // A plain box frame is drawn in the foreground colour.
    flat::SetRole(pal, QPalette::WindowText, border);
    list->setPalette(pal);
    for (QScrollBar* bar : {list->verticalScrollBar(), list->horizontalScrollBar()}) {
        QPalette barPal = bar->palette();
        flat::SetRole(barPal, QPalette::WindowText, arrow);
        flat::SetRole(barPal, QPalette::ButtonText, arrow);
        bar->setPalette(barPal);
    }
    list->viewport()->update();
}

void MakeFlatFrame(QListWidget* list) {
    list->setFrameStyle(QFrame::Box | QFrame::Plain);
    list->setLineWidth(1);
}

} // namespace

// ---- TFlatCheckListBox -----------------------------------------------------

TFlatCheckListBox::TFlatCheckListBox(QWidget* parent) : QListWidget(parent) {
    MakeFlatFrame(this);
    auto* delegate = new FlatItemDelegate(this, true);
    delegate->userToggled = [this](int row) { emit clickCheck(row); };
    setItemDelegate(delegate);
    // Items added by any route carry a check square.
    connect(model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { makeCheckable(first, last); });
    colorsChanged();
}

void TFlatCheckListBox::makeCheckable(int first, int last) {
    for (int row = first; row <= last; ++row) {
        QListWidgetItem* it = item(row);
        if (!it)
            continue;
        it->setFlags(it->flags() | Qt::ItemIsUserCheckable);
        if (!it->data(Qt::CheckStateRole).isValid())
            it->setCheckState(Qt::Unchecked);
    }
}

QStringList TFlatCheckListBox::Items() const {
    return ListItems(this);
}

void TFlatCheckListBox::setItems(const QStringList& items) {
    clear();
    addItems(items);
}

bool TFlatCheckListBox::Checked(int index) const {
    const QListWidgetItem* it = index >= 0 && index < count() ? item(index) : nullptr;
    return it && it->checkState() == Qt::Checked;
}

void TFlatCheckListBox::setChecked(int index, bool checked) {
    if (index < 0 || index >= count())
        return;
    item(index)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

bool TFlatCheckListBox::event(QEvent* e) {
    const bool result = QListWidget::event(e);
    if (e->type() == QEvent::ApplicationPaletteChange)
        colorsChanged();
    return result;
}

void TFlatCheckListBox::colorsChanged() {
    FlatItemDelegate* delegate = DelegateOf(this);
    delegate->colors.rows = m_colorItemsRect;
    delegate->colors.selected = m_colorItemsSelect;
    delegate->colors.font = m_fontColor;
    delegate->colors.box = m_color;
    delegate->colors.border = m_colorBorder;
    delegate->colors.check = m_colorCheck;
    ApplyListPalette(this, m_color, m_fontColor, m_colorItemsSelect, m_colorBorder, m_colorArrow);
}

// ---- TFlatListBox ----------------------------------------------------------

TFlatListBox::TFlatListBox(QWidget* parent) : QListWidget(parent) {
    MakeFlatFrame(this);
    setItemDelegate(new FlatItemDelegate(this, false));
    colorsChanged();
}

QStringList TFlatListBox::Items() const {
    return ListItems(this);
}

void TFlatListBox::setItems(const QStringList& items) {
    clear();
    addItems(items);
}

bool TFlatListBox::event(QEvent* e) {
    const bool result = QListWidget::event(e);
    if (e->type() == QEvent::ApplicationPaletteChange)
        colorsChanged();
    return result;
}

void TFlatListBox::colorsChanged() {
    FlatItemDelegate* delegate = DelegateOf(this);
    delegate->colors.rows = m_colorItemsRect;
    delegate->colors.selected = m_colorItemsSelect;
    delegate->colors.font = m_fontColor;
    delegate->colors.border = m_colorBorder;
    ApplyListPalette(this, m_color, m_fontColor, m_colorItemsSelect, m_colorBorder, m_colorArrow);
}

// ---- TFlatComboBox ---------------------------------------------------------

namespace {
constexpr int kComboArrowWidth = 16;
} // namespace

TFlatComboBox::TFlatComboBox(QWidget* parent) : QComboBox(parent) {
    colorsChanged();
}

bool TFlatComboBox::event(QEvent* e) {
    const bool result = QComboBox::event(e);
    if (e->type() == QEvent::ApplicationPaletteChange)
        colorsChanged();
    return result;
}

void TFlatComboBox::colorsChanged() {
    // The palette serves the edit field of an editable box and the drop-down
    // list; the box itself is painted here.
    QPalette pal = palette();
    flat::SetRole(pal, QPalette::Base, m_color);
    flat::SetRole(pal, QPalette::Text, m_fontColor);
    flat::SetRole(pal, QPalette::WindowText, m_fontColor);
    flat::SetRole(pal, QPalette::Button, m_colorArrowBackground);
    flat::SetRole(pal, QPalette::ButtonText, m_colorArrow);
    setPalette(pal);
    update();
}

void TFlatComboBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, ToQColor(m_color));
    flat::DrawBorder(p, r, ToQColor(m_colorBorder));
    const int arrowWidth = std::min(kComboArrowWidth, width() / 2);
    const QRect arrowRect(r.right() - arrowWidth, r.top() + 1, arrowWidth, r.height() - 2);
    p.fillRect(arrowRect, ToQColor(m_colorArrowBackground));
    flat::DrawArrow(p, arrowRect, Qt::DownArrow,
                    isEnabled() ? ToQColor(m_colorArrow) : flat::DisabledText());
    if (isEditable())
        return; // the edit field paints the text
    const QRect textRect(r.left() + 1, r.top() + 1, std::max(0, arrowRect.left() - r.left() - 2),
                         r.height() - 2);
    QColor textColor = isEnabled() ? ToQColor(m_fontColor) : flat::DisabledText();
    if (hasFocus()) {
        // The chosen text is highlighted while the box has the focus.
        p.fillRect(textRect.adjusted(1, 1, -1, -1), palette().color(QPalette::Highlight));
        textColor = palette().color(QPalette::HighlightedText);
    }
    p.setPen(textColor);
    const QRect inner = textRect.adjusted(3, 0, -2, 0);
    p.drawText(inner, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               fontMetrics().elidedText(currentText(), Qt::ElideRight, inner.width()));
}
