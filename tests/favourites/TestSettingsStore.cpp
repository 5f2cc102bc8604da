// The settings kept between runs: the user's INI file read and saved through IniSettingsStore, and the
// stored report type turned into a button.
#include "favourites/SettingsStore.h"
#include "favourites/SettingsValues.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The keys in the order start-up reads them.
QStringList startUpKeys()
{
    QStringList keys;
    for (int i = 0; i < 12; ++i)
        keys.append(u"Fav/"_qs + QString::number(i));
    return keys << u"data/Info"_qs << u"data/last"_qs;
}

QString read(const SettingsStore& store, const QString& key, const QString& defaultValue = u"<default>"_qs)
{
    return store.read(key.section(u'/', 0, 0), key.section(u'/', 1), defaultValue);
}

void write(SettingsStore& store, const QString& key, const QString& value)
{
    store.write(key.section(u'/', 0, 0), key.section(u'/', 1), value);
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void putFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reportType_data();
    void reportType();
    void readsFile_data();
    void readsFile();
    void nonsenseGivesDefaults_data();
    void nonsenseGivesDefaults();
    void unusablePath_data();
    void unusablePath();
    void valuesSurviveTheFile_data();
    void valuesSurviveTheFile();
    void savedAtNextPassOfTheEventLoop();
    void readingWritesNothing();
    void nonsenseReplacedBySave();
    void failedSaveKeepsOldFileWhole();
    void linkedFileStaysLinked();

private:
    QTemporaryDir m_dir;
};

void TestSettingsStore::reportType_data()
{
    QTest::addColumn<QString>("info");
    QTest::addColumn<int>("button");

    // The leading number, rounded half to even, names the button.
    QTest::newRow("METAR") << u"0"_qs << 0;
    QTest::newRow("TAF") << u"1"_qs << 1;
    QTest::newRow("NOTAM") << u"2"_qs << 2;
    QTest::newRow("one and a half to even") << u"1.5"_qs << 2;
    QTest::newRow("two and a half to even") << u"2.5"_qs << 2;
    QTest::newRow("half to even zero") << u"0.5"_qs << 0;
    QTest::newRow("leading blanks skipped") << u"  \t2"_qs << 2;
    QTest::newRow("text after the number") << u" 1x"_qs << 1;
    QTest::newRow("exponent") << u"1e0"_qs << 1;

    // No number, or one that names no button: METAR, the first-run type.
    QTest::newRow("letters") << u"abc"_qs << 0;
    QTest::newRow("seven") << u"7"_qs << 0;
    QTest::newRow("rounds to three") << u"2.6"_qs << 0;
    QTest::newRow("minus one") << u"-1"_qs << 0;
    QTest::newRow("letter before digit") << u"x2"_qs << 0;
}

void TestSettingsStore::reportType()
{
    QFETCH(QString, info);
    QFETCH(int, button);
    QCOMPARE(SettingsValues::ReportTypeFromInfo(info), button);
}

void TestSettingsStore::readsFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    const QByteArray sound("[Fav]\n0=LFPG\n3=\n[data]\nInfo=2\nlast=EGLL\n");
    QTest::newRow("favourite") << sound << u"Fav/0"_qs << u"LFPG"_qs;
    QTest::newRow("empty value is not absent") << sound << u"Fav/3"_qs << QString();
    QTest::newRow("absent key takes the default") << sound << u"Fav/4"_qs << u"<default>"_qs;
    QTest::newRow("type") << sound << u"data/Info"_qs << u"2"_qs;
    QTest::newRow("last code") << sound << u"data/last"_qs << u"EGLL"_qs;
    QTest::newRow("UTF-8 mark") << QByteArray("\xef\xbb\xbf[data]\nlast=EGLL\n") << u"data/last"_qs << u"EGLL"_qs;
    QTest::newRow("blanks around") << QByteArray("[data]\n last = EGLL \n") << u"data/last"_qs << u"EGLL"_qs;
    QTest::newRow("hand-written list kept as text") << QByteArray("[Fav]\n0=a, b\n") << u"Fav/0"_qs << u"a, b"_qs;
    QTest::newRow("line without equals sign skipped") << QByteArray("[Fav]\n0\n1=EGLL\n") << u"Fav/1"_qs
                                                      << u"EGLL"_qs;
    QTest::newRow("later line wins") << QByteArray("[data]\nlast=LFPG\nlast=EGLL\n") << u"data/last"_qs
                                     << u"EGLL"_qs;
}

