// Where the three addresses come from (option, environment, the settings file's group "sources", built in),
// read the way the program reads them; and the group surviving, byte for byte, every save of the window.
#include "BuildConfig.h"
#include "app/CommandLine.h"
#include "support/WindowFixture.h"

#include <QStandardPaths>
#include <QTest>

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void putFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

class TestSources : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void precedence_data();
    void precedence();
    void savesKeepTheSourcesGroup();
};

void TestSources::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestSources::precedence_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QByteArray>("settingsFile");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    struct Address
    {
        const char* key;
        QString option;
        QString variable;
        QString builtIn;
    };
    const QList<Address> addresses {
        { "weather", u"--weather-base"_qs, u"VENTORIX_WEATHER_BASE"_qs, u"https://tgftp.nws.noaa.gov"_qs },
        { "notam", u"--notam-base"_qs, u"VENTORIX_NOTAM_BASE"_qs, QString::fromUtf8(VENTORIX_DEFAULT_NOTAM_BASE) },
        { "site", u"--site"_qs, u"VENTORIX_SITE"_qs, QString::fromUtf8(VENTORIX_DEFAULT_SITE) },
    };
    // Each level beats every level below it, for each address.
    for (const Address& a : addresses) {
        const QString key = QString::fromLatin1(a.key);
        const QStringList option { a.option, u"http://option.test/"_qs + key };
        const QStringList variable { a.variable + u"=http://environment.test/"_qs + key };
        const QByteArray file = "[sources]\n" + QByteArray(a.key) + "=http://file.test/" + a.key + "\n";
        QTest::addRow("%s from its option", a.key) << option << variable << file << key << option.at(1);
        QTest::addRow("%s from the environment", a.key)
            << QStringList() << variable << file << key << u"http://environment.test/"_qs + key;
        QTest::addRow("%s from the settings file", a.key)
            << QStringList() << QStringList() << file << key << u"http://file.test/"_qs + key;
        QTest::addRow("%s built in", a.key) << QStringList() << QStringList() << QByteArray() << key << a.builtIn;
    }

    // How each level says "nothing here".
    QTest::newRow("an option given empty says none")
        << QStringList { u"--notam-base"_qs, QString() } << QStringList()
        << QByteArray("[sources]\nnotam=http://file.test\n") << u"notam"_qs << QString();
    QTest::newRow("an empty variable is no value")
        << QStringList() << QStringList { u"VENTORIX_SITE="_qs } << QByteArray("[sources]\nsite=http://file.test\n")
        << u"site"_qs << u"http://file.test"_qs;
    QTest::newRow("an empty key is no value") << QStringList() << QStringList() << QByteArray("[sources]\nweather=\n")
                                              << u"weather"_qs << u"https://tgftp.nws.noaa.gov"_qs;
    QTest::newRow("quoted, spaced and commented in the file")
        << QStringList() << QStringList() << QByteArray("[sources]\n  notam = \"https://n.test/a b\"  ; mine\n")
        << u"notam"_qs << u"https://n.test/a b"_qs;
    QTest::newRow("the demonstration beats an option")
        << QStringList { u"--demo"_qs, u"--notam-base"_qs, u"http://option.test"_qs } << QStringList() << QByteArray()
        << u"notam"_qs << u"qrc:/demo"_qs;
}

void TestSources::precedence()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, environment);
    QFETCH(QByteArray, settingsFile);
    QFETCH(QString, key);
    QFETCH(QString, expected);

    const QString path = IniSettingsStore::defaultFilePath();
    QFile::remove(path);
    if (!settingsFile.isEmpty())
        putFile(path, settingsFile);
    const CommandLine line = CommandLine::parse(arguments, environment);
    QVERIFY2(line.error.isEmpty(), qPrintable(line.error));

    // The report mode's services: they read the settings file and write nothing in it.
    {
        const RealServices real(RealServices::Kind::OneShot, line.sources);
        const Sources sources = real.services().sources;
        const QString chosen = key == u"weather" ? sources.weatherBase
            : key == u"notam"                    ? sources.notamBase
                                                 : sources.site;
        QCOMPARE(chosen, expected);
    }
    QCOMPARE(QFile::exists(path), !settingsFile.isEmpty());
    if (!settingsFile.isEmpty())
        QCOMPARE(contents(path), settingsFile);
}

void TestSources::savesKeepTheSourcesGroup()
{
    // Spacing, quotes, comments, escapes, CR LF and an order of keys that QSettings would all write its own way.
    const QByteArray handWritten = "; written by hand\n"
                                   "[sources]\r\n"
                                   "; my own mirror\n"
                                   "weather = \"https://mirror.test/metar\"   ; nearer\n"
                                   "site=http://www.ventorix.fr/%7Eme\n"
                                   "notam=https://notam.test/page\\x41\n"
                                   "\n";
    const QString path = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
                             .filePath(u"kept-sources.ini"_qs);
    putFile(path, handWritten + "[Fav]\n0=EGLL\n");

    for (int run = 1; run <= 3; ++run) {
        WindowFixture fixture;
        fixture.serveMetar(u"LFPG"_qs, readFixture(u"metar/LFPG.TXT"_qs));
        IniSettingsStore settings(path);
        Services services = fixture.services();
        services.settings = &settings;
        MainWindow window(services);
        window.start();
        window.unload();
        QCoreApplication::processEvents();

        const QByteArray saved = contents(path);
        QVERIFY2(saved.startsWith(handWritten), saved.constData());
        QVERIFY2(saved.indexOf("[sources]") == saved.lastIndexOf("[sources]"), saved.constData());
        const IniSettingsStore reread(path);
        QCOMPARE(reread.read(u"Fav"_qs, u"0"_qs, {}), u"EGLL"_qs);
        QCOMPARE(reread.read(u"Fav"_qs, u"1"_qs, {}), u"LFPG"_qs);
        QCOMPARE(reread.read(u"sources"_qs, u"weather"_qs, {}), u"https://mirror.test/metar"_qs);
    }
}

QTEST_MAIN(TestSources)
#include "TestSources.moc"
