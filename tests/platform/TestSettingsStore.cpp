// The settings kept between runs: the user's INI file read and saved through IniSettingsStore, and the
// stored report type turned into a button.
#include "settings/SettingsValues.h"
#include "storage/SettingsStore.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <chrono>
#include <cstring>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// The keys in the order start-up reads them.
QStringList startUpKeys()
{
    QStringList keys;
    for (int i = 0; i < 12; ++i)
        keys.append(u"Fav/"_s + QString::number(i));
    return keys << u"data/Info"_s << u"data/last"_s;
}

QString read(const SettingsStore& store, const QString& key, const QString& defaultValue = u"<default>"_s)
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

// What is at @p path (S_IFREG, S_IFIFO...), or 0 when nothing is.
mode_t fileType(const QString& path)
{
    struct stat status = {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & S_IFMT : 0;
}

mode_t fileMode(const QString& path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// A store that opens a named pipe with no writer waits in open() for ever. This opens the writing end as
// soon as a reader waits, which lets such a store go on (reading nothing), and remembers it did.
class PipeReaderWatch
{
public:
    explicit PipeReaderWatch(const QString& path)
        : m_thread([this, name = QFile::encodeName(path)] {
            while (!m_stop) {
                const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    m_readerSeen = true;
                    ::close(fd);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        })
    {
    }
    ~PipeReaderWatch()
    {
        m_stop = true;
        m_thread.join();
    }
    Q_DISABLE_COPY_MOVE(PipeReaderWatch)

    bool readerSeen() const { return m_readerSeen; }

private:
    std::atomic<bool> m_stop = false;
    std::atomic<bool> m_readerSeen = false;
    std::thread m_thread;
};

// 64 KiB that QSettings parses without complaint and cannot write back the same.
QByteArray randomBytes(quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray bytes(64 * 1024, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(generator.bounded(256));
    return bytes;
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
    void damagedFileIsSavedOver_data();
    void damagedFileIsSavedOver();
    void valuesSurviveTheFile_data();
    void valuesSurviveTheFile();
    void savedAtNextPassOfTheEventLoop();
    void unchangedValuesLeaveTheFileAlone_data();
    void unchangedValuesLeaveTheFileAlone();
    void readingWritesNothing();
    void failedSaveKeepsOldFileWhole_data();
    void failedSaveKeepsOldFileWhole();
    void linkedFileStaysLinked_data();
    void linkedFileStaysLinked();
    void savedFileMode_data();
    void savedFileMode();

private:
    QTemporaryDir m_dir;
};

void TestSettingsStore::reportType_data()
{
    QTest::addColumn<QString>("info");
    QTest::addColumn<int>("button");

    // The leading number, rounded half to even, names the button.
    QTest::newRow("METAR") << u"0"_s << 0;
    QTest::newRow("TAF") << u"1"_s << 1;
    QTest::newRow("NOTAM") << u"2"_s << 2;
    QTest::newRow("one and a half to even") << u"1.5"_s << 2;
    QTest::newRow("two and a half to even") << u"2.5"_s << 2;
    QTest::newRow("half to even zero") << u"0.5"_s << 0;
    QTest::newRow("leading blanks skipped") << u"  \t2"_s << 2;
    QTest::newRow("text after the number") << u" 1x"_s << 1;
    QTest::newRow("exponent") << u"1e0"_s << 1;

    // No number, or one that names no button: METAR, the first-run type.
    QTest::newRow("letters") << u"abc"_s << 0;
    QTest::newRow("seven") << u"7"_s << 0;
    QTest::newRow("rounds to three") << u"2.6"_s << 0;
    QTest::newRow("minus one") << u"-1"_s << 0;
    QTest::newRow("letter before digit") << u"x2"_s << 0;
}

void TestSettingsStore::reportType()
{
    QFETCH(QString, info);
    QFETCH(int, button);
    QCOMPARE(SettingsValues::reportTypeFromInfo(info), button);
}

void TestSettingsStore::readsFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    const QByteArray sound("[Fav]\n0=LFPG\n3=\n[data]\nInfo=2\nlast=EGLL\n");
    QTest::newRow("favourite") << sound << u"Fav/0"_s << u"LFPG"_s;
    QTest::newRow("empty value is not absent") << sound << u"Fav/3"_s << QString();
    QTest::newRow("absent key takes the default") << sound << u"Fav/4"_s << u"<default>"_s;
    QTest::newRow("type") << sound << u"data/Info"_s << u"2"_s;
    QTest::newRow("last code") << sound << u"data/last"_s << u"EGLL"_s;
    QTest::newRow("UTF-8 mark") << QByteArray("\xef\xbb\xbf[data]\nlast=EGLL\n") << u"data/last"_s << u"EGLL"_s;
    QTest::newRow("blanks around") << QByteArray("[data]\n last = EGLL \n") << u"data/last"_s << u"EGLL"_s;
    QTest::newRow("hand-written list kept as text") << QByteArray("[Fav]\n0=a, b\n") << u"Fav/0"_s << u"a, b"_s;
    QTest::newRow("line without equals sign skipped") << QByteArray("[Fav]\n0\n1=EGLL\n") << u"Fav/1"_s << u"EGLL"_s;
    QTest::newRow("later line wins") << QByteArray("[data]\nlast=LFPG\nlast=EGLL\n") << u"data/last"_s << u"EGLL"_s;
}

void TestSettingsStore::readsFile()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, key);
    QFETCH(QString, value);

    const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + u".ini"_s);
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

    // Nothing in these is a value of ours: every key gives its default, not only the first one read.
    QTest::newRow("binary") << bytes("\x00\x01\xff\xfe[Fav\n0=LF\x00PG\n");
    QTest::newRow("UTF-16") << bytes("\xff\xfe[\0F\0a\0v\0]\0\n\0");
    QTest::newRow("value of another type") << QByteArray("[Fav]\n0=@Rect(1 2 3 4)\n");
    QTest::newRow("value of an unknown type") << QByteArray("[Fav]\n0=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x3)\n");
}

