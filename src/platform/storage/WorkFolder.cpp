#include "storage/WorkFolder.h"

#include "services/Logging.h"

#include <QDir>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

WorkFolder::WorkFolder(QString path)
    : m_path(std::move(path))
{
    if (!QDir().mkpath(m_path))
        qCWarning(lcFiles) << "cannot create the work folder" << m_path;
}

WorkFolder WorkFolder::userCache()
{
    return WorkFolder(QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + u"/work"_s);
}

QString WorkFolder::filePath(const QString& name) const
{
    return QDir(m_path).filePath(name);
}

int WorkFolder::removeWorkFiles() const
{
    const QDir dir(m_path);
    int failures = 0;
    for (const QString& name : dir.entryList({ u"*.txt"_s }, QDir::Files | QDir::Hidden | QDir::System)) {
        if (!QFile::remove(dir.filePath(name))) {
            qCWarning(lcFiles) << "cannot remove the work file" << dir.filePath(name);
            ++failures;
        }
    }
    return failures;
}
