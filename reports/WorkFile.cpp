#include "reports/WorkFile.h"

#include <QFile>

namespace WorkFile {

QStringList ReadItems(const QByteArray& contents)
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

QString ReportText(const QByteArray& contents)
{
    const QStringList items = ReadItems(contents);
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

QString ReadReportText(const QString& path)
{
    return ReportText(readAll(path));
}

QString ReadWhole(const QString& path)
{
    return QString::fromLatin1(readAll(path));
}

} // namespace WorkFile
