#pragma once

#include "reports/PilotFacts.h"
#include "reports/ReportType.h"
#include "reports/Sources.h"

#include <QStringList>

class SettingsStore;

/// What the program keeps between runs, by name: the only place that knows the settings file's groups and
/// keys. Reads and writes go through @p store, which keeps the file's bytes as they were wherever nothing
/// changed.
class UserSettings final
{
public:
    static constexpr int kFavourites = 12;

    explicit UserSettings(SettingsStore& store);

    /// One code per favourite slot, empty for an empty slot.
    QStringList favourites() const;
    void setFavourites(const QStringList& codes);

    /// The code shown last; LFPG on the first run.
    QString lastCode() const;
    void setLastCode(const QString& code);

    /// The type chosen last; METAR on the first run or when the stored value names no type.
    ReportType reportType() const;
    void setReportType(ReportType type);

    /// The folder the last briefing was saved in; empty when none was.
    QString briefingFolder() const;
    void setBriefingFolder(const QString& folder);

    /// The addresses the user wrote by hand in the group "sources" (the program never writes them); empty
    /// where the file says nothing.
    static Sources sourcesIn(const SettingsStore& store);

    /// The limits of the pilot line's colours in the group "briefing" (ageOrangeMinutes, ageRedMinutes,
    /// vmcVisibilityM, vmcCeilingFt, marginalVisibilityM, marginalCeilingFt), which only the user writes;
    /// the default of each one that is absent or not a whole number from 0 up.
    static PilotLimits pilotLimitsIn(const SettingsStore& store);

    /// Puts what was written on disk; false when it could not be saved.
    bool save();

private:
    SettingsStore& m_store;
};
