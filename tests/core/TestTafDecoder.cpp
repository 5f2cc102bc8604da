// The TAF engines: cutting and dating the downloaded forecast, decoding its groups into French, and the
// emphasis of the report area.
#include "reports/TafDecoder.h"
#include "reports/WorkFile.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// One forecast as the weather service publishes it: a date line, then the TAF over indented lines.
const QByteArray kLfpgFile = "2026/12/15 11:02\n"
                             "TAF LFPG 151100Z 1512/1618 24010KT 9999 BKN030\n"
                             "      TEMPO 1512/1516 4000 -SHRA BKN015CB\n"
                             "      PROB30 TEMPO 1603/1607 BKN005\n"
                             "      TX18/1514Z TNM02/1606Z\n";
const QString kLfpgLine = u"TAF LFPG 151100Z 1512/1618 24010KT 9999 BKN030 TEMPO 1512/1516 4000 -SHRA BKN015CB "
                          u"PROB30 TEMPO 1603/1607 BKN005 TX18/1514Z TNM02/1606Z "_s;
const QString kLfpgDecoded
    = u"LFPG   Vent du 240° 10 Kts. Visi sup à 10Km.  Nuages fragmentés 030 Temporairement  du 15 à 12h00 au 15 à "
      u"16h00 4000 Faible Averse de Pluie Nuages fragmentés 015 Cumulonimbus. \r\n"
      u"Probabilité 30% Temporairement  du 16 à 03h00 au 16 à 07h00 Nuages fragmentés 005 \r\n"
      u"T° Maxi: 18° le 15 à 14h00 Z \r\n"
      u"T° Mini: -2° le 16 à 06h00 Z "_s;
const QDate kMidMonth(2026, 12, 15);
const QString kRawHeading = u"\r\n\r\nTAF complet\r\n"_s;

QString decode(const QString& text, const QString& code)
{
    return Taf::decode(text, text.split(u' '), code);
}

} // namespace

class TestTafDecoder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void periodPhrase_data();
    void periodPhrase();
    void decodeGroups_data();
    void decodeGroups();
    void endToEnd_data();
    void endToEnd();
    void reportParts_data();
    void reportParts();
    void staleRule_data();
    void staleRule();
    void emphasis_data();
    void emphasis();
    void severalMebibytePage();
    void randomInputKeepsReportShape();
};

void TestTafDecoder::periodPhrase_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("phrase");

    // Day and hour pairs read by position.
    QTest::newRow("validity over two days") << u"1512/1618"_s << u" du 15 à 12h00 au 16 à 18h00"_s;
    QTest::newRow("across a month end") << u"3118/0124"_s << u" du 31 à 18h00 au 01 à 24h00"_s;

    // Anything but nine characters has no period.
    QTest::newRow("older six-digit form") << u"150624"_s << QString();
    QTest::newRow("ten characters") << u"1512/16180"_s << QString();
    QTest::newRow("empty") << QString() << QString();
}

void TestTafDecoder::periodPhrase()
{
    QFETCH(QString, group);
    QFETCH(QString, phrase);
    QCOMPARE(Taf::periodPhrase(group), phrase);
}

