// The yardstick of the start-up bench: the least Qt program that does the window's first job. It downloads
// the METAR of LFPG from the base address given, shows it in one QTextEdit and ends after the first paint
// that shows it. bench/startup.py runs it paired with the program.
// Usage: build/bench/yardstick BASE (e.g. http://127.0.0.1:8000)
#include <QApplication>
#include <QEvent>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

// Ends the program once the text has been painted: a paint before the text arrives does not count.
class FirstPaintWatcher final : public QObject
{
public:
    explicit FirstPaintWatcher(QTextEdit& edit)
        : m_edit(edit)
    {
        edit.viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_edit.document()->isEmpty())
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return QObject::eventFilter(watched, event);
    }

private:
    QTextEdit& m_edit;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc < 2)
        return 2;
    QTextEdit edit;
    edit.setReadOnly(true);
    edit.resize(728, 364);
    FirstPaintWatcher watcher(edit);
    edit.show();

    QNetworkAccessManager network;
    const QUrl address(QString::fromLocal8Bit(argv[1]) + u"/data/observations/metar/decoded/LFPG.TXT"_s);
    QNetworkReply* reply = network.get(QNetworkRequest(address));
    int status = 1;
    QObject::connect(reply, &QNetworkReply::finished, &edit, [&] {
        if (reply->error() == QNetworkReply::NoError) {
            status = 0;
            edit.setPlainText(QString::fromLatin1(reply->readAll()));
        } else {
            QCoreApplication::quit();
        }
        reply->deleteLater();
    });
    application.exec();
    return status;
}
