#include "briefing/BriefingFile.h"

#include "BuildConfig.h"
#include "briefing/BriefingPdf.h"
#include "briefing/TextLook.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTextDocument>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace BriefingFile {
namespace {

// The causes a user can act on, in French; the system's own text for the rare others.
QString causeOf(int error)
{
    switch (error) {
    case ENOSPC:
        return u"disque plein"_s;
    case EDQUOT:
        return u"quota de disque dépassé"_s;
    case EFBIG:
        return u"fichier trop volumineux pour cet emplacement"_s;
    case EROFS:
        return u"système de fichiers en lecture seule"_s;
    case ENOENT:
    case ENOTDIR:
        return u"dossier introuvable"_s;
    case EACCES:
    case EPERM:
        return u"accès refusé"_s;
    case EISDIR:
        return u"c'est un dossier"_s;
    case EPIPE:
        return u"le programme qui lisait la sortie l'a fermée"_s;
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

// Qt lays text out in fixed point: a document taller than this many device pixels wraps around and is
// painted as blank pages.
constexpr qreal kTallestLayout = (1 << 25) - 1;
// Enough for print, and room for some 9,000 A4 pages of layout.
constexpr int kPaintResolution = 300;

// The page objects of a PDF, whoever wrote it: "/Type /Page", not the "/Type /Pages" of the tree.
qsizetype pagesIn(const QByteArray& pdf)
{
    return pdf.count("/Type /Page") - pdf.count("/Type /Pages");
}

QString notSaved(const QString& path, const QString& cause)
{
    return u"Le bulletin n'a pas été enregistré dans « %1 » : %2."_s.arg(QDir::toNativeSeparators(path), cause);
}

QString failure(const QString& path, int error)
{
    return notSaved(path, causeOf(error)) + u" Un fichier qui s'y trouvait déjà reste intact."_s;
}

bool writeAll(QIODevice& device, const QByteArray& bytes)
{
    return device.write(bytes) == bytes.size();
}

// Every byte to @p fd; 0, or the system's error number when one could not be written.
int writeAllTo(int fd, QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const ssize_t written
            = ::write(fd, bytes.data(), static_cast<size_t>(std::min<qsizetype>(bytes.size(), 1 << 20)));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : EIO;
        bytes = bytes.sliced(written);
    }
    return 0;
}

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

// Where @p link points, as a path: relative targets are read from the link's folder.
QString linkTarget(const QString& link)
{
    std::array<char, 4096> buffer {};
    const ssize_t size = ::readlink(encoded(link).constData(), buffer.data(), buffer.size() - 1);
    if (size <= 0)
        return {};
    const QString target = QFile::decodeName(QByteArray(buffer.data(), size));
    return target.startsWith(u'/') ? target : QFileInfo(link).absolutePath() + u'/' + target;
}

// Follows the links from @p path to what they name; empty, with @p refusal set, when a link lies in a
// folder anyone may write into but only owners may delete from (/tmp), and is not the user's: another user
// may have planted it there to have this program write over a file of its choosing.
QString followLinks(const QString& path, QString& refusal)
{
    QString current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat link = {};
        if (::lstat(encoded(current).constData(), &link) != 0 || !S_ISLNK(link.st_mode))
            return current;
        struct stat folder = {};
        const QString folderPath = QFileInfo(current).absolutePath();
        const bool shared = ::stat(encoded(folderPath).constData(), &folder) == 0 && (folder.st_mode & S_ISVTX)
            && (folder.st_mode & S_IWOTH);
        if (shared && link.st_uid != ::geteuid()) {
            refusal = u"le lien « %1 » appartient à un autre utilisateur, dans un dossier partagé : il n'est pas "
                      u"suivi"_s.arg(QDir::toNativeSeparators(current));
            return {};
        }
        const QString next = linkTarget(current);
        if (next.isEmpty())
            return current;
        current = next;
    }
    return current;
}

// Writes a regular file (new or replaced) through a temporary file beside it, renamed over it once every byte
// is in: a failure leaves any earlier file as it was. The system's error numbers are kept to the end, so the
// cause is named whatever the size.
QString replaceFile(const QString& shownPath, const QString& target, const QByteArray& bytes)
{
    struct stat old = {};
    const bool replacing = ::stat(encoded(target).constData(), &old) == 0;
    const QFileInfo info(target);
    QString scratch;
    int fd = -1;
    // Made with open() rather than mkstemp(): a new file then takes the user's umask, as any file the user makes.
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        scratch = info.absolutePath() + u"/."_s + info.fileName() + u'.'
            + QString::number(QRandomGenerator::global()->generate(), 36);
        fd = ::open(encoded(scratch).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST)
            return failure(shownPath, errno);
    }
    if (fd < 0)
        return failure(shownPath, EEXIST);
    int error = replacing ? (::fchmod(fd, old.st_mode & 07777) == 0 ? 0 : errno) : 0;
    if (error == 0)
        error = writeAllTo(fd, bytes);
    // Some file systems only say at close that the disk was full.
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && std::rename(encoded(scratch).constData(), encoded(target).constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(encoded(scratch).constData());
        return failure(shownPath, error);
    }
    return {};
}