void TestTafDecoder::decodeGroups_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("decoded");
    const auto row = [](const char* name, const QString& code, const QString& text, const QString& decoded) {
        QTest::newRow(name) << code << text << decoded;
    };

    // Winds in knots: speed without leading zero, gust digits as they stand, any width read by its parts.
    row("two-digit speed", u"EGLL"_s, u"EGLL 24010KT "_s, u"EGLL Vent du 240° 10 Kts. "_s);
    row("leading zero dropped from speed", u"EGLL"_s, u"EGLL 24005KT "_s, u"EGLL Vent du 240° 5 Kts. "_s);
    row("gusts", u"EGLL"_s, u"EGLL 24015G25KT "_s, u"EGLL Vent du 240° 15 Kts. ( rafales à 25 Kts) "_s);
    row("gust keeps its leading zero", u"EGLL"_s, u"EGLL 18003G05KT "_s,
        u"EGLL Vent du 180° 3 Kts. ( rafales à 05 Kts) "_s);
    row("variable direction", u"EGLL"_s, u"EGLL VRB05KT "_s, u"EGLL Vent variable 5 Kts. "_s);
    row("three-digit speed and gust", u"EGLL"_s, u"EGLL 270105G120KT "_s,
        u"EGLL Vent du 270° 105 Kts. ( rafales à 120 Kts) "_s);
    row("calm", u"EGLL"_s, u"EGLL 00000KT "_s, u"EGLL Vent du 000° 0 Kts. "_s);
    row("same group twice rewritten in both places", u"EGLL"_s, u"EGLL 24010KT TEMPO 24010KT "_s,
        u"EGLL Vent du 240° 10 Kts. Temporairement Vent du 240° 10 Kts. "_s);

    // Winds in metres per second, converted to two-digit knots.
    row("metres per second", u"UUEE"_s, u"UUEE 24005MPS "_s, u"UUEE Vent du 240° 10 Kts. "_s);
    row("below ten knots gets a zero", u"UUEE"_s, u"UUEE 36002MPS "_s, u"UUEE Vent du 360° 04 Kts. "_s);
    row("metres per second with gusts", u"UUEE"_s, u"UUEE 24010G15MPS "_s,
        u"UUEE Vent du 240° 19 Kts. ( rafales à 29 Kts) "_s);
    row("variable in metres per second", u"UUEE"_s, u"UUEE VRB02MPS "_s, u"UUEE Vent variable 04 Kts. "_s);

    // Malformed winds: too short to be a wind, or read by position when its parts cannot be told apart.
    row("six characters is no wind", u"EGLL"_s, u"EGLL 2401KT "_s, u"EGLL 2401KT "_s);
    row("missing wind read by position", u"EGLL"_s, u"EGLL /////KT "_s, u"EGLL Vent du ///° 0 Kts. "_s);

    // Temperatures, with the sign letter kept and the day and hour of the extreme.
    row("maximum", u"EGLL"_s, u"EGLL TX18/1514Z "_s, u"EGLL \r\nT° Maxi: 18° le 15 à 14h00 Z "_s);
    row("minimum below zero", u"EGLL"_s, u"EGLL TNM02/1606Z "_s, u"EGLL \r\nT° Mini: -2° le 16 à 06h00 Z "_s);
    row("maximum of minus zero", u"EGLL"_s, u"EGLL TXM00/1606Z "_s, u"EGLL \r\nT° Maxi: 0° le 16 à 06h00 Z "_s);
    row("mean", u"EGLL"_s, u"EGLL TM05/1512Z "_s, u"EGLL \r\nT° Moyenne: M05° le 15 à 12h00 Z "_s);

    // Malformed temperatures have no part to take and are left as they are.
    row("no Z after the letters", u"EGLL"_s, u"EGLL TNM02/1606 "_s, u"EGLL TNM02/1606 "_s);
    row("group shorter than seven", u"EGLL"_s, u"EGLL TN1/2Z "_s, u"EGLL TN1/2Z "_s);
    row("group of six before the Z", u"EGLL"_s, u"EGLL TN1/12Z "_s, u"EGLL TN1/12Z "_s);
    row("no slash before the day", u"EGLL"_s, u"EGLL TX181514Z "_s, u"EGLL TX181514Z "_s);
    row("letters alone", u"EGLL"_s, u"EGLL TX "_s, u"EGLL TX "_s);

    // From, and vertical visibility in hundreds of feet unless the code holds VV.
    row("from", u"EGLL"_s, u"EGLL FM151330 "_s, u"EGLL A partir du 15 à 1330 "_s);
    row("from of three characters reads its last", u"EGLL"_s, u"EGLL FM1 "_s, u"EGLL A partir du 1 à  "_s);
    row("vertical visibility of three characters", u"EGLL"_s, u"EGLL VV5 "_s, u"EGLL Plafond 500 ' "_s);
    row("vertical visibility", u"EGLL"_s, u"EGLL VV005 "_s, u"EGLL Plafond 500 ' "_s);
    row("vertical visibility of a thousand", u"EGLL"_s, u"EGLL VV010 "_s, u"EGLL Plafond 1000 ' "_s);
    row("code holding VV switches it off", u"EVVA"_s, u"EVVA VV005 "_s, u"EVVA VV005 "_s);

    // Change groups and probabilities; a probability opens a new line.
    row("tempo with its period", u"EGLL"_s, u"EGLL TEMPO 1514/1518 4000 RA "_s,
        u"EGLL Temporairement  du 15 à 14h00 au 15 à 18h00 4000 Pluie "_s);
    row("probability before tempo", u"EGLL"_s, u"EGLL PROB30 TEMPO 1603/1607 "_s,
        u"EGLL \r\nProbabilité 30% Temporairement  du 16 à 03h00 au 16 à 07h00 "_s);
    row("every probability", u"EGLL"_s, u"EGLL PROB40 PROB50 PROB60 PROB70 PROB80 "_s,
        u"EGLL \r\nProbabilité 40% \r\nProbabilité 50% \r\nProbabilité 60% "
        u"\r\nProbabilité 70% \r\nProbabilité 80% "_s);
    row("probability without a row", u"EGLL"_s, u"EGLL PROB35 "_s, u"EGLL PROB35 "_s);
    row("becoming and no weather", u"EGLL"_s, u"EGLL BECMG 1518/1520 NSW "_s,
        u"EGLL Devenant  du 15 à 18h00 au 15 à 20h00  Pas de temps significatif prévu. "_s);
    row("gradually and no change", u"EGLL"_s, u"EGLL GRADU NOSIG "_s,
        u"EGLL Progressivement  Aucun changement significatif dans les deux heures à venir. "_s);

    // Clouds and visibility; heights are not converted.
    row("clouds", u"EGLL"_s, u"EGLL FEW010 SCT020TCU BKN030CB OVC080 NSC "_s,
        u"EGLL Quelques nuages 010 Nuages épars 020 Cumulus Congestus Nuages fragmentés 030 Cumulonimbus. "
        u"Ciel couvert 080 Pas de nuages  "_s);
    row("six miles and more", u"KBOS"_s, u"KBOS P6SM "_s, u"KBOS Visi sup à 10Km.  "_s);
    row("ceiling and visibility OK stays as written", u"LFPG"_s, u"LFPG 24010KT CAVOK BECMG VA "_s,
        u"LFPG Vent du 240° 10 Kts. CAVOK Devenant Cendres. "_s);

    // Weather: the longer code first, the precipitation before its descriptor.
    row("light shower of rain", u"EGLL"_s, u"EGLL -SHRA SHRA +SHSN "_s,
        u"EGLL Faible Averse de Pluie Averse de Pluie Forte Averse de Neige "_s);
    row("freezing rain and thunderstorms", u"EGLL"_s, u"EGLL FZRA TSRA +TSRA "_s,
        u"EGLL Givre Pluie Orage avec pluie +Orage avec pluie "_s);
    row("thunderstorms with snow, hail and small hail", u"EGLL"_s, u"EGLL TSSN TSGR TSGS "_s,
        u"EGLL Orage avec neige Orage avec grêle Orage avec grésil "_s);
    row("showers in the vicinity", u"EGLL"_s, u"EGLL VCSH "_s, u"EGLL VCAverse de  "_s);
    row("fog and mist", u"EGLL"_s, u"EGLL -FG FG -BR BR "_s,
        u"EGLL Léger Brouillard. Brouillard. Légère Brume. Brume. "_s);
    row("drizzle and blowing snow", u"EGLL"_s, u"EGLL -DZ DZ DRSN BLSN "_s,
        u"EGLL Legère Bruine. Bruine. Neige soufflée. Neige soufflée. "_s);
    row("rain and snow intensities", u"EGLL"_s, u"EGLL +RA -RA -SN +SN SN "_s,
        u"EGLL Forte pluie Faible pluie Faible Neige Forte Neige Neige "_s);
    row("ice and hail", u"EGLL"_s, u"EGLL GR GS SG IC "_s, u"EGLL Grêle Grésil Neige en grains Glace "_s);
    row("obscurations", u"EGLL"_s, u"EGLL FU VA DU SA HZ "_s,
        u"EGLL Fumée. Cendres. Poussières. Sable. Brume sèche. "_s);

    // The code opening the text: guarded rows and per-token rules leave it whole.
    row("code with BR keeps mist untranslated", u"EBBR"_s, u"EBBR 3000 BR -BR "_s, u"EBBR 3000 BR -BR "_s);
    row("code with FG keeps fog untranslated", u"LFGA"_s, u"LFGA 0300 FG -FG "_s, u"LFGA 0300 FG -FG "_s);
    row("code starting with FM", u"FMEE"_s, u"FMEE FM151800 12010KT "_s,
        u"FMEE A partir du 15 à 1800 Vent du 120° 10 Kts. "_s);
    // A group glued to the code is read after the code, and where it comes again: never as a wind "LFP°".
    row("group glued to the code", u"LFPG"_s, u"LFPG24010KT 24010KT LFPG24010KT "_s,
        u"LFPGVent du 240° 10 Kts. Vent du 240° 10 Kts. LFPGVent du 240° 10 Kts. "_s);
    row("stray FM token cannot reach the code", u"FMEE"_s, u"FMEE FM 1800 "_s, u"FMEE A partir du  à  1800 "_s);
    row("code starting with TN", u"TNCM"_s, u"TNCM 09012KT TN24/1610Z "_s,
        u"TNCM Vent du 090° 12 Kts. \r\nT° Mini: 24° le 16 à 10h00 Z "_s);
    row("code starting with TX", u"TXKF"_s, u"TXKF TX28/1518Z "_s, u"TXKF \r\nT° Maxi: 28° le 15 à 18h00 Z "_s);
    row("code with CB keeps cumulonimbus untranslated", u"SBCB"_s, u"SBCB BKN020CB "_s,
        u"SBCB Nuages fragmentés 020CB "_s);
    row("code with FU keeps smoke untranslated", u"EFUT"_s, u"EFUT FU "_s, u"EFUT FU "_s);
    row("code with VA keeps ash untranslated", u"EFVA"_s, u"EFVA VA "_s, u"EFVA VA "_s);
    row("code with DU keeps dust untranslated", u"PADU"_s, u"PADU DU "_s, u"PADU DU "_s);
    row("code with SA keeps sand untranslated", u"SABE"_s, u"SABE SA "_s, u"SABE SA "_s);
    row("code with HZ keeps haze untranslated", u"CYHZ"_s, u"CYHZ HZ "_s, u"CYHZ HZ "_s);
    row("code with DZ keeps drizzle untranslated", u"LDZA"_s, u"LDZA -DZ DZ "_s, u"LDZA -DZ DZ "_s);
    row("code DRSN keeps drifting snow untranslated", u"DRSN"_s, u"DRSN DRSN "_s, u"DRSN DRSN "_s);
    row("code BLSN keeps blowing snow untranslated", u"BLSN"_s, u"BLSN BLSN "_s, u"BLSN BLSN "_s);
    row("code with RA keeps rain untranslated", u"SLRA"_s, u"SLRA RA "_s, u"SLRA RA "_s);
    row("code with SN keeps snow untranslated", u"PASN"_s, u"PASN SN "_s, u"PASN SN "_s);
    row("code with SH keeps showers untranslated", u"PASH"_s, u"PASH -SH +SH SH "_s, u"PASH -SH +SH SH "_s);
    row("code with TS keeps thunderstorms untranslated", u"UTSS"_s, u"UTSS TS "_s, u"UTSS TS "_s);
    row("code with FZ keeps freezing untranslated", u"SBFZ"_s, u"SBFZ FZ "_s, u"SBFZ FZ "_s);
    row("code with SG keeps snow grains untranslated", u"UDSG"_s, u"UDSG SG "_s, u"UDSG SG "_s);
    row("code with IC keeps ice untranslated", u"OICC"_s, u"OICC IC "_s, u"OICC IC "_s);
    row("code with GR keeps hail untranslated", u"SBGR"_s, u"SBGR GR "_s, u"SBGR GR "_s);
    row("code with GS keeps small hail untranslated", u"PAGS"_s, u"PAGS GS "_s, u"PAGS GS "_s);
    row("code with TCU keeps towering cumulus untranslated", u"ETCU"_s, u"ETCU SCT020TCU "_s,
        u"ETCU Nuages épars 020TCU "_s);
    row("unguarded row rewrites the code", u"YNSW"_s, u"YNSW NSW "_s,
        u"Y Pas de temps significatif prévu.  Pas de temps significatif prévu. "_s);
}

