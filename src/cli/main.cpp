// vk630e-cli: commissions VK630-E transmitters from a shell, with the same
// frames and decoders as the window.
#include <CLI/CLI.hpp>
#include <csignal>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace {

struct LineOptions {
    cli::LineChoice line;
    std::string parity = "none";

    cli::LineChoice Choice() const {
        cli::LineChoice chosen = line;
        chosen.parity = parity == "odd"    ? seriallink::TParity::Odd
                        : parity == "even" ? seriallink::TParity::Even
                                           : seriallink::TParity::None;
        return chosen;
    }
};

void AddLineOptions(CLI::App& command, LineOptions& options) {
    command
        .add_option("--port", options.line.port,
                    "Serial port of the transmitter (/dev/ttyUSB0, COM1)")
        ->required();
    command.add_option("--baud", options.line.baud, "Line rate of the port")
        ->capture_default_str()
        ->check(CLI::PositiveNumber);
    command.add_option("--parity", options.parity, "Parity of the port: none, odd or even")
        ->capture_default_str()
        ->transform(CLI::IsMember({"none", "odd", "even"}, CLI::ignore_case));
    command.add_option("--log", options.line.logPath,
                       "Add a line per event on the port (sent, received, open, close, "
                       "hang-up) to FILE, with times");
}

}  // namespace

int main(int argc, char** argv) {
    // Past a file-size limit a write then fails with its own message
    // (status 7) instead of the signal ending the program mid-file.
    std::signal(SIGXFSZ, SIG_IGN);
    CLI::App app{
        "Commissions VK630-E transmitters: reads a transmitter's settings into a settings "
        "file, writes a file to a transmitter and verifies it by reading it back.\n"
        "Exit status: 0 done (and verified), 1 usage, 2 the port would not open, 3 no reply "
        "within the timeout or the line hung up, 4 verification found differences, 5 a bad "
        "settings file, 7 a file (-o, --log) could not be written, 128 + the signal's number "
        "when SIGINT, SIGTERM or SIGHUP stopped the run after the frame in flight.",
        "vk630e-cli"};
    app.require_subcommand(1);
    app.set_version_flag("--version", VK630E_VERSION);

    LineOptions line;
    std::optional<std::string> output;
    std::string file;
    std::string frame;
    std::vector<std::string> overrides;
    bool noVerify = false;

    CLI::App* ports = app.add_subcommand("ports", "List the serial ports of this machine");

    CLI::App* read = app.add_subcommand(
        "read",
        "Read the transmitter's parameters and both command slots; print the settings file");
    AddLineOptions(*read, line);
    read->add_option("-o,--output", output, "Write the settings file here instead of printing it");

    CLI::App* write = app.add_subcommand(
        "write", "Write every setting of FILE to the transmitter, then read back and verify");
    write->add_option("FILE", file, "Settings file to write")->required();
    AddLineOptions(*write, line);
    write->add_option("--set", overrides,
                      "Change one setting for this unit: KEY=VALUE with a key of the file "
                      "(address, polling[1].format; choices by their item text or null); "
                      "may be given more than once");
    write->add_flag("--no-verify", noVerify, "Write only; do not read back and compare");

    CLI::App* verify = app.add_subcommand(
        "verify", "Read the transmitter back and compare it with FILE; list what differs");
    verify->add_option("FILE", file, "Settings file to compare with")->required();
    AddLineOptions(*verify, line);

    CLI::App* send =
        app.add_subcommand("send", "Send one raw frame (PPPPPP#CHEACK1#) and print the reply");
    send->add_option("FRAME", frame, "The frame, exactly as it goes on the line")->required();
    AddLineOptions(*send, line);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? cli::kDone : cli::kUsage;
    }

    try {
        if (*ports) return cli::ListPorts();
        if (*read) return cli::ReadSettingsFromDevice(line.Choice(), output);
        if (*write) return cli::WriteSettingsFile(file, line.Choice(), overrides, !noVerify);
        if (*verify) return cli::VerifySettingsFile(file, line.Choice());
        return cli::SendFrame(frame, line.Choice());
    } catch (const cli::Failure& failure) {
        std::fflush(stdout);
        std::fprintf(stderr, "vk630e-cli: %s\n", failure.what());
        return failure.status();
    }
}
