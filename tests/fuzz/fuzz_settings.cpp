// Loading the settings file whatever it holds, then saving over it: the user's favourite must be saved
// and read back, however damaged the file was.
#include "FuzzSupport.h"

#include "storage/SettingsStore.h"

#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir folder;
    static int run = 0;
    // A new name each time: QSettings keeps the parse of a file name for the whole process.
    const QString path = folder.filePath(u"run%1.ini"_s.arg(++run));
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly) && file.write(fuzzBytes(data, size)) == qint64(size));
    }
    {
        IniSettingsStore store(path);
        for (int i = 0; i < 12; ++i)
            store.read(u"Fav"_s, QString::number(i), QString());
        store.read(u"data"_s, u"Info"_s, u"0"_s);
        store.read(u"data"_s, u"last"_s, QString());
        store.write(u"Fav"_s, u"0"_s, u"LFPG"_s);
        FUZZ_CHECK(store.flush());
    }
    {
        const IniSettingsStore next(path);
        FUZZ_CHECK(next.read(u"Fav"_s, u"0"_s, QString()) == u"LFPG"_s);
    }
    QFile::remove(path);
    QFile::remove(path + u".bak"_s);
    return 0;
}