void TestTafDecoder::decodeGroups()
{
    QFETCH(QString, code);
    QFETCH(QString, text);
    QFETCH(QString, decoded);
    QCOMPARE(decode(text, code), decoded);
}

void TestTafDecoder::endToEnd_data()
{
    QTest::addColumn<QString>("raw");

    QTest::newRow("forecast on one line") << kLfpgLine;
    QTest::newRow("forecast over indented lines") << WorkFile::reportText(kLfpgFile);
}

void TestTafDecoder::endToEnd()
{
    QFETCH(QString, raw);
    const Taf::TafReport report = Taf::buildReport(raw, u"LFPG"_s, kMidMonth);
    QVERIFY(report.codeFound);
    QVERIFY(!report.outOfDate);
    QCOMPARE(report.title, u"TAF de LFPG du 15 à 12h00 au 16 à 18h00"_s);
    QCOMPARE(report.decoded, kLfpgDecoded);
    QCOMPARE(report.reportText, kLfpgDecoded + kRawHeading + kLfpgLine);
    // The removed groups still drive the per-token rules.
    QVERIFY(report.tokens.contains(u"1512/1618"_s) && report.tokens.contains(u"151100Z"_s));
}

void TestTafDecoder::reportParts_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("issue");
    QTest::addColumn<QString>("validity");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("decoded");

    // Cutting at the code and taking out the issue-time and validity groups.
    QTest::newRow("amended forecast cut at the code")
        << u"TAF AMD LFPG 151330Z 1513/1618 24010KT "_s << u"LFPG"_s << true << u"151330"_s << u"1513/1618"_s
        << u"TAF de LFPG du 15 à 13h00 au 16 à 18h00"_s << u"LFPG   Vent du 240° 10 Kts. "_s;
    QTest::newRow("older six-digit validity removed, no period")
        << u"TAF LFPG 150500Z 150624 24010KT "_s << u"LFPG"_s << true << u"150500"_s << u"150624"_s << u"TAF de LFPG"_s
        << u"LFPG   Vent du 240° 10 Kts. "_s;
    QTest::newRow("change group over the whole validity loses its period")
        << u"TAF LFPG 151100Z 1512/1618 BECMG 1512/1618 25015KT "_s << u"LFPG"_s << true << u"151100"_s
        << u"1512/1618"_s << u"TAF de LFPG du 15 à 12h00 au 16 à 18h00"_s
        << u"LFPG   Devenant  Vent du 250° 15 Kts. "_s;
    QTest::newRow("runs of blanks cleaned")
        << u"TAF   LFPG  151100Z      1512/1618  24010KT "_s << u"LFPG"_s << true << u"151100"_s << u"1512/1618"_s
        << u"TAF de LFPG du 15 à 12h00 au 16 à 18h00"_s << u"LFPG   Vent du 240° 10 Kts. "_s;
    QTest::newRow("run of 32 blanks becomes one")
        << u"TAF LFPG"_s + QString(32, u' ') + u"151100Z 1512/1618 24010KT "_s << u"LFPG"_s << true << u"151100"_s
        << u"1512/1618"_s << u"TAF de LFPG du 15 à 12h00 au 16 à 18h00"_s << u"LFPG   Vent du 240° 10 Kts. "_s;
    QTest::newRow("run of 17 blanks becomes one")
        << u"TAF LFPG 151100Z 1512/1618"_s + QString(17, u' ') + u"24010KT "_s << u"LFPG"_s << true << u"151100"_s
        << u"1512/1618"_s << u"TAF de LFPG du 15 à 12h00 au 16 à 18h00"_s << u"LFPG   Vent du 240° 10 Kts. "_s;
    QTest::newRow("run of 33 blanks becomes two")
        << u"TAF LFPG 151100Z 1512/1618 24010KT"_s + QString(33, u' ') + u"BKN030 "_s << u"LFPG"_s << true
        << u"151100"_s << u"1512/1618"_s << u"TAF de LFPG du 15 à 12h00 au 16 à 18h00"_s
        << u"LFPG   Vent du 240° 10 Kts.  Nuages fragmentés 030 "_s;
    // The cleaned text decoded whole up to 64 KiB exactly; one character more and the last group is kept raw.
    const QString longHead = u"TAF LFPG 151100Z 1512/1618 "_s;
    const auto filledTo = [&](qsizetype workingSize) {
        // The working text is the raw one less "TAF ", "151100Z" and "1512/1618".
        const qsizetype fill = workingSize + 20 - longHead.size() - 7;
        return longHead + u"X "_s.repeated(fill / 2) + QString(fill % 2, u'X') + u"24010KT"_s;
    };
    const auto fillerDecoded = [&](qsizetype workingSize) {
        const qsizetype fill = workingSize + 20 - longHead.size() - 7;
        return u"LFPG   "_s + u"X "_s.repeated(fill / 2) + QString(fill % 2, u'X');
    };
    QTest::newRow("text of exactly 64 KiB decoded whole")
        << filledTo(64 * 1024) << u"LFPG"_s << true << u"151100"_s << u"1512/1618"_s
        << u"TAF de LFPG du 15 à 12h00 au 16 à 18h00"_s << fillerDecoded(64 * 1024) + u"Vent du 240° 10 Kts."_s;
    QTest::newRow("text one past 64 KiB keeps its last group raw")
        << filledTo(64 * 1024 + 1) << u"LFPG"_s << true << u"151100"_s << u"1512/1618"_s
        << u"TAF de LFPG du 15 à 12h00 au 16 à 18h00"_s << fillerDecoded(64 * 1024 + 1) + u"24010KT"_s;
    // 834 distinct groups, then the one that brings (distinct groups) x (length) past the work bound: it
    // stays raw with the rest.
    QString atTheBound = u"LFPG"_s;
    for (int i = 0; i < 834; ++i)
        atTheBound += u" Q%1"_s.arg(i, 4, 10, QLatin1Char('0'));
    atTheBound += u" 24015G25KT Q9999"_s;
    QTest::newRow("group that reaches the work bound kept raw")
        << atTheBound << u"LFPG"_s << true << QString() << QString() << u"TAF de LFPG"_s << atTheBound;
    QTest::newRow("validity closing the text")
        << u"TAF LFPG 151100Z 1512/1618"_s << u"LFPG"_s << true << u"151100"_s << u"1512/1618"_s
        << u"TAF de LFPG du 15 à 12h00 au 16 à 18h00"_s << u"LFPG  "_s;

    // Malformed texts: whatever cannot be taken is left out, and the text is still shown.
    QTest::newRow("code absent") << u"TAF EGLL 151100Z 1512/1618 24010KT "_s << u"LFPG"_s << false << QString()
                                 << QString() << u"TAF de LFPG"_s << QString();
    QTest::newRow("code in lower case is absent") << u"TAF lfpg 151100Z 1512/1618 "_s << u"LFPG"_s << false << QString()
                                                  << QString() << u"TAF de LFPG"_s << QString();
    QTest::newRow("empty code finds nothing")
        << u"TAF LFPG 151100Z "_s << QString() << false << QString() << QString() << u"TAF de "_s << QString();
    QTest::newRow("code alone") << u"TAF LFPG "_s << u"LFPG"_s << true << QString() << QString() << u"TAF de LFPG"_s
                                << u"LFPG "_s;
    QTest::newRow("one token without a blank")
        << u"LFPG"_s << u"LFPG"_s << true << QString() << QString() << u"TAF de LFPG"_s << u"LFPG"_s;
    QTest::newRow("no Z after the code leaves the validity in")
        << u"TAF LFPG 1512/1618 24010KT "_s << u"LFPG"_s << true << QString() << QString() << u"TAF de LFPG"_s
        << u"LFPG  du 15 à 12h00 au 16 à 18h00 Vent du 240° 10 Kts. "_s;
    QTest::newRow("no blank after the issue time")
        << u"TAF LFPG 151100Z"_s << u"LFPG"_s << true << u"151100"_s << QString() << u"TAF de LFPG"_s << u"LFPG "_s;
    QTest::newRow("nothing between blank and Z removes no Z")
        << u"TAF LFPG Z TX18/1514Z "_s << u"LFPG"_s << true << QString() << u"TX18/1514Z"_s << u"TAF de LFPG"_s
        << u"LFPG Z  "_s;
}