// A terminal, /dev/null, a pipe another program reads: written straight into, never replaced.
QString writeStream(const QString& path, const QByteArray& bytes)
{
    const int fd = ::open(encoded(path).constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return notSaved(path, causeOf(errno));
    struct stat status = {};
    int error = ::fstat(fd, &status) == 0 && (S_ISCHR(status.st_mode) || S_ISFIFO(status.st_mode)) ? 0 : EINVAL;
    if (error == 0)
        error = writeAllTo(fd, bytes);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error == 0 ? QString() : notSaved(path, causeOf(error));
}

} // namespace

std::optional<Format> formatOfName(const QString& fileName)
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

QString extension(Format format)
{
    switch (format) {
    case Format::Html:
        return u"html"_s;
    case Format::Pdf:
        return u"pdf"_s;
    case Format::Text:
        break;
    }
    return u"txt"_s;
}

QByteArray text(const BriefingDocument::Briefing& briefing)
{
    return text(BriefingDocument::compose(briefing));
}

QByteArray text(const BriefingDocument::Document& document)
{
    QString text;
    for (const BriefingDocument::Paragraph& paragraph : document.paragraphs) {
        for (const TextRun& run : paragraph)
            text += run.text;
        text += u'\n';
    }
    // As a rich text document gives its plain text.
    text.replace(QChar::Nbsp, u' ');
    return text.toUtf8();
}

QByteArray html(const BriefingDocument::Briefing& briefing)
{
    return html(BriefingDocument::compose(briefing));
}

QByteArray html(const BriefingDocument::Document& document)
{
    // Written here rather than by a rich text document, which takes seconds over the largest reports.
    QString html = u"<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>"_s + document.title.toHtmlEscaped()
        + u"</title>\n<style>body { font-family: 'Liberation Sans', sans-serif; } "
          u"p { margin: 0; white-space: pre-wrap; }</style></head>\n<body>\n"_s;
    for (const BriefingDocument::Paragraph& paragraph : document.paragraphs) {
        html += u"<p>"_s;
        bool empty = true;
        for (const TextRun& run : paragraph) {
            if (run.text.isEmpty())
                continue;
            empty = false;
            html += u"<span style=\"font-size:%1pt; color:%2;%3\">"_s.arg(run.pointSize)
                        .arg(TextLook::colour(run.rgb).name(), run.bold ? u" font-weight:700;"_s : QString())
                + run.text.toHtmlEscaped() + u"</span>"_s;
        }
        html += empty ? u"<br></p>\n"_s : u"</p>\n"_s;
    }
    return (html + u"</body></html>\n"_s).toUtf8();
}

int paint(const BriefingDocument::Briefing& briefing, QPagedPaintDevice& device)
{
    return paint(BriefingDocument::compose(briefing), device);
}

int paint(const BriefingDocument::Document& source, QPagedPaintDevice& device)
{
    const std::unique_ptr<QTextDocument> document = BriefingDocument::build(source);
    device.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    const QRectF paintRect = device.pageLayout().paintRectPixels(device.logicalDpiY());
    document->documentLayout()->setPaintDevice(&device);
    // The page number goes under each page, in a strip of its own.
    const qreal footer = device.logicalDpiY() / 4.0;
    const QSizeF page(paintRect.width(), paintRect.height() - footer);
    document->setPageSize(page);
    const int pages = document->pageCount();
    if (pages * page.height() > kTallestLayout)
        return 0;
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    QFont numberFont = TextLook::sansFont(9);
    for (int pageIndex = 0; pageIndex < pages; ++pageIndex) {
        if (pageIndex > 0 && !device.newPage())
            return 0;
        painter.save();
        painter.translate(0, -pageIndex * page.height());
        document->drawContents(&painter, QRectF(QPointF(0, pageIndex * page.height()), page));
        painter.restore();
        painter.setFont(numberFont);
        painter.setPen(Qt::black);
        painter.drawText(
            QRectF(0, page.height(), page.width(), footer), Qt::AlignCenter, QString::number(pageIndex + 1));
    }
    return painter.end() ? pages : 0;
}

