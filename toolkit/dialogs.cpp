#include "toolkit/dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <array>

namespace {

std::unique_ptr<IDialogService>& ServiceSlot() {
    static std::unique_ptr<IDialogService> service;
    return service;
}

QWidget* DialogParent() {
    return QApplication::activeWindow();
}

struct TButtonMap {
    TMsgButton ours;
    QMessageBox::StandardButton qt;
    TModalResult result;
};

constexpr std::array<TButtonMap, 7> ButtonTable{{
    {mbOK, QMessageBox::Ok, mrOk},
    {mbCancel, QMessageBox::Cancel, mrCancel},
    {mbYes, QMessageBox::Yes, mrYes},
    {mbNo, QMessageBox::No, mrNo},
    {mbAbort, QMessageBox::Abort, mrAbort},
    {mbRetry, QMessageBox::Retry, mrRetry},
    {mbIgnore, QMessageBox::Ignore, mrIgnore},
}};

// The label without a trailing "(...)" that already lists the masks.
QString BareLabel(const QString& label) {
    const QString trimmed = label.trimmed();
    if (trimmed.endsWith(QLatin1Char(')'))) {
        const qsizetype open = trimmed.lastIndexOf(QLatin1Char('('));
        if (open > 0)
            return trimmed.left(open).trimmed();
    }
    return trimmed;
}

QString NameFilterOf(const TFileFilter& filter) {
    QStringList masks;
    const QStringList given = filter.pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& raw : given) {
        QString mask = raw.trimmed();
        if (mask.isEmpty())
            continue;
        if (mask == QLatin1String("*.*"))
            mask = QStringLiteral("*");
        if (!masks.contains(mask))
            masks << mask;
    }
    // Lower-case twins after the given masks, so the list reads as written.
    const QStringList asGiven = masks;
    for (const QString& mask : asGiven) {
        const QString lower = mask.toLower();
        if (!masks.contains(lower))
            masks << lower;
    }
    if (masks.isEmpty())
        masks << QStringLiteral("*");
    QString label = BareLabel(filter.label);
    if (label.isEmpty())
        label = masks.join(QLatin1Char(' '));
    return label + QStringLiteral(" (") + masks.join(QLatin1Char(' ')) + QLatin1Char(')');
}

int ValidIndex(int index, qsizetype count) {
    return index >= 0 && index < count ? index : 0;
}

} // namespace

// ---- mapping ---------------------------------------------------------------

