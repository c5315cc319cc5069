#pragma once
// A dialog service for tests: records every call with its arguments and
// answers at once, from answers queued beforehand or else with a safe
// default (the escape button of a message box, a cancelled file, colour,
// folder or input dialog). It never shows a window, so nothing blocks.
//
//     TRecordingDialogsScope dialogs;          // installed until the scope ends
//     dialogs->QueueMessageAnswer(mrYes);
//     ... code under test ...
//     QCOMPARE(dialogs->Messages().size(), 1);
#include "toolkit/dialogs.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

struct TMessageBoxCall {
    TMsgKind kind = TMsgKind::Information;
    QString text;
    QString title;
    TMsgButtons buttons = 0;
    int answer = mrNone;
};

struct TColorCall {
    TColor initial = 0;
    QString title;
};

struct TFolderCall {
    QString title;
    QString folder;
};

struct TInputCall {
    QString title;
    QString prompt;
    QString defaultText;
};

class TRecordingDialogs : public IDialogService {
public:
    // Names of the calls in the order they came: "MessageBox", "Exception",
    // "OpenFiles", "SaveFile", "ChooseColor", "ChooseFolder", "InputBox".
    const QStringList& Calls() const { return m_calls; }
    const QList<TMessageBoxCall>& Messages() const { return m_messages; }
    const QStringList& Exceptions() const { return m_exceptions; }
    const QList<TOpenDialogRequest>& OpenRequests() const { return m_open; }
    const QList<TSaveDialogRequest>& SaveRequests() const { return m_save; }
    const QList<TColorCall>& ColorRequests() const { return m_color; }
    const QList<TFolderCall>& FolderRequests() const { return m_folder; }
    const QList<TInputCall>& InputRequests() const { return m_input; }
    // Forgets the recorded calls; queued answers stay.
    void ClearRecorded();

    // Answers for the next calls of each kind, used in order.
    void QueueMessageAnswer(int modalResult) { m_messageAnswers.enqueue(modalResult); }
    void QueueOpenAnswer(const TOpenDialogResult& result) { m_openAnswers.enqueue(result); }
    void QueueOpenAnswer(const QStringList& files, int filterIndex = 0);
    // The filter defaults to the one the dialog opens with.
    void QueueSaveAnswer(const QString& fileName, std::optional<int> filterIndex = std::nullopt) {
        m_saveAnswers.enqueue({fileName, filterIndex});
    }
    void QueueColorAnswer(std::optional<TColor> color) { m_colorAnswers.enqueue(color); }
    void QueueFolderAnswer(const QString& folder) { m_folderAnswers.enqueue(folder); }
    void QueueInputAnswer(std::optional<QString> text) { m_inputAnswers.enqueue(text); }

    int MessageBox(TMsgKind kind, const QString& text, const QString& title,
                   TMsgButtons buttons) override;
    void ShowException(const QString& message) override;
    TOpenDialogResult OpenFiles(const TOpenDialogRequest& request) override;
    TSaveDialogResult SaveFile(const TSaveDialogRequest& request) override;
    std::optional<TColor> ChooseColor(TColor initial, const QString& title) override;
    QString ChooseFolder(const QString& title, const QString& folder) override;
    std::optional<QString> InputBox(const QString& title, const QString& prompt,
                                    const QString& defaultText) override;

private:
    QStringList m_calls;
    QList<TMessageBoxCall> m_messages;
    QStringList m_exceptions;
    QList<TOpenDialogRequest> m_open;
    QList<TSaveDialogRequest> m_save;
    QList<TColorCall> m_color;
    QList<TFolderCall> m_folder;
    QList<TInputCall> m_input;

    QQueue<int> m_messageAnswers;
    QQueue<TOpenDialogResult> m_openAnswers;
    QQueue<std::pair<QString, std::optional<int>>> m_saveAnswers;
    QQueue<std::optional<TColor>> m_colorAnswers;
    QQueue<QString> m_folderAnswers;
    QQueue<std::optional<QString>> m_inputAnswers;
};

// Installs a TRecordingDialogs as the process's dialog service for the
// lifetime of the scope and puts the previous service back afterwards.
class TRecordingDialogsScope {
public:
    TRecordingDialogsScope();
    ~TRecordingDialogsScope();
    TRecordingDialogsScope(const TRecordingDialogsScope&) = delete;
    TRecordingDialogsScope& operator=(const TRecordingDialogsScope&) = delete;

    TRecordingDialogs* operator->() const { return m_recording; }
    TRecordingDialogs& operator*() const { return *m_recording; }
    TRecordingDialogs* get() const { return m_recording; }

private:
    TRecordingDialogs* m_recording;
    std::unique_ptr<IDialogService> m_previous;
};