bool writePdf(const BriefingDocument::Briefing& briefing, QIODevice& device)
{
    return writePdf(BriefingDocument::compose(briefing), device);
}

bool writePdf(const BriefingDocument::Document& document, QIODevice& device)
{
    const QList<BriefingDocument::Paragraph>& paragraphs = document.paragraphs;
    const QString& title = document.title;
    const QString creator = u"Ventorix "_s + QStringLiteral(VENTORIX_VERSION);
    if (BriefingPdf::canRender(paragraphs)) {
        const BriefingPdf::Pdf pdf = BriefingPdf::render(paragraphs, title, creator);
        return pagesIn(pdf.bytes) == pdf.pages && writeAll(device, pdf.bytes);
    }
    // Characters the PDF's built-in faces lack: painted through Qt, which embeds faces that have them.
    QBuffer painted;
    painted.open(QIODevice::WriteOnly);
    int pages = 0;
    {
        QPdfWriter writer(&painted);
        writer.setTitle(title);
        writer.setCreator(creator);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(kPaintResolution);
        pages = paint(document, writer);
    } // the writer ends the file when it goes
    // A briefing that lost its pages on the way is no briefing.
    return pages > 0 && pagesIn(painted.data()) == pages && writeAll(device, painted.data());
}

std::optional<QString> spool(const BriefingDocument::Briefing& briefing, const PrintJob& job)
{
    return spool(BriefingDocument::compose(briefing), job);
}

std::optional<QString> spool(const BriefingDocument::Document& document, const PrintJob& job)
{
    const QString lp = QStandardPaths::findExecutable(u"lp"_s);
    if (lp.isEmpty())
        return std::nullopt;
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    if (!writePdf(document, pdf))
        return u"Le bulletin n'a pas pu être mis en pages pour l'impression."_s;
    QStringList arguments { u"-t"_s, document.title, u"-n"_s, QString::number(job.copies) };
    if (!job.printer.isEmpty())
        arguments << u"-d"_s << job.printer;
    if (!job.pages.isEmpty())
        arguments << u"-P"_s << job.pages;
    if (job.twoSided)
        arguments << u"-o"_s << u"sides=two-sided-long-edge"_s;
    // With no file named, lp prints what it reads.
    QProcess process;
    process.start(lp, arguments);
    bool handed = process.waitForStarted() && process.write(pdf.data()) == pdf.data().size();
    process.closeWriteChannel();
    handed = handed && process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
    if (!handed) {
        process.kill();
        QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        if (said.endsWith(u'.'))
            said.chop(1);
        return u"Le bulletin n'a pas été confié au système d'impression%1."_s.arg(
            said.isEmpty() ? QString() : u" : "_s + said);
    }
    return QString();
}

QString save(const QString& path, const std::function<bool(QIODevice&)>& write)
{
    QString refusal;
    const QString target = followLinks(path, refusal);
    if (target.isEmpty())
        return notSaved(path, refusal);
    struct stat status = {};
    const bool exists = ::stat(encoded(path).constData(), &status) == 0;
    const bool stream = exists && (S_ISCHR(status.st_mode) || S_ISFIFO(status.st_mode));
    if (exists && !stream && !S_ISREG(status.st_mode)) {
        return notSaved(path,
            S_ISDIR(status.st_mode) ? causeOf(EISDIR)
                                    : u"ce n'est ni un fichier ordinaire, ni un périphérique, ni un tube"_s);
    }
    // Written through a link only to a file of the user's: the link may not say whose file it replaces.
    if (exists && !stream && target != path && status.st_uid != ::geteuid())
        return notSaved(path, u"le lien mène à un fichier qui appartient à un autre utilisateur"_s);

    // Made whole in memory first: a layout that fails writes nothing, and the write itself names its cause.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!write(buffer))
        return notSaved(path, u"le document n'a pas pu être mis en pages"_s);
    return stream ? writeStream(path, buffer.data()) : replaceFile(path, target, buffer.data());
}

QString save(const BriefingDocument::Briefing& briefing, const QString& path, Format format)
{
    return save(BriefingDocument::compose(briefing), path, format);
}

QString save(const BriefingDocument::Document& document, const QString& path, Format format)
{
    return save(path, [&](QIODevice& device) { return write(document, format, device); });
}

bool write(const BriefingDocument::Document& document, Format format, QIODevice& device)
{
    switch (format) {
    case Format::Html:
        return writeAll(device, html(document));
    case Format::Pdf:
        return writePdf(document, device);
    case Format::Text:
        break;
    }
    return writeAll(device, text(document));
}

} // namespace BriefingFile
