// The TAF path: cutting, dating and decoding a forecast, and the emphasis of the report area.
#include "FuzzSupport.h"

#include "reports/TafDecoder.h"

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QString raw = fuzzText(data, size);
    const QString code = takeCode(raw);
    const Taf::TafReport report = Taf::buildReport(raw, code, QDate(2026, 12, 15));
    FUZZ_CHECK(report.rawEmpty == raw.isEmpty());
    if (report.rawEmpty)
        return 0;
    // Nothing of the raw text is ever lost, and the title names the code.
    FUZZ_CHECK(report.reportText == report.decoded + u"\r\n\r\nTAF complet\r\n"_s + raw);
    FUZZ_CHECK(report.title == u"TAF de "_s + code + report.titlePeriod);
    FUZZ_CHECK(report.codeFound || report.decoded.isEmpty());
    for (const StyleSpan& span : Taf::emphasisSpans(report.reportText))
        FUZZ_CHECK(span.start >= 0 && span.length >= 0 && span.start + span.length <= report.reportText.size());
    // The decoder alone, on a short text: no rule rewrites to nothing.
    const QString head = raw.left(4096);
    FUZZ_CHECK(Taf::decode(head, head.split(u' '), code).isEmpty() == head.isEmpty());
    return 0;
}
