// Reading a downloaded work file into items and into the report text, and a page into text.
#include "FuzzSupport.h"

#include "reports/WorkFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray contents = fuzzBytes(data, size);
    const QStringList items = WorkFile::readItems(contents);
    qsizetype length = 0;
    for (const QString& item : items) {
        // Separators end items and never appear in them; blanks never open one.
        FUZZ_CHECK(!item.contains(u'\n') && !item.contains(u'\r') && !item.contains(u','));
        FUZZ_CHECK(!item.startsWith(u' ') && !item.startsWith(u'\t'));
        length += item.size() + 1;
    }
    const QString text = WorkFile::reportText(contents);
    FUZZ_CHECK(text.size() == (items.isEmpty() ? 0 : length - items.first().size() - 1));
    FUZZ_CHECK(text.isEmpty() || text.endsWith(u' '));
    // Read as UTF-8 or byte for byte, a page never loses text: at least one character per UTF-8 sequence.
    const QString page = WorkFile::decodePage(contents);
    FUZZ_CHECK(page.size() >= contents.size() / 4 && page.size() <= contents.size());
    return 0;
}