void TestSettingsStore::nonsenseGivesDefaults()
{
    QFETCH(QByteArray, file);

    const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + u".ini"_s);
    putFile(path, file);
    const IniSettingsStore store(path);
    if (QByteArrayView(QTest::currentDataTag()) == "value of an unknown type")
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"unknown user type"_s));
    for (const QString& key : startUpKeys())
        QCOMPARE(read(store, key), u"<default>"_s);
}

enum class Obstacle { Folder, FileOnTheWay, NamedPipe, Socket, Device };
Q_DECLARE_METATYPE(Obstacle)

void TestSettingsStore::unusablePath_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<Obstacle>("obstacle");

    // Nothing to read and nowhere to write: the defaults, and a save that says it failed.
    QTest::newRow("file name is a folder") << u"folder.ini"_s << Obstacle::Folder;
    QTest::newRow("folder name is a file") << u"plain/Ventorix.ini"_s << Obstacle::FileOnTheWay;

    // Anything but a plain file is never opened (a pipe would hold start-up for ever) nor replaced.
    QTest::newRow("file is a named pipe") << u"pipe.ini"_s << Obstacle::NamedPipe;
    QTest::newRow("file is a socket") << u"socket.ini"_s << Obstacle::Socket;
    QTest::newRow("file is a device") << u"device.ini"_s << Obstacle::Device;
}