void TestTafDecoder::reportParts()
{
    QFETCH(QString, raw);
    QFETCH(QString, code);
    QFETCH(bool, found);
    QFETCH(QString, issue);
    QFETCH(QString, validity);
    QFETCH(QString, title);
    QFETCH(QString, decoded);
    const Taf::TafReport report = Taf::buildReport(raw, code, kMidMonth);
    QVERIFY(!report.rawEmpty);
    QCOMPARE(report.codeFound, found);
    QCOMPARE(report.issueTimeGroup, issue);
    QCOMPARE(report.validityGroup, validity);
    QCOMPARE(report.title, title);
    QCOMPARE(report.decoded, decoded);
    // The raw text is shown as received, double blanks and trailing blank included.
    QCOMPARE(report.reportText, decoded + kRawHeading + raw);
}

void TestTafDecoder::staleRule_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("raw");
    QTest::addColumn<bool>("stale");
    const auto issuedOn
        = [](const char* day) { return u"TAF LFPG "_s + QLatin1String(day) + u"1100Z 1512/1618 24010KT "_s; };

    // Mid-month: from two days before today to one day after it.
    QTest::newRow("today") << kMidMonth << issuedOn("15") << false;
    QTest::newRow("yesterday") << kMidMonth << issuedOn("14") << false;
    QTest::newRow("two days before") << kMidMonth << issuedOn("13") << false;
    QTest::newRow("tomorrow") << kMidMonth << issuedOn("16") << false;
    QTest::newRow("three days before") << kMidMonth << issuedOn("12") << true;
    QTest::newRow("two days ahead") << kMidMonth << issuedOn("17") << true;

    // On the 1st after a 31-day month the last days of that month still count.
    const QDate afterJuly(2026, 8, 1);
    QTest::newRow("30th on the 1st") << afterJuly << issuedOn("30") << false;
    QTest::newRow("31st on the 1st") << afterJuly << issuedOn("31") << false;
    QTest::newRow("1st on the 1st") << afterJuly << issuedOn("01") << false;
    QTest::newRow("2nd on the 1st") << afterJuly << issuedOn("02") << false;
    QTest::newRow("29th on the 1st") << afterJuly << issuedOn("29") << true;
    QTest::newRow("3rd on the 1st") << afterJuly << issuedOn("03") << true;
    QTest::newRow("28th on the 1st after a leap February") << QDate(2028, 3, 1) << issuedOn("28") << false;
    QTest::newRow("27th on the 1st after a leap February") << QDate(2028, 3, 1) << issuedOn("27") << true;

    // Texts without a usable day: no issue time shows nothing old; a non-numeric day reads as 0.
    QTest::newRow("no issue time") << kMidMonth << u"TAF LFPG 1512/1618 24010KT "_s << false;
    QTest::newRow("code absent") << kMidMonth << u"TAF EGLL 011100Z 0112/0218 "_s << false;
    QTest::newRow("day not a number mid-month") << kMidMonth << issuedOn("XX") << true;
    QTest::newRow("day not a number on the 1st") << afterJuly << issuedOn("XX") << false;
}

