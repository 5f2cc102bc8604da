#include "reports/WorkFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace WorkFile {

QStringList readItems(const QByteArray& contents)
{
    QStringList items;
    QString current;
    bool atItemStart = true;
    bool pending = false; // an item has begun (possibly empty) and not yet been stored
    const qsizetype n = contents.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = contents.at(i);
        if (c == '\r' || c == '\n' || c == ',') {
            if (c == '\r' && i + 1 < n && contents.at(i + 1) == '\n')
                ++i;
            items.append(current);
            current.clear();
            atItemStart = true;
            pending = false;
            continue;
        }
        pending = true;
        if (atItemStart && (c == ' ' || c == '\t'))
            continue;
        atItemStart = false;
        current.append(QChar(static_cast<char16_t>(static_cast<unsigned char>(c))));
    }
    // The last line may lack its line end; a file that ends right after a separator has no further item.
    if (pending)
        items.append(current);
    return items;
}

QString reportText(const QByteArray& contents)
{
    const QStringList items = readItems(contents);
    QString text;
    for (qsizetype i = 1; i < items.size(); ++i) {
        text += items.at(i);
        text += u' ';
    }
    return text;
}

static QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString readReportText(const QString& path)
{
    return reportText(readAll(path));
}

QString decodePage(const QByteArray& page)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(page);
    if (!utf8.hasError())
        return text;
    // Only a page that says it is UTF-8 is read as such despite a bad byte; any other is single-byte text.
    static const QRegularExpression declaresUtf8(
        u"charset\\s*=\\s*[\"']?utf-?8"_s, QRegularExpression::CaseInsensitiveOption);
    if (declaresUtf8.match(QString::fromLatin1(page.left(4096))).hasMatch())
        return text;
    return QString::fromLatin1(page);
}

QString readPage(const QString& path)
{
    return decodePage(readAll(path));
}

} // namespace WorkFile