void TestSettingsStore::unusablePath()
{
    QFETCH(QString, relative);
    QFETCH(Obstacle, obstacle);

    QDir folder(m_dir.filePath(QString::fromLatin1(QTest::currentDataTag())));
    QVERIFY(folder.mkpath(u"."_s));
    const QString path = folder.filePath(relative);
    const QByteArray name = QFile::encodeName(path);
    int socketFd = -1;
    switch (obstacle) {
    case Obstacle::Folder:
        QVERIFY(folder.mkpath(relative));
        break;
    case Obstacle::FileOnTheWay:
        putFile(folder.filePath(u"plain"_s), "user's file");
        break;
    case Obstacle::NamedPipe:
        QVERIFY(::mkfifo(name.constData(), 0600) == 0);
        break;
    case Obstacle::Socket: {
        socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        QVERIFY(name.size() < qsizetype(sizeof(address.sun_path)));
        std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()));
        QVERIFY(::bind(socketFd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0);
        break;
    }
    case Obstacle::Device:
        if (::mknod(name.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
            QSKIP("no right to make a device node here");
        break;
    }
    const mode_t typeBefore = fileType(path);
    {
        std::optional<PipeReaderWatch> watch;
        if (obstacle == Obstacle::NamedPipe)
            watch.emplace(path);
        IniSettingsStore store(path);
        QCOMPARE(read(store, u"data/last"_s), u"<default>"_s);
        write(store, u"data/Info"_s, u"1"_s);
        QVERIFY(!store.flush());
        if (watch)
            QVERIFY2(!watch->readerSeen(), "the pipe was opened");
    }
    if (socketFd >= 0)
        ::close(socketFd);
    QCOMPARE(fileType(path), typeBefore);
    if (obstacle == Obstacle::FileOnTheWay)
        QCOMPARE(contents(folder.filePath(u"plain"_s)), QByteArray("user's file"));
    // Nothing left beside it: no scratch file, no copy.
    QCOMPARE(folder.entryList(QDir::Files | QDir::System | QDir::Hidden).size(), obstacle == Obstacle::Folder ? 0 : 1);
}

void TestSettingsStore::damagedFileIsSavedOver_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("keptKey"); // reads the same from the damaged file and after the saves
    QTest::addColumn<QString>("keptValue");
    QTest::addColumn<QByteArray>("untouched"); // the user's bytes that the saved file holds as they were
    QTest::addColumn<bool>("copied"); // a copy of the damaged file is kept beside it
    QTest::addColumn<int>("earlierCopies"); // copies of an earlier damage already there

    // Keys of the groups a save writes that QSettings cannot write back the same: dropped after a copy is
    // kept, the sound keys and the other groups' bytes kept, the user's own values saved all the same.
    QTest::newRow("list holding a NUL") << QByteArray("[Fav]\n1=EGLL\n2=a, \\0\n") << u"Fav/1"_s << u"EGLL"_s
                                        << QByteArray() << true << 0;
    QTest::newRow("list holding a NUL byte")
        << bytes("[Fav]\n1=EGLL\n2=a, b\0c\n") << u"Fav/1"_s << u"EGLL"_s << QByteArray() << true << 0;
    QTest::newRow("value that is not a number")
        << QByteArray("[data]\nlast=KJFK\n[Fav]\n5=@Variant(\\0\\0\\0\\x6\\x7f\\xf8\\0\\0\\0\\0\\0\\0)\n")
        << u"data/last"_s << u"KJFK"_s << QByteArray() << true << 0;
    const QByteArray sources = "; mine\n[sources]\r\nweather = \"http://mirror.test\" ; nearer\n";
    QTest::newRow("damage in a written group keeps the comments of the others")
        << sources + "[Fav]\n1=EGLL\n2=a, \\0\n"
        << u"sources/weather"_s << u"http://mirror.test"_s << sources << true << 0;
    QByteArray manyKeys = "[user]\n";
    for (int k = 0; k <= 1000; ++k)
        manyKeys += "k" + QByteArray::number(k) + "=v\n";
    QTest::newRow("damage beside a group of 1,001 keys") << manyKeys + "[Fav]\n1=EGLL\n2=a, \\0\n"
                                                         << u"user/k1000"_s << u"v"_s << manyKeys << true << 0;
    QTest::newRow("a second damage keeps the first copy")
        << QByteArray("[Fav]\n1=EGLL\n2=a, \\0\n") << u"Fav/1"_s << u"EGLL"_s << QByteArray() << true << 2;

    // A quote never closed swallows whatever a save would append: the groups written go before it, and
    // the next saves find them there.
    const QByteArray openQuote = "[sources]\nnotam=https://notam.test\nweather=\"http://mirror.test\n";
    QTest::newRow("quote never closed before the groups written")
        << openQuote << u"sources/notam"_s << u"https://notam.test"_s << openQuote << false << 0;
    QTest::newRow("quote never closed before any section")
        << QByteArray("x=\"a\n") << QString() << QString() << QByteArray("x=\"a\n") << false << 0;

    // Damage outside the groups a save writes is the user's own text: it stays as it is, and needs no copy.
    QTest::newRow("line with an empty key")
        << QByteArray("=x\n[Fav]\n1=EGLL\n") << u"Fav/1"_s << u"EGLL"_s << QByteArray("=x\n") << false << 0;
    QTest::newRow("empty key in the General section") << QByteArray("[General]\n=x\n[Fav]\n1=EGLL\n") << u"Fav/1"_s
                                                      << u"EGLL"_s << QByteArray("[General]\n=x\n") << false << 0;
    QTest::newRow("64 KiB of random bytes") << randomBytes(3) << QString() << QString() << randomBytes(3) << false << 0;
    // QSettings calls the whole file damaged; its lines are fragments of a group no one reads.
    const QByteArray neverClosed = "[sources]\nweather=http://mirror.test\n[Fav\n0=EGLL\n[data\nInfo=2\n";
    QTest::newRow("section header never closed")
        << neverClosed << u"sources/weather"_s << u"http://mirror.test"_s << neverClosed << false << 0;
    QTest::newRow("random bytes after a header never closed")
        << QByteArray("[x\n") + randomBytes(5) << QString() << QString() << QByteArray("[x\n") + randomBytes(5) << false
        << 0;
}