void TestTafDecoder::staleRule()
{
    QFETCH(QDate, today);
    QFETCH(QString, raw);
    QFETCH(bool, stale);
    QCOMPARE(Taf::buildReport(raw, u"LFPG"_s, today).outOfDate, stale);
}

namespace {

QStringList describe(const QString& text, const StyleSpans& spans)
{
    QStringList out;
    for (const StyleSpan& span : spans) {
        out << text.mid(span.start, span.length) + u'|'
                + QString::number(span.rgb, 16).toUpper().rightJustified(6, u'0')
                + (span.bold ? u"|bold"_s : u"|plain"_s) + (span.pointSize ? u"|sized"_s : QString());
    }
    return out;
}

} // namespace

void TestTafDecoder::emphasis_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    // Each phrase styled once, temperatures through the degree sign after their value.
    const QString lfpg = kLfpgDecoded + kRawHeading + kLfpgLine;
    QTest::newRow("decoded forecast") << lfpg
                                      << QStringList { u"TAF complet\r\n"_s + kLfpgLine + u"|C0C0C0|plain"_s,
                                             u"T° Maxi: 18°|C00000|bold"_s, u"T° Mini: -2°|0000FF|bold"_s,
                                             u" Cumulonimbus. |FF0000|bold"_s };
    QTest::newRow("mean temperature") << u"TXKF \r\nT° Moyenne: M05° le 15 à 12h00 Z "_s
                                      << QStringList { u"T° Moyenne: M05°|0000FF|bold"_s };
    QTest::newRow("only the first of two maxima")
        << u"EGLL \r\nT° Maxi: 18° le 15 à 14h00 Z \r\nT° Maxi: 21° le 16 à 14h00 Z "_s
        << QStringList { u"T° Maxi: 18°|C00000|bold"_s };
    const QString longRaw = u"EGLL "_s + kRawHeading + kLfpgLine.repeated(10);
    QTest::newRow("raw forecast greyed for a thousand characters")
        << longRaw << QStringList { longRaw.mid(longRaw.indexOf(u"TAF complet"), 1000) + u"|C0C0C0|plain"_s };

    // Spans that cannot be placed are left out; one running past the end is clipped.
    QTest::newRow("empty area") << QString() << QStringList();
    QTest::newRow("no degree after the value") << u"EGLL \r\nT° Maxi: 18 le 15"_s << QStringList();
    QTest::newRow("heading opening the area") << u"T° Mini: 05° le 15"_s << QStringList();
    QTest::newRow("cumulonimbus closing the area")
        << u"EGLL BKN015 Cumulonimbus."_s << QStringList { u" Cumulonimbus.|FF0000|bold"_s };
}

