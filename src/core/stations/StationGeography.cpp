#include "stations/StationGeography.h"

#include "stations/EmbeddedData.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <cmath>
#include <numbers>
#include <vector>

using namespace Qt::StringLiterals;

namespace Stations {
namespace {

constexpr double kEarthRadiusKm = 6371.0088; // mean radius: the haversine is exact for a sphere only
constexpr double kKmPerNm = 1.852;
constexpr double kRadPerDeg = std::numbers::pi / 180.0;

// The file's degrees are plain decimals ("-16.5133"). QStringView::toDouble() goes through the locale
// machinery and made reading the whole file several times slower, hence from_chars on an ASCII copy.
std::optional<double> degreesIn(QStringView field, double limit)
{
    std::array<char, 24> ascii {};
    if (field.isEmpty() || field.size() >= static_cast<qsizetype>(ascii.size()))
        return std::nullopt;
    for (qsizetype i = 0; i < field.size(); ++i)
        ascii[static_cast<size_t>(i)] = field[i].unicode() < 128 ? static_cast<char>(field[i].unicode()) : '?';
    double value = 0;
    const char* end = ascii.data() + field.size();
    const auto [stop, error] = std::from_chars(ascii.data(), end, value, std::chars_format::fixed);
    if (error != std::errc() || stop != end || !std::isfinite(value) || std::abs(value) > limit)
        return std::nullopt;
    return value;
}

const QString kEmbeddedFile = u":/data/station-geo.txt"_s;
std::atomic<bool> embeddedRead { false };

// The shipped geography when it has been read already, else the one line of @p code kept in @p single.
const StationGeography& geographyFor(const QString& code, StationGeography& single)
{
    if (embeddedRead.load())
        return StationGeography::embedded();
    single = StationGeography::embeddedStation(code);
    return single;
}

} // namespace

void StationGeography::fill(const QString& text)
{
    m_places.clear();
    m_byCode.clear();
    m_names.clear();
    // Sized for the shipped file, whose lines average under 60 characters.
    m_places.reserve(text.size() / 48);
    m_byCode.reserve(text.size() / 48);
    std::array<QStringView, 5> fields;
    for (QStringView line : QStringView(text).tokenize(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.count(u';') != 4)
            continue;
        qsizetype field = 0;
        for (QStringView part : line.tokenize(u';'))
            fields[static_cast<size_t>(field++)] = part;
        if (fields[0].isEmpty())
            continue;
        const QString code = fields[0].toString();
        const std::optional<double> latitude = degreesIn(fields[1], 90);
        const std::optional<double> longitude = degreesIn(fields[2], 180);
        if (!latitude || !longitude) {
            if (!fields[4].isEmpty())
                m_names.insert(code, fields[4].toString());
            continue;
        }
        bool ok = false;
        const int elevation = fields[3].toInt(&ok);
        m_byCode.insert(code, m_places.size());
        m_places.append(StationPlace {
            code, *latitude, *longitude, ok ? std::optional(elevation) : std::nullopt, fields[4].toString() });
    }
}

const StationPlace* StationGeography::find(const QString& code) const
{
    const auto it = m_byCode.constFind(code);
    return it == m_byCode.cend() ? nullptr : &m_places.at(*it);
}

QString StationGeography::aerodromeOf(const QString& code) const
{
    if (const StationPlace* place = find(code))
        return place->aerodrome;
    return m_names.value(code);
}

const StationGeography& StationGeography::embedded()
{
    static const StationGeography geography = [] {
        StationGeography filled;
        filled.fill(QString::fromUtf8(embeddedBytes(kEmbeddedFile)));
        embeddedRead.store(true);
        return filled;
    }();
    return geography;
}

StationGeography StationGeography::embeddedStation(const QString& code)
{
    StationGeography single;
    if (code.isEmpty())
        return single;
    // Finding the bytes of one line costs a fraction of turning thousands of lines into places.
    const QByteArray bytes = embeddedBytes(kEmbeddedFile);
    const QByteArray start = code.toUtf8() + ';';
    qsizetype at = bytes.startsWith(start) ? 0 : bytes.indexOf('\n' + start);
    if (at < 0)
        return single;
    if (at > 0)
        ++at;
    const qsizetype end = bytes.indexOf('\n', at);
    single.fill(QString::fromUtf8(bytes.mid(at, end < 0 ? -1 : end - at)));
    return single;
}

std::optional<StationPlace> placeOf(const QString& code, const StationGeography& geography)
{
    if (const StationPlace* place = geography.find(code))
        return *place;
    return std::nullopt;
}

std::optional<StationPlace> placeOf(const QString& code)
{
    StationGeography single;
    return placeOf(code, geographyFor(code, single));
}

QString aerodromeOf(const QString& code)
{
    StationGeography single;
    return geographyFor(code, single).aerodromeOf(code);
}

Neighbour relativePlace(const StationPlace& from, const StationPlace& to)
{
    const double lat1 = from.latitudeDeg * kRadPerDeg;
    const double lat2 = to.latitudeDeg * kRadPerDeg;
    const double dLat = lat2 - lat1;
    const double dLon = (to.longitudeDeg - from.longitudeDeg) * kRadPerDeg;
    const double h
        = std::pow(std::sin(dLat / 2), 2) + std::cos(lat1) * std::cos(lat2) * std::pow(std::sin(dLon / 2), 2);
    const double km = 2 * kEarthRadiusKm * std::asin(std::min(1.0, std::sqrt(h)));
    const double y = std::sin(dLon) * std::cos(lat2);
    const double x = std::cos(lat1) * std::sin(lat2) - std::sin(lat1) * std::cos(lat2) * std::cos(dLon);
    double bearing = std::fmod(std::atan2(y, x) / kRadPerDeg + 360.0, 360.0);
    if (bearing >= 360.0) // fmod of a value a hair under 360 can round up to it
        bearing = 0;
    return Neighbour { to.code, km, km / kKmPerNm, bearing };
}

QList<Neighbour> nearest(const QString& code, int count, const StationGeography& geography)
{
    const StationPlace* origin = geography.find(code);
    if (!origin || count <= 0)
        return {};
    // The haversine's inner term grows with the distance: it ranks every station, and only the kept ones
    // get their distance and bearing worked out in full.
    const double lat1 = origin->latitudeDeg * kRadPerDeg;
    const double cosLat1 = std::cos(lat1);
    struct Ranked
    {
        double h;
        const StationPlace* place;
    };
    std::vector<Ranked> ranked;
    ranked.reserve(static_cast<size_t>(geography.places().size()));
    for (const StationPlace& place : geography.places()) {
        if (place.code == code)
            continue;
        const double lat2 = place.latitudeDeg * kRadPerDeg;
        const double sinHalfLat = std::sin((lat2 - lat1) / 2);
        const double sinHalfLon = std::sin((place.longitudeDeg - origin->longitudeDeg) * kRadPerDeg / 2);
        ranked.push_back({ sinHalfLat * sinHalfLat + cosLat1 * std::cos(lat2) * sinHalfLon * sinHalfLon, &place });
    }
    const auto kept = static_cast<std::ptrdiff_t>(std::min<size_t>(static_cast<size_t>(count), ranked.size()));
    // Equal distances go by code, so the answer never depends on the sort's whims.
    std::partial_sort(ranked.begin(), ranked.begin() + kept, ranked.end(),
        [](const Ranked& a, const Ranked& b) { return a.h < b.h || (a.h == b.h && a.place->code < b.place->code); });
    QList<Neighbour> neighbours;
    neighbours.reserve(kept);
    for (auto it = ranked.cbegin(); it != ranked.cbegin() + kept; ++it)
        neighbours.append(relativePlace(*origin, *it->place));
    return neighbours;
}

} // namespace Stations
