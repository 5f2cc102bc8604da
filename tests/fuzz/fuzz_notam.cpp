// Cutting the NOTAM block out of the provider's page.
#include "FuzzSupport.h"

#include "reports/NotamCut.h"

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QString page = fuzzText(data, size);
    const QString code = takeCode(page);
    const QString cut = Notam::cut(page, code);
    // Without markers, blanks or anything to mark, the page comes back as it was.
    if (!page.contains(u"(NOTAMS)"_s) && !page.contains(u"</pre>"_s) && !page.contains(u'-')
        && (page.isEmpty() || page.at(0).unicode() > 32) && (code.isEmpty() || !page.contains(code.mid(1))))
        FUZZ_CHECK(cut == (code.startsWith(u'K') ? u"K"_s + page : page));
    return 0;
}
