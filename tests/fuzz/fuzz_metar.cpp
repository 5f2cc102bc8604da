// The METAR path: translation, title, styled spans and the expiry rule.
#include "FuzzSupport.h"

#include "reports/Expiry.h"
#include "reports/MetarStyle.h"
#include "reports/MetarTranslation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = fuzzText(data, size);
    const QString translated = Metar::TranslateMetar(text);
    FUZZ_CHECK(translated.isEmpty() == text.isEmpty());
    FUZZ_CHECK(Metar::MetarTitle(translated, u"LFPG"_qs).startsWith(u"METAR de "_qs));
    for (const StyleSpan& span : Metar::MetarStyleSpans(translated))
        FUZZ_CHECK(span.start >= 0 && span.length >= 0 && span.start + span.length <= translated.size());
    // Any day of a month end or of mid-month: the rule answers without reading outside the text.
    for (const QDate& today : { QDate(2026, 12, 15), QDate(2027, 3, 1) }) {
        const bool stale = Expiry::IsMetarOutOfDate(translated, today);
        FUZZ_CHECK(!stale || Expiry::MetarObservationGroup(translated).has_value());
    }
    return 0;
}
