#pragma once

#include <QStringList>
#include <deque>
#include <vector>

#include "ui/DesktopService.h"
#include "ui/FileDialogService.h"
#include "ui/MessageService.h"

namespace scortavia::test {

// Replaces every message box while alive: records what would have been shown and answers with
// the scripted buttons, or OK / Yes when none is left.
class MessageRecorder final {
public:
    MessageRecorder() {
        MessageService::setHookForTesting([this](const ShownMessage& m) {
            shown.push_back(m);
            if (!answers.empty()) {
                const auto a = answers.front();
                answers.pop_front();
                return a;
            }
            return m.buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
        });
    }
    ~MessageRecorder() { MessageService::setHookForTesting({}); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    std::vector<ShownMessage> shown;
    std::deque<QMessageBox::StandardButton> answers;

    QStringList texts() const {
        QStringList out;
        for (const auto& m : shown) out << m.text;
        return out;
    }
};

// Records what would have been handed to the desktop's "open" action.
class DesktopRecorder final {
public:
    DesktopRecorder() {
        DesktopService::setHookForTesting([this](const QString& target) { opened << target; });
    }
    ~DesktopRecorder() { DesktopService::setHookForTesting({}); }
    DesktopRecorder(const DesktopRecorder&) = delete;
    DesktopRecorder& operator=(const DesktopRecorder&) = delete;

    QStringList opened;
};

// Answers file dialogs with scripted paths (an empty optional cancels) and records each request.
class FileDialogRecorder final {
public:
    FileDialogRecorder() {
        FileDialogService::setHookForTesting([this](const FileRequest& r) -> std::optional<QString> {
            requests.push_back(r);
            std::optional<QString> answer;
            if (!answers.empty()) {
                answer.swap(answers.front());
                answers.pop_front();
            }
            return answer;
        });
    }
    ~FileDialogRecorder() { FileDialogService::setHookForTesting({}); }
    FileDialogRecorder(const FileDialogRecorder&) = delete;
    FileDialogRecorder& operator=(const FileDialogRecorder&) = delete;

    std::vector<FileRequest> requests;
    std::deque<std::optional<QString>> answers;
};

}  // namespace scortavia::test
