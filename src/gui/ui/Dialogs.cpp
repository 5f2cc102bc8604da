#include "ui/Dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

using namespace Qt::StringLiterals;

namespace Dialogs {
namespace {

struct NextAnswers
{
    std::optional<std::pair<QString, QString>> fileName; // name, filter
    std::optional<QString> printerOutput;
    QString suggested;
    QStringList messages;
    bool answering = false; // a test set answers: messages are kept, not shown
};

NextAnswers& next()
{
    static NextAnswers answers;
    return answers;
}

void message(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text)
{
    if (next().answering) {
        next().messages.append(title + u": "_s + text);
        return;
    }
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace

QString saveFileName(QWidget* parent, const QString& caption, const QString& suggestedPath, const QStringList& filters,
    QString* chosenFilter)
{
    if (auto answer = std::exchange(next().fileName, std::nullopt)) {
        next().suggested = suggestedPath;
        if (chosenFilter && !answer->second.isEmpty())
            *chosenFilter = answer->second;
        return answer->first;
    }
    return QFileDialog::getSaveFileName(parent, caption, suggestedPath, filters.join(u";;"_s), chosenFilter);
}

bool setUpPrinter(QWidget* parent, QPrinter& printer, const QString& caption)
{
    if (auto output = std::exchange(next().printerOutput, std::nullopt)) {
        next().suggested = printer.outputFileName();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(*output);
        return !output->isEmpty();
    }
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(caption);
    return dialog.exec() == QDialog::Accepted;
}

void information(QWidget* parent, const QString& title, const QString& text)
{
    message(parent, QMessageBox::Information, title, text);
}

void warning(QWidget* parent, const QString& title, const QString& text)
{
    message(parent, QMessageBox::Warning, title, text);
}

void setNextFileName(const QString& fileName, const QString& filter)
{
    next().fileName = std::make_pair(fileName, filter);
    next().answering = true;
}

void setNextPrinter(const QString& outputFile)
{
    next().printerOutput = outputFile;
    next().answering = true;
}

QString lastSuggestedPath()
{
    return next().suggested;
}

QStringList takeMessages()
{
    return std::exchange(next().messages, {});
}

} // namespace Dialogs
