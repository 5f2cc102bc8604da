#include "storage/UserSettings.h"

#include "settings/SettingsValues.h"
#include "storage/SettingsStore.h"

using namespace Qt::StringLiterals;

namespace {

const QString kData = u"data"_s;
const QString kLast = u"last"_s;
// "Info" holds the report type's number, as it always has.
const QString kType = u"Info"_s;
const QString kFavouritesGroup = u"Fav"_s;
const QString kBriefing = u"briefing"_s;
const QString kFolder = u"folder"_s;
const QString kSources = u"sources"_s;

} // namespace

UserSettings::UserSettings(SettingsStore& store)
    : m_store(store)
{
}

QStringList UserSettings::favourites() const
{
    QStringList codes;
    for (int i = 0; i < kFavourites; ++i)
        codes.append(m_store.read(kFavouritesGroup, QString::number(i), QString()));
    return codes;
}

void UserSettings::setFavourites(const QStringList& codes)
{
    for (int i = 0; i < codes.size() && i < kFavourites; ++i)
        m_store.write(kFavouritesGroup, QString::number(i), codes.at(i));
}

QString UserSettings::lastCode() const
{
    return m_store.read(kData, kLast, u"LFPG"_s);
}

void UserSettings::setLastCode(const QString& code)
{
    m_store.write(kData, kLast, code);
}

ReportType UserSettings::reportType() const
{
    const int number = SettingsValues::reportTypeFromInfo(m_store.read(kData, kType, u"0"_s));
    return kReportTypes.at(static_cast<size_t>(number));
}

void UserSettings::setReportType(ReportType type)
{
    m_store.write(kData, kType, QString::number(static_cast<int>(type)));
}

QString UserSettings::briefingFolder() const
{
    return m_store.read(kBriefing, kFolder, QString());
}

void UserSettings::setBriefingFolder(const QString& folder)
{
    m_store.write(kBriefing, kFolder, folder);
}

Sources UserSettings::sourcesIn(const SettingsStore& store)
{
    return Sources { store.read(kSources, u"weather"_s, {}), store.read(kSources, u"notam"_s, {}),
        store.read(kSources, u"site"_s, {}) };
}

PilotLimits UserSettings::pilotLimitsIn(const SettingsStore& store)
{
    const auto number = [&store](const QString& key, int fallback) {
        bool ok = false;
        const int value = store.read(kBriefing, key, QString()).trimmed().toInt(&ok);
        return ok && value >= 0 ? value : fallback;
    };
    PilotLimits limits;
    limits.ageOrangeMinutes = number(u"ageOrangeMinutes"_s, limits.ageOrangeMinutes);
    limits.ageRedMinutes = number(u"ageRedMinutes"_s, limits.ageRedMinutes);
    Conditions::Thresholds& sky = limits.conditions;
    sky.vmcVisibilityM = number(u"vmcVisibilityM"_s, sky.vmcVisibilityM);
    sky.vmcCeilingFt = number(u"vmcCeilingFt"_s, sky.vmcCeilingFt);
    sky.marginalVisibilityM = number(u"marginalVisibilityM"_s, sky.marginalVisibilityM);
    sky.marginalCeilingFt = number(u"marginalCeilingFt"_s, sky.marginalCeilingFt);
    return limits;
}

bool UserSettings::save()
{
    return m_store.flush();
}