QMessageBox::Icon DialogMapping::IconOf(TMsgKind kind) {
    switch (kind) {
    case TMsgKind::Error:
        return QMessageBox::Critical;
    case TMsgKind::Warning:
        return QMessageBox::Warning;
    case TMsgKind::Information:
        return QMessageBox::Information;
    case TMsgKind::Confirmation:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons DialogMapping::ButtonsOf(TMsgButtons buttons) {
    QMessageBox::StandardButtons result;
    for (const TButtonMap& row : ButtonTable)
        if (buttons & row.ours)
            result |= row.qt;
    if (result == QMessageBox::StandardButtons())
        result = QMessageBox::Ok;
    return result;
}

int DialogMapping::ModalResultOf(QMessageBox::StandardButton button) {
    for (const TButtonMap& row : ButtonTable)
        if (row.qt == button)
            return row.result;
    return mrNone;
}

TModalResult DialogMapping::EscapeResult(TMsgButtons buttons) {
    constexpr std::array<TButtonMap, 4> preference{{
        {mbCancel, QMessageBox::Cancel, mrCancel},
        {mbNo, QMessageBox::No, mrNo},
        {mbAbort, QMessageBox::Abort, mrAbort},
        {mbOK, QMessageBox::Ok, mrOk},
    }};
    for (const TButtonMap& row : preference)
        if (buttons & row.ours)
            return row.result;
    for (const TButtonMap& row : ButtonTable)
        if (buttons & row.ours)
            return row.result;
    return mrOk; // a box without buttons shows OK
}

QStringList DialogMapping::NameFiltersOf(const QList<TFileFilter>& filters) {
    QStringList result;
    result.reserve(filters.size());
    for (const TFileFilter& f : filters)
        result << NameFilterOf(f);
    return result;
}

// ---- the Qt service ---------------------------------------------------------

int TQtDialogService::MessageBox(TMsgKind kind, const QString& text, const QString& title,
                                 TMsgButtons buttons) {
    QMessageBox box(DialogMapping::IconOf(kind), title, text, DialogMapping::ButtonsOf(buttons),
                    DialogParent());
    const int chosen = box.exec();
    const int result = DialogMapping::ModalResultOf(QMessageBox::StandardButton(chosen));
    // Closing the box by its frame or Escape counts as its escape button.
    return result == mrNone ? int(DialogMapping::EscapeResult(buttons)) : result;
}

void TQtDialogService::ShowException(const QString& message) {
    QString title = QApplication::applicationDisplayName();
    if (title.isEmpty())
        title = QApplication::applicationName();
    QMessageBox box(QMessageBox::Critical, title, message, QMessageBox::Ok, DialogParent());
    box.exec();
}

TOpenDialogResult TQtDialogService::OpenFiles(const TOpenDialogRequest& request) {
    const QStringList nameFilters = DialogMapping::NameFiltersOf(request.filters);
    QFileDialog dialog(DialogParent(), request.title, request.folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles
                                           : QFileDialog::ExistingFile);
    if (!nameFilters.isEmpty()) {
        dialog.setNameFilters(nameFilters);
        dialog.selectNameFilter(
            nameFilters.at(ValidIndex(request.filterIndex, nameFilters.size())));
    }
    TOpenDialogResult result;
    result.filterIndex = request.filterIndex;
    if (dialog.exec() != QDialog::Accepted)
        return result;
    result.files = dialog.selectedFiles();
    const qsizetype chosen = nameFilters.indexOf(dialog.selectedNameFilter());
    if (chosen >= 0)
        result.filterIndex = int(chosen);
    return result;
}

TSaveDialogResult TQtDialogService::SaveFile(const TSaveDialogRequest& request) {
    const QStringList nameFilters = DialogMapping::NameFiltersOf(request.filters);
    QFileDialog dialog(DialogParent(), request.title, request.folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!request.defaultExtension.isEmpty())
        dialog.setDefaultSuffix(request.defaultExtension);
    if (!nameFilters.isEmpty()) {
        dialog.setNameFilters(nameFilters);
        dialog.selectNameFilter(
            nameFilters.at(ValidIndex(request.filterIndex, nameFilters.size())));
    }
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    TSaveDialogResult result;
    const QStringList files = dialog.selectedFiles();
    result.fileName = files.isEmpty() ? QString() : files.first();
    result.filterIndex = request.filterIndex;
    const qsizetype chosen = nameFilters.indexOf(dialog.selectedNameFilter());
    if (chosen >= 0)
        result.filterIndex = int(chosen);
    return result;
}

std::optional<TColor> TQtDialogService::ChooseColor(TColor initial, const QString& title) {
    const QColor chosen = QColorDialog::getColor(ToQColor(initial), DialogParent(), title);
    if (!chosen.isValid())
        return std::nullopt;
    return FromQColor(chosen);
}

QString TQtDialogService::ChooseFolder(const QString& title, const QString& folder) {
    QString chosen = QFileDialog::getExistingDirectory(DialogParent(), title, folder);
    if (!chosen.isEmpty() && !chosen.endsWith(QLatin1Char('/')))
        chosen += QLatin1Char('/');
    return chosen;
}

std::optional<QString> TQtDialogService::InputBox(const QString& title, const QString& prompt,
                                                  const QString& defaultText) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(DialogParent(), title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

// ---- accessors ---------------------------------------------------------------

IDialogService& Dialogs() {
    std::unique_ptr<IDialogService>& slot = ServiceSlot();
    if (!slot)
        slot = std::make_unique<TQtDialogService>();
    return *slot;
}

std::unique_ptr<IDialogService> SetDialogs(std::unique_ptr<IDialogService> service) {
    std::unique_ptr<IDialogService> previous = std::move(ServiceSlot());
    ServiceSlot() = std::move(service);
    return previous;
}