void TestTafDecoder::emphasis()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QCOMPARE(describe(text, Taf::emphasisSpans(text)), expected);
}

void TestTafDecoder::severalMebibytePage()
{
    // A server page repeating the forecast: decoded as far as any forecast goes, the rest kept as it
    // came, nothing lost.
    const int repeats = 24000;
    const QString raw = kLfpgLine.repeated(repeats);
    QVERIFY(raw.size() > 3 * 1024 * 1024);
    const Taf::TafReport report = Taf::buildReport(raw, u"LFPG"_s, kMidMonth);
    QCOMPARE(report.title, u"TAF de LFPG du 15 à 12h00 au 16 à 18h00"_s);
    const QString head = report.decoded.left(60 * 1024);
    QVERIFY(!head.contains(u"KT") && !head.contains(u"1514Z"));
    QVERIFY(head.count(u"Vent du 240° 10 Kts.") > 100);
    QVERIFY(report.decoded.endsWith(report.workingText.right(64 * 1024)));
    QVERIFY(report.reportText.endsWith(kRawHeading + raw));
    // Groups past 64 KiB are not even split out: no decoding reads them.
    QVERIFY(report.tokens.join(u' ').size() < 65 * 1024);

    // Megabytes of groups that all differ: each would cost a pass over the whole text.
    QString distinct = u"TAF LFPG 151100Z 1512/1618 "_s;
    for (int i = 0; distinct.size() < 4 * 1024 * 1024; ++i)
        distinct += u"BECMG %1/%2 %3KT "_s.arg(1000 + i % 9000).arg(i).arg(i, 5, 10, QLatin1Char('0'));
    const Taf::TafReport long_ = Taf::buildReport(distinct, u"LFPG"_s, kMidMonth);
    QVERIFY(long_.decoded.startsWith(u"LFPG   Devenant "_s));
    QVERIFY(long_.decoded.endsWith(distinct.right(1024)));

    // Distinct groups under 64 KiB: each costs a pass over the text, so the text is decoded only as far as
    // (groups x length) allows; what lies beyond is kept as it came.
    QString costly = u"TAF LFPG 151100Z 1512/1618 "_s;
    for (int i = 0; costly.size() < 63 * 1024; ++i)
        costly += u"FM%1 "_s.arg(i);
    const Taf::TafReport bounded = Taf::buildReport(costly, u"LFPG"_s, kMidMonth);
    QVERIFY(bounded.decoded.startsWith(u"LFPG   A partir du 0 à  A partir du 1 à "_s));
    QVERIFY(bounded.decoded.endsWith(bounded.workingText.right(48 * 1024)));
}

