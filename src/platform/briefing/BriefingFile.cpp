#include "briefing/BriefingFile.h"

#include "BuildConfig.h"

#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

namespace BriefingFile {
namespace {

QString reasonOf(QFileDevice::FileError error)
{
    switch (error) {
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError:
        return u"le fichier ne peut pas être créé à cet endroit (dossier absent ou protégé en écriture)"_qs;
    case QFileDevice::RenameError:
        return u"le nouveau fichier n'a pas pu prendre la place de l'ancien"_qs;
    default:
        return u"l'écriture a échoué, le disque est peut-être plein"_qs;
    }
}

QString failure(const QString& path, const QFileDevice& file)
{
    return u"Le bulletin n'a pas été enregistré dans « %1 » : %2 (%3). Un fichier qui s'y trouvait déjà reste "
           u"intact."_qs.arg(QDir::toNativeSeparators(path), reasonOf(file.error()), file.errorString());
}

bool writeAll(QIODevice& device, const QByteArray& bytes)
{
    return device.write(bytes) == bytes.size();
}

} // namespace

std::optional<Format> FormatOfName(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == u"txt")
        return Format::Text;
    if (suffix == u"html" || suffix == u"htm")
        return Format::Html;
    if (suffix == u"pdf")
        return Format::Pdf;
    return std::nullopt;
}

QString Extension(Format format)
{
    switch (format) {
    case Format::Html:
        return u"html"_qs;
    case Format::Pdf:
        return u"pdf"_qs;
    case Format::Text:
        break;
    }
    return u"txt"_qs;
}

QByteArray Text(const BriefingDocument::Briefing& briefing)
{
    return BriefingDocument::Build(briefing)->toPlainText().toUtf8() + '\n';
}

QByteArray Html(const BriefingDocument::Briefing& briefing)
{
    return BriefingDocument::Build(briefing)->toHtml().toUtf8();
}

bool WritePdf(const BriefingDocument::Briefing& briefing, QIODevice& device)
{
    const std::unique_ptr<QTextDocument> document = BriefingDocument::Build(briefing);
    {
        QPdfWriter writer(&device);
        writer.setTitle(BriefingDocument::Title(briefing));
        writer.setCreator(u"Ventorix "_qs + QStringLiteral(VENTORIX_VERSION));
        writer.setPageSize(QPageSize(QPageSize::A4));
        // print() lays the document out with margins of its own and numbers the pages in them.
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        document->print(&writer);
    } // the writer ends the file when it goes
    // The writer says nothing of the bytes it could not write; a file knows.
    const auto* file = qobject_cast<const QFileDevice*>(&device);
    return !file || file->error() == QFileDevice::NoError;
}

QString Save(const QString& path, const std::function<bool(QIODevice&)>& write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failure(path, file);
    // Flushed here, not in commit(): a failed write leaves the file saying "Unknown error", and commit() closes
    // it, which forgets the reason; a flush that fails says why (full disk, file too large...).
    const bool written = write(file);
    if (!file.flush() || !written) {
        const QString message = failure(path, file);
        file.cancelWriting();
        return message;
    }
    if (!file.commit())
        return failure(path, file);
    return {};
}

QString Save(const BriefingDocument::Briefing& briefing, const QString& path, Format format)
{
    return Save(path, [&](QIODevice& device) {
        switch (format) {
        case Format::Html:
            return writeAll(device, Html(briefing));
        case Format::Pdf:
            return WritePdf(briefing, device);
        case Format::Text:
            break;
        }
        return writeAll(device, Text(briefing));
    });
}

} // namespace BriefingFile
