#pragma once

// Shared by the harnesses: how the bytes become the engines' input, and how a broken promise is reported.

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

// A broken promise of an engine is a crash for the fuzzer, with the promise named.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition);                               \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

inline QByteArray fuzzBytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Downloaded files are read as single-byte characters, so every byte sequence is a possible text.
inline QString fuzzText(const uint8_t* data, size_t size)
{
    return QString::fromLatin1(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// "CODE\n" at the start names the station (at most 8 characters); otherwise LFPG. Returns the rest.
inline QString takeCode(QString& text)
{
    const qsizetype line = text.indexOf(u'\n');
    if (line < 0 || line > 8)
        return u"LFPG"_s;
    const QString code = text.left(line);
    text.remove(0, line + 1);
    return code;
}

// Some engines and the settings store want an application object (queued saves, resources). Defined here,
// once per harness: each harness is a single file.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication application(*argc, *argv);
    return 0;
}
