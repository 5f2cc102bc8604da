#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QPrinter;
class QWidget;

/// The questions the window asks in dialogs: a file name to save under, a printer, a message to read.
/// A test sets the next answer beforehand (setNextFileName(), setNextPrinter()): the question is then
/// answered without a dialog, and the messages are kept for it to read instead of shown.
namespace Dialogs {

/// The file name the user chose, or an empty text when they cancelled. @p chosenFilter gets the filter
/// the user left selected.
QString saveFileName(QWidget* parent, const QString& caption, const QString& suggestedPath, const QStringList& filters,
    QString* chosenFilter = nullptr);

/// Lets the user set up @p printer; false when they cancelled.
bool setUpPrinter(QWidget* parent, QPrinter& printer, const QString& caption);

void information(QWidget* parent, const QString& title, const QString& text);
void warning(QWidget* parent, const QString& title, const QString& text);

/// The next saveFileName() answers @p fileName (empty: cancelled) with @p filter selected, and records
/// the path it suggested.
void setNextFileName(const QString& fileName, const QString& filter = {});
/// The next setUpPrinter() answers without a dialog: the printer prints into the PDF file @p outputFile, or
/// the user cancelled when it is empty. Records the output file the printer was offered.
void setNextPrinter(const QString& outputFile);
/// The path the last answered question suggested (save dialog) or offered (printer's output file).
QString lastSuggestedPath();
/// The messages given while answers were set, "title: text" each, oldest first; taking them clears them.
QStringList takeMessages();

} // namespace Dialogs
