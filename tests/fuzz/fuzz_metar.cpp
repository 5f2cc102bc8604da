// The METAR path: translation, title, styled spans, the expiry rule and the readers of the raw observation.
#include "FuzzSupport.h"

#include "reports/DensityAltitude.h"
#include "reports/Expiry.h"
#include "reports/FlightConditions.h"
#include "reports/MetarGroups.h"
#include "reports/MetarStyle.h"
#include "reports/MetarTranslation.h"

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = fuzzText(data, size);
    const QString translated = Metar::translate(text);
    FUZZ_CHECK(translated.isEmpty() == text.isEmpty());
    FUZZ_CHECK(Metar::title(translated, u"LFPG"_s).startsWith(u"METAR de "_s));
    for (const StyleSpan& span : Metar::styleSpans(translated))
        FUZZ_CHECK(span.start >= 0 && span.length >= 0 && span.start + span.length <= translated.size());
    // Any day of a month end or of mid-month: the rule answers without reading outside the text.
    for (const QDate& today : { QDate(2026, 12, 15), QDate(2027, 3, 1) }) {
        const bool stale = Expiry::isMetarOutOfDate(translated, today);
        FUZZ_CHECK(!stale || Expiry::metarObservationGroup(translated).has_value());
    }
    // The readers of the raw observation take any text: a known category needs something read.
    const Conditions::FlightConditions conditions = Conditions::conditionsOf(text);
    FUZZ_CHECK(conditions.category == Conditions::Category::Unknown || conditions.visibilityM || conditions.skyRead);
    FUZZ_CHECK(Density::densityAltitudeOf(text, 0).has_value() == (Metar::temperatureC(text) && Metar::qnhHpa(text)));
    return 0;
}