void TestTafDecoder::randomInputKeepsReportShape()
{
    // Fixed seed: a failure names its input and reproduces.
    QRandomGenerator rng(20261215);
    const QStringList pool { u"LFPG"_s, u"TAF"_s, u"AMD"_s, u"151100Z"_s, u"1512/1618"_s, u"150624"_s, u"24015G25KT"_s,
        u"VRB05KT"_s, u"36002MPS"_s, u"TX18/1514Z"_s, u"TNM02/1606Z"_s, u"TM"_s, u"TN"_s, u"FM151330"_s, u"FM"_s,
        u"VV005"_s, u"TEMPO"_s, u"PROB30"_s, u"BKN015CB"_s, u"-SHRA"_s, u"9999"_s, u"P6SM"_s, u"Z"_s, u"/"_s, u"G"_s,
        QString(), u"\r\n"_s, u"°"_s, u"KT"_s, u"1603/1607"_s };
    const QStringList codes { u"LFPG"_s, u"FMEE"_s, u"TNCM"_s, u"TXKF"_s, u"EBBR"_s, u"K"_s, QString() };

    for (int i = 0; i < 4000; ++i) {
        QString raw;
        switch (i % 4) {
        case 0: // a soup of real and broken groups
            for (int n = rng.bounded(40); n > 0; --n)
                raw += pool.at(rng.bounded(pool.size())) + (rng.bounded(4) ? u" "_s : QString());
            break;
        case 1: // single-byte noise
            for (int n = rng.bounded(300); n > 0; --n)
                raw += QChar(rng.bounded(256));
            raw.insert(rng.bounded(raw.size() + 1), u"LFPG "_s);
            break;
        case 2: // a forecast cut short anywhere
            raw = kLfpgLine.left(rng.bounded(kLfpgLine.size() + 1));
            break;
        default: // a forecast with pieces dropped or replaced
            raw = kLfpgLine;
            for (int n = rng.bounded(1, 6); n > 0; --n)
                raw.replace(rng.bounded(raw.size()), rng.bounded(6), pool.at(rng.bounded(pool.size())));
            break;
        }
        const QString& code = codes.at(rng.bounded(codes.size()));
        const QDate today(2026, 1 + rng.bounded(12), 1 + rng.bounded(28));
        const QByteArray context = "code '" + code.toUtf8() + "' raw '" + raw.toUtf8() + "'";

        const Taf::TafReport report = Taf::buildReport(raw, code, today);
        QVERIFY2(report.rawEmpty == raw.isEmpty(), context.constData());
        if (report.rawEmpty) {
            QVERIFY2(report.reportText.isEmpty() && report.title.isEmpty(), context.constData());
            continue;
        }
        QVERIFY2(report.reportText == report.decoded + kRawHeading + raw, context.constData());
        QVERIFY2(report.title == u"TAF de "_s + code + report.titlePeriod, context.constData());
        if (!report.codeFound)
            QVERIFY2(report.decoded.isEmpty() && !report.outOfDate, context.constData());
        // None of these codes holds the text of an unguarded row, so nothing may rewrite it.
        if (report.codeFound && (report.workingText == code || report.workingText.startsWith(code + u' ')))
            QVERIFY2(report.decoded.startsWith(code), context.constData());
        for (const StyleSpan& span : Taf::emphasisSpans(report.reportText)) {
            QVERIFY2(span.start >= 0 && span.length >= 0 && span.start + span.length <= report.reportText.size(),
                context.constData());
        }
        // The decoder on its own, with a token list that does not match the text: no rule rewrites to
        // nothing, so a text never decodes to an empty one.
        const QString decoded = Taf::decode(raw, pool.mid(rng.bounded(pool.size())), code);
        QVERIFY2(decoded.isEmpty() == raw.isEmpty(), context.constData());
    }
}

QTEST_GUILESS_MAIN(TestTafDecoder)
#include "TestTafDecoder.moc"
