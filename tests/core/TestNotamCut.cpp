// Cutting the NOTAM block out of the provider's page and marking each NOTAM.
#include "reports/NotamCut.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kSeparator(70, u'_');
const QString kRule(75, u'-');

const QString kN1 = u" A1234/26 - TWY R CLSD BTN R1 AND R3. 15 DEC 06:00 2026 UNTIL 20 DEC 18:00 2026."_s;
const QString kN2 = u" A1240/26 - ILS RWY 09L GP U/S. 15 DEC 00:00 2026 UNTIL 16 DEC 23:59 2026."_s;

// The provider's page as saved: the reports in one preformatted block, the NOTAMs last.
QString page(const QString& notams)
{
    return u"<html><head><title>LFPG</title></head><body>\r\n<pre>\r\n"
           u"LFPG 151030Z 24010KT 9999 BKN030 08/04 Q1012 NOSIG\r\n\r\n(NOTAMS)"_s
        + notams + u"</pre>\r\n</body></html>\r\n"_s;
}

} // namespace

class TestNotamCut : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cut_data();
    void cut();
    void largePage();
    void randomPagesStayBounded();
};

void TestNotamCut::cut_data()
{
    QTest::addColumn<QString>("pageText");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("expected");
    const QString sepNext = kSeparator + u"\n\n"_s;

    // The block between the markers, each NOTAM after the first opened by the separator line.
    QTest::newRow("two NOTAMs and the closing rule")
        << page(u"\r\n\r\nLFPG"_s + kN1 + u"\r\n\r\nLFPG"_s + kN2 + u"\r\n"_s + kRule + u"\r\n"_s) << u"LFPG"_s
        << u"LFPG"_s + kN1 + u"\r\n"_s + sepNext + u"LFPG"_s + kN2 + u"\r\n"_s + kSeparator + u" (Fin)\r\n"_s;
    QTest::newRow("no blank line between NOTAMs")
        << page(u"\r\nLFPG"_s + kN1 + u"\r\nLFPG"_s + kN2 + u"\r\n"_s) << u"LFPG"_s
        << u"LFPG"_s + kN1 + u"\r\n"_s + sepNext + u"LFPG"_s + kN2 + u"\r\n"_s;
    QTest::newRow("code in lower case or inside a line not marked")
        << page(u"\r\nLFPG A1 SEE LFPG A2\r\nlfpg A3\r\n"_s) << u"LFPG"_s << u"LFPG A1 SEE LFPG A2\r\nlfpg A3\r\n"_s;
    QTest::newRow("K code written without its K")
        << page(u"\r\nJFK 12/034\r\n\r\nKJFK 12/040\r\n\r\nJFK 12/051\r\n"_s) << u"KJFK"_s
        << u"KJFK 12/034\r\n"_s + sepNext + u"KJFK 12/040\r\n"_s + sepNext + u"KJFK 12/051\r\n"_s;
    QTest::newRow("other codes get no K rule")
        << page(u"\r\nPANC 12/001\r\nANC 12/002\r\n"_s) << u"PANC"_s << u"PANC 12/001\r\nANC 12/002\r\n"_s;

    // Rule lines: a run of 75 hyphens per tag, the excess kept after it.
    QTest::newRow("longer rule keeps its excess")
        << page(u"LFPG A1\r\n"_s + QString(80, u'-')) << u"LFPG"_s << u"LFPG A1\r\n"_s + kSeparator + u" (Fin)-----"_s;
    QTest::newRow("double-length rule tagged twice")
        << page(u"LFPG A1\r\n"_s + QString(150, u'-')) << u"LFPG"_s
        << u"LFPG A1\r\n"_s + kSeparator + u" (Fin)"_s + kSeparator + u" (Fin)"_s;
    QTest::newRow("74 hyphens are no rule")
        << page(u"LFPG A1\r\n"_s + QString(74, u'-')) << u"LFPG"_s << u"LFPG A1\r\n"_s + QString(74, u'-');

    // Leading blanks: anything at or below the blank, looked for over the first 100 characters only.
    QTest::newRow("tabs and line ends dropped") << page(u"\t \r\n  LFPG A1"_s) << u"LFPG"_s << u"LFPG A1"_s;
    QTest::newRow("over 100 blanks loses exactly 100")
        << page(QString(120, u' ') + u"LFPG A1"_s) << u"LFPG"_s << QString(20, u' ') + u"LFPG A1"_s;
    QTest::newRow("exactly 100 blanks") << page(QString(100, u' ') + u"LFPG A1"_s) << u"LFPG"_s << u"LFPG A1"_s;
    QTest::newRow("blank block under 100") << page(u"\r\n\r\n   \r\n"_s) << u"LFPG"_s << QString();
    QTest::newRow("no-break space is no blank") << page(u"\r\n\u00a0LFPG A1"_s) << u"LFPG"_s << u"\u00a0LFPG A1"_s;

    // Missing or misplaced markers: the cut that cannot be made is not made.
    QTest::newRow("neither marker") << u"  \r\nLFPG A1\r\nLFPG A2\r\n"_s << u"LFPG"_s
                                    << u"LFPG A1\r\n"_s + sepNext + u"LFPG A2\r\n"_s;
    QTest::newRow("end marker without start marker")
        << u"<pre>\r\nLFPG A1\r\nLFPG A2\r\n</pre>"_s << u"LFPG"_s << u"LFPG A1\r\n"_s + sepNext + u"LFPG A2\r\n"_s;
    QTest::newRow("end marker only before the start")
        << u"</pre>(NOTAMS)\r\nLFPG A1"_s << u"LFPG"_s << u"</pre>(NOTAMS)\r\n"_s + sepNext + u"LFPG A1"_s;
    QTest::newRow("first end marker after the start")
        << page(u"\r\nLFPG A1\r\n</pre><pre>X"_s) << u"LFPG"_s << u"LFPG A1\r\n"_s;
    QTest::newRow("empty block") << page(QString()) << u"LFPG"_s << QString();
    QTest::newRow("empty block for a K code") << page(QString()) << u"KJFK"_s << u"K"_s;
    QTest::newRow("start marker closing the page") << u"LFPG A1 (NOTAMS)"_s << u"LFPG"_s << u"LFPG A1 (NOTAMS)"_s;
    QTest::newRow("empty page") << QString() << u"LFPG"_s << QString();
    QTest::newRow("page shorter than the cut start") << u"LFPG"_s << u"LFPG"_s << u"LFPG"_s;
    QTest::newRow("empty code marks nothing") << page(u"LFPG A1\r\nLFPG A2"_s) << QString() << u"LFPG A1\r\nLFPG A2"_s;
    QTest::newRow("single-byte characters kept") << page(u"LFPG A1 FR\xe9Q 118.150\r\nLFPG A2"_s) << u"LFPG"_s
                                                 << u"LFPG A1 FR\xe9Q 118.150\r\n"_s + sepNext + u"LFPG A2"_s;
}