void TestSettingsStore::damagedFileIsSavedOver()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, keptKey);
    QFETCH(QString, keptValue);
    QFETCH(QByteArray, untouched);
    QFETCH(bool, copied);
    QFETCH(int, earlierCopies);

    QDir folder(m_dir.filePath(QString::fromLatin1(QTest::currentDataTag())));
    QVERIFY(folder.mkpath(u"."_s));
    const QString path = folder.filePath(u"Ventorix.ini"_s);
    putFile(path, file);
    QStringList copies;
    for (int n = 0; n < earlierCopies + (copied ? 1 : 0); ++n)
        copies.append(u"Ventorix.ini.bak"_s + (n == 0 ? QString() : u'.' + QString::number(n)));
    for (int n = 0; n < earlierCopies; ++n)
        putFile(folder.filePath(copies.at(n)), "an earlier copy");
    {
        IniSettingsStore store(path);
        if (!keptKey.isEmpty())
            QCOMPARE(read(store, keptKey), keptValue);
        write(store, u"Fav/0"_s, u"LFPG"_s);
        if (copied) {
            QTest::ignoreMessage(QtWarningMsg,
                QRegularExpression(
                    u"^Ventorix : le fichier de réglages .*Ventorix\\.ini était endommagé ; copie gardée "
                    u"dans .*"_s
                    + QRegularExpression::escape(copies.last()) + u'$'));
        }
        QVERIFY(store.flush());
        // The file is sound now: the next save needs no copy and says nothing.
        QTest::failOnWarning(QRegularExpression(u"endommagé"_s));
        write(store, u"data/Info"_s, u"2"_s);
        QVERIFY(store.flush());
    }
    QVERIFY2(contents(path).contains(untouched), contents(path).left(300).constData());
    QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden), QStringList { u"Ventorix.ini"_s } + copies);
    for (int n = 0; n < copies.size(); ++n)
        QCOMPARE(contents(folder.filePath(copies.at(n))), n < earlierCopies ? QByteArray("an earlier copy") : file);
    const IniSettingsStore next(path);
    QCOMPARE(read(next, u"Fav/0"_s), u"LFPG"_s);
    QCOMPARE(read(next, u"data/Info"_s), u"2"_s);
    if (!keptKey.isEmpty())
        QCOMPARE(read(next, keptKey), keptValue);
}

void TestSettingsStore::valuesSurviveTheFile_data()
{
    QTest::addColumn<QString>("value");

    // Whatever text is saved comes back as the same text, whatever INI syntax it holds.
    QTest::newRow("code") << u"LFPG"_s;
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks around") << u" LFPG "_s;
    QTest::newRow("comma") << u"a, b"_s;
    QTest::newRow("type prefix") << u"@Rect(1 2 3 4)"_s;
    QTest::newRow("equals and brackets") << u"[Fav] x=y"_s;
    QTest::newRow("accents") << u"Météo à l'aérodrome"_s;
    QTest::newRow("line break") << u"LF\nPG"_s;
    QTest::newRow("backslash and quote") << u"a\\b\"c"_s;
}

void TestSettingsStore::valuesSurviveTheFile()
{
    QFETCH(QString, value);

    const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + u".ini"_s);
    {
        IniSettingsStore store(path);
        write(store, u"Fav/0"_s, value);
        write(store, u"data/last"_s, u"EGLL"_s);
        QVERIFY(store.flush());
    }
    const IniSettingsStore reopened(path);
    QCOMPARE(read(reopened, u"Fav/0"_s), value);
    QCOMPARE(read(reopened, u"data/last"_s), u"EGLL"_s);
}

void TestSettingsStore::savedAtNextPassOfTheEventLoop()
{
    // The last code is written at the end of each request and never flushed by its writer: it must be on
    // disk without waiting for the program to end.
    const QString path = m_dir.filePath(u"pass.ini"_s);
    IniSettingsStore store(path);
    write(store, u"data/last"_s, u"EGLL"_s);
    QCoreApplication::processEvents();
    QVERIFY2(contents(path).contains("last=EGLL"), contents(path).constData());

    // Saved, nothing stays pending: another copy of the program may save over it, and a later save with
    // nothing new neither undoes that nor reads the old value back.
    putFile(path, "[data]\nlast=KJFK\n");
    QVERIFY(store.flush());
    QCOMPARE(contents(path), QByteArray("[data]\nlast=KJFK\n"));
    QCOMPARE(read(store, u"data/last"_s), u"KJFK"_s);
}