void TestSettingsStore::readsFile()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, key);
    QFETCH(QString, value);

    const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + u".ini"_qs);
    putFile(path, file);
    const IniSettingsStore store(path);
    QCOMPARE(read(store, key), value);
}

// Every byte of a literal that holds NULs, and not one more.
template <qsizetype N>
static QByteArray bytes(const char (&literal)[N])
{
    return QByteArray(literal, N - 1);
}

void TestSettingsStore::nonsenseGivesDefaults_data()
{
    QTest::addColumn<QByteArray>("file");

    // A file QSettings cannot parse gives the defaults for every key, not only for the first one read.
    QTest::newRow("section never closed") << QByteArray("[Fav]\n0=LFPG\n1=EGLL\n[data\nInfo=2\nlast=EGLL\n");
    QTest::newRow("binary") << bytes("\x00\x01\xff\xfe[Fav\n0=LF\x00PG\n");
    QTest::newRow("UTF-16") << bytes("\xff\xfe[\0F\0a\0v\0]\0\n\0");
    QTest::newRow("value of another type") << QByteArray("[Fav]\n0=@Rect(1 2 3 4)\n");
    QTest::newRow("value of an unknown type") << QByteArray("[Fav]\n0=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x3)\n");
}

void TestSettingsStore::nonsenseGivesDefaults()
{
    QFETCH(QByteArray, file);

    const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + u".ini"_qs);
    putFile(path, file);
    const IniSettingsStore store(path);
    if (QByteArrayView(QTest::currentDataTag()) == "value of an unknown type")
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"unknown user type"_qs));
    for (const QString& key : startUpKeys())
        QCOMPARE(read(store, key), u"<default>"_qs);
}

void TestSettingsStore::unusablePath_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<bool>("makeDirectory");

    // Nothing to read and nowhere to write: the defaults, and a save that says it failed.
    QTest::newRow("file name is a folder") << u"folder.ini"_qs << true;
    QTest::newRow("folder name is a file") << u"plain/Ventorix.ini"_qs << false;
}

void TestSettingsStore::unusablePath()
{
    QFETCH(QString, relative);
    QFETCH(bool, makeDirectory);

    if (makeDirectory)
        QVERIFY(QDir(m_dir.path()).mkpath(relative));
    else
        putFile(m_dir.filePath(u"plain"_qs), "user's file");
    IniSettingsStore store(m_dir.filePath(relative));
    QCOMPARE(read(store, u"data/last"_qs), u"<default>"_qs);
    write(store, u"data/Info"_qs, u"1"_qs);
    QVERIFY(!store.flush());
    QCOMPARE(contents(m_dir.filePath(u"plain"_qs)), makeDirectory ? QByteArray("<unreadable>") : "user's file");
}

void TestSettingsStore::valuesSurviveTheFile_data()
{
    QTest::addColumn<QString>("value");

    // Whatever text is saved comes back as the same text, whatever INI syntax it holds.
    QTest::newRow("code") << u"LFPG"_qs;
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks around") << u" LFPG "_qs;
    QTest::newRow("comma") << u"a, b"_qs;
    QTest::newRow("type prefix") << u"@Rect(1 2 3 4)"_qs;
    QTest::newRow("equals and brackets") << u"[Fav] x=y"_qs;
    QTest::newRow("accents") << u"Météo à l'aérodrome"_qs;
    QTest::newRow("line break") << u"LF\nPG"_qs;
    QTest::newRow("backslash and quote") << u"a\\b\"c"_qs;
}

void TestSettingsStore::valuesSurviveTheFile()
{
    QFETCH(QString, value);

    const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + u".ini"_qs);
    {
        IniSettingsStore store(path);
        write(store, u"Fav/0"_qs, value);
        write(store, u"data/last"_qs, u"EGLL"_qs);
        QVERIFY(store.flush());
    }
    const IniSettingsStore reopened(path);
    QCOMPARE(read(reopened, u"Fav/0"_qs), value);
    QCOMPARE(read(reopened, u"data/last"_qs), u"EGLL"_qs);
}

