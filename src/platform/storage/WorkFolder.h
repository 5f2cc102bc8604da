#pragma once

#include <QString>

/// The folder of the program's work files ("V.txt", CODE + ".txt"). It is a folder of the program's own,
/// never the executable's folder: quitting deletes every "*.txt" file in it.
class WorkFolder
{
public:
    explicit WorkFolder(QString path);

    /// The production folder: "work" inside the user's cache location, created when missing.
    static WorkFolder userCache();

    const QString& path() const { return m_path; }
    QString filePath(const QString& name) const;

    /// Deletes every file directly in the folder whose name ends in ".txt"; sub-folders are not touched.
    /// Returns how many could not be deleted.
    int removeWorkFiles() const;

private:
    QString m_path;
};