void TestSettingsStore::unchangedValuesLeaveTheFileAlone_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("lastCode");
    QTest::addColumn<QByteArray>("savedStart"); // the whole file when it is left alone

    // Blanks around "=" and a comment, which QSettings never writes back: any save shows in the bytes.
    const QByteArray sound("[Fav]\n0 = LFPG\n; mine\n[data]\nlast = EGLL\n");
    QTest::newRow("every value as the file holds it") << sound << u"EGLL"_s << sound;
    // Anything new saves every pending value, the unchanged favourite's group included, as it always has.
    QTest::newRow("one value new") << sound << u"KJFK"_s << QByteArray("[Fav]\n0=LFPG\n");
    // Our groups rewritten once, in the place of the first; the mark and the user's group after them kept.
    QTest::newRow("one value new, byte-order mark, the user's group last")
        << QByteArray("\xef\xbb\xbf[Fav]\n0 = LFPG\n[data]\nlast = EGLL\n[sources]\nweather = http://mirror.test\n")
        << u"KJFK"_s
        << QByteArray("\xef\xbb\xbf[Fav]\n0=LFPG\n\n[data]\nlast=KJFK\n[sources]\nweather = http://mirror.test\n");
    QTest::newRow("nonsense holding the same values")
        << QByteArray("[Fav]\n0 = LFPG\n[data\nlast = EGLL\n") << u"EGLL"_s << QByteArray("[Fav]\n0=LFPG\n");
}

void TestSettingsStore::unchangedValuesLeaveTheFileAlone()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, lastCode);
    QFETCH(QByteArray, savedStart);
    const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + u".ini"_s);
    putFile(path, file);
    {
        IniSettingsStore store(path);
        write(store, u"Fav/0"_s, u"LFPG"_s);
        write(store, u"data/last"_s, lastCode);
        QVERIFY(store.flush());
    }
    QVERIFY2(contents(path).startsWith(savedStart), contents(path).constData());
    QCOMPARE(read(IniSettingsStore(path), u"data/last"_s), lastCode);
}

void TestSettingsStore::readingWritesNothing()
{
    const QString missing = m_dir.filePath(u"missing.ini"_s);
    {
        const IniSettingsStore absent(missing);
        for (const QString& key : startUpKeys())
            read(absent, key);
        QCoreApplication::processEvents();
    }
    QVERIFY(!QFile::exists(missing));
}

void TestSettingsStore::failedSaveKeepsOldFileWhole_data()
{
    QTest::addColumn<bool>("roomForTheOldFileOnly");

    // The save at unload: its first key alone would shrink the file and fit, the others make it grow.
    // The disk is full for anything bigger than the old file (which leaves room for QSettings' lock file),
    // or only for the last two bytes of the new one, where every key is there but the last value is cut.
    QTest::newRow("disk full past the old file's size") << true;
    QTest::newRow("disk full two bytes before the end") << false;
}

