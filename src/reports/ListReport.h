#pragma once

#include <QStringList>
#include <memory>

#include "reports/ReportTemplate.h"

class QWidget;

namespace scortavia {

// The landscape list template "Riepilogo dati" every list screen prints through (held as frxReport).
std::unique_ptr<ReportTemplate> makeListTemplate();

// Prints the rows of an on-screen list, top to bottom, under `title`: the whole list is one text
// in one band that flows over as many pages as it needs.
void printList(QWidget* parent, ReportTemplate& report, const QString& title, const QStringList& rows);

// The same filling without printing, for callers that preview or test.
void fillList(ReportTemplate& report, const QString& title, const QStringList& rows);

}  // namespace scortavia
