#include "ui/BriefingDialogs.h"

#include "ui/Dialogs.h"

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace BriefingDialogs {
namespace {

struct FileChoice
{
    const char16_t* filter;
    BriefingFile::Format format;
};

// Offered by the save dialog, in this order; the first is the one selected.
constexpr std::array<FileChoice, 3> kSaveChoices { {
    { u"Texte (*.txt)", BriefingFile::Format::Text },
    { u"Page web (*.html *.htm)", BriefingFile::Format::Html },
    { u"Document PDF (*.pdf)", BriefingFile::Format::Pdf },
} };

} // namespace

std::optional<SaveTarget> askSaveTarget(QWidget* parent, const QString& caption, const QString& suggestedPath)
{
    QStringList filters;
    for (const FileChoice& choice : kSaveChoices)
        filters.append(QString::fromUtf16(choice.filter));
    QString chosenFilter = filters.first();
    QString path = Dialogs::saveFileName(parent, caption, suggestedPath, filters, &chosenFilter);
    if (path.isEmpty())
        return std::nullopt;
    std::optional<BriefingFile::Format> format = BriefingFile::formatOfName(path);
    if (!format) {
        format = kSaveChoices.at(static_cast<size_t>(std::max<qsizetype>(0, filters.indexOf(chosenFilter)))).format;
        path += u'.' + BriefingFile::extension(*format);
    }
    return SaveTarget { path, *format };
}

QString askPdfPath(QWidget* parent, const QString& caption, const QString& suggestedPath)
{
    QString path = Dialogs::saveFileName(parent, caption, suggestedPath, { u"Document PDF (*.pdf)"_s });
    if (!path.isEmpty() && BriefingFile::formatOfName(path) != BriefingFile::Format::Pdf)
        path += u".pdf"_s;
    return path;
}

} // namespace BriefingDialogs