void TestSettingsStore::savedAtNextPassOfTheEventLoop()
{
    // The last code is written at the end of each request and never flushed by its writer: it must be on
    // disk without waiting for the program to end.
    const QString path = m_dir.filePath(u"pass.ini"_qs);
    IniSettingsStore store(path);
    write(store, u"data/last"_qs, u"EGLL"_qs);
    QCoreApplication::processEvents();
    QVERIFY2(contents(path).contains("last=EGLL"), contents(path).constData());
}

void TestSettingsStore::readingWritesNothing()
{
    const QString missing = m_dir.filePath(u"missing.ini"_qs);
    {
        const IniSettingsStore absent(missing);
        for (const QString& key : startUpKeys())
            read(absent, key);
        QCoreApplication::processEvents();
    }
    QVERIFY(!QFile::exists(missing));
}

void TestSettingsStore::nonsenseReplacedBySave()
{
    const QString path = m_dir.filePath(u"replaced.ini"_qs);
    putFile(path, "[Fav]\n0=LFPG\n[data\nInfo=2\n");
    {
        IniSettingsStore store(path);
        QCOMPARE(read(store, u"Fav/0"_qs), u"<default>"_qs);
        write(store, u"Fav/1"_qs, u"EGLL"_qs);
        QCOMPARE(read(store, u"Fav/1"_qs), u"EGLL"_qs);
        store.flush();
    }
    // The next run reads our values only: none of the fragments of the nonsense come back.
    const IniSettingsStore next(path);
    QCOMPARE(read(next, u"Fav/1"_qs), u"EGLL"_qs);
    QCOMPARE(read(next, u"Fav/0"_qs), u"<default>"_qs);
    QCOMPARE(read(next, u"data/Info"_qs), u"<default>"_qs);
}

void TestSettingsStore::failedSaveKeepsOldFileWhole()
{
    QDir folder(m_dir.filePath(u"full"_qs));
    QVERIFY(folder.mkpath(u"."_qs));
    const QString path = folder.filePath(u"Ventorix.ini"_qs);
    {
        IniSettingsStore old(path);
        write(old, u"Fav/0"_qs, u"LFPG"_qs);
        for (int i = 1; i < 12; ++i)
            write(old, u"Fav/"_qs + QString::number(i), u"an older favourite"_qs);
        write(old, u"data/Info"_qs, u"1"_qs);
        QVERIFY(old.flush());
    }
    const QByteArray before = contents(path);

    // The save at unload: its first key alone would shrink the file and fit, the others make it grow. The
    // disk is full for anything bigger than the old file (which leaves room for QSettings' lock file).
    IniSettingsStore store(path);
    bool saved = true;
    {
        const FileSizeLimit full(static_cast<rlim_t>(before.size()));
        write(store, u"Fav/0"_qs, QString());
        for (int i = 1; i < 12; ++i)
            write(store, u"Fav/"_qs + QString::number(i), u"a newer and longer favourite"_qs);
        write(store, u"data/Info"_qs, u"2"_qs);
        saved = store.flush();
    }
    QVERIFY(!saved);
    QCOMPARE(contents(path), before);
    QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden), QStringList{u"Ventorix.ini"_qs});

    // With room again, the next save brings everything written meanwhile.
    QVERIFY(store.flush());
    const IniSettingsStore next(path);
    QCOMPARE(read(next, u"Fav/0"_qs), QString());
    QCOMPARE(read(next, u"Fav/11"_qs), u"a newer and longer favourite"_qs);
    QCOMPARE(read(next, u"data/Info"_qs), u"2"_qs);
}

void TestSettingsStore::linkedFileStaysLinked()
{
    // Settings kept elsewhere and linked into the configuration folder are saved where they live.
    const QString real = m_dir.filePath(u"kept-elsewhere.ini"_qs);
    const QString link = m_dir.filePath(u"linked.ini"_qs);
    putFile(real, "[data]\nlast=LFPG\n");
    QVERIFY(QFile::link(real, link));
    {
        IniSettingsStore store(link);
        write(store, u"data/last"_qs, u"EGLL"_qs);
        QVERIFY(store.flush());
    }
    QVERIFY(QFileInfo(link).isSymLink());
    QVERIFY2(contents(real).contains("last=EGLL"), contents(real).constData());
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "TestSettingsStore.moc"
