// The VK630-E configuration console: one window, started with the defaults
// of its description every time; closing it ends the program.
#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <system_error>

#include "console/close_on_signal.h"
#include "console/program_identity.h"
#include "console/tform1.h"
#include "console/traffic_log_switch.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    console::IdentifyProgram();

    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Configuration console of the VK630-E transmitter."));
    options.addHelpOption();
    const QCommandLineOption log(
        QStringLiteral("log"),
        QStringLiteral("Record the port's traffic in <file> from the start."),
        QStringLiteral("file"));
    options.addOption(log);
    options.process(application);

    TForm1 Form1;
    if (options.isSet(log)) {
        try {
            Form1.trafficLog().Start(options.value(log));
        } catch (const std::system_error& error) {
            std::fprintf(stderr, "vk630e: %s\n", error.what());
            return 1;
        }
    }
    // Logout, shutdown and Ctrl+C close the window like its close button.
    console::CloseOnSignal closeOnSignal(Form1);
    Form1.show();
    return QApplication::exec();
}
