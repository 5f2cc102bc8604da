#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QTemporaryFile>
#include <QVariant>

#include <memory>

class QSettings;

/// INI files as QSettings reads them, cut into their sections as bytes, so that a save can leave the
/// sections it does not write exactly as the user wrote them, and damage in one section cannot take
/// another's keys away.
namespace IniSections {

/// One part of a file: the lines before the first section, or a section from its "[" to the next one.
struct Section
{
    QString group; ///< "" for the lines before the first section and for [General]
    qsizetype begin = 0;
    qsizetype end = 0;
    bool headerClosed = true; ///< false for "[name" without its "]": QSettings' fragments, read by no one
};

/// The group of a QSettings key: "" for a key outside any section.
QString groupOfKey(const QString& key);

/// The parts of @p data in order; together they hold every byte but a leading UTF-8 mark.
QList<Section> split(QByteArrayView data);

/// What QSettings is given to read of @p data: every part but the sections whose header is not closed.
QByteArray readable(const QByteArray& data);

/// Where a save puts QSettings' text of the groups it writes.
enum class Placement {
    InPlace, ///< in place of the first part it replaces, or last
    First, ///< before every other part, where nothing the user wrote can swallow it
};

/// The file as it is to be saved: every part of @p original that holds none of @p writtenGroups (and every
/// section whose header is not closed) stays exactly as it is; @p rewritten, QSettings' text of the written
/// groups, goes where @p placement says.
QByteArray composeFile(const QByteArray& original, const QSet<QString>& writtenGroups, const QByteArray& rewritten,
    Placement placement = Placement::InPlace);

/// QSettings' reading of the parts readable() keeps, made from a private copy of them: damage in one section
/// cannot hide another, and the parse QSettings keeps per file name for the whole process never stands in
/// for what the bytes hold now.
class ParsedFile
{
public:
    explicit ParsedFile(const QByteArray& bytes);
    ~ParsedFile();
    Q_DISABLE_COPY_MOVE(ParsedFile)

    /// False when no private copy could be made: every key is then absent.
    bool isRead() const { return m_settings != nullptr; }
    QVariant value(const QString& key) const;
    /// Every key of the groups named, or of every group when none is.
    QStringList keys(const QSet<QString>& groups = {}) const;

private:
    QTemporaryFile m_copy;
    std::unique_ptr<QSettings> m_settings; // goes before the copy it reads
};

} // namespace IniSections
