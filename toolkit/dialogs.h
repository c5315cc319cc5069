#pragma once
// Every modal interaction of the program goes through one replaceable
// service: message boxes, the application's error dialog, the open, save,
// colour and folder dialogs and the input box. The program uses the Qt
// implementation; tests install a recording one, so nothing ever waits on a
// modal window that nobody will close.
#include "toolkit/tcolor.h"

#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QWidget;

// The icon and purpose of a message box.
enum class TMsgKind { Error, Warning, Information, Confirmation };

// Buttons of a message box; combine with |.
enum TMsgButton : unsigned {
    mbOK = 1u << 0,
    mbCancel = 1u << 1,
    mbYes = 1u << 2,
    mbNo = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
};
using TMsgButtons = unsigned;
inline constexpr TMsgButtons mbOKCancel = mbOK | mbCancel;
inline constexpr TMsgButtons mbYesNo = mbYes | mbNo;
inline constexpr TMsgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;

// The pressed button, as the code a modal window ends with. mrNone means
// the box was closed without a button (for a box that has no Cancel).
enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
};

// One entry of a file dialog's type list, e.g. {"MP3 files (*.MP3)", "*.MP3"};
// the pattern may hold several masks separated by ";".
struct TFileFilter {
    QString label;
    QString pattern;
};

struct TOpenDialogRequest {
    QString title;
    QString folder; // initial folder; empty for the dialog's own choice
    QList<TFileFilter> filters;
    int filterIndex = 0; // selected filter, 0-based
    bool multiSelect = false;
};

struct TOpenDialogResult {
    QStringList files;   // in the dialog's order; empty when cancelled
    int filterIndex = 0; // the filter in force when the dialog closed, 0-based
    bool accepted() const { return !files.isEmpty(); }
};

struct TSaveDialogRequest {
    QString title;
    QString folder;
    QString fileName; // proposed name
    QList<TFileFilter> filters;
    int filterIndex = 0;
    QString defaultExtension; // without the dot; added when the name has none
};

struct TSaveDialogResult {
    QString fileName;    // empty when cancelled
    int filterIndex = 0; // the filter in force when the dialog closed, 0-based
    bool accepted() const { return !fileName.isEmpty(); }
};

class IDialogService {
public:
    virtual ~IDialogService() = default;

    // Shows a message box with the given buttons and returns the pressed
    // one as a TModalResult.
    virtual int MessageBox(TMsgKind kind, const QString& text, const QString& title,
                           TMsgButtons buttons) = 0;
    // The application's dialog for an error that no handler expected.
    virtual void ShowException(const QString& message) = 0;
    virtual TOpenDialogResult OpenFiles(const TOpenDialogRequest& request) = 0;
    // The chosen file and filter; an empty name when cancelled.
    virtual TSaveDialogResult SaveFile(const TSaveDialogRequest& request) = 0;
    virtual std::optional<TColor> ChooseColor(TColor initial, const QString& title) = 0;
    // The chosen folder with a trailing "/", or empty when cancelled.
    virtual QString ChooseFolder(const QString& title, const QString& folder) = 0;
    virtual std::optional<QString> InputBox(const QString& title, const QString& prompt,
                                            const QString& defaultText) = 0;
};

// The service over Qt's standard dialogs, parented to the active window.
class TQtDialogService : public IDialogService {
public:
    int MessageBox(TMsgKind kind, const QString& text, const QString& title,
                   TMsgButtons buttons) override;
    void ShowException(const QString& message) override;
    TOpenDialogResult OpenFiles(const TOpenDialogRequest& request) override;
    TSaveDialogResult SaveFile(const TSaveDialogRequest& request) override;
    std::optional<TColor> ChooseColor(TColor initial, const QString& title) override;
    QString ChooseFolder(const QString& title, const QString& folder) override;
    std::optional<QString> InputBox(const QString& title, const QString& prompt,
                                    const QString& defaultText) override;
};

// The service in force (the Qt one until another is set).
IDialogService& Dialogs();
// Installs a service and hands back the previous one (null when the default
// had not been created yet). Passing null returns to the Qt service.
std::unique_ptr<IDialogService> SetDialogs(std::unique_ptr<IDialogService> service);

// Translation between the service's terms and Qt's, shared by the Qt
// service and its tests.
namespace DialogMapping {
QMessageBox::Icon IconOf(TMsgKind kind);
// Never empty: no buttons at all gives OK.
QMessageBox::StandardButtons ButtonsOf(TMsgButtons buttons);
int ModalResultOf(QMessageBox::StandardButton button);
// The button Escape stands for: Cancel, else No, else Abort, else OK; the
// only button when there is one.
TModalResult EscapeResult(TMsgButtons buttons);
// Name filters for a Qt file dialog, one per entry: the label with its
// mask list shown, every mask also in lower case (file systems here tell
// case apart, the masks come upper-case), and "*.*" meaning every file.
QStringList NameFiltersOf(const QList<TFileFilter>& filters);
} // namespace DialogMapping