void TestSettingsStore::failedSaveKeepsOldFileWhole()
{
    QFETCH(bool, roomForTheOldFileOnly);

    QDir folder(m_dir.filePath(QString::fromLatin1(QTest::currentDataTag())));
    QVERIFY(folder.mkpath(u"."_s));
    const QString path = folder.filePath(u"Ventorix.ini"_s);
    const auto saveOld = [](const QString& file) {
        IniSettingsStore old(file);
        write(old, u"Fav/0"_s, u"LFPG"_s);
        for (int i = 1; i < 12; ++i)
            write(old, u"Fav/"_s + QString::number(i), u"an older favourite"_s);
        write(old, u"data/Info"_s, u"1"_s);
        QVERIFY(old.flush());
    };
    const auto writeNew = [](SettingsStore& store) {
        write(store, u"Fav/0"_s, QString());
        for (int i = 1; i < 12; ++i)
            write(store, u"Fav/"_s + QString::number(i), u"a newer and longer favourite"_s);
        write(store, u"data/Info"_s, u"2"_s);
    };
    saveOld(path);
    const QByteArray before = contents(path);
    // The same save with room enough, elsewhere, tells how long the new file is.
    QTemporaryDir roomy;
    saveOld(roomy.filePath(u"Ventorix.ini"_s));
    {
        IniSettingsStore store(roomy.filePath(u"Ventorix.ini"_s));
        writeNew(store);
        QVERIFY(store.flush());
    }
    const qsizetype newSize = contents(roomy.filePath(u"Ventorix.ini"_s)).size();
    QVERIFY(newSize > before.size() + 2);

    IniSettingsStore store(path);
    bool saved = true;
    {
        const FileSizeLimit full(static_cast<rlim_t>(roomForTheOldFileOnly ? before.size() : newSize - 2));
        writeNew(store);
        saved = store.flush();
    }
    QVERIFY(!saved);
    QCOMPARE(contents(path), before);
    QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden), QStringList { u"Ventorix.ini"_s });

    // With room again, the next save brings everything written meanwhile.
    QVERIFY(store.flush());
    const IniSettingsStore next(path);
    QCOMPARE(read(next, u"Fav/0"_s), QString());
    QCOMPARE(read(next, u"Fav/11"_s), u"a newer and longer favourite"_s);
    QCOMPARE(read(next, u"data/Info"_s), u"2"_s);
}

void TestSettingsStore::linkedFileStaysLinked_data()
{
    QTest::addColumn<QStringList>("links"); // each names the next, the last names the real file

    // Settings kept elsewhere and linked into the configuration folder are saved where they live, and every
    // link on the way stays a link.
    QTest::newRow("one link") << QStringList { u"linked.ini"_s };
    QTest::newRow("two links") << QStringList { u"linked.ini"_s, u"middle/linked.ini"_s };
    QTest::newRow("three links") << QStringList { u"a.ini"_s, u"b.ini"_s, u"c.ini"_s };
}

void TestSettingsStore::linkedFileStaysLinked()
{
    QFETCH(QStringList, links);

    QDir folder(m_dir.filePath(QString::fromLatin1(QTest::currentDataTag())));
    QVERIFY(folder.mkpath(u"middle"_s));
    const QString real = folder.filePath(u"kept-elsewhere.ini"_s);
    putFile(real, "[data]\nlast=LFPG\n");
    for (qsizetype k = 0; k < links.size(); ++k)
        QVERIFY(
            QFile::link(k + 1 < links.size() ? folder.filePath(links.at(k + 1)) : real, folder.filePath(links.at(k))));
    {
        IniSettingsStore store(folder.filePath(links.first()));
        write(store, u"data/last"_s, u"EGLL"_s);
        QVERIFY(store.flush());
    }
    for (const QString& link : links)
        QVERIFY2(QFileInfo(folder.filePath(link)).isSymLink(), qPrintable(link));
    QVERIFY2(contents(real).contains("last=EGLL"), contents(real).constData());
}

void TestSettingsStore::savedFileMode_data()
{
    QTest::addColumn<int>("existingMode"); // -1: no file yet
    QTest::addColumn<int>("umask");
    QTest::addColumn<int>("savedMode");

    // A new file is made as any file the user makes.
    QTest::newRow("new file under the usual umask") << -1 << 022 << 0644;
    QTest::newRow("new file under a group umask") << -1 << 027 << 0640;
    QTest::newRow("new file under a private umask") << -1 << 077 << 0600;

    // A file replaced keeps the mode it had, whatever the umask.
    QTest::newRow("readable by all kept") << 0644 << 077 << 0644;
    QTest::newRow("writable by the group kept") << 0664 << 022 << 0664;
    QTest::newRow("private kept") << 0600 << 022 << 0600;
    QTest::newRow("group-readable kept") << 0640 << 022 << 0640;
}

void TestSettingsStore::savedFileMode()
{
    QFETCH(int, existingMode);
    QFETCH(int, umask);
    QFETCH(int, savedMode);

    const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + u".ini"_s);
    if (existingMode >= 0) {
        putFile(path, "[data]\nlast=LFPG\n");
        QVERIFY(::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(existingMode)) == 0);
    }
    const mode_t previousUmask = ::umask(static_cast<mode_t>(umask));
    bool saved = false;
    {
        IniSettingsStore store(path);
        write(store, u"data/last"_s, u"EGLL"_s);
        saved = store.flush();
    }
    ::umask(previousUmask);
    QVERIFY(saved);
    QCOMPARE(QString::number(fileMode(path), 8), QString::number(savedMode, 8));
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "TestSettingsStore.moc"
