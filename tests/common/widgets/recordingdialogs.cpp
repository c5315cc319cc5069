#include "common/widgets/recordingdialogs.h"

void TRecordingDialogs::ClearRecorded() {
    m_calls.clear();
    m_messages.clear();
    m_exceptions.clear();
    m_open.clear();
    m_save.clear();
    m_color.clear();
    m_folder.clear();
    m_input.clear();
}

void TRecordingDialogs::QueueOpenAnswer(const QStringList& files, int filterIndex) {
    TOpenDialogResult result;
    result.files = files;
    result.filterIndex = filterIndex;
    m_openAnswers.enqueue(result);
}

int TRecordingDialogs::MessageBox(TMsgKind kind, const QString& text, const QString& title,
                                  TMsgButtons buttons) {
    m_calls << QStringLiteral("MessageBox");
    const int answer = m_messageAnswers.isEmpty() ? int(DialogMapping::EscapeResult(buttons))
                                                  : m_messageAnswers.dequeue();
    m_messages.append({kind, text, title, buttons, answer});
    return answer;
}

void TRecordingDialogs::ShowException(const QString& message) {
    m_calls << QStringLiteral("Exception");
    m_exceptions << message;
}

TOpenDialogResult TRecordingDialogs::OpenFiles(const TOpenDialogRequest& request) {
    m_calls << QStringLiteral("OpenFiles");
    m_open.append(request);
    if (!m_openAnswers.isEmpty())
        return m_openAnswers.dequeue();
    TOpenDialogResult cancelled;
    cancelled.filterIndex = request.filterIndex;
    return cancelled;
}

TSaveDialogResult TRecordingDialogs::SaveFile(const TSaveDialogRequest& request) {
    m_calls << QStringLiteral("SaveFile");
    m_save.append(request);
    if (m_saveAnswers.isEmpty())
        return {};
    const auto [fileName, filterIndex] = m_saveAnswers.dequeue();
    return {fileName, filterIndex.value_or(request.filterIndex)};
}

std::optional<TColor> TRecordingDialogs::ChooseColor(TColor initial, const QString& title) {
    m_calls << QStringLiteral("ChooseColor");
    m_color.append({initial, title});
    return m_colorAnswers.isEmpty() ? std::nullopt : m_colorAnswers.dequeue();
}

QString TRecordingDialogs::ChooseFolder(const QString& title, const QString& folder) {
    m_calls << QStringLiteral("ChooseFolder");
    m_folder.append({title, folder});
    return m_folderAnswers.isEmpty() ? QString() : m_folderAnswers.dequeue();
}

std::optional<QString> TRecordingDialogs::InputBox(const QString& title, const QString& prompt,
                                                   const QString& defaultText) {
    m_calls << QStringLiteral("InputBox");
    m_input.append({title, prompt, defaultText});
    return m_inputAnswers.isEmpty() ? std::nullopt : m_inputAnswers.dequeue();
}

TRecordingDialogsScope::TRecordingDialogsScope() {
    auto recording = std::make_unique<TRecordingDialogs>();
    m_recording = recording.get();
    m_previous = SetDialogs(std::move(recording));
}

TRecordingDialogsScope::~TRecordingDialogsScope() {
    SetDialogs(std::move(m_previous));
}
