// ventorix-report: the report mode for scripts. It takes the program's own command line and answers a
// report in JSON or text on standard output itself, linked without the graphical libraries whose loading
// took most of a one-shot report's time and memory; every other command line (the window, briefings,
// --output, help, mistakes) goes to the full program, unchanged.
#include "CommandLine.h"
#include "ProcessStart.h"
#include "ReportMode.h"

#include <QCoreApplication>
#include <QProcessEnvironment>

#include <array>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

std::string ownFolder()
{
    std::array<char, 4096> path {};
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0)
        return ".";
    const std::string exe(path.data(), static_cast<size_t>(length));
    const size_t slash = exe.rfind('/');
    return slash == std::string::npos ? std::string(".") : exe.substr(0, slash);
}

// The full program lies beside this one: installed under its command's name, in the build folder as
// Ventorix.
int handOver(char* argv[])
{
    for (const char* name : { VENTORIX_INSTALLED_COMMAND, "Ventorix" }) {
        const std::string program = ownFolder() + '/' + name;
        if (::access(program.c_str(), X_OK) == 0) {
            argv[0] = const_cast<char*>(name);
            ::execv(program.c_str(), argv);
        }
    }
    std::fprintf(
        stderr, "ventorix-report : le programme %s est introuvable à côté de celui-ci\n", VENTORIX_INSTALLED_COMMAND);
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine line = CommandLine::parse(arguments, QProcessEnvironment::systemEnvironment().toStringList());
    const bool dataOnly = line.error.isEmpty() && !line.help && !line.version && line.report
        && ReportMode::writesDataOnly(*line.report);
    if (!dataOnly)
        return handOver(argv);
    ProcessStart::interpretRegularExpressions();
    // The settings file the sources are read from goes by the program's name.
    QCoreApplication::setApplicationName(QStringLiteral("Ventorix"));
    QCoreApplication application(argc, argv);
    return ReportMode::runDataOnly(line);
}
