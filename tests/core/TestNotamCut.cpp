// Cutting the NOTAM block out of the provider's page and marking each NOTAM.
#include "reports/NotamCut.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

const QString kSeparator(70, u'_');
const QString kRule(75, u'-');

const QString kN1 = u" A1234/26 - TWY R CLSD BTN R1 AND R3. 15 DEC 06:00 2026 UNTIL 20 DEC 18:00 2026."_qs;
const QString kN2 = u" A1240/26 - ILS RWY 09L GP U/S. 15 DEC 00:00 2026 UNTIL 16 DEC 23:59 2026."_qs;

// The provider's page as saved: the reports in one preformatted block, the NOTAMs last.
QString page(const QString& notams)
{
    return u"<html><head><title>LFPG</title></head><body>\r\n<pre>\r\n"
           u"LFPG 151030Z 24010KT 9999 BKN030 08/04 Q1012 NOSIG\r\n\r\n(NOTAMS)"_qs
        + notams + u"</pre>\r\n</body></html>\r\n"_qs;
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
    const QString sepNext = kSeparator + u"\n\n"_qs;

    // The block between the markers, each NOTAM after the first opened by the separator line.
    QTest::newRow("two NOTAMs and the closing rule")
        << page(u"\r\n\r\nLFPG"_qs + kN1 + u"\r\n\r\nLFPG"_qs + kN2 + u"\r\n"_qs + kRule + u"\r\n"_qs) << u"LFPG"_qs
        << u"LFPG"_qs + kN1 + u"\r\n"_qs + sepNext + u"LFPG"_qs + kN2 + u"\r\n"_qs + kSeparator + u" (Fin)\r\n"_qs;
    QTest::newRow("no blank line between NOTAMs")
        << page(u"\r\nLFPG"_qs + kN1 + u"\r\nLFPG"_qs + kN2 + u"\r\n"_qs) << u"LFPG"_qs
        << u"LFPG"_qs + kN1 + u"\r\n"_qs + sepNext + u"LFPG"_qs + kN2 + u"\r\n"_qs;
    QTest::newRow("code in lower case or inside a line not marked")
        << page(u"\r\nLFPG A1 SEE LFPG A2\r\nlfpg A3\r\n"_qs) << u"LFPG"_qs << u"LFPG A1 SEE LFPG A2\r\nlfpg A3\r\n"_qs;
    QTest::newRow("K code written without its K")
        << page(u"\r\nJFK 12/034\r\n\r\nKJFK 12/040\r\n\r\nJFK 12/051\r\n"_qs) << u"KJFK"_qs
        << u"KJFK 12/034\r\n"_qs + sepNext + u"KJFK 12/040\r\n"_qs + sepNext + u"KJFK 12/051\r\n"_qs;
    QTest::newRow("other codes get no K rule")
        << page(u"\r\nPANC 12/001\r\nANC 12/002\r\n"_qs) << u"PANC"_qs << u"PANC 12/001\r\nANC 12/002\r\n"_qs;

    // Rule lines: a run of 75 hyphens per tag, the excess kept after it.
    QTest::newRow("longer rule keeps its excess") << page(u"LFPG A1\r\n"_qs + QString(80, u'-')) << u"LFPG"_qs
                                                  << u"LFPG A1\r\n"_qs + kSeparator + u" (Fin)-----"_qs;
    QTest::newRow("double-length rule tagged twice")
        << page(u"LFPG A1\r\n"_qs + QString(150, u'-')) << u"LFPG"_qs
        << u"LFPG A1\r\n"_qs + kSeparator + u" (Fin)"_qs + kSeparator + u" (Fin)"_qs;
    QTest::newRow("74 hyphens are no rule")
        << page(u"LFPG A1\r\n"_qs + QString(74, u'-')) << u"LFPG"_qs << u"LFPG A1\r\n"_qs + QString(74, u'-');

    // Leading blanks: anything at or below the blank, looked for over the first 100 characters only.
    QTest::newRow("tabs and line ends dropped") << page(u"\t \r\n  LFPG A1"_qs) << u"LFPG"_qs << u"LFPG A1"_qs;
    QTest::newRow("over 100 blanks loses exactly 100")
        << page(QString(120, u' ') + u"LFPG A1"_qs) << u"LFPG"_qs << QString(20, u' ') + u"LFPG A1"_qs;
    QTest::newRow("exactly 100 blanks") << page(QString(100, u' ') + u"LFPG A1"_qs) << u"LFPG"_qs << u"LFPG A1"_qs;
    QTest::newRow("blank block under 100") << page(u"\r\n\r\n   \r\n"_qs) << u"LFPG"_qs << QString();
    QTest::newRow("no-break space is no blank") << page(u"\r\n\u00a0LFPG A1"_qs) << u"LFPG"_qs << u"\u00a0LFPG A1"_qs;

    // Missing or misplaced markers: the cut that cannot be made is not made.
    QTest::newRow("neither marker") << u"  \r\nLFPG A1\r\nLFPG A2\r\n"_qs << u"LFPG"_qs
                                    << u"LFPG A1\r\n"_qs + sepNext + u"LFPG A2\r\n"_qs;
    QTest::newRow("end marker without start marker")
        << u"<pre>\r\nLFPG A1\r\nLFPG A2\r\n</pre>"_qs << u"LFPG"_qs << u"LFPG A1\r\n"_qs + sepNext + u"LFPG A2\r\n"_qs;
    QTest::newRow("end marker only before the start")
        << u"</pre>(NOTAMS)\r\nLFPG A1"_qs << u"LFPG"_qs << u"</pre>(NOTAMS)\r\n"_qs + sepNext + u"LFPG A1"_qs;
    QTest::newRow("first end marker after the start")
        << page(u"\r\nLFPG A1\r\n</pre><pre>X"_qs) << u"LFPG"_qs << u"LFPG A1\r\n"_qs;
    QTest::newRow("empty block") << page(QString()) << u"LFPG"_qs << QString();
    QTest::newRow("empty block for a K code") << page(QString()) << u"KJFK"_qs << u"K"_qs;
    QTest::newRow("start marker closing the page") << u"LFPG A1 (NOTAMS)"_qs << u"LFPG"_qs << u"LFPG A1 (NOTAMS)"_qs;
    QTest::newRow("empty page") << QString() << u"LFPG"_qs << QString();
    QTest::newRow("page shorter than the cut start") << u"LFPG"_qs << u"LFPG"_qs << u"LFPG"_qs;
    QTest::newRow("empty code marks nothing")
        << page(u"LFPG A1\r\nLFPG A2"_qs) << QString() << u"LFPG A1\r\nLFPG A2"_qs;
    QTest::newRow("single-byte characters kept") << page(u"LFPG A1 FR\xe9Q 118.150\r\nLFPG A2"_qs) << u"LFPG"_qs
                                                 << u"LFPG A1 FR\xe9Q 118.150\r\n"_qs + sepNext + u"LFPG A2"_qs;
}

