#pragma once

#include <QImage>
#include <QPageLayout>
#include <QRectF>
#include <QSizeF>
#include <QStringList>
#include <deque>
#include <vector>

#include "reports/PrintService.h"
#include "reports/ReportTemplate.h"
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

// One object as it came out on a laid-out page, copied so it outlives the template that placed it.
struct PrintedObject {
    QString name;
    QRectF rect;  // mm from the top-left of the printable area
    QStringList lines;
    QImage picture;  // null unless the object is a picture
};

// What one print or preview request handed to the print service.
struct PrintJob {
    PrintService::Request request;
    QString name;
    QPageLayout::Orientation orientation;
    QSizeF paperMm;
    std::vector<std::vector<PrintedObject>> pages;

    // The first object of that name on a page (the first unless told), or nullptr.
    const PrintedObject* find(const QString& object, std::size_t page = 0) const {
        if (page >= pages.size()) return nullptr;
        for (const PrintedObject& o : pages[page]) {
            if (o.name == object) return &o;
        }
        return nullptr;
    }
    // The first page's text of the object, lines joined; "<missing>" makes an absent object fail a comparison.
    QString text(const QString& object) const {
        const PrintedObject* o = find(object);
        return o ? o->lines.join(QLatin1Char('\n')) : QStringLiteral("<missing>");
    }
    // The object's lines on every page, in page order: a band split across pages read as one.
    QStringList linesOnAllPages(const QString& object) const {
        QStringList all;
        for (std::size_t page = 0; page < pages.size(); ++page) {
            if (const PrintedObject* o = find(object, page)) all << o->lines;
        }
        return all;
    }
};

// Takes the place of the printer and the preview window while alive: records every job instead.
class PrintRecorder final {
public:
    PrintRecorder() {
        PrintService::setHookForTesting([this](PrintService::Request request, const ReportTemplate& report) {
            PrintJob job{request, report.name(), report.orientation(), report.paperMm(), {}};
            for (const ReportPage& page : report.pages()) {
                auto& objects = job.pages.emplace_back();
                for (const PlacedObject& o : page.objects) {
                    const auto* picture = dynamic_cast<const PictureObject*>(o.source);
                    objects.push_back({o.name(), o.rect, o.lines, picture ? picture->image : QImage()});
                }
            }
            jobs.push_back(std::move(job));
        });
    }
    ~PrintRecorder() { PrintService::setHookForTesting({}); }
    PrintRecorder(const PrintRecorder&) = delete;
    PrintRecorder& operator=(const PrintRecorder&) = delete;

    std::vector<PrintJob> jobs;
};

}  // namespace scortavia::test