void TestNotamCut::cut()
{
    QFETCH(QString, pageText);
    QFETCH(QString, code);
    QFETCH(QString, expected);
    QCOMPARE(Notam::cut(pageText, code), expected);
}

void TestNotamCut::largePage()
{
    // Several MiB of NOTAMs: every one after the first marked, the closing rule tagged.
    const int count = 40000;
    const QString notams = (u"\r\n\r\nLFPG"_s + kN1).repeated(count) + u"\r\n"_s + kRule + u"\r\n"_s;
    const QString text = Notam::cut(page(notams), u"LFPG"_s);
    QVERIFY(notams.size() > 3 * 1024 * 1024);
    QVERIFY(text.startsWith(u"LFPG"_s + kN1 + u"\r\n"_s + kSeparator));
    QCOMPARE(text.count(kSeparator + u"\n\nLFPG"_s), count - 1);
    QVERIFY(text.endsWith(kSeparator + u" (Fin)\r\n"_s));
}

void TestNotamCut::randomPagesStayBounded()
{
    // Fixed seed: a failure names its input and reproduces.
    QRandomGenerator rng(1215);
    const QStringList codes { u"LFPG"_s, u"KJFK"_s, u"K"_s, QString() };
    const QStringList pieces { u"(NOTAMS)"_s, u"</pre>"_s, u"\r\n"_s, u"\r"_s, u"\n"_s, u"LFPG"_s, u"KJFK"_s, u"JFK"_s,
        kRule, u"-"_s, u" "_s, u"\t"_s, QString(37, u' '), u"A1234/26 RWY 09L CLSD"_s, u"_"_s };

    for (int i = 0; i < 4000; ++i) {
        QString pageText;
        for (int n = rng.bounded(60); n > 0; --n) {
            if (rng.bounded(5) == 0)
                pageText += QChar(rng.bounded(256));
            else
                pageText += pieces.at(rng.bounded(pieces.size()));
        }
        const QString& code = codes.at(rng.bounded(codes.size()));
        const QByteArray context = "code '" + code.toLatin1() + "' page '" + pageText.toLatin1() + "'";

        const QString text = Notam::cut(pageText, code);
        // Each line break grows by at most the separator, its two line feeds and the line break kept before
        // it, plus one K in front, plus one character per tagged rule line.
        const qsizetype bound = pageText.size() + 72 * pageText.count(u"\r\n") + 1 + pageText.size() / 75;
        QVERIFY2(text.size() <= bound, context.constData());
        QVERIFY2(!text.contains(kRule), context.constData());
        if (!code.isEmpty()) {
            QVERIFY2(!text.contains(u"\r\n"_s + code), context.constData());
            QVERIFY2(!code.startsWith(u'K') || text.startsWith(u'K'), context.constData());
        }
    }
}

QTEST_GUILESS_MAIN(TestNotamCut)
#include "TestNotamCut.moc"
