// vk630e-cli: commissions VK630-E transmitters from a shell, with the same
// frames and decoders as the window.
#include <CLI/CLI.hpp>
#include <csignal>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/calibrate.h"
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

void AddRecordOptions(CLI::App& command, cli::RecordChoice& record) {
    command.add_option("--record", record.path,
                       "Add this run's section to the unit's calibration record FILE (JSON); "
                       "a file that holds another unit's record is refused");
    command.add_option("--tag", record.tag, "The unit's tag for the record (FT-101)");
    command.add_option("--technician", record.technician, "Who does the work, for the record");
    command.add_option("--meter", record.meter, "The meter used, for the record");
}

}  // namespace

int main(int argc, char** argv) {
    // Past a file-size limit a write then fails with its own message
    // (status 7) instead of the signal ending the program mid-file.
    std::signal(SIGXFSZ, SIG_IGN);
    CLI::App app{
        "Commissions VK630-E transmitters: reads a transmitter's settings into a settings "
        "file, writes a file to a transmitter and verifies it by reading it back, checks and "
        "adjusts its current outputs, and keeps a calibration record with its certificate.\n"
        "Exit status: 0 done (and verified), 1 usage, 2 the port would not open, 3 no reply "
        "within the timeout or the line hung up, 4 verification found differences or a "
        "coefficient did not read back, 5 a bad settings or record file, 6 an output out of "
        "tolerance, 7 a file that could not be written, 128 + the signal's number when SIGINT, "
        "SIGTERM or "
        "SIGHUP stopped the run after the frame in flight.",
        "vk630e-cli"};
    app.require_subcommand(1);
    app.set_version_flag("--version", VK630E_VERSION);

    LineOptions line;
    std::optional<std::string> output;
    std::string file;
    std::string frame;
    std::vector<std::string> overrides;
    bool noVerify = false;
    cli::CalibrateChoice calibrate;
    std::string recordFile;

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
    AddRecordOptions(*write, calibrate.record);

    CLI::App* verify = app.add_subcommand(
        "verify", "Read the transmitter back and compare it with FILE; list what differs");
    verify->add_option("FILE", file, "Settings file to compare with")->required();
    AddLineOptions(*verify, line);

    CLI::App* send =
        app.add_subcommand("send", "Send one raw frame (PPPPPP#CHEACK1#) and print the reply");
    send->add_option("FRAME", frame, "The frame, exactly as it goes on the line")->required();
    AddLineOptions(*send, line);

    CLI::App* check = app.add_subcommand(
        "calibrate",
        "Check the three current outputs at test points with readings from standard input "
        "(one line of three currents per point), adjust their coefficients and check again");
    AddLineOptions(*check, line);
    check->add_option("--points", calibrate.points, "Test points in whole mA, 0 to 24")
        ->capture_default_str();
    check->add_option("--adjust-at", calibrate.adjustAt, "Test point the coefficients come from")
        ->capture_default_str();
    check->add_option("--tolerance", calibrate.tolerance, "Tolerance in % of the 16 mA span")
        ->capture_default_str()
        ->check(CLI::PositiveNumber);
    check->add_flag_callback(
        "--no-adjust", [&calibrate] { calibrate.adjust = false; },
        "Check only; leave the coefficients as they are");
    AddRecordOptions(*check, calibrate.record);

    CLI::App* certificate =
        app.add_subcommand("certificate", "Render the calibration certificate of a record as PDF");
    certificate->add_option("RECORD", recordFile, "The unit's record file")->required();
    certificate->add_option("-o,--output", output, "The PDF to write")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? cli::kDone : cli::kUsage;
    }

    try {
        if (*ports) return cli::ListPorts();
        if (*read) return cli::ReadSettingsFromDevice(line.Choice(), output);
        if (*write)
            return cli::WriteSettingsFile(file, line.Choice(), overrides, !noVerify,
                                          calibrate.record);
        if (*verify) return cli::VerifySettingsFile(file, line.Choice());
        if (*check) return cli::Calibrate(calibrate, line.Choice());
        if (*certificate) return cli::RenderCertificateFile(recordFile, *output);
        return cli::SendFrame(frame, line.Choice());
    } catch (const cli::Failure& failure) {
        std::fflush(stdout);
        std::fprintf(stderr, "vk630e-cli: %s\n", failure.what());
        return failure.status();
    }
}