void TestNotamCut::cut()
{
    QFETCH(QString, pageText);
    QFETCH(QString, code);
    QFETCH(QString, expected);
    QCOMPARE(Notam::CutNotams(pageText, code), expected);
}

void TestNotamCut::largePage()
{
    // Several MiB of NOTAMs: every one after the first marked, the closing rule tagged.
    const int count = 40000;
    const QString notams = (u"\r\n\r\nLFPG"_qs + kN1).repeated(count) + u"\r\n"_qs + kRule + u"\r\n"_qs;
    const QString text = Notam::CutNotams(page(notams), u"LFPG"_qs);
    QVERIFY(notams.size() > 3 * 1024 * 1024);
    QVERIFY(text.startsWith(u"LFPG"_qs + kN1 + u"\r\n"_qs + kSeparator));
    QCOMPARE(text.count(kSeparator + u"\n\nLFPG"_qs), count - 1);
    QVERIFY(text.endsWith(kSeparator + u" (Fin)\r\n"_qs));
}

void TestNotamCut::randomPagesStayBounded()
{
    // Fixed seed: a failure names its input and reproduces.
    QRandomGenerator rng(1215);
    const QStringList codes { u"LFPG"_qs, u"KJFK"_qs, u"K"_qs, QString() };
    const QStringList pieces { u"(NOTAMS)"_qs, u"</pre>"_qs, u"\r\n"_qs, u"\r"_qs, u"\n"_qs, u"LFPG"_qs, u"KJFK"_qs,
        u"JFK"_qs, kRule, u"-"_qs, u" "_qs, u"\t"_qs, QString(37, u' '), u"A1234/26 RWY 09L CLSD"_qs, u"_"_qs };

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

        const QString text = Notam::CutNotams(pageText, code);
        // Each line break grows by at most the separator, its two line feeds and the line break kept before
        // it, plus one K in front, plus one character per tagged rule line.
        const qsizetype bound = pageText.size() + 72 * pageText.count(u"\r\n") + 1 + pageText.size() / 75;
        QVERIFY2(text.size() <= bound, context.constData());
        QVERIFY2(!text.contains(kRule), context.constData());
        if (!code.isEmpty()) {
            QVERIFY2(!text.contains(u"\r\n"_qs + code), context.constData());
            QVERIFY2(!code.startsWith(u'K') || text.startsWith(u'K'), context.constData());
        }
    }
}

QTEST_GUILESS_MAIN(TestNotamCut)
#include "TestNotamCut.moc"
